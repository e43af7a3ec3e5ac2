#include "ui/statusitem/HXStatusItemPanel.h"

#include "animation/HXAlphaValueAnimation.h"
#include "ui/statusitem/HXScopeBar.h"
#include "ui/statusitem/HXStatusItemPanelResizeView.h"

#include <QApplication>
#include <QDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A gear, for desktops whose icon theme has none.
QIcon gearIcon(const QColor& color) {
    const QIcon themed = QIcon::fromTheme(QStringLiteral("emblem-system"),
                                          QIcon::fromTheme(QStringLiteral("preferences-system")));
    if (!themed.isNull())
        return themed;
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0}) {
        QPixmap pixmap(static_cast<int>(16 * ratio), static_cast<int>(16 * ratio));
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(8, 8);
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        for (int tooth = 0; tooth < 8; ++tooth) {
            painter.drawRoundedRect(QRectF(-1.5, -7.5, 3, 4), 0.8, 0.8);
            painter.rotate(45);
        }
        painter.drawEllipse(QPointF(0, 0), 5, 5);
        painter.setCompositionMode(QPainter::CompositionMode_Clear);
        painter.drawEllipse(QPointF(0, 0), 2, 2);
        icon.addPixmap(pixmap);
    }
    return icon;
}

QFrame* hairline(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setForegroundRole(QPalette::Mid);
    return line;
}

} // namespace

HXStatusItemPanel::HXStatusItemPanel(HXScheduler& scheduler, const HXUserDefaults& defaults,
                                     HXFadeEnvironment* environment)
    : HXAlphaValueAnimationPanel(scheduler, defaults, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint,
                                 environment),
      m_layout(new QVBoxLayout(this)), m_scopeBar(new HXScopeBar(this)),
      m_mainMenuButton(new QToolButton(this)), m_contentView(new QWidget(this)),
      m_resizeView(new HXStatusItemPanelResizeView(this)) {
    setWindowTitle(QStringLiteral("Qualdern"));
    m_layout->setContentsMargins(1, 1, 1, 1);
    m_layout->setSpacing(0);

    m_mainMenuButton->setIcon(gearIcon(palette().color(QPalette::ButtonText)));
    m_mainMenuButton->setAutoRaise(true);
    m_mainMenuButton->setPopupMode(QToolButton::InstantPopup);
    m_mainMenuButton->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_mainMenuButton->setToolTip(tr("Main Menu"));
    m_mainMenuButton->setAccessibleName(tr("Main Menu"));
    // The gear shows its menu, not a second arrow.
    m_mainMenuButton->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0; }"));
    m_scopeBar->setAccessoryView(m_mainMenuButton);

    auto* contentLayout = new QVBoxLayout(m_contentView);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->setSpacing(0);

    m_layout->addWidget(m_scopeBar);
    m_layout->addWidget(hairline(this));
    m_layout->addWidget(m_contentView, 1);
    m_layout->addWidget(m_resizeView);
}

void HXStatusItemPanel::setStripAtTop(bool atTop) {
    if (m_resizeView->isAtTop() == atTop)
        return;
    m_layout->removeWidget(m_resizeView);
    m_layout->insertWidget(atTop ? 0 : m_layout->count(), m_resizeView);
    m_resizeView->setAtTop(atTop);
}

bool HXStatusItemPanel::hasAttachedDialog() const {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top == this || !top->isVisible() || !top->isWindow())
            continue;
        if (!qobject_cast<QDialog*>(top) && top->windowModality() == Qt::NonModal)
            continue;
        for (QWidget* parent = top->parentWidget(); parent; parent = parent->parentWidget()) {
            if (parent == this)
                return true;
        }
    }
    return false;
}

bool HXStatusItemPanel::vanishAndCloseIfAppropriate() {
    if (hasAttachedDialog())
        return false;
    vanishAndClose(this);
    return true;
}

void HXStatusItemPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void HXStatusItemPanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        vanishAndCloseIfAppropriate();
        event->accept();
        return;
    }
    event->ignore();
}

void HXStatusItemPanel::changeEvent(QEvent* event) {
    HXAlphaValueAnimationPanel::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible())
        vanishAndCloseIfAppropriate();
}
