#include "hotkeys/widgets/HXHotKeyClearButton.h"

#include "foundation/HXLocalization.h"
#include "hotkeys/widgets/HXHotKeyTextView.h"

#include <QPainter>
#include <QPainterPath>

HXHotKeyClearButton::HXHotKeyClearButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (m_textView)
            m_textView->deleteHotKey();
    });
    updateDescription();
}

void HXHotKeyClearButton::setHotKeyTextView(HXHotKeyTextView* view) {
    m_textView = view;
    updateDescription();
}

bool HXHotKeyClearButton::showsClear() const {
    return m_textView && (m_textView->hotKey() || m_textView->isRecording());
}

void HXHotKeyClearButton::updateDescription() {
    const QString text = showsClear() ? HXLocalized("Clear Hot Key") : HXLocalized("Record Hot Key");
    setToolTip(text);
    setAccessibleName(text);
}

QSize HXHotKeyClearButton::sizeHint() const {
    const int side = m_textView ? m_textView->sizeHint().height() : fontMetrics().height() + 10;
    return QSize(side, side);
}

void HXHotKeyClearButton::paintEvent(QPaintEvent* event) {
    static_cast<void>(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& colors = palette();
    QColor background = colors.color(QPalette::Button);
    if (isDown())
        background = background.darker(115);
    painter.setPen(Qt::NoPen);
    painter.setBrush(background);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);

    // The glyph inside, inset by 5 × 4 and kept square.
    const QRectF inner = QRectF(rect()).adjusted(5, 4, -5, -4);
    const qreal side = std::min(inner.width(), inner.height()) * 0.6;
    const QRectF glyph(inner.center().x() - side / 2, inner.center().y() - side / 2, side, side);
    QColor ink = colors.color(QPalette::ButtonText);
    if (!isEnabled())
        ink.setAlphaF(0.35);
    painter.setPen(QPen(ink, std::max<qreal>(1.5, side / 6), Qt::SolidLine, Qt::RoundCap));
    if (showsClear()) {
        painter.drawLine(glyph.topLeft(), glyph.bottomRight());
        painter.drawLine(glyph.topRight(), glyph.bottomLeft());
    } else {
        painter.drawLine(QPointF(glyph.center().x(), glyph.top()),
                         QPointF(glyph.center().x(), glyph.bottom()));
        painter.drawLine(QPointF(glyph.left(), glyph.center().y()),
                         QPointF(glyph.right(), glyph.center().y()));
    }
}
