#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QProcess>
#include <QStringList>

// A private message bus (dbus-daemon) for the length of a test program.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    QByteArray address() const { return m_address; }

private:
    QProcess m_daemon;
    QByteArray m_address;
};

// qd_fake_dbus_services on the buses of DBUS_SYSTEM_BUS_ADDRESS and DBUS_SESSION_BUS_ADDRESS: logind and
// the screen saver service in a process of their own, so that calls to them never wait on the test's
// own thread.
class FakeDBusServices {
public:
    explicit FakeDBusServices(const QStringList& options = {});
    ~FakeDBusServices();
    FakeDBusServices(const FakeDBusServices&) = delete;
    FakeDBusServices& operator=(const FakeDBusServices&) = delete;

    bool isReady() const { return m_ready; }
    // Sends a command and waits for its "ok".
    bool command(const QByteArray& line);
    // The method calls received so far, as printed.
    QByteArrayList calls();
    // Waits (running the event loop) for a printed line that starts with prefix.
    bool waitForCall(const QByteArray& prefix, QByteArray* line = nullptr, int timeoutMs = 5000);

private:
    void read();

    QProcess m_process;
    QByteArrayList m_calls;
    int m_oks = 0;
    bool m_ready = false;
};
