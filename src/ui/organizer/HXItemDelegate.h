#pragma once

#include <QStyledItemDelegate>

class HXItemIcons;
class HXItemList;
class HXUserDefaults;

// Draws the organizer's cells: the name with the record's icon and, for pools and filtered applications,
// the round action button at the right end; the two time columns with their pies at the right; the header
// row in a quieter, medium-weight type. Rows of inactive records are drawn paler, the record in front in
// bold. Editing a name pauses the tracking updates.
class HXItemDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    HXItemDelegate(HXItemList& list, HXItemIcons& icons, const HXUserDefaults& defaults);

    // The square at the right end of a name cell where the action button sits.
    static QRect actionRect(const QRect& cell);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

private:
    void paintActionButton(QPainter& painter, const QRect& rect, unsigned status, int type,
                           const QPalette& palette) const;

    HXItemList& m_list;
    HXItemIcons& m_icons;
    const HXUserDefaults& m_defaults;
};
