#include "ui/organizer/HXOrganizerView.h"

#include "engine/HXHibernation.h"
#include "engine/HXMainController.h"
#include "foundation/HXUserDefaults.h"
#include "ui/organizer/HXItemList.h"
#include "ui/organizer/HXOrganizerModel.h"

#include <QHeaderView>
#include <QTimer>

namespace {

constexpr int kMinimumRows = 4;

} // namespace

HXOrganizerView::HXOrganizerView(HXMainController& controller, HXAdHocTimerCommands* adHocTimer,
                                 HXItemIcons& icons, QWidget* parent)
    : QSplitter(Qt::Vertical, parent), m_controller(controller),
      m_applicationModel(std::make_unique<HXOrganizerModel>(
          controller, HXOrganizerModel::Outline::Applications, adHocTimer)),
      m_poolModel(
          std::make_unique<HXOrganizerModel>(controller, HXOrganizerModel::Outline::Pools, adHocTimer)) {
    const HXUserDefaults& defaults = controller.services().defaults;
    m_applicationList = new HXItemList(*m_applicationModel, icons, defaults, this);
    m_poolList = new HXItemList(*m_poolModel, icons, defaults, this);
    m_applicationList->setSiblingList(m_poolList);
    m_poolList->setSiblingList(m_applicationList);
    addWidget(m_applicationList);
    addWidget(m_poolList);
    setChildrenCollapsible(false);
    setAccessibleName(QStringLiteral("Organizer"));
    for (HXItemList* list : {m_applicationList, m_poolList}) {
        const int rowHeight =
            list->sizeHintForRow(0) > 0 ? list->sizeHintForRow(0) : list->fontMetrics().height() + 8;
        list->setMinimumHeight(list->header()->sizeHint().height() + kMinimumRows * rowHeight);
        connect(list, &HXItemList::gotSelection, this, [list] {
            if (list->siblingList())
                list->siblingList()->clearSelection();
        });
    }
    // Changes in height are shared out evenly.
    setStretchFactor(0, 1);
    setStretchFactor(1, 1);

    connect(&controller.hibernation(), &HXHibernation::hibernatingChanged, this,
            [this](bool hibernating, bool animate) {
                m_applicationList->setHibernating(hibernating, animate);
                m_poolList->setHibernating(hibernating, animate);
            });
    if (controller.hibernation().isHibernating()) {
        m_applicationList->setHibernating(true, false);
        m_poolList->setHibernating(true, false);
    }
    connect(m_applicationModel.get(), &HXOrganizerModel::reloaded, this,
            &HXOrganizerView::updateSortIndicators);
    connect(this, &QSplitter::splitterMoved, this, &HXOrganizerView::saveListSplitViewDividerPosition);
    updateSortIndicators();
}

HXOrganizerView::~HXOrganizerView() = default;

void HXOrganizerView::updateSortIndicators() {
    m_applicationList->showSortColumn(m_controller.sortColumn());
    m_poolList->showSortColumn(m_controller.sortColumn());
}

HXDictionaryRef HXOrganizerView::selectedItem() const {
    if (HXDictionaryRef pool = m_poolList->selectedRecord())
        return pool;
    return m_applicationList->selectedRecord();
}

HXItemList& HXOrganizerView::listForRecord(const HXDictionary& record) const {
    return record.isPoolOrPoolItem() ? *m_poolList : *m_applicationList;
}

bool HXOrganizerView::hasRowForItem(const HXDictionary* record) const {
    return record && listForRecord(*record).organizerModel()->indexForRecord(record).isValid();
}

bool HXOrganizerView::isRowExpandedForItem(const HXDictionary* record) const {
    if (!record)
        return false;
    HXItemList& list = listForRecord(*record);
    return list.isExpanded(list.organizerModel()->indexForRecord(record));
}

bool HXOrganizerView::toggleExpansionForItem(const HXDictionary* record) {
    if (!hasRowForItem(record))
        return false;
    HXItemList& list = listForRecord(*record);
    const QModelIndex index = list.organizerModel()->indexForRecord(record);
    list.setExpanded(index, !list.isExpanded(index));
    return true;
}

QString HXOrganizerView::dividerKey() const {
    return QStringLiteral("ListSplitView: %1: Divider")
        .arg(QString::fromLatin1(window()->metaObject()->className()));
}

void HXOrganizerView::saveListSplitViewDividerPosition() {
    // A hidden view has no meaningful geometry.
    if (!window() || window() == this || !isVisible())
        return;
    m_controller.services().defaults.setDouble(dividerKey(), m_applicationList->geometry().bottom() + 1);
}

void HXOrganizerView::restoreListSplitViewDividerPosition() {
    if (!window() || window() == this)
        return;
    // The window's layout settles first.
    QTimer::singleShot(0, this, [this] { applyStoredDividerPosition(); });
}

void HXOrganizerView::applyStoredDividerPosition() {
    if (!window() || window() == this)
        return;
    const HXValue stored = m_controller.services().defaults.objectForKey(dividerKey());
    const int total = sizes().value(0) + sizes().value(1);
    // Without a stored position the outlines share the height.
    const double position = stored.isNumber() ? stored.toDouble() : total / 2.0;
    const int first =
        std::clamp(static_cast<int>(position), m_applicationList->minimumHeight(),
                   std::max(m_applicationList->minimumHeight(), total - m_poolList->minimumHeight()));
    setSizes({first, std::max(0, total - first)});
}

void HXOrganizerView::redisplay() {
    m_applicationModel->noteWindowTitleFiltersChanged();
    m_applicationModel->reload();
    m_poolModel->reload();
    m_applicationList->viewport()->update();
    m_poolList->viewport()->update();
}
