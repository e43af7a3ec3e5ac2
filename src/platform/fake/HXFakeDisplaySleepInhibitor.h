#pragma once

#include "platform/HXDisplaySleepInhibitor.h"

#include <set>

// Hands out assertion identifiers, or refuses to when told to fail.
class HXFakeDisplaySleepInhibitor final : public HXDisplaySleepInhibitor {
public:
    void setFailing(bool failing) { m_failing = failing; }
    const std::set<std::uint32_t>& heldAssertions() const { return m_held; }

    std::optional<std::uint32_t> createAssertion(const QString&) override {
        if (m_failing)
            return std::nullopt;
        m_held.insert(++m_next);
        return m_next;
    }
    bool releaseAssertion(std::uint32_t identifier) override { return m_held.erase(identifier) == 1; }

private:
    bool m_failing = false;
    std::uint32_t m_next = 0;
    std::set<std::uint32_t> m_held;
};
