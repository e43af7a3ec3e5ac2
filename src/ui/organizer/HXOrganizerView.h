#pragma once

#include "foundation/HXDictionary.h"

#include <QSplitter>

#include <memory>

class HXAdHocTimerCommands;
class HXItemIcons;
class HXItemList;
class HXMainController;
class HXOrganizerModel;

// The organizer's container: the application outline above the pool outline in a split view, one
// selection across both, the divider kept per window under "ListSplitView: <window class>: Divider",
// the sort column shown in both, and the hibernating look when tracking is suspended. It moves between
// the list window and (in status item mode) the panel.
class HXOrganizerView : public QSplitter {
    Q_OBJECT

public:
    HXOrganizerView(HXMainController& controller, HXAdHocTimerCommands* adHocTimer, HXItemIcons& icons,
                    QWidget* parent = nullptr);
    ~HXOrganizerView() override;

    HXItemList& applicationList() const { return *m_applicationList; }
    HXItemList& poolList() const { return *m_poolList; }
    HXOrganizerModel& applicationModel() const { return *m_applicationModel; }
    HXOrganizerModel& poolModel() const { return *m_poolModel; }

    // The selected row of the pool outline, else of the application outline.
    HXDictionaryRef selectedItem() const;
    // The outline showing the record: the pool outline for pools and pool items.
    HXItemList& listForRecord(const HXDictionary& record) const;
    bool hasRowForItem(const HXDictionary* record) const;
    bool isRowExpandedForItem(const HXDictionary* record) const;
    bool toggleExpansionForItem(const HXDictionary* record);

    // The window's own divider position; nothing while the view has no window.
    void saveListSplitViewDividerPosition();
    void restoreListSplitViewDividerPosition();
    // Every row drawn again (settings that change every row's look).
    void redisplay();

private:
    QString dividerKey() const;
    void applyStoredDividerPosition();
    void updateSortIndicators();

    HXMainController& m_controller;
    std::unique_ptr<HXOrganizerModel> m_applicationModel;
    std::unique_ptr<HXOrganizerModel> m_poolModel;
    HXItemList* m_applicationList;
    HXItemList* m_poolList;
};
