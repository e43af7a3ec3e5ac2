#pragma once

#include "platform/HXScreenCapture.h"

// Writes a small file per screen, so that naming and pruning can be checked on disk.
class HXFakeScreenCapture final : public HXScreenCapture {
public:
    explicit HXFakeScreenCapture(int screens = 1) : m_screens(screens) {}

    void setAvailable(bool available) { m_available = available; }
    void setScreenCount(int screens) { m_screens = screens; }
    int captures() const { return m_captures; }

    bool isAvailable() const override { return m_available; }
    int screenCount() const override { return m_screens; }
    bool captureScreens(const std::vector<QString>& files) override;

private:
    bool m_available = true;
    int m_screens;
    int m_captures = 0;
};
