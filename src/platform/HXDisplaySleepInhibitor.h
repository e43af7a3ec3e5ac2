#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Keeps the display awake while an assertion is held.
class HXDisplaySleepInhibitor {
public:
    virtual ~HXDisplaySleepInhibitor() = default;

    // An identifier (never 0) when the assertion was created.
    virtual std::optional<std::uint32_t> createAssertion(const QString& name) = 0;
    virtual bool releaseAssertion(std::uint32_t identifier) = 0;
};
