#include "hotkeys/HXHotKeyReferencePool.h"

namespace {

constexpr std::uint32_t kLastRegistrationNumber = 1000000;

} // namespace

HXHotKeyReferencePool& HXHotKeyReferencePool::defaultPool() {
    static HXHotKeyReferencePool* pool = new HXHotKeyReferencePool;
    return *pool;
}

void HXHotKeyReferencePool::push(std::uint32_t reference) {
    if (!reference)
        return;
    if (!m_counts)
        m_counts = std::make_unique<std::unordered_map<std::uint32_t, int>>();
    ++(*m_counts)[reference];
}

bool HXHotKeyReferencePool::pop(std::uint32_t reference) {
    if (!reference)
        return false;
    if (!m_counts)
        return true;
    const auto found = m_counts->find(reference);
    if (found != m_counts->end() && found->second > 1) {
        --found->second;
        return false;
    }
    if (found != m_counts->end())
        m_counts->erase(found);
    return true;
}

int HXHotKeyReferencePool::useCount(std::uint32_t reference) const {
    if (!m_counts)
        return 0;
    const auto found = m_counts->find(reference);
    return found == m_counts->end() ? 0 : found->second;
}

std::uint32_t HXHotKeyReferencePool::nextRegistrationNumber() {
    const std::uint32_t number = m_nextNumber;
    m_nextNumber = number + 1 > kLastRegistrationNumber ? 0 : number + 1;
    return number;
}
