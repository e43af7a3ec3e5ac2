#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

// Tests of the real X11 backend run under scripts/with-display.sh. Without a display they fail, so that a
// broken test environment is not mistaken for a passing one; developers without X set QD_NO_DISPLAY_TESTS
// to skip them instead.
#define QD_REQUIRE_DISPLAY()                                                                                 \
    do {                                                                                                     \
        if (qEnvironmentVariableIsEmpty("DISPLAY")) {                                                        \
            if (qEnvironmentVariableIsSet("QD_NO_DISPLAY_TESTS"))                                            \
                GTEST_SKIP() << "no DISPLAY, and QD_NO_DISPLAY_TESTS is set";                                \
            FAIL() << "DISPLAY is not set: run the tests under scripts/with-display.sh "                     \
                      "(or set QD_NO_DISPLAY_TESTS to skip them)";                                           \
        }                                                                                                    \
    } while (false)

// One run of qd_test_window_app: its windows exist once the constructor returns.
class TestWindowApp {
public:
    // On $DISPLAY unless another display is named.
    explicit TestWindowApp(const QStringList& arguments, const QByteArray& display = {});
    ~TestWindowApp();
    TestWindowApp(const TestWindowApp&) = delete;
    TestWindowApp& operator=(const TestWindowApp&) = delete;

    bool isReady() const { return m_ready; }
    std::int64_t pid() const { return m_process.processId(); }
    // In the order the options named them.
    const std::vector<std::uint64_t>& windows() const { return m_windows; }
    std::uint64_t window(std::size_t index) const { return m_windows.at(index); }
    // Sends a command and waits for its acknowledgement.
    bool send(const QByteArray& command);
    void stop();

private:
    bool readLine(QByteArray& line, int timeoutMs);

    QProcess m_process;
    std::vector<std::uint64_t> m_windows;
    bool m_ready = false;
};

// Runs xdotool, wmctrl and the like; false (with the tool's complaint added to the test) when it fails.
bool runTool(const QString& program, const QStringList& arguments);
QString hexWindow(std::uint64_t window);

// Polls the condition (processing Qt events meanwhile) until it holds or the time is up.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
// Processes Qt events for the given time.
void spin(int milliseconds);

// An X server of the test's own (Xvfb), with no window manager unless one is started on it.
class PrivateXServer {
public:
    // Extra Xvfb arguments, such as "-extension X-Resource" to leave an extension out.
    explicit PrivateXServer(const QStringList& extraArguments = {});
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    bool isRunning() const { return !m_display.isEmpty(); }
    QByteArray display() const { return m_display; }

    // Starts openbox on this server.
    bool startWindowManager();
    // Kills it without a chance to clean up, as a crash would.
    void killWindowManager();

    // The server itself: gone at once, as in a crash; stopped (SIGSTOP: it answers nothing) and going on.
    void kill();
    void pause();
    void resume();

private:
    QProcess m_server;
    QProcess m_windowManager;
    QByteArray m_display;
};
