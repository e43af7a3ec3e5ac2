#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <string>
#include <vector>

// Finds the number given to a (pool, application, window) triple of a snapshot file's rows. The file
// names the same few thousand items in millions of rows: the triple is hashed and compared in place,
// without building a key text per row.
class HXSnapshotRowIndex {
public:
    static constexpr std::uint32_t kAbsent = 0xFFFFFFFF;

    std::uint32_t find(QStringView pool, QStringView application, QStringView window) const;
    // The triple must not be in the index yet.
    void insert(QStringView pool, QStringView application, QStringView window, std::uint32_t value);

private:
    struct Slot {
        std::uint64_t hash = 0;
        std::uint32_t entry = kAbsent;
    };
    // The three texts of an entry lie one after the other in m_text.
    struct Entry {
        std::size_t offset;
        std::uint32_t lengths[3];
        std::uint32_t value;
    };

    static std::uint64_t hashOf(QStringView pool, QStringView application, QStringView window);
    void grow();

    bool matches(const Entry& e, QStringView pool, QStringView application, QStringView window) const;

    std::vector<Slot> m_slots;
    std::vector<Entry> m_entries;
    std::u16string m_text;
};
