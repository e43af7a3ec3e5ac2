#include "foundation/HXLog.h"

#include <QMutex>

#include <atomic>
#include <cstdio>
#include <syslog.h>

namespace {

std::atomic<bool> g_debugEnabled{false};

// The log is process-wide like the system log it feeds; background parsers log too, hence the lock.
struct LogState {
    QMutex mutex;
    int captures = 0;
    QStringList captured;
    bool syslogOpen = false;
};

LogState& state() {
    static LogState s;
    return s;
}

} // namespace

void HXSystemLog(const QString& line) {
    LogState& s = state();
    QMutexLocker lock(&s.mutex);
    if (s.captures > 0) {
        s.captured.append(line);
        return;
    }
    const QByteArray utf8 = line.toUtf8();
    if (!s.syslogOpen) {
        openlog("Qualdern", LOG_PID, LOG_USER);
        s.syslogOpen = true;
    }
    syslog(LOG_NOTICE, "%s", utf8.constData());
    std::fprintf(stderr, "Qualdern: %s\n", utf8.constData());
}

bool HXDebugLog(const QString& line) {
    if (!g_debugEnabled.load(std::memory_order_relaxed))
        return false;
    HXSystemLog(QStringLiteral("[Qualdern Debug Log] ") + line);
    return true;
}

void HXLogging::setDebugEnabled(bool enabled) {
    g_debugEnabled.store(enabled, std::memory_order_relaxed);
}

bool HXLogging::debugEnabled() {
    return g_debugEnabled.load(std::memory_order_relaxed);
}

HXLogging::Capture::Capture() {
    QMutexLocker lock(&state().mutex);
    ++state().captures;
}

HXLogging::Capture::~Capture() {
    QMutexLocker lock(&state().mutex);
    if (--state().captures == 0)
        state().captured.clear();
}

QStringList HXLogging::Capture::lines() const {
    QMutexLocker lock(&state().mutex);
    return state().captured;
}

bool HXLogging::Capture::contains(const QString& fragment) const {
    const QStringList all = lines();
    for (const QString& line : all) {
        if (line.contains(fragment))
            return true;
    }
    return false;
}

void HXLogging::Capture::clear() {
    QMutexLocker lock(&state().mutex);
    state().captured.clear();
}
