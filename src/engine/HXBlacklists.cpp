#include "engine/HXBlacklists.h"

#include "foundation/HXStringChecks.h"

HXArrayRef blacklistWithName(HXDictionary& configuration, const QString& name) {
    if (HXArrayRef list = configuration.arrayForKey(name))
        return list;
    auto list = HXArray::create();
    list->append(name == HXKeys::ApplicationBlacklist.text ? QStringLiteral("Qualdern")
                                                           : QStringLiteral("http*://*"));
    configuration.setValue(name, list);
    return list;
}

HXTickBlacklists preprocessBlacklists(HXDictionary& configuration) {
    HXTickBlacklists result;

    std::vector<QString> applicationEntries;
    for (const HXValue& entry :
         blacklistWithName(configuration, HXKeys::ApplicationBlacklist.text.toString())->values()) {
        if (entry.isString())
            applicationEntries.push_back(trimmedApplicationNameByIgnoringExtension(entry.toString()));
    }
    result.applications = HXCompiledBlacklist(applicationEntries);

    result.plainWindowEntries = HXArray::create();
    for (const HXValue& entry :
         blacklistWithName(configuration, HXKeys::WindowBlacklist.text.toString())->values()) {
        const qsizetype arrow = entry.isString() ? entry.toString().indexOf(kRightTriangleArrow) : -1;
        if (arrow < 0) {
            result.plainWindowEntries->append(entry);
            continue;
        }
        const QString& text = entry.toString();
        const QString qualifier = trimmedApplicationNameByIgnoringExtension(text.first(arrow));
        const QString value = text.sliced(arrow + 1).trimmed();
        if (qualifier.isEmpty() || qualifier == u'*')
            result.plainWindowEntries->append(value);
        else
            result.qualifiedWindows.append(qualifier, value.isEmpty() ? QStringLiteral("*") : value);
    }
    result.plainWindows = HXCompiledBlacklist(result.plainWindowEntries.get());
    return result;
}

const HXTickBlacklists& HXBlacklistCache::update(HXDictionary& configuration) {
    const std::vector<HXValue>& applications =
        blacklistWithName(configuration, HXKeys::ApplicationBlacklist.text.toString())->values();
    const std::vector<HXValue>& windows =
        blacklistWithName(configuration, HXKeys::WindowBlacklist.text.toString())->values();
    if (!m_current || applications != m_applicationSource || windows != m_windowSource) {
        m_applicationSource = applications;
        m_windowSource = windows;
        m_current = preprocessBlacklists(configuration);
    }
    return *m_current;
}
