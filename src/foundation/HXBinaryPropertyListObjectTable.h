#pragma once

#include <QtGlobal>

#include <cstdint>
#include <vector>

// Where the binary writer keeps the values it writes once and references everywhere else, found by hash.
// The caller compares candidates against its own objects, so the table holds no copies of values (no
// reference counts to touch) and no nodes (no allocation per entry).
class HXBinaryPropertyListObjectTable {
public:
    // The position stored for a value equal to the one asked for, or else stores and returns newIndex.
    template <typename Equal> quint64 findOrAdd(std::uint64_t hash, Equal equal, quint64 newIndex) {
        if (2 * (m_count + 1) > m_slots.size())
            grow();
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            Slot& slot = m_slots[i];
            if (slot.indexPlusOne == 0) {
                slot = Slot{hash, newIndex + 1};
                ++m_count;
                return newIndex;
            }
            if (slot.hash == hash && equal(slot.indexPlusOne - 1))
                return slot.indexPlusOne - 1;
        }
    }

private:
    struct Slot {
        std::uint64_t hash = 0;
        quint64 indexPlusOne = 0;
    };

    void grow() {
        std::vector<Slot> old(m_slots.empty() ? 512 : 2 * m_slots.size());
        old.swap(m_slots);
        const std::size_t mask = m_slots.size() - 1;
        for (const Slot& slot : old) {
            if (slot.indexPlusOne == 0)
                continue;
            std::size_t i = slot.hash & mask;
            while (m_slots[i].indexPlusOne != 0)
                i = (i + 1) & mask;
            m_slots[i] = slot;
        }
    }

    std::vector<Slot> m_slots;
    std::size_t m_count = 0;
};
