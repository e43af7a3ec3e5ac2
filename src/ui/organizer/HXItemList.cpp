#include "ui/organizer/HXItemList.h"

#include "engine/HXMainController.h"
#include "engine/HXOrganizerDrops.h"
#include "foundation/HXLocalization.h"
#include "ui/organizer/HXItemDelegate.h"
#include "ui/organizer/HXOrganizerModel.h"

#include <QApplication>
#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace {

constexpr qreal kHibernationStep = 0.2;
constexpr int kHibernationStepMilliseconds = 30;

bool isHeaderRow(const QModelIndex& index) {
    return index.isValid() && !index.parent().isValid() && index.row() == 0;
}

// A cursor that says the dragged pool goes away when let go here.
QCursor disappearingCursor() {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(6, 6), QPointF(18, 18));
    p.drawLine(QPointF(18, 6), QPointF(6, 18));
    p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(6, 6), QPointF(18, 18));
    p.drawLine(QPointF(18, 6), QPointF(6, 18));
    return QCursor(pixmap);
}

} // namespace

HXItemList::HXItemList(HXOrganizerModel& model, HXItemIcons& icons, const HXUserDefaults& defaults,
                       QWidget* parent)
    : QTreeView(parent), m_model(&model), m_icons(icons), m_defaults(defaults) {
    const bool pools = model.outline() == HXOrganizerModel::Outline::Pools;
    setModel(&model);
    setItemDelegate(new HXItemDelegate(*this, icons, defaults));
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    setDragEnabled(true);
    setDragDropMode(pools ? QAbstractItemView::DragDrop : QAbstractItemView::DragOnly);
    setAcceptDrops(pools);
    setDropIndicatorShown(pools);
    setDefaultDropAction(Qt::CopyAction);
    setAutoExpandDelay(pools ? 700 : -1);
    setAccessibleName(pools ? HXLocalized("Pools") : HXLocalized("Apps"));

    QHeaderView* columns = header();
    columns->setSectionsClickable(true);
    columns->setSortIndicatorShown(true);
    columns->setStretchLastSection(false);
    columns->setSectionResizeMode(HXOrganizerModel::NameColumn, QHeaderView::Stretch);
    // Room for a long duration and its pie.
    const int timeColumnWidth = fontMetrics().horizontalAdvance(QStringLiteral("888.8 days")) + 16 + 8 + 14;
    for (int column : {HXOrganizerModel::FrontColumn, HXOrganizerModel::TotalColumn}) {
        columns->setSectionResizeMode(column, QHeaderView::Interactive);
        columns->resizeSection(column, timeColumnWidth);
    }
    connect(columns, &QHeaderView::sectionClicked, this, [this](int section) {
        setFocus();
        m_model->controller().setSortColumn(section);
    });
    connect(this, &QTreeView::expanded, this,
            [this](const QModelIndex& index) { m_model->setRowExpanded(index, true); });
    connect(this, &QTreeView::collapsed, this,
            [this](const QModelIndex& index) { m_model->setRowExpanded(index, false); });
    connect(m_model, &HXOrganizerModel::reloaded, this, &HXItemList::restoreExpandedState);

    m_hibernationTimer.setInterval(kHibernationStepMilliseconds);
    connect(&m_hibernationTimer, &QTimer::timeout, this, &HXItemList::stepHibernationAnimation);
}

HXItemList::~HXItemList() = default;

HXDictionaryRef HXItemList::selectedRecord() const {
    const QModelIndexList rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    return rows.isEmpty() ? nullptr : m_model->recordForIndex(rows.front());
}

void HXItemList::selectRecord(const HXDictionary* record) {
    const QModelIndex index = m_model->indexForRecord(record);
    if (!index.isValid())
        return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

void HXItemList::showSortColumn(int column) {
    header()->setSortIndicator(column, column == 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void HXItemList::restoreExpandedState() {
    const std::function<void(const HXItemProxy&)> walk = [&](const HXItemProxy& parent) {
        for (const std::unique_ptr<HXItemProxy>& child : parent.children()) {
            if (!child->representedItem())
                continue;
            // Rows the model did not read keep the expansion they had.
            if (!m_model->mayNeedExpansionRestored(*child)) {
                if (child->hasMadeChildren())
                    walk(*child);
                continue;
            }
            const bool expanded = child->representedItem()->boolForKey(HXKeys::Expanded);
            const QModelIndex index = m_model->indexForProxy(child.get());
            if (expanded != isExpanded(index) && (!expanded || child->hasMadeChildren()))
                setExpanded(index, expanded);
            if (expanded)
                walk(*child);
        }
    };
    if (const HXItemProxy* header = m_model->proxyForIndex(m_model->index(0, 0)))
        walk(*header->parent());
}

QRect HXItemList::actionAreaForRow(const QModelIndex& index) const {
    const QModelIndex name = index.siblingAtColumn(HXOrganizerModel::NameColumn);
    if (!name.isValid() || !m_model->canPerformActionForItem(m_model->recordForIndex(name).get()))
        return {};
    return HXItemDelegate::actionRect(visualRect(name)).intersected(viewport()->rect());
}

void HXItemList::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    const HXDictionaryRef record = m_model->recordForIndex(index);
    if (event->button() == Qt::RightButton) {
        std::unique_ptr<QMenu> menu = record && m_contextMenus ? m_contextMenus(record) : nullptr;
        if (!menu)
            return;
        setFocus(Qt::MouseFocusReason);
        selectRecord(record.get());
        menu->exec(event->globalPosition().toPoint());
        return;
    }
    if (event->button() == Qt::LeftButton && record &&
        actionAreaForRow(index).contains(event->position().toPoint())) {
        m_model->controller().setPaused(true);
        m_pressedRecord = record;
        m_pressedIndex = index;
        m_actionItem = record.get();
        viewport()->update(visualRect(index));
        return;
    }
    if (!index.isValid())
        clearSelection();
    QTreeView::mousePressEvent(event);
}

void HXItemList::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pressedRecord)
        return QTreeView::mouseMoveEvent(event);
    const bool inside = actionAreaForRow(m_pressedIndex).contains(event->position().toPoint());
    const HXDictionary* item = inside ? m_pressedRecord.get() : nullptr;
    if (item != m_actionItem) {
        m_actionItem = item;
        viewport()->update(visualRect(m_pressedIndex));
    }
}

void HXItemList::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_pressedRecord)
        return QTreeView::mouseReleaseEvent(event);
    const HXDictionaryRef record = std::move(m_pressedRecord);
    const bool inside = actionAreaForRow(m_pressedIndex).contains(event->position().toPoint());
    m_pressedRecord.reset();
    m_actionItem = nullptr;
    viewport()->update();
    if (inside && m_action)
        m_action(record);
    m_model->controller().setPaused(false);
}

void HXItemList::keyPressEvent(QKeyEvent* event) {
    if (state() != QAbstractItemView::EditingState) {
        if (event->key() == Qt::Key_Escape && selectionModel()->hasSelection()) {
            clearSelection();
            event->accept();
            return;
        }
        if ((event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) && m_delete) {
            m_delete();
            event->accept();
            return;
        }
    }
    QTreeView::keyPressEvent(event);
}

void HXItemList::focusInEvent(QFocusEvent* event) {
    QTreeView::focusInEvent(event);
    // One selection across both outlines.
    if (m_sibling && event->reason() != Qt::PopupFocusReason)
        QTimer::singleShot(0, m_sibling, [sibling = m_sibling] { sibling->clearSelection(); });
}

void HXItemList::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    QTreeView::selectionChanged(selected, deselected);
    if (!selected.isEmpty())
        Q_EMIT gotSelection();
}

QModelIndex HXItemList::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
    const QModelIndex index = QTreeView::moveCursor(cursorAction, modifiers);
    if (!index.isValid() || index.flags().testFlag(Qt::ItemIsSelectable))
        return index;
    // The header is the first row: the one below it is the first item, if there is one.
    const QModelIndex below = indexBelow(index);
    return below.isValid() && below.flags().testFlag(Qt::ItemIsSelectable) ? below : currentIndex();
}

void HXItemList::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTreeView::currentChanged(current, previous);
    // A click on the header row leaves no focus frame on it.
    if (current.isValid() && !current.flags().testFlag(Qt::ItemIsSelectable))
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

void HXItemList::startDrag(Qt::DropActions) {
    const QModelIndex index = currentIndex().siblingAtColumn(HXOrganizerModel::NameColumn);
    const HXDictionaryRef record = m_model->recordForIndex(index);
    const HXOrganizerDragKind kind = dragKindForRecord(record.get());
    if (kind == HXOrganizerDragKind::None)
        return;
    auto* mime = new QMimeData;
    if (kind == HXOrganizerDragKind::Item)
        mime->setData(QString::fromLatin1(kHXItemPasteboardType), itemPasteboardData(*record));
    else
        mime->setData(QString::fromLatin1(kHXDeletePasteboardType), QByteArray());
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    const QRect row =
        visualRect(index).united(visualRect(index.siblingAtColumn(HXOrganizerModel::TotalColumn)));
    drag->setPixmap(viewport()->grab(row));
    drag->setHotSpot(viewport()->mapFromGlobal(QCursor::pos()) - row.topLeft());
    if (kind == HXOrganizerDragKind::Delete)
        drag->setDragCursor(disappearingCursor().pixmap(), Qt::IgnoreAction);
    // The lists stand still while something is dragged.
    HXMainController& controller = m_model->controller();
    controller.setPaused(true);
    const Qt::DropAction result =
        drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::CopyAction);
    controller.setPaused(false);
    if (kind != HXOrganizerDragKind::Delete || result != Qt::IgnoreAction)
        return;
    // Let go outside its outline: the pool goes.
    if (QRect(mapToGlobal(QPoint(0, 0)), size()).contains(QCursor::pos()))
        return;
    if (!m_deleteDragged || !m_deleteDragged(record))
        QApplication::beep();
}

void HXItemList::dragEnterEvent(QDragEnterEvent* event) {
    if (!acceptDrops() || !event->mimeData()->hasFormat(QString::fromLatin1(kHXItemPasteboardType))) {
        event->ignore();
        return;
    }
    QTreeView::dragEnterEvent(event);
    event->acceptProposedAction();
}

void HXItemList::dragMoveEvent(QDragMoveEvent* event) {
    const QPoint position = event->position().toPoint();
    const QModelIndex index = indexAt(position);
    m_dropWithModifier = event->modifiers() & (Qt::AltModifier | Qt::ShiftModifier);
    if (!index.isValid() || isHeaderRow(index)) {
        // Over no row or over the header row: a new pool.
        QTreeView::dragMoveEvent(event);
        const bool accepted = m_model->canDropMimeData(event->mimeData(), Qt::CopyAction, -1, -1, {});
        m_dropTarget = accepted;
        m_dropCreatesPool = accepted;
        if (accepted) {
            event->setDropAction(Qt::CopyAction);
            event->accept();
        } else {
            event->ignore();
        }
        viewport()->update();
        return;
    }
    QTreeView::dragMoveEvent(event);
    m_dropTarget = event->isAccepted();
    m_dropCreatesPool = false;
    viewport()->update();
}

void HXItemList::dragLeaveEvent(QDragLeaveEvent* event) {
    QTreeView::dragLeaveEvent(event);
    clearDropMarks();
}

void HXItemList::dropEvent(QDropEvent* event) {
    const bool createsPool = m_dropCreatesPool;
    clearDropMarks();
    if (createsPool) {
        if (m_model->dropMimeData(event->mimeData(), Qt::CopyAction, -1, -1, {})) {
            event->setDropAction(Qt::CopyAction);
            event->accept();
        } else {
            event->ignore();
        }
        return;
    }
    QTreeView::dropEvent(event);
}

void HXItemList::clearDropMarks() {
    m_dropTarget = false;
    m_dropCreatesPool = false;
    m_dropWithModifier = false;
    viewport()->update();
}

void HXItemList::setHibernating(bool hibernating, bool animate) {
    m_hibernating = hibernating;
    if (!animate) {
        m_hibernationTimer.stop();
        m_hibernationAlpha = hibernating ? 1 : 0;
        viewport()->update();
        return;
    }
    m_hibernationTimer.start();
}

void HXItemList::stepHibernationAnimation() {
    m_hibernationAlpha += m_hibernating ? kHibernationStep : -kHibernationStep;
    if (m_hibernationAlpha > 0.95 || m_hibernationAlpha < 0.05) {
        m_hibernationAlpha = m_hibernating ? 1 : 0;
        m_hibernationTimer.stop();
    }
    viewport()->update();
}

// Centred in the visible area below the header row, scaled to fit and at most 32 points high.
void HXItemList::drawMessage(QPainter& painter, const QString& text, const QColor& color, bool shadow) const {
    const int rowHeight = std::max(1, sizeHintForRow(0));
    QRect area = viewport()->rect().adjusted(8, rowHeight + rowHeight / 2, -8, -4);
    if (area.width() <= 0 || area.height() <= 0)
        return;
    QFont font = this->font();
    qreal size = 32;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (; size > 7; size -= 1) {
        font.setPointSizeF(size);
        const QFontMetricsF metrics(font);
        qreal width = 0;
        for (const QString& line : lines)
            width = std::max(width, metrics.horizontalAdvance(line));
        if (width <= area.width() && metrics.lineSpacing() * lines.size() <= area.height())
            break;
    }
    font.setPointSizeF(size);
    painter.setFont(font);
    if (shadow) {
        painter.setPen(QColor(0, 0, 0, 153));
        painter.drawText(area.translated(0, 1), Qt::AlignCenter | Qt::TextWordWrap, text);
    }
    painter.setPen(color);
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, text);
}

void HXItemList::paintEvent(QPaintEvent* event) {
    m_painting = true;
    m_paintedArea = event->region();
    QTreeView::paintEvent(event);
    m_painting = false;
    QPainter painter(viewport());
    const QPalette& palette = this->palette();
    const QModelIndex headerRow = m_model->index(0, 0);

    // The header row stays on top while the rows scroll under it.
    if (verticalScrollBar()->value() > 0 && headerRow.isValid()) {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        const int height = sizeHintForRow(0);
        painter.fillRect(QRect(0, 0, viewport()->width(), height), palette.color(QPalette::Base));
        for (int column = 0; column < HXOrganizerModel::ColumnCount; ++column) {
            option.rect = QRect(columnViewportPosition(column), 0, columnWidth(column), height);
            const QModelIndex index = m_model->index(0, column);
            option.displayAlignment = Qt::Alignment(m_model->data(index, Qt::TextAlignmentRole).toInt());
            itemDelegate()->paint(&painter, option, index);
        }
        QColor line = palette.color(QPalette::Text);
        line.setAlphaF(0.15);
        painter.fillRect(QRect(0, height - 1, viewport()->width(), 1), line);
    }

    const bool onlyHeader = m_model->rowCount() <= 1;
    if (m_dropTarget && m_dropCreatesPool) {
        QColor tint = palette.color(QPalette::Highlight);
        tint.setAlphaF(0.25);
        painter.fillRect(viewport()->rect(), tint);
        const QString arrow = QString(QChar(0x21AA));
        const QString message = m_dropWithModifier ? arrow + QLatin1Char('\n') + HXLocalized("Create Pool")
                                                   : HXLocalized("Create Pool");
        drawMessage(painter, message, onlyHeader ? palette.color(QPalette::PlaceholderText) : Qt::white,
                    !onlyHeader);
        return;
    }
    if (m_dropTarget)
        return;
    if (onlyHeader && m_model->outline() == HXOrganizerModel::Outline::Pools) {
        drawMessage(painter, HXLocalized("Drag items here to create pools"),
                    palette.color(QPalette::PlaceholderText), false);
        return;
    }
    if (m_hibernationAlpha > 0.01) {
        QColor cloak = palette.color(QPalette::Base);
        cloak.setAlphaF(0.75 * m_hibernationAlpha);
        painter.fillRect(viewport()->rect(), cloak);
        if (m_model->outline() == HXOrganizerModel::Outline::Applications) {
            QColor text = palette.color(QPalette::Text);
            text.setAlphaF(0.6 * m_hibernationAlpha);
            drawMessage(painter, HXLocalized("Suspended"), text, false);
        }
    }
}
