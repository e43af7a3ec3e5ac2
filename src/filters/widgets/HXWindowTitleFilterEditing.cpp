#include "filters/widgets/HXWindowTitleFilterEditing.h"

#include "filters/HXWindowTitleFilters.h"
#include "filters/widgets/HXFilterEditor.h"

bool editWindowTitleFiltersForApplication(const HXDictionaryRef& configuration,
                                          const HXDictionaryRef& application, QWidget* parentWindow,
                                          std::function<void()> pushUndoState,
                                          std::function<void(bool changed)> finished) {
    const HXDictionaryRef current = currentWindowTitleFilter(*configuration, *application);
    return HXFilterEditor::runEditorWithFilter(
        current, windowTitleFilterHeader(*application), parentWindow,
        [configuration, application, pushUndoState = std::move(pushUndoState),
         finished = std::move(finished)](const HXDictionaryRef& filter) {
            const bool changed =
                applyEditedWindowTitleFilter(*configuration, *application, filter, pushUndoState);
            if (finished)
                finished(changed);
        });
}
