#include "platform/x11/HXDesktopEntryMatcher.h"

#include "platform/x11/HXProgramKey.h"

namespace {

// Processes come and go; the cache is emptied rather than kept in step with them.
constexpr qsizetype kMaxCachedAnswers = 1024;

} // namespace

HXDesktopEntryMatcher::HXDesktopEntryMatcher(HXDesktopEntryIndex index,
                                             std::chrono::milliseconds recheckInterval)
    : m_index(std::move(index)), m_recheckInterval(recheckInterval) {}

HXDesktopEntryMatcher HXDesktopEntryMatcher::standard() {
    return HXDesktopEntryMatcher(HXDesktopEntryIndex(
        HXDesktopEntryIndex::standardFolders(), HXDesktopLocale::current(), qEnvironmentVariable("PATH")));
}

std::uint64_t HXDesktopEntryMatcher::refresh() {
    const auto now = std::chrono::steady_clock::now();
    if (m_lastCheck && now - *m_lastCheck < m_recheckInterval)
        return m_generation;
    if (!m_lastCheck || m_index.isStale()) {
        m_index.rebuild();
        m_cache.clear();
        ++m_generation;
    }
    m_lastCheck = now;
    return m_generation;
}

HXDesktopEntryIndex::Entry HXDesktopEntryMatcher::match(std::int64_t pid, const QString& instanceName,
                                                        const QString& className) {
    refresh();
    const QString key = QString::number(pid) + u'\x1f' + instanceName + u'\x1f' + className;
    const auto cached = m_cache.constFind(key);
    if (cached != m_cache.constEnd())
        return *cached;
    if (m_cache.size() >= kMaxCachedAnswers)
        m_cache.clear();
    HXDesktopEntryIndex::Entry entry = find(pid, instanceName, className);
    m_cache.insert(key, entry);
    return entry;
}

HXDesktopEntryIndex::Entry HXDesktopEntryMatcher::find(std::int64_t pid, const QString& instanceName,
                                                       const QString& className) const {
    for (const Qt::CaseSensitivity sensitivity : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        for (const QString* name : {&className, &instanceName}) {
            if (auto e = m_index.byStartupWMClass(*name, sensitivity))
                return e;
        }
    }
    if (auto e = m_index.byIdentifier(className))
        return e;
    return m_index.byProgram(HXProgramKey::forProcess(pid));
}
