#pragma once

#include <QString>

#include <vector>

// Captures every screen into PNG files.
class HXScreenCapture {
public:
    virtual ~HXScreenCapture() = default;

    // False when capturing is impossible here (no display).
    virtual bool isAvailable() const = 0;
    virtual int screenCount() const = 0;
    // One file per screen, in screen order; true when every file was written.
    virtual bool captureScreens(const std::vector<QString>& files) = 0;
};
