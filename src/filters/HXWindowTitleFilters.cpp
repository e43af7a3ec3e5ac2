#include "filters/HXWindowTitleFilters.h"

#include "filters/HXFilterKeys.h"
#include "foundation/HXLocalization.h"

namespace {

bool isStringEqualTo(const HXValue* value, const QString& text) {
    return value && value->isString() && value->toString() == text;
}

} // namespace

HXArrayRef windowTitleFiltersWithIdentifier(HXDictionary& configuration, const QString& identifier,
                                            const HXDictionary* application, bool clear) {
    if (identifier.isNull())
        return nullptr;

    HXArrayRef entries = configuration.arrayForKey(HXFilterKeys::WindowTitleFilters);
    HXDictionaryRef entry;
    HXArrayRef filters;
    if (entries) {
        for (const HXValue& value : entries->values()) {
            const HXDictionaryRef& candidate = value.toDictionary();
            if (candidate && (isStringEqualTo(candidate->find(HXKeys::ApplicationID), identifier) ||
                              isStringEqualTo(candidate->find(HXKeys::Name), identifier))) {
                entry = candidate;
                filters = entry->arrayForKey(HXFilterKeys::Filters);
                break;
            }
        }
    }

    if (application && !filters) {
        if (!entry) {
            entry = HXDictionary::create();
            entry->tryToSetObject(application->value(HXKeys::ApplicationID), HXKeys::ApplicationID);
            entry->tryToSetObject(application->value(HXKeys::Name), HXKeys::Name);
            if (!entries) {
                entries = HXArray::create();
                configuration.setValue(HXFilterKeys::WindowTitleFilters, entries);
            }
            entries->append(entry);
        }
        filters = HXArray::create();
        entry->setValue(HXFilterKeys::Filters, filters);
        return filters;
    }
    if (clear && entry) {
        entries->removeDictionary(entry.get());
        return nullptr;
    }
    return filters;
}

HXDictionaryRef currentWindowTitleFilter(HXDictionary& configuration, const HXDictionary& application) {
    const HXArrayRef filters = windowTitleFiltersWithIdentifier(
        configuration, application.stringForKey(HXKeys::ApplicationID), nullptr, false);
    HXDictionaryRef last = filters ? filters->last().toDictionary() : nullptr;
    return last ? last : HXDictionary::create();
}

bool applyEditedWindowTitleFilter(HXDictionary& configuration, const HXDictionary& application,
                                  const HXDictionaryRef& newRecord,
                                  const std::function<void()>& pushUndoState) {
    const HXDictionaryRef record = newRecord ? newRecord : HXDictionary::create();
    if (*record == *currentWindowTitleFilter(configuration, application))
        return false;
    if (pushUndoState)
        pushUndoState();
    const QString& identifier = application.stringForKey(HXKeys::ApplicationID);
    if (record->isEmpty()) {
        windowTitleFiltersWithIdentifier(configuration, identifier, nullptr, true);
    } else if (HXArrayRef filters =
                   windowTitleFiltersWithIdentifier(configuration, identifier, &application, false)) {
        filters->clear();
        filters->append(record);
    }
    return true;
}

QString windowTitleFilterHeader(const HXDictionary& application) {
    return HXLocalized("%1: Window Title Filter").arg(application.stringForKey(HXKeys::Name));
}
