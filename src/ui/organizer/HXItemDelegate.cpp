#include "ui/organizer/HXItemDelegate.h"

#include "engine/HXMainController.h"
#include "foundation/HXUserDefaults.h"
#include "pictures/HXColorScheme.h"
#include "pictures/HXFrontActivityColor.h"
#include "pictures/HXPieImage.h"
#include "ui/organizer/HXItemIcons.h"
#include "ui/organizer/HXItemList.h"
#include "ui/organizer/HXOrganizerModel.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>

using namespace HXKeys;

namespace {

constexpr int kIconSize = 16;
constexpr unsigned kShowButton = 1;
constexpr unsigned kSelected = 2;
constexpr unsigned kPressed = 4;
constexpr unsigned kPaused = 8;

QColor withAlpha(QColor color, qreal alpha) {
    color.setAlphaF(color.alphaF() * alpha);
    return color;
}

// The button's glyphs, 8 points square around the centre.
void drawGlyph(QPainter& p, const QPointF& centre, int type, bool paused, const QColor& color) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    const qreal x = centre.x() - 4;
    const qreal y = centre.y() - 4;
    if (type == 1 && paused) {
        QPainterPath triangle;
        triangle.moveTo(x + 1.5, y);
        triangle.lineTo(x + 8, y + 4);
        triangle.lineTo(x + 1.5, y + 8);
        triangle.closeSubpath();
        p.drawPath(triangle);
    } else if (type == 1) {
        p.drawRect(QRectF(x + 1, y, 2.2, 8));
        p.drawRect(QRectF(x + 4.8, y, 2.2, 8));
    } else if (type == 2) {
        p.drawEllipse(QRectF(x + 3, y - 0.5, 2, 2));
        p.drawRect(QRectF(x + 3.1, y + 2.5, 1.8, 5.5));
    } else {
        QPainterPath funnel;
        funnel.moveTo(x, y + 0.5);
        funnel.lineTo(x + 8, y + 0.5);
        funnel.lineTo(x + 5, y + 4.2);
        funnel.lineTo(x + 5, y + 7.5);
        funnel.lineTo(x + 3, y + 8.5);
        funnel.lineTo(x + 3, y + 4.2);
        funnel.closeSubpath();
        p.drawPath(funnel);
    }
}

} // namespace

HXItemDelegate::HXItemDelegate(HXItemList& list, HXItemIcons& icons, const HXUserDefaults& defaults)
    : QStyledItemDelegate(&list), m_list(list), m_icons(icons), m_defaults(defaults) {}

QRect HXItemDelegate::actionRect(const QRect& cell) {
    const int side = cell.height();
    return QRect(cell.right() - side + 1, cell.top(), side, side);
}

QSize HXItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), kIconSize + 6));
    return size;
}

void HXItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    const auto* model = qobject_cast<const HXOrganizerModel*>(index.model());
    if (!model)
        return QStyledItemDelegate::paint(painter, option, index);
    if (!m_list.isInPaintedArea(option.rect))
        return;
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    const QString text = opt.text;
    opt.text.clear();
    opt.icon = QIcon();
    // The row's background and selection, as the style draws them.
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const HXDictionaryRef record = model->recordForIndex(index);
    const int column = index.column();
    const bool selected = (option.state & QStyle::State_Selected) && (option.state & QStyle::State_Active);
    const QPalette& palette = option.palette;
    const QColor ink = palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    QRect textRect = option.rect.adjusted(4, 0, -4, 0);
    painter->save();
    QFont font = option.font;

    if (!record) {
        font.setWeight(QFont::Medium);
        painter->setFont(font);
        painter->setPen(withAlpha(palette.color(QPalette::Text), 0.6));
        if (column == HXOrganizerModel::TotalColumn)
            textRect.adjust(0, 0, -(kIconSize + 7), 0);
        painter->drawText(textRect, int(opt.displayAlignment) | Qt::TextSingleLine,
                          painter->fontMetrics().elidedText(text, Qt::ElideRight, textRect.width()));
        painter->restore();
        return;
    }

    if (record->boolForKey(FrontActive))
        font.setBold(true);
    painter->setFont(font);
    bool active = record->boolForKey(Active);
    const QRect cell = option.rect;
    if (column == HXOrganizerModel::NameColumn) {
        active = model->isIconActive(record.get());
        const QRect iconRect(cell.left() + 3, cell.top() + (cell.height() - kIconSize + 1) / 2, kIconSize,
                             kIconSize);
        m_icons.cached16IconForActiveItem(*record, active, selected).paint(painter, iconRect);
        textRect.setLeft(iconRect.right() + 7);
        if (model->canPerformActionForItem(record.get())) {
            const bool pool = record->stringForKey(Path) == kPoolPath;
            const int type = pool ? (m_defaults.boolForKey(u"Show Info Buttons") ? 2 : 1) : 3;
            unsigned status = kShowButton;
            if (pool && record->boolForKey(Paused))
                status |= kPaused;
            if (selected)
                status |= kSelected;
            if (m_list.actionItem() == record.get())
                status |= kPressed;
            const QRect button = actionRect(cell);
            paintActionButton(*painter, button, status, type, palette);
            textRect.setRight(button.left() - 4);
        }
    } else {
        const double overall = model->overallTime();
        const double time =
            record->timeIntervalForKey(column == HXOrganizerModel::FrontColumn ? FrontTime : Time);
        std::optional<QColor> color;
        if (selected)
            color = QColor(Qt::white);
        else if (active)
            color = frontActivityColorForReportViewContext(false, m_defaults.integerForKey(u"Color Scheme"),
                                                           m_defaults, palette);
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        const QImage pie =
            overall < 0.001
                ? pieImageWithTime(-1, 1, QSizeF(kIconSize, kIconSize), -1, 0, color, selected, true,
                                   m_defaults.integerForKey(u"Color Scheme"), ratio)
                : pieImageWithTime(time, overall, QSizeF(kIconSize, kIconSize), -1, 0, color, selected, true,
                                   m_defaults.integerForKey(u"Color Scheme"), ratio);
        const QRect pieRect(cell.right() - 8 - kIconSize + 1,
                            cell.top() + (cell.height() - kIconSize + 1) / 2, kIconSize, kIconSize);
        painter->drawImage(pieRect, pie);
        textRect.setRight(pieRect.left() - 4);
    }
    painter->setPen(selected || active ? ink : withAlpha(ink, 0.5));
    painter->drawText(textRect, int(opt.displayAlignment) | Qt::TextSingleLine,
                      painter->fontMetrics().elidedText(text, Qt::ElideRight, textRect.width()));
    painter->restore();
}

void HXItemDelegate::paintActionButton(QPainter& painter, const QRect& rect, unsigned status, int type,
                                       const QPalette& palette) const {
    const bool selected = status & kSelected;
    const bool pressed = status & kPressed;
    const bool paused = status & kPaused;
    std::optional<QColor> color;
    if (selected)
        color = QColor(Qt::white);
    else if (pressed != paused)
        color = frontActivityColorForReportViewContext(false, m_defaults.integerForKey(u"Color Scheme"),
                                                       m_defaults, palette);
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QRect ring(rect.center().x() - kIconSize / 2 + 1, rect.center().y() - kIconSize / 2 + 1, kIconSize,
                     kIconSize);
    painter.drawImage(ring, pieImageWithTime(0, 1, QSizeF(kIconSize, kIconSize), -1, 0, color, selected, true,
                                             m_defaults.integerForKey(u"Color Scheme"), ratio));
    const qreal opacity = selected ? (pressed ? 1.0 : 0.9) : (pressed || paused ? 1.0 : 0.7);
    painter.setOpacity(opacity);
    const QColor glyph = color ? *color : palette.color(QPalette::Text);
    drawGlyph(painter, QRectF(ring).center(), type, paused, glyph);
    painter.setOpacity(1.0);
}

QWidget* HXItemDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const {
    auto* editor = qobject_cast<QLineEdit*>(QStyledItemDelegate::createEditor(parent, option, index));
    if (!editor)
        return nullptr;
    editor->setFrame(false);
    // The tick waits while a name is being typed.
    HXMainController& controller = m_list.organizerModel()->controller();
    controller.pauseTransitorily();
    controller.setEditingOrganizerCell(true);
    return editor;
}

void HXItemDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const {
    m_list.organizerModel()->controller().setEditingOrganizerCell(false);
    QStyledItemDelegate::destroyEditor(editor, index);
}

void HXItemDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                          const QModelIndex&) const {
    editor->setGeometry(option.rect.adjusted(kIconSize + 6, 1, -2, -1));
}
