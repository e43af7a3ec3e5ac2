#pragma once

#include "platform/HXScreenCapture.h"

// Captures every screen in-process through Qt; needs a QGuiApplication. Files are private (0600).
class HXQtScreenCapture final : public HXScreenCapture {
public:
    bool isAvailable() const override;
    int screenCount() const override;
    bool captureScreens(const std::vector<QString>& files) override;
};
