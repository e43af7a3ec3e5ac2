#pragma once

#include "engine/HXUserInterfacePort.h"

// Alerts as message boxes, the open panel as a file or folder dialog, the beep of the desktop.
class HXWidgetUserInterface final : public HXUserInterfacePort {
public:
    void bringToFront() override;
    void beep() override;
    int runAlert(const HXAlert& alert) override;
    std::optional<QString> runOpenPanel(const HXOpenPanelRequest& request) override;
    std::optional<QString> runFolderPanel(const HXFolderPanelRequest& request) override;
};
