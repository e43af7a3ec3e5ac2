#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

struct xcb_connection_t;

// The X server's display power state (DPMS), read without waiting for the server: each read sends a
// request and answers with what the server said to the one before.
class HXX11DisplayPower {
public:
    // $DISPLAY when empty.
    explicit HXX11DisplayPower(QByteArray displayName = {});
    ~HXX11DisplayPower();
    HXX11DisplayPower(const HXX11DisplayPower&) = delete;
    HXX11DisplayPower& operator=(const HXX11DisplayPower&) = delete;

    // False, with the reason, when there is no display or it has no DPMS extension.
    bool open(QString* why);
    // Whether the displays sleep (standby, suspend or off, with DPMS enabled) as of the latest answer;
    // nothing before the first answer or once the connection is lost.
    std::optional<bool> displaysAsleep();

private:
    QByteArray m_displayName;
    xcb_connection_t* m_connection = nullptr;
    std::optional<unsigned> m_pending;
    std::optional<bool> m_asleep;
};
