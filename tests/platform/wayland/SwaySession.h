#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <sys/types.h>

// The user the Wayland tests run the compositor, its clients and the tracker as when they run as root
// (sway refuses root); ./test.sh creates it.
inline constexpr char kWaylandTestUser[] = "qualdern-test";

// Tests that need a headless sway fail without one, so that a broken environment is not mistaken for a
// passing one; QD_NO_WAYLAND_TESTS skips them instead.
#define QD_REQUIRE_SWAY(session)                                                                             \
    do {                                                                                                     \
        if (!(session).isRunning()) {                                                                        \
            if (qEnvironmentVariableIsSet("QD_NO_WAYLAND_TESTS"))                                            \
                GTEST_SKIP() << (session).failure().toStdString();                                           \
            FAIL() << (session).failure().toStdString() << " (set QD_NO_WAYLAND_TESTS to skip)";             \
        }                                                                                                    \
    } while (false)

// Who the session's processes run as: the test user when the tests run as root, else the tests' own user.
struct SessionUser {
    uid_t uid = 0;
    gid_t gid = 0;
    bool switches = false;

    static std::optional<SessionUser> find(QString* failure);
    // Makes process start as this user.
    void apply(QProcess& process) const;
    // Hands a file or folder (not what is inside) to the user.
    bool own(const QString& path) const;
};

// A headless sway of the test's own (WLR_BACKENDS=headless, pixman rendering, no input devices) with a
// runtime folder of its own, and a session bus of its own for the programs started in it. Programs run
// as the session user with the session's environment; those in the build folder are copied where that
// user can run them.
class SwaySession {
public:
    SwaySession();
    ~SwaySession();
    SwaySession(const SwaySession&) = delete;
    SwaySession& operator=(const SwaySession&) = delete;

    bool isRunning() const { return m_running; }
    QString failure() const { return m_failure; }

    // WAYLAND_DISPLAY, XDG_RUNTIME_DIR, SWAYSOCK, HOME, PATH and the session bus.
    QProcessEnvironment environment() const { return m_environment; }
    // A folder of the session user's, removed with the session.
    QString folder() const { return m_folder.path(); }
    // A copy of a program of the build where the session user can run it.
    QString runnable(const QString& program);
    // Starts a program as the session user; extra is added to the session's environment.
    bool start(QProcess& process, const QString& program, const QStringList& arguments,
               const QProcessEnvironment& extra = {});
    // Starts a foot terminal with the title and app_id, and waits until sway shows it.
    bool startTerminal(QProcess& process, const QString& title, const QString& appId);
    // Runs swaymsg with the arguments; false when it fails.
    bool message(const QStringList& arguments, QByteArray* output = nullptr);
    bool focus(const QString& title);
    // Waits until sway has a window with the title.
    bool waitForWindow(const QString& title, int timeoutMs = 10000);
    // The compositor goes away as in a crash.
    void kill();
    const SessionUser& user() const { return m_user; }

private:
    bool startCompositor();
    bool startBus();

    QTemporaryDir m_folder;
    SessionUser m_user;
    QProcess m_sway;
    QProcess m_bus;
    QProcessEnvironment m_environment;
    bool m_running = false;
    QString m_failure;
};
