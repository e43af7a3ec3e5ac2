#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
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
    struct Entry {
        QString pool;
        QString application;
        QString window;
        std::uint32_t value;
    };

    static std::uint64_t hashOf(QStringView pool, QStringView application, QStringView window);
    void grow();

    std::vector<Slot> m_slots;
    std::vector<Entry> m_entries;
};
