#pragma once

// The current time as Unix seconds. The program uses the system clock; tests use virtual time.
class HXClock {
public:
    virtual ~HXClock() = default;
    virtual double now() const = 0;
};

class HXSystemClock final : public HXClock {
public:
    double now() const override;
};
