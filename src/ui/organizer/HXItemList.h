#pragma once

#include "foundation/HXDictionary.h"

#include <QPointer>
#include <QRegion>
#include <QTimer>
#include <QTreeView>

#include <functional>
#include <memory>

class HXItemIcons;
class HXOrganizerModel;
class HXUserDefaults;
class QMenu;

// One outline of the organizer. Besides what a tree view does: the header row stays visible at the top
// while the rows scroll under it; pressing a row's action button runs the row's action; a right click
// offers the row's context menu; Delete removes the selected record, Escape clears the selection; rows
// are dragged out (a pool dragged out of the organizer is deleted) and dropped on the pool outline with
// the drop marked; while tracking is suspended a pale cloak lies over the rows.
class HXItemList : public QTreeView {
    Q_OBJECT

public:
    using ContextMenuProvider = std::function<std::unique_ptr<QMenu>(const HXDictionaryRef& record)>;

    HXItemList(HXOrganizerModel& model, HXItemIcons& icons, const HXUserDefaults& defaults,
               QWidget* parent = nullptr);
    ~HXItemList() override;

    HXOrganizerModel* organizerModel() const { return m_model; }
    HXItemList* siblingList() const { return m_sibling; }
    void setSiblingList(HXItemList* sibling) { m_sibling = sibling; }
    // The record whose action button is held down.
    const HXDictionary* actionItem() const { return m_actionItem; }

    void setContextMenuProvider(ContextMenuProvider provider) { m_contextMenus = std::move(provider); }
    // The action button of a pool (pause or notes) or of a filtered application (its filter editor).
    void setActionHandler(std::function<void(const HXDictionaryRef&)> handler) {
        m_action = std::move(handler);
    }
    void setDeleteHandler(std::function<void()> handler) { m_delete = std::move(handler); }
    // A pool dragged out of the organizer and let go there; false when it could not be deleted.
    void setDraggedDeletionHandler(std::function<bool(const HXDictionaryRef&)> handler) {
        m_deleteDragged = std::move(handler);
    }

    HXDictionaryRef selectedRecord() const;
    void selectRecord(const HXDictionary* record);
    void setHibernating(bool hibernating, bool animate);
    qreal hibernationAlpha() const { return m_hibernationAlpha; }
    // Rows expanded and collapsed as their records say.
    void restoreExpandedState();
    // The column the lists are sorted by shows the sort indicator.
    void showSortColumn(int column);
    // Whether a cell lies in the area being drawn: a tree view draws every cell of a row that needs
    // drawing, though a tick usually changes only its time cells.
    bool isInPaintedArea(const QRect& cell) const { return !m_painting || m_paintedArea.intersects(cell); }

Q_SIGNALS:
    void gotSelection();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    // The header row ("Apps", "Pools") is no item: the keyboard's cursor passes over it.
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    QRect actionAreaForRow(const QModelIndex& index) const;
    void clearDropMarks();
    void drawMessage(QPainter& painter, const QString& text, const QColor& color, bool shadow) const;
    void stepHibernationAnimation();

    HXOrganizerModel* m_model;
    HXItemIcons& m_icons;
    const HXUserDefaults& m_defaults;
    QPointer<HXItemList> m_sibling;
    ContextMenuProvider m_contextMenus;
    std::function<void(const HXDictionaryRef&)> m_action;
    std::function<void()> m_delete;
    std::function<bool(const HXDictionaryRef&)> m_deleteDragged;

    HXDictionaryRef m_pressedRecord;
    const HXDictionary* m_actionItem = nullptr;
    QPersistentModelIndex m_pressedIndex;
    bool m_dropTarget = false;
    bool m_dropCreatesPool = false;
    bool m_dropWithModifier = false;
    bool m_painting = false;
    QRegion m_paintedArea;
    bool m_hibernating = false;
    qreal m_hibernationAlpha = 0;
    QTimer m_hibernationTimer;
};
