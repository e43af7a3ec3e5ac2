#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>

// Use counts of system hot key registrations: several hot keys may share one, and it is given back to
// the system only when its last user lets go. Also numbers the registrations.
class HXHotKeyReferencePool {
public:
    // The process-wide pool.
    static HXHotKeyReferencePool& defaultPool();

    void push(std::uint32_t reference);
    // True when the caller must now unregister the reference with the system.
    bool pop(std::uint32_t reference);
    int useCount(std::uint32_t reference) const;

    // The number for the next registration: counts up from 0 and starts again after 1,000,000.
    std::uint32_t nextRegistrationNumber();
    void setNextRegistrationNumber(std::uint32_t number) { m_nextNumber = number; }

private:
    std::unique_ptr<std::unordered_map<std::uint32_t, int>> m_counts;
    std::uint32_t m_nextNumber = 0;
};
