#include "X11TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <xcb/xcb.h>

#include <algorithm>
#include <csignal>

TestWindowApp::TestWindowApp(const QStringList& arguments, const QByteArray& display) {
    if (!display.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
        m_process.setProcessEnvironment(environment);
    }
    m_process.setProgram(QStringLiteral(QD_TEST_WINDOW_APP));
    m_process.setArguments(arguments);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start();
    QByteArray line;
    if (!m_process.waitForStarted(5000) || !readLine(line, 10000) || !line.startsWith("ready")) {
        ADD_FAILURE() << "qd_test_window_app did not start: " << line.constData();
        return;
    }
    const QList<QByteArray> fields = line.trimmed().split(' ');
    for (qsizetype i = 1; i < fields.size(); ++i)
        m_windows.push_back(fields[i].toULongLong());
    m_ready = true;
}

TestWindowApp::~TestWindowApp() {
    stop();
}

void TestWindowApp::stop() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

bool TestWindowApp::readLine(QByteArray& line, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!m_process.canReadLine()) {
        const qint64 left = timeoutMs - timer.elapsed();
        if (left <= 0 || !m_process.waitForReadyRead(static_cast<int>(left)))
            return false;
    }
    line = m_process.readLine();
    return true;
}

bool TestWindowApp::send(const QByteArray& command) {
    m_process.write(command + '\n');
    QByteArray line;
    return readLine(line, 5000) && line.trimmed() == "done";
}

bool runTool(const QString& program, const QStringList& arguments) {
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(10000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << ' ' << arguments.join(u' ').toStdString()
                      << " failed: " << tool.readAllStandardError().constData();
        return false;
    }
    return true;
}

QString hexWindow(std::uint64_t window) {
    return QStringLiteral("0x") + QString::number(window, 16);
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        spin(20);
    }
    return true;
}

void spin(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    do {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    } while (timer.elapsed() < milliseconds);
}

PrivateXServer::PrivateXServer(const QStringList& extraArguments) {
    // -displayfd picks a free display and writes its number once the server accepts connections;
    // -noreset keeps the server from resetting (and refusing connections for a moment) whenever its last
    // client leaves.
    m_server.start(QStringLiteral("Xvfb"),
                   QStringList{QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                               QStringLiteral("tcp"), QStringLiteral("-noreset"), QStringLiteral("-screen"),
                               QStringLiteral("0"), QStringLiteral("640x480x24")} +
                       extraArguments);
    QElapsedTimer timer;
    timer.start();
    while (!m_server.canReadLine() && timer.elapsed() < 10000)
        m_server.waitForReadyRead(500);
    const QByteArray number = m_server.readLine().trimmed();
    if (number.isEmpty()) {
        ADD_FAILURE() << "Xvfb did not start";
        return;
    }
    m_display = ':' + number;
}

bool PrivateXServer::startWindowManager() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(m_display));
    m_windowManager.setProcessEnvironment(environment);
    m_windowManager.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    if (!m_windowManager.waitForStarted())
        return false;
    // The window manager announces itself a moment before it manages new windows (a window mapped in
    // between stays unmanaged), so a probe window is mapped until one shows up in its client list.
    xcb_connection_t* c = xcb_connect(m_display.constData(), nullptr);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, 16, "_NET_CLIENT_LIST"), nullptr);
    const xcb_atom_t clientList = atom ? atom->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(atom);
    bool managed = false;
    for (int attempt = 0; attempt < 50 && !managed && !xcb_connection_has_error(c); ++attempt) {
        const xcb_window_t probe = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, probe, screen->root, 0, 0, 10, 10, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        xcb_map_window(c, probe);
        xcb_flush(c);
        for (int poll = 0; poll < 10 && !managed; ++poll) {
            QThread::msleep(20);
            xcb_get_property_reply_t* list = xcb_get_property_reply(
                c, xcb_get_property(c, 0, screen->root, clientList, XCB_ATOM_WINDOW, 0, 1024), nullptr);
            if (list) {
                const auto* windows = static_cast<const xcb_window_t*>(xcb_get_property_value(list));
                const int count = xcb_get_property_value_length(list) / 4;
                managed = std::find(windows, windows + count, probe) != windows + count;
            }
            std::free(list);
        }
        xcb_destroy_window(c, probe);
    }
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    xcb_disconnect(c);
    return managed;
}

void PrivateXServer::killWindowManager() {
    m_windowManager.kill();
    m_windowManager.waitForFinished();
}

void PrivateXServer::kill() {
    m_server.kill();
    m_server.waitForFinished(3000);
}

void PrivateXServer::pause() {
    ::kill(static_cast<pid_t>(m_server.processId()), SIGSTOP);
}

void PrivateXServer::resume() {
    ::kill(static_cast<pid_t>(m_server.processId()), SIGCONT);
}

PrivateXServer::~PrivateXServer() {
    resume();
    killWindowManager();
    m_server.terminate();
    if (!m_server.waitForFinished(3000)) {
        m_server.kill();
        m_server.waitForFinished(3000);
    }
}
