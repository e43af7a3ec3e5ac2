#include "ui/statusitem/HXStatusItemController.h"

#include "animation/HXAlphaValueAnimation.h"
#include "animation/HXWindowAlphaValueAnimationManager.h"
#include "foundation/HXDefaultsKeys.h"
#include "foundation/HXLocalization.h"
#include "foundation/HXUserDefaults.h"
#include "ui/statusitem/HXPanelGeometry.h"
#include "ui/statusitem/HXScopeBar.h"
#include "ui/statusitem/HXStatusItemPanel.h"
#include "ui/statusitem/HXStatusItemPanelResizeView.h"
#include "ui/statusitem/HXStatusItemView.h"

#include <QCursor>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kPanelFrameKey = QStringLiteral("Window Frame: StatusItemPanel");
const QSize kDefaultPanelSize(510, 520);

const char* const kInsomniaHint =
    "Congratulations, you found Qualdern's insomnia mode easter egg!\n\nAuto-hibernation and display sleep "
    "are "
    "now disabled. Option-click the menu bar icon again to re-enable them when you're done keeping Qualdern "
    "and "
    "your Mac awake.\n\nThis message is only shown once. Click it to dismiss it.";

// The hint next to the tray icon: any click closes it, inside or outside.
class HXStatusItemPopover : public QFrame {
public:
    explicit HXStatusItemPopover(const QString& text) : QFrame(nullptr, Qt::Popup | Qt::FramelessWindowHint) {
        setAttribute(Qt::WA_DeleteOnClose);
        setFrameShape(QFrame::StyledPanel);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(10, 10, 10, 10);
        auto* label = new QLabel(text, this);
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::NoTextInteraction);
        label->setFixedWidth(235);
        label->setMaximumHeight(999);
        layout->addWidget(label);
        setAccessibleName(tr("Insomnia"));
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        event->accept();
        close();
    }
};

QScreen* screenFor(const QPoint& point) {
    QScreen* screen = QGuiApplication::screenAt(point);
    return screen ? screen : QGuiApplication::primaryScreen();
}

} // namespace

HXStatusItemController::HXStatusItemController(const Services& services,
                                               HXStatusItemControllerDelegate& delegate, QObject* parent)
    : QObject(parent), m_services(services), m_delegate(delegate),
      m_view(std::make_unique<HXStatusItemView>(services.defaults)), m_contextMenu(std::make_unique<QMenu>()),
      m_statusItem(std::make_unique<QSystemTrayIcon>()) {
    m_iconGeometry = [this] {
        return m_statusItem->geometry();
    };
    m_pointer = [] {
        return QCursor::pos();
    };
    m_view->setShowsLiveReport(services.defaults.boolForKey(HXDefaultsKeys::StatusItemShowsActivityReport));
    m_view->setHibernating(!services.defaults.objectForKey(HXDefaultsKeys::DeepHibernation).isNull());
    connect(m_view.get(), &HXStatusItemView::needsDisplay, this, &HXStatusItemController::updateStatusItem);
    connect(&services.defaults, &HXUserDefaults::changed, this, [this](const QString& key) {
        if (key == HXDefaultsKeys::StatusItemIcon || key == QStringLiteral("HXStatusItemWidth") ||
            key == HXDefaultsKeys::DeepHibernation || key == QStringLiteral("AppleInterfaceStyle") ||
            key == QStringLiteral("HXFlatUserInterfaceDrawing") || key == HXDefaultsKeys::ColorScheme)
            updateStatusItem();
    });
    m_contextMenu->setTitle(QStringLiteral("Qualdern"));
    connect(m_contextMenu.get(), &QMenu::aboutToShow, this, &HXStatusItemController::rebuildContextMenu);
    rebuildContextMenu();
    m_statusItem->setContextMenu(m_contextMenu.get());
    connect(m_statusItem.get(), &QSystemTrayIcon::activated, this, &HXStatusItemController::activated);
    updateStatusItem();
    m_statusItem->show();
}

HXStatusItemController::~HXStatusItemController() {
    m_statusItem->hide();
    if (m_popover)
        m_popover->deleteLater();
    // The registered views belong to their owners: they leave the panel before it goes.
    for (const QPointer<QWidget>& view : std::as_const(m_viewsByIdentifier)) {
        if (view && m_panel && m_panel->isAncestorOf(view)) {
            view->hide();
            view->setParent(nullptr);
        }
    }
}

void HXStatusItemController::updateStatusItem() {
    m_statusItem->setIcon(m_view->icon());
    m_statusItem->setToolTip(m_view->toolTip());
}

void HXStatusItemController::rebuildContextMenu() {
    m_contextMenu->clear();
    m_delegate.populateMainMenu(*m_contextMenu, *this);
}

HXStatusItemPanel& HXStatusItemController::panel() {
    if (m_panel)
        return *m_panel;
    m_panel = std::make_unique<HXStatusItemPanel>(m_services.scheduler, m_services.defaults,
                                                  m_services.fadeEnvironment);
    HXScopeBar* scopeBar = m_panel->scopeBar();
    const QColor ink = m_panel->palette().color(QPalette::ButtonText);
    scopeBar->addItem(organizerIdentifier(), HXLocalized("Organizer"),
                      HXScopeBarIcon(organizerIdentifier(), ink));
    scopeBar->addItem(activityReportIdentifier(), HXLocalized("Activity Report"),
                      HXScopeBarIcon(activityReportIdentifier(), ink));
    scopeBar->setSelected(organizerIdentifier(), false);
    connect(scopeBar, &HXScopeBar::selectedStateChanged, this,
            &HXStatusItemController::scopeBarSelectedStateChanged);

    m_mainMenu = std::make_unique<QMenu>();
    m_mainMenu->setTitle(QStringLiteral("Qualdern"));
    m_delegate.populateMainMenu(*m_mainMenu, *this);
    m_panel->mainMenuButton()->setMenu(m_mainMenu.get());

    connect(m_panel->windowAlphaValueAnimationManager(),
            &HXWindowAlphaValueAnimationManager::windowWillVanish, this, [this] {
                m_view->setHighlighted(false);
                Q_EMIT panelVisibilityChanged(false);
            });
    connect(m_panel->resizeView(), &HXStatusItemPanelResizeView::resizeFinished, this,
            &HXStatusItemController::savePanelFrame);
    restorePanelFrame();
    return *m_panel;
}

void HXStatusItemController::restorePanelFrame() {
    const QStringList parts =
        m_services.defaults.stringForKey(kPanelFrameKey).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QSize size = kDefaultPanelSize;
    if (parts.size() == 4) {
        bool okWidth = false;
        bool okHeight = false;
        const QSize stored(parts[2].toInt(&okWidth), parts[3].toInt(&okHeight));
        if (okWidth && okHeight && stored.width() > 0 && stored.height() > 0)
            size = stored;
    }
    m_panel->resize(size.expandedTo(kHXStatusItemPanelMinimumSize));
}

void HXStatusItemController::savePanelFrame() {
    const QRect frame = m_panel->geometry();
    m_services.defaults.setString(
        kPanelFrameKey,
        QStringLiteral("%1 %2 %3 %4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height()));
}

void HXStatusItemController::setView(QWidget* view, const QString& identifier) {
    if (!view || identifier.isEmpty())
        return;
    m_viewsByIdentifier.insert(identifier, view);
    QWidget* content = panel().contentView();
    if (view->parentWidget() != content) {
        view->setParent(content);
        content->layout()->addWidget(view);
    }
    view->setVisible(panel().scopeBar()->selectedIdentifier() == identifier);
}

void HXStatusItemController::updateSelection() {
    const bool report = m_services.defaults.boolForKey(HXDefaultsKeys::StatusItemShowsActivityReport);
    const QString identifier = report ? activityReportIdentifier() : organizerIdentifier();
    HXScopeBar* scopeBar = panel().scopeBar();
    if (scopeBar->selectedIdentifier() == identifier)
        scopeBarSelectedStateChanged(true, identifier);
    else
        scopeBar->setSelected(identifier, true);
}

void HXStatusItemController::scopeBarSelectedStateChanged(bool selected, const QString& identifier) {
    if (!selected)
        return;
    const bool report = identifier == activityReportIdentifier();
    m_services.defaults.setBool(HXDefaultsKeys::StatusItemShowsActivityReport, report);
    if (report)
        m_delegate.updateLiveReportForStatusItemController(*this);
    for (auto it = m_viewsByIdentifier.cbegin(); it != m_viewsByIdentifier.cend(); ++it) {
        if (it.value() && it.key() != identifier)
            it.value()->hide();
    }
    if (QWidget* view = m_viewsByIdentifier.value(identifier))
        view->show();
    m_view->setShowsLiveReport(report);
}

bool HXStatusItemController::isPanelVisible() const {
    return m_panel && m_panel->isVisible() &&
           !m_panel->windowAlphaValueAnimationManager()->isVanishingToClose();
}

bool HXStatusItemController::setPanelVisible(bool visible) {
    HXStatusItemPanel& thePanel = panel();
    if (!visible)
        return thePanel.vanishAndCloseIfAppropriate();
    m_delegate.updateLiveReportForStatusItemController(*this);
    m_view->setHighlighted(true);
    positionPanel();
    thePanel.setAttribute(Qt::WA_TransparentForMouseEvents, false);
    orderFrontAndFadeInToAlphaValue(&thePanel, 1.0, false);
    thePanel.activateWindow();
    thePanel.raise();
    Q_EMIT panelVisibilityChanged(true);
    return true;
}

void HXStatusItemController::positionPanel() {
    HXStatusItemPanel& thePanel = panel();
    const QRect icon = m_iconGeometry ? m_iconGeometry() : QRect();
    const QPoint pointer = m_pointer ? m_pointer() : QPoint();
    const QScreen* screen = screenFor(icon.isValid() ? icon.center() : pointer);
    const QRect screenFrame = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const QRect available = screen ? screen->availableGeometry() : screenFrame;
    const HXPanelPlacement placement =
        HXPlacePanel(thePanel.size(), icon.isValid() ? std::optional<QRect>(icon) : std::nullopt, pointer,
                     screenFrame, available);
    HXStatusItemPanelResizeView* strip = thePanel.resizeView();
    strip->setCanResize(placement.canResizeLeft, placement.canResizeRight);
    strip->setAvailableArea(available);
    thePanel.setStripAtTop(placement.stripAtTop);
    thePanel.setMinimumSize(HXPanelMinimumSize(available));
    thePanel.setMaximumSize(available.size());
    thePanel.setGeometry(placement.frame);
}

void HXStatusItemController::activated(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Context || reason == QSystemTrayIcon::Unknown)
        return;
    if (!handleMouseDown(reason, QGuiApplication::queryKeyboardModifiers()))
        m_delegate.beep();
}

bool HXStatusItemController::handleMouseDown(QSystemTrayIcon::ActivationReason reason,
                                             Qt::KeyboardModifiers modifiers) {
    const bool optionClick = reason == QSystemTrayIcon::MiddleClick ||
                             (reason == QSystemTrayIcon::Trigger && (modifiers & Qt::AltModifier));
    if (optionClick && m_delegate.toggleInsomniaForStatusItemController(*this)) {
        if (m_view->isInsomniac() && !m_services.defaults.boolForKey(u"Insomnia: Hint Shown")) {
            m_services.defaults.setBool(u"Insomnia: Hint Shown", true);
            showInsomniaHint();
        }
        return true;
    }
    // A double click comes after the click that opened the panel: it keeps it open.
    if (reason == QSystemTrayIcon::DoubleClick)
        return setPanelVisible(true);
    return setPanelVisible(!isPanelVisible());
}

void HXStatusItemController::showInsomniaHint() {
    if (m_popover)
        m_popover->close();
    auto* popover = new HXStatusItemPopover(HXLocalized(kInsomniaHint));
    popover->adjustSize();
    const QRect icon = m_iconGeometry ? m_iconGeometry() : QRect();
    const QPoint pointer = m_pointer ? m_pointer() : QPoint();
    const QRect anchor = icon.isValid() ? icon.adjusted(3, 3, -3, -3) : QRect(pointer, QSize(1, 1));
    const QScreen* screen = screenFor(anchor.center());
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const HXPanelPlacement placement =
        HXPlacePanel(popover->size(), anchor, pointer, screen ? screen->geometry() : available, available);
    popover->move(placement.frame.topLeft());
    m_popover = popover;
    popover->show();
}
