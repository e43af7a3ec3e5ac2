#include "X11TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

TestWindowApp::TestWindowApp(const QStringList& arguments) {
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

PrivateXServer::PrivateXServer() {
    // -displayfd picks a free display and writes its number once the server accepts connections.
    m_server.start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                    QStringLiteral("tcp"), QStringLiteral("-noreset"), QStringLiteral("-screen"),
                    QStringLiteral("0"), QStringLiteral("640x480x24")});
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

PrivateXServer::~PrivateXServer() {
    m_server.terminate();
    if (!m_server.waitForFinished(3000)) {
        m_server.kill();
        m_server.waitForFinished(3000);
    }
}
