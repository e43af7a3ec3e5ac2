#pragma once

#include "platform/HXDisplaySleepInhibitor.h"

#include <QByteArray>

#include <set>

struct xcb_connection_t;

// Keeps the display awake through the X screen saver extension's suspend request, for desktops without
// the screen saver D-Bus service. The X server ends a suspension when its client disconnects, so this
// holds a connection of its own while any assertion lives.
class HXX11ScreenSaverSuspender final : public HXDisplaySleepInhibitor {
public:
    // $DISPLAY when empty.
    explicit HXX11ScreenSaverSuspender(QByteArray displayName = {});
    ~HXX11ScreenSaverSuspender() override;
    HXX11ScreenSaverSuspender(const HXX11ScreenSaverSuspender&) = delete;
    HXX11ScreenSaverSuspender& operator=(const HXX11ScreenSaverSuspender&) = delete;

    std::optional<std::uint32_t> createAssertion(const QString& name) override;
    bool releaseAssertion(std::uint32_t identifier) override;

private:
    bool suspend(bool on);
    void disconnect();

    QByteArray m_displayName;
    xcb_connection_t* m_connection = nullptr;
    std::set<std::uint32_t> m_assertions;
    std::uint32_t m_nextIdentifier = 1;
};
