#include "platform/wayland/SwaySession.h"

#include "X11TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

std::optional<SessionUser> SessionUser::find(QString* failure) {
    SessionUser user;
    user.uid = ::geteuid();
    user.gid = ::getegid();
    if (user.uid != 0)
        return user;
    const passwd* entry = ::getpwnam(kWaylandTestUser);
    if (!entry) {
        *failure = QStringLiteral("the tests run as root, and sway refuses root: there is no user %1 to run "
                                  "it as (./test.sh creates it)")
                       .arg(QString::fromLatin1(kWaylandTestUser));
        return std::nullopt;
    }
    user.uid = entry->pw_uid;
    user.gid = entry->pw_gid;
    user.switches = true;
    return user;
}

void SessionUser::apply(QProcess& process) const {
    if (!switches)
        return;
    const uid_t u = uid;
    const gid_t g = gid;
    process.setChildProcessModifier([u, g] {
        // Only calls that are safe between fork and exec.
        if (::setgroups(0, nullptr) != 0 || ::setgid(g) != 0 || ::setuid(u) != 0)
            ::_exit(126);
    });
}

bool SessionUser::own(const QString& path) const {
    return !switches || ::chown(QFile::encodeName(path).constData(), uid, gid) == 0;
}

SwaySession::SwaySession() {
    if (QStandardPaths::findExecutable(QStringLiteral("sway")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("foot")).isEmpty()) {
        m_failure = QStringLiteral("sway and foot are not installed");
        return;
    }
    const std::optional<SessionUser> user = SessionUser::find(&m_failure);
    if (!user)
        return;
    m_user = *user;
    if (!m_folder.isValid() || !m_user.own(m_folder.path()) ||
        !QDir(m_folder.path()).mkpath(QStringLiteral("runtime")) ||
        !m_user.own(m_folder.filePath(QStringLiteral("runtime"))) ||
        !QFile::setPermissions(m_folder.filePath(QStringLiteral("runtime")),
                               QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)) {
        m_failure = QStringLiteral("cannot make the session's folders");
        return;
    }
    m_running = startCompositor() && startBus();
}

SwaySession::~SwaySession() {
    for (QProcess* p : {&m_bus, &m_sway}) {
        if (p->state() != QProcess::NotRunning) {
            p->terminate();
            if (!p->waitForFinished(3000)) {
                p->kill();
                p->waitForFinished(3000);
            }
        }
    }
}

bool SwaySession::startCompositor() {
    const QString runtime = m_folder.filePath(QStringLiteral("runtime"));
    const QString config = m_folder.filePath(QStringLiteral("sway.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write("output HEADLESS-1 resolution 1280x800\nfocus_on_window_activation focus\n") < 0) {
        m_failure = QStringLiteral("cannot write the sway configuration");
        return false;
    }
    file.close();
    m_user.own(config);

    QProcessEnvironment environment;
    environment.insert(QStringLiteral("HOME"), m_folder.path());
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/local/bin:/usr/bin:/bin"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_folder.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_folder.filePath(QStringLiteral("data")));
    QProcessEnvironment compositor = environment;
    compositor.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
    compositor.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
    compositor.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
    m_sway.setProcessEnvironment(compositor);
    m_sway.setStandardOutputFile(m_folder.filePath(QStringLiteral("sway.log")));
    m_sway.setStandardErrorFile(m_folder.filePath(QStringLiteral("sway.log")));
    m_user.apply(m_sway);
    m_sway.start(QStringLiteral("sway"), {QStringLiteral("-c"), config});
    if (!m_sway.waitForStarted(5000)) {
        m_failure = QStringLiteral("sway does not start");
        return false;
    }
    QString display;
    QString ipc;
    const bool ready = waitUntil(
        [&] {
            for (const QFileInfo& entry : QDir(runtime).entryInfoList(QDir::System | QDir::Files)) {
                if (entry.fileName().startsWith(u"wayland-") && !entry.fileName().endsWith(u".lock"))
                    display = entry.fileName();
                if (entry.fileName().startsWith(u"sway-ipc."))
                    ipc = entry.filePath();
            }
            return (!display.isEmpty() && !ipc.isEmpty()) || m_sway.state() != QProcess::Running;
        },
        10000);
    if (!ready || m_sway.state() != QProcess::Running) {
        QFile log(m_folder.filePath(QStringLiteral("sway.log")));
        log.open(QIODevice::ReadOnly);
        m_failure =
            QStringLiteral("headless sway did not come up: ") + QString::fromUtf8(log.readAll().right(2000));
        return false;
    }
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), display);
    environment.insert(QStringLiteral("SWAYSOCK"), ipc);
    m_environment = environment;
    // The IPC socket exists a moment before sway answers on it.
    if (!waitUntil([this] { return message({QStringLiteral("-t"), QStringLiteral("get_version")}); }, 5000)) {
        m_failure = QStringLiteral("sway does not answer on its IPC socket");
        return false;
    }
    return true;
}

bool SwaySession::startBus() {
    m_user.apply(m_bus);
    m_bus.setProcessEnvironment(m_environment);
    m_bus.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                QStringLiteral("--print-address=1")});
    QByteArray address;
    if (!m_bus.waitForStarted(5000) || !waitUntil(
                                           [&] {
                                               // No event loop reads for the process here.
                                               m_bus.waitForReadyRead(50);
                                               address += m_bus.readAllStandardOutput();
                                               return address.contains('\n');
                                           },
                                           5000)) {
        m_failure = QStringLiteral("no session bus for the sway session");
        return false;
    }
    m_environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromUtf8(address.trimmed()));
    return true;
}

QString SwaySession::runnable(const QString& program) {
    const QString copy = m_folder.filePath(QFileInfo(program).fileName());
    if (!QFileInfo::exists(copy) && (!QFile::copy(program, copy) || !m_user.own(copy)))
        return QString();
    return copy;
}

bool SwaySession::start(QProcess& process, const QString& program, const QStringList& arguments,
                        const QProcessEnvironment& extra) {
    QProcessEnvironment environment = m_environment;
    environment.insert(extra);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(m_folder.path());
    m_user.apply(process);
    process.start(program, arguments);
    return process.waitForStarted(10000);
}

bool SwaySession::startTerminal(QProcess& process, const QString& title, const QString& appId) {
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return start(process, QStringLiteral("foot"),
                 {QStringLiteral("--title"), title, QStringLiteral("--app-id"), appId,
                  QStringLiteral("sleep"), QStringLiteral("600")}) &&
           waitForWindow(title);
}

bool SwaySession::message(const QStringList& arguments, QByteArray* output) {
    QProcess swaymsg;
    if (!start(swaymsg, QStringLiteral("swaymsg"), arguments) || !swaymsg.waitForFinished(10000))
        return false;
    if (output)
        *output = swaymsg.readAllStandardOutput();
    return swaymsg.exitStatus() == QProcess::NormalExit && swaymsg.exitCode() == 0;
}

bool SwaySession::focus(const QString& title) {
    return message({QStringLiteral("[title=\"%1\"] focus").arg(title)});
}

bool SwaySession::waitForWindow(const QString& title, int timeoutMs) {
    const QByteArray needle = "\"name\": \"" + title.toUtf8() + '"';
    return waitUntil(
        [&] {
            QByteArray tree;
            return message({QStringLiteral("-t"), QStringLiteral("get_tree")}, &tree) &&
                   tree.contains(needle);
        },
        timeoutMs);
}

void SwaySession::kill() {
    m_sway.kill();
    m_sway.waitForFinished(5000);
}
