// The item-record side of the dictionary: names, kinds and the per-tick states.
#include "foundation/HXDictionary.h"

#include "foundation/HXLocalization.h"

#include <cmath>

using namespace HXKeys;

namespace {

constexpr double kSimilarity = 0.001;

bool hasVisibleText(const QString& s) {
    return !QStringView(s).trimmed().isEmpty();
}

} // namespace

QString HXDictionary::itemNameOrAnyApplicationSpecifier(bool any) const {
    if (any && boolForKey(MatchAnyApplication))
        return HXLocalized("Any Application");
    const HXValue* name = find(Name);
    if (name && hasVisibleText(name->toString()))
        return name->toString();
    if (stringForKey(Path) == QStringView(kPoolPath)) {
        const HXArrayRef children = arrayForKey(Children);
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

void HXDictionary::setPreliminaryStates(bool gap, double interval, bool frontmost) {
    if (!boolForKey(ActiveTransient)) {
        setBool(true, ActiveTransient);
        if (!gap && boolForKey(Active))
            addTimeInterval(interval, Time);
    }
    if (frontmost && !boolForKey(FrontActiveTransient)) {
        setBool(true, FrontActiveTransient);
        if (!gap && boolForKey(FrontActive))
            addTimeInterval(interval, FrontTime);
    }
}

bool HXDictionary::consolidateFrontState(bool front, bool gap, double now, double previous) {
    const HXKey transientKey = front ? FrontActiveTransient : ActiveTransient;
    const HXKey stateKey = front ? FrontActive : Active;
    const HXKey logKey = front ? FrontActiveLog : ActiveLog;

    const HXValue* transient = find(transientKey);
    const bool seen = transient && transient->toBool();
    HXArray* log = arrayPointerForKey(logKey);
    const bool hasLast = log && !log->isEmpty();
    const double last = hasLast ? log->numberAt(log->count() - 1) : 0.0;
    bool open = hasLast && last > 0;
    // Most records of years of data are dormant: not seen, not active, nothing open. Nothing to do.
    if (!seen && !open && !transient && !find(stateKey))
        return false;

    setBool(seen, stateKey);
    remove(transientKey);

    if (gap && open) {
        if (previous < kSimilarity || std::fabs(last - previous) < kSimilarity)
            log->removeLast();
        else
            log->appendDouble(-previous);
        open = false;
    }
    if (seen) {
        if (!open) { // an entry left open by the previous tick simply runs on
            if (!log) {
                auto created = HXArray::create();
                log = created.get();
                setValue(logKey, std::move(created));
            }
            log->appendDouble(now);
        }
    } else if (open) {
        if (previous < kSimilarity)
            log->appendDouble(-now);
        else if (std::fabs(last - previous) < kSimilarity)
            log->removeLast();
        else
            log->appendDouble(-previous);
    }
    return seen;
}

bool HXDictionary::consolidateStates(bool gap, double now, double previous) {
    consolidateFrontState(true, gap, now, previous);
    return consolidateFrontState(false, gap, now, previous);
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
