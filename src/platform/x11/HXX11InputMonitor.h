#pragma once

#include "platform/HXInputMonitor.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <memory>
#include <optional>

class QSocketNotifier;
struct xcb_connection_t;

// Input activity from XInput2 raw key, button and motion events on the root window (no grabs, so
// nothing is taken from other programs), read from a connection of its own on the main thread. Without
// XInput2 it says so in the system log and polls the X screen saver's idle time instead, which drops
// at every input. Bursts are reported at most once per coalescing interval.
class HXX11InputMonitor final : public QObject, public HXInputMonitor {
    Q_OBJECT

public:
    enum class Source { None, RawInput, IdleTime };

    struct Options {
        // $DISPLAY when empty.
        QByteArray displayName;
        // The XInput version raw input needs from the server.
        int minimumXInputMajor = 2;
        int minimumXInputMinor = 0;
        std::chrono::milliseconds idlePollInterval{1000};
    };

    explicit HXX11InputMonitor(QObject* parent = nullptr);
    explicit HXX11InputMonitor(Options options, QObject* parent = nullptr);
    ~HXX11InputMonitor() override;

    bool install(std::function<void()> onActivity) override;
    void remove() override;

    Source source() const { return m_source; }

    static constexpr std::chrono::milliseconds kCoalescingInterval{100};

private:
    bool selectRawInput();
    bool startIdlePolling();
    void readEvents();
    void pollIdleTime();
    void activity();
    void report();

    Options m_options;
    Source m_source = Source::None;
    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_root = 0;
    std::uint8_t m_xinputOpcode = 0;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QTimer m_pollTimer;
    std::optional<std::uint32_t> m_lastIdleTime;
    QTimer m_trailingReport;
    QElapsedTimer m_sinceReport;
    std::function<void()> m_onActivity;
};
