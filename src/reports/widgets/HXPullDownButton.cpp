#include "reports/widgets/HXPullDownButton.h"

#include <QStyleOptionToolButton>
#include <QStylePainter>

#include <algorithm>

namespace {

// Between the label and the arrow, as between an icon and its text.
constexpr int kArrowSpacing = 4;

} // namespace

HXPullDownButton::HXPullDownButton(QWidget* parent) : QToolButton(parent) {
    setPopupMode(QToolButton::InstantPopup);
}

QStyleOptionToolButton HXPullDownButton::plainOption() const {
    QStyleOptionToolButton option;
    initStyleOption(&option);
    option.features &= ~(QStyleOptionToolButton::HasMenu | QStyleOptionToolButton::MenuButtonPopup);
    return option;
}

int HXPullDownButton::arrowSize() const {
    return std::max(7, fontMetrics().height() / 2);
}

QSize HXPullDownButton::sizeHint() const {
    const QStyleOptionToolButton option = plainOption();
    // The label's size as the tool button measures it, widened by the arrow.
    QSize content = option.iconSize;
    if (option.toolButtonStyle == Qt::ToolButtonTextOnly)
        content = QSize(0, 0);
    if (option.toolButtonStyle != Qt::ToolButtonIconOnly && !option.text.isEmpty()) {
        const QSize text = fontMetrics().size(Qt::TextShowMnemonic, option.text);
        if (option.toolButtonStyle == Qt::ToolButtonTextUnderIcon)
            content = QSize(std::max(content.width(), text.width()), content.height() + 4 + text.height());
        else if (option.toolButtonStyle == Qt::ToolButtonTextOnly)
            content = text;
        else
            content = QSize(content.width() + 4 + text.width(), std::max(content.height(), text.height()));
    }
    content.rwidth() += kArrowSpacing + arrowSize();
    content.setHeight(std::max(content.height(), arrowSize()));
    return style()->sizeFromContents(QStyle::CT_ToolButton, &option, content, this);
}

void HXPullDownButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    const QStyleOptionToolButton option = plainOption();
    // The panel over the whole button,
    QStyleOptionToolButton panel = option;
    panel.text.clear();
    panel.icon = QIcon();
    painter.drawComplexControl(QStyle::CC_ToolButton, panel);
    // the label left of the arrow,
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
    const int arrow = arrowSize();
    QStyleOptionToolButton label = option;
    label.rect = rect().adjusted(frame, frame, -frame - kArrowSpacing - arrow, -frame);
    painter.drawControl(QStyle::CE_ToolButtonLabel, label);
    // and the arrow, centred on the label's line (and shifted with it while pressed).
    QStyleOption indicator = option;
    indicator.rect = QRect(label.rect.right() + kArrowSpacing, (height() - arrow) / 2, arrow, arrow);
    if (option.state & (QStyle::State_Sunken | QStyle::State_On))
        indicator.rect.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                                 style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    painter.drawPrimitive(QStyle::PE_IndicatorArrowDown, indicator);
}
