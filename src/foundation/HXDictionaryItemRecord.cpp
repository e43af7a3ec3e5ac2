// The item-record side of the dictionary: names, kinds and resets.
#include "foundation/HXDictionary.h"

#include "foundation/HXLocalization.h"

using namespace HXKeys;

namespace {

bool hasVisibleText(const QString& s) {
    // Nearly every name begins with a visible character; only the others need trimming.
    return !s.isEmpty() && (!s.front().isSpace() || !QStringView(s).trimmed().isEmpty());
}

} // namespace

QString HXDictionary::itemNameOrAnyApplicationSpecifier(bool any) const {
    if (any && boolForKey(MatchAnyApplication))
        return HXLocalized("Any Application");
    const HXValue* name = find(Name);
    if (name && hasVisibleText(name->toString()))
        return name->toString();
    if (stringForKey(Path) == QStringView(kPoolPath)) {
        // Its items as the organizer shows them, once a tick has listed them.
        const HXArrayRef children = m_listChildren ? m_listChildren : arrayForKey(Children);
        if (!children || children->values().empty())
            return HXLocalized("Empty Pool");
        QStringList names;
        for (const HXValue& childValue : children->values()) {
            const HXDictionaryRef& child = childValue.toDictionary();
            if (!child) {
                names.append(QString());
                continue;
            }
            QString childName = child->itemNameOrAnyApplicationSpecifier(false);
            const HXArrayRef grandchildren = child->arrayForKey(Children);
            if (grandchildren && !grandchildren->isEmpty())
                childName = QStringLiteral("%1 (%2)").arg(childName).arg(grandchildren->count());
            names.append(childName);
        }
        return names.join(QStringLiteral(" | "));
    }
    if (stringForKey(ApplicationID) == QStringView(kAdHocPath)) {
        return stringForKey(Path) == QStringView(kWindowPath) ? HXLocalized("Unspecified")
                                                              : HXLocalized("Ad Hoc");
    }
    return name ? name->toString() : QString();
}

bool HXDictionary::isPoolOrPoolItem() const {
    return stringForKey(Type) == QStringView(kPoolItemType) || stringForKey(Path) == QStringView(kPoolPath);
}

bool HXDictionary::isWindowTitleFilterEligibleItem() const {
    return !isPoolOrPoolItem() && stringForKey(Path) != QStringView(kWindowPath);
}

void HXDictionary::resetTimersRecursively() {
    for (const HXKey& key : {Active, ActiveLog, Time, FrontActive, FrontActiveLog, FrontTime})
        remove(key);
    if (const HXDictionaryRef windows = dictionaryForKey(WindowsByName)) {
        for (const Entry& e : windows->entries()) {
            if (const HXDictionaryRef& window = e.value.toDictionary())
                window->resetTimersRecursively();
        }
    } else if (const HXArrayRef children = arrayForKey(Children)) {
        for (const HXValue& v : children->values()) {
            if (const HXDictionaryRef& child = v.toDictionary())
                child->resetTimersRecursively();
        }
    }
}
