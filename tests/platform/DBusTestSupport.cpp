#include "DBusTestSupport.h"

#include "X11TestSupport.h"

#include <gtest/gtest.h>

PrivateBus::PrivateBus() {
    m_daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                   QStringLiteral("--print-address=1")});
    if (!m_daemon.waitForStarted(5000)) {
        ADD_FAILURE() << "cannot start dbus-daemon";
        return;
    }
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(5000)) {
    }
    m_address = m_daemon.readLine().trimmed();
    if (m_address.isEmpty())
        ADD_FAILURE() << "dbus-daemon printed no address";
}

PrivateBus::~PrivateBus() {
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(3000)) {
        m_daemon.kill();
        m_daemon.waitForFinished(3000);
    }
}

FakeDBusServices::FakeDBusServices(const QStringList& options) {
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(QD_FAKE_DBUS_SERVICES),
                    QStringList{QStringLiteral("--system"), qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS"),
                                QStringLiteral("--session"),
                                qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS")} +
                        options);
    m_process.waitForStarted(5000);
    waitUntil(
        [&] {
            read();
            return m_ready || m_process.state() == QProcess::NotRunning;
        },
        10000);
    if (!m_ready)
        ADD_FAILURE() << "qd_fake_dbus_services did not start";
}

FakeDBusServices::~FakeDBusServices() {
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

void FakeDBusServices::read() {
    while (m_process.canReadLine()) {
        const QByteArray line = m_process.readLine().trimmed();
        if (line == "ok")
            ++m_oks;
        else if (line == "ready")
            m_ready = true;
        else
            m_calls << line;
    }
}

bool FakeDBusServices::command(const QByteArray& line) {
    read();
    const int expected = m_oks + 1;
    m_process.write(line + '\n');
    return waitUntil([&] {
        read();
        return m_oks >= expected;
    });
}

QByteArrayList FakeDBusServices::calls() {
    read();
    return m_calls;
}

bool FakeDBusServices::waitForCall(const QByteArray& prefix, QByteArray* line, int timeoutMs) {
    return waitUntil(
        [&] {
            read();
            for (const QByteArray& call : std::as_const(m_calls)) {
                if (call.startsWith(prefix)) {
                    if (line)
                        *line = call;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
}
