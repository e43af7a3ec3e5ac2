#include "engine/HXConfigurationUpgrade.h"

#include "foundation/HXKeys.h"
#include "foundation/HXLog.h"

namespace {

// Removes the keys that only made sense for one run of a window; returns how many there were.
unsigned long removeWindowMetadata(HXDictionary& window) {
    unsigned long removed = 0;
    for (const char16_t* key : {u"PID", u"Window Number"}) {
        if (window.remove(QStringView(key)))
            ++removed;
    }
    return removed;
}

} // namespace

bool HXUpgradeConfiguration(HXDictionary& configuration) {
    if (configuration.integerForKey(HXKeys::Version) > kHXConfigurationVersion - 1)
        return false;
    unsigned long redundantReferences = 0;
    unsigned long metadataFields = 0;
    if (const HXDictionaryRef applications = configuration.dictionaryForKey(HXKeys::Applications)) {
        for (const HXDictionary::Entry& entry : applications->entries()) {
            const HXDictionaryRef& application = entry.value.toDictionary();
            if (!application)
                continue;
            if (const HXValue* children = application->find(HXKeys::Children)) {
                redundantReferences +=
                    children->isArray() ? static_cast<unsigned long>(children->toArray()->count()) : 0;
                application->remove(HXKeys::Children);
            }
            if (const HXDictionaryRef windows = application->dictionaryForKey(HXKeys::WindowsByName)) {
                for (const HXDictionary::Entry& w : windows->entries()) {
                    if (const HXDictionaryRef& window = w.value.toDictionary())
                        metadataFields += removeWindowMetadata(*window);
                }
            }
        }
    }
    if (const HXArrayRef pools = configuration.arrayForKey(HXKeys::Pools)) {
        for (const HXValue& poolValue : pools->values()) {
            const HXDictionaryRef& pool = poolValue.toDictionary();
            const HXArrayRef items = pool ? pool->arrayForKey(HXKeys::Children) : nullptr;
            if (!items)
                continue;
            for (const HXValue& itemValue : items->values()) {
                const HXDictionaryRef& item = itemValue.toDictionary();
                const HXArrayRef windowItems = item ? item->arrayForKey(HXKeys::Children) : nullptr;
                if (!windowItems)
                    continue;
                for (const HXValue& w : windowItems->values()) {
                    if (const HXDictionaryRef& windowItem = w.toDictionary())
                        metadataFields += removeWindowMetadata(*windowItem);
                }
            }
        }
    }
    HXSystemLog(QStringLiteral(
                    "configuration updated (redundant window references: %1; pointless metadata fields: %2)")
                    .arg(redundantReferences)
                    .arg(metadataFields));
    configuration.setValue(HXKeys::Version, kHXConfigurationVersion);
    return true;
}
