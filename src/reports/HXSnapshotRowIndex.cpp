#include "reports/HXSnapshotRowIndex.h"

namespace {

// FNV-1a over the UTF-16 units, with a separator between the parts.
std::uint64_t mix(std::uint64_t h, QStringView s) {
    for (const QChar c : s) {
        h ^= c.unicode();
        h *= 0x100000001b3ULL;
    }
    h ^= 0x1F;
    return h * 0x100000001b3ULL;
}

} // namespace

std::uint64_t HXSnapshotRowIndex::hashOf(QStringView pool, QStringView application, QStringView window) {
    return mix(mix(mix(0xcbf29ce484222325ULL, pool), application), window);
}

std::uint32_t HXSnapshotRowIndex::find(QStringView pool, QStringView application, QStringView window) const {
    if (m_slots.empty())
        return kAbsent;
    const std::uint64_t h = hashOf(pool, application, window);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
        const Slot& slot = m_slots[i];
        if (slot.entry == kAbsent)
            return kAbsent;
        if (slot.hash != h)
            continue;
        const Entry& e = m_entries[slot.entry];
        if (matches(e, pool, application, window))
            return e.value;
    }
}

void HXSnapshotRowIndex::insert(QStringView pool, QStringView application, QStringView window,
                                std::uint32_t value) {
    if ((m_entries.size() + 1) * 2 > m_slots.size())
        grow();
    const std::uint64_t h = hashOf(pool, application, window);
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = h & mask;
    while (m_slots[i].entry != kAbsent)
        i = (i + 1) & mask;
    m_slots[i] = Slot{h, static_cast<std::uint32_t>(m_entries.size())};
    Entry e{m_text.size(), {}, value};
    std::uint32_t* length = e.lengths;
    for (const QStringView part : {pool, application, window}) {
        m_text.append(part.utf16(), static_cast<std::size_t>(part.size()));
        *length++ = static_cast<std::uint32_t>(part.size());
    }
    m_entries.push_back(e);
}

bool HXSnapshotRowIndex::matches(const Entry& e, QStringView pool, QStringView application,
                                 QStringView window) const {
    const char16_t* text = m_text.data() + e.offset;
    const std::uint32_t* length = e.lengths;
    for (const QStringView part : {pool, application, window}) {
        if (static_cast<std::size_t>(part.size()) != *length ||
            std::char_traits<char16_t>::compare(text, part.utf16(), *length) != 0)
            return false;
        text += *length++;
    }
    return true;
}

void HXSnapshotRowIndex::grow() {
    std::vector<Slot> slots(m_slots.empty() ? 64 : m_slots.size() * 2);
    const std::size_t mask = slots.size() - 1;
    for (const Slot& slot : m_slots) {
        if (slot.entry == kAbsent)
            continue;
        std::size_t i = slot.hash & mask;
        while (slots[i].entry != kAbsent)
            i = (i + 1) & mask;
        slots[i] = slot;
    }
    m_slots = std::move(slots);
}
