#include "ui/HXApplicationModeController.h"

#include "animation/HXAlphaValueAnimation.h"
#include "animation/HXFullscreenReportWindow.h"
#include "animation/HXWindowAlphaValueAnimationManager.h"
#include "engine/HXHibernation.h"
#include "engine/HXUserInterfacePort.h"
#include "foundation/HXDefaultsKeys.h"
#include "foundation/HXLocalization.h"
#include "foundation/HXLog.h"
#include "foundation/HXScheduler.h"
#include "foundation/HXUserDefaults.h"
#include "pictures/HXColorScheme.h"
#include "pictures/HXFrontActivityColor.h"
#include "pictures/HXImageOperations.h"
#include "platform/HXDesktopPresence.h"
#include "ui/HXApplicationModeWindows.h"
#include "ui/statusitem/HXNamedImages.h"
#include "ui/statusitem/HXStatusItemPanel.h"
#include "ui/statusitem/HXStatusItemView.h"

#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>

namespace {

constexpr std::string_view kUpdateIconAction = "updateIcon";
constexpr std::string_view kTellAboutTrayAction = "tellAboutMissingTray";
constexpr std::string_view kActivateAction = "activateAfterLeavingStatusItemMode";
constexpr double kIconInterval = 5;
const QSize kIconSize(128, 128);

} // namespace

HXApplicationModeController::HXApplicationModeController(const Services& services,
                                                         HXApplicationModeWindows& windows,
                                                         HXLiveReportImages& images, QObject* parent)
    : QObject(parent), m_services(services), m_windows(windows), m_images(images) {
    HXHibernation& hibernation = services.hibernation;
    connect(&hibernation, &HXHibernation::hibernatingChanged, this, [this](bool hibernating, bool) {
        if (m_statusItemController)
            m_statusItemController->statusItemView().setHibernating(hibernating);
        updateIcon(true);
    });
    connect(&hibernation, &HXHibernation::insomniacChanged, this, [this](bool insomniac) {
        if (m_statusItemController)
            m_statusItemController->statusItemView().setInsomniac(insomniac);
        updateIcon(true);
    });
    connect(&hibernation, &HXHibernation::iconNeedsUpdate, this, [this] { updateIcon(true); });
    connect(&hibernation, &HXHibernation::statusItemPanelShouldHide, this,
            &HXApplicationModeController::hideStatusItemPanel);
    connect(&services.defaults, &HXUserDefaults::changed, this, &HXApplicationModeController::settingChanged);
    QCoreApplication::instance()->installEventFilter(this);
}

HXApplicationModeController::~HXApplicationModeController() {
    m_services.scheduler.cancelPerforms(this, kUpdateIconAction);
    m_services.scheduler.cancelPerforms(this, kTellAboutTrayAction);
    m_services.scheduler.cancelPerforms(this, kActivateAction);
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeEventFilter(this);
    // The containers belong to the window shell.
    if (m_statusItemController)
        m_windows.detachContainers();
}

bool HXApplicationModeController::trayAvailable() const {
    return m_services.shell ? !m_services.shell->trayKind().isEmpty()
                            : QSystemTrayIcon::isSystemTrayAvailable();
}

void HXApplicationModeController::checkStatusItem() {
    bool wanted = m_services.defaults.boolForKey(u"Status Item");
    const bool wasWithoutTray = m_runningWithoutTray;
    m_runningWithoutTray = wanted && !trayAvailable();
    if (m_runningWithoutTray) {
        wanted = false;
        if (!wasWithoutTray)
            HXSystemLog(QStringLiteral("no tray on this desktop: running in window mode"));
        if (!m_toldAboutMissingTray) {
            m_toldAboutMissingTray = true;
            // After launch, without holding it up.
            m_services.scheduler.performAfterDelay(this, kTellAboutTrayAction, 0, [this] {
                auto* box = new QMessageBox(
                    QMessageBox::Information, QStringLiteral("Qualdern"),
                    HXLocalized("Qualdern shows its windows because this desktop has no tray for its icon."),
                    QMessageBox::Ok);
                box->setInformativeText(HXLocalized(
                    "The \"Status Item\" setting stays on: the next time Qualdern starts on a desktop with a "
                    "tray (a system tray or a status notifier area), it is an icon there again."));
                box->setAttribute(Qt::WA_DeleteOnClose);
                box->setModal(false);
                box->show();
            });
        }
    }
    if (wanted == m_singletonIsStatusItem && m_hasStatusItemInterface)
        return;
    const bool leaving = m_singletonIsStatusItem && !wanted;
    m_singletonIsStatusItem = wanted;
    applyTaskbarPresenceToAllWindows();
    if (leaving && !m_services.defaults.boolForKey(u"Application Mode: Dock: Background Launch"))
        m_services.scheduler.performAfterDelay(this, kActivateAction, 0.5,
                                               [this] { m_windows.bringWindowsToFront(); });
}

void HXApplicationModeController::checkStatusItemInterface() {
    if (m_hasStatusItemInterface == m_singletonIsStatusItem)
        return;
    const bool switching = m_hasStatusItemInterface.has_value();
    m_windows.detachContainers();
    if (!m_singletonIsStatusItem) {
        m_statusItemController.reset();
        m_windows.attachContainersToWindows();
        m_windows.restoreListDividerPosition();
        if (m_windows.isPreferencesWindowVisible())
            m_windows.orderListWindowBelowPreferences();
        if (switching)
            m_windows.bringWindowsToFront();
    } else if (!m_statusItemController) {
        m_statusItemController = std::make_unique<HXStatusItemController>(
            HXStatusItemController::Services{m_services.defaults, m_services.scheduler,
                                             m_services.fadeEnvironment},
            *this);
        HXStatusItemView& view = m_statusItemController->statusItemView();
        view.setHibernating(m_services.hibernation.isHibernating() ||
                            !m_services.defaults.objectForKey(HXDefaultsKeys::DeepHibernation).isNull());
        view.setInsomniac(m_services.hibernation.isInsomniac());
        m_statusItemController->setView(m_windows.liveReportContainer(),
                                        HXStatusItemController::activityReportIdentifier());
        m_statusItemController->setView(m_windows.listContainer(),
                                        HXStatusItemController::organizerIdentifier());
        m_windows.restoreListDividerPosition();
        m_statusItemController->updateSelection();
    }
    m_hasStatusItemInterface = m_singletonIsStatusItem;
    updateIcon(true);
    Q_EMIT applicationModeChanged(m_singletonIsStatusItem);
}

void HXApplicationModeController::settingChanged(const QString& key) {
    if (key == QStringLiteral("Status Item")) {
        checkStatusItem();
        checkStatusItemInterface();
    } else if (key == QStringLiteral("Show Activity Report In Dock") ||
               key == QStringLiteral("Fall Back To Fake Activity Report In Dock") ||
               key == QStringLiteral("Show Activity Report On Desktop") ||
               key == HXDefaultsKeys::ShowActivityReportOnDesktopAlpha) {
        updateIcon(true);
    }
}

void HXApplicationModeController::updateIcon(bool withSender) {
    if (withSender)
        m_services.scheduler.cancelPerforms(this, kUpdateIconAction);
    const HXUserDefaults& defaults = m_services.defaults;
    const QColor accent = frontActivityColorForReportViewContext(
        false, static_cast<long long>(HXCurrentColorScheme(defaults)), defaults, QGuiApplication::palette());
    const QImage applicationIcon = HXNamedImage(QStringLiteral("Qualdern"), kIconSize, accent);
    QImage image;
    bool announce = false;
    bool reportUpdated = false;
    if (m_services.hibernation.isHibernating()) {
        image = grayScaleImage(applicationIcon);
        announce = true;
    } else if (m_singletonIsStatusItem) {
        image = applicationIcon;
    } else if (defaults.boolForKey(u"Show Activity Report In Dock")) {
        m_images.updateLiveReport();
        reportUpdated = true;
        image = HXNamedImage(QStringLiteral("Report"), kIconSize, accent);
        QPainter painter(&image);
        const QRectF screen = HXReportImageScreenRect();
        painter.setClipRect(screen);
        painter.drawImage(screen, m_images.liveReportImage(screen.size().toSize(), true));
        painter.end();
        announce = true;
        m_services.scheduler.performAfterDelay(this, kUpdateIconAction, kIconInterval,
                                               [this] { updateIcon(false); });
    } else if (defaults.boolForKey(u"Fall Back To Fake Activity Report In Dock")) {
        image = HXNamedImage(QStringLiteral("Report"), kIconSize, accent);
        announce = true;
    } else {
        image = applicationIcon;
    }
    if (image.isNull()) {
        image = applicationIcon;
        announce = false;
    }
    m_iconImage = image;
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(image)));
    if (m_announce)
        m_announce(announce ? &m_iconImage : nullptr);
    updateDesktopReport(reportUpdated);
}

void HXApplicationModeController::updateDesktopReport(bool reportUpdated) {
    const HXUserDefaults& defaults = m_services.defaults;
    if (!defaults.boolForKey(u"Show Activity Report On Desktop")) {
        if (m_fullscreenReportWindow) {
            // Faded out and closed; released once the fade is over.
            HXFullscreenReportWindow* window = m_fullscreenReportWindow.release();
            connect(window->windowAlphaValueAnimationManager(),
                    &HXWindowAlphaValueAnimationManager::windowDidVanish, window, &QObject::deleteLater);
            if (window->isVisible())
                vanishAndClose(window);
            else
                window->deleteLater();
        }
        return;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect frame = screen->availableGeometry();
    if (m_fullscreenReportWindow) {
        if (m_fullscreenReportWindow->geometry() != frame)
            m_fullscreenReportWindow->setGeometry(frame);
    } else {
        m_fullscreenReportWindow = std::make_unique<HXFullscreenReportWindow>(
            m_services.scheduler, defaults, frame, HXWindowLevel::Desktop, true, m_services.fadeEnvironment);
        m_fullscreenReportWindow->setWindowTitle(HXLocalized("Activity Report"));
    }
    if (!reportUpdated) {
        m_images.updateLiveReport();
        m_services.scheduler.performAfterDelay(this, kUpdateIconAction, kIconInterval,
                                               [this] { updateIcon(false); });
    }
    m_fullscreenReportWindow->setImage(m_images.liveReportImage(frame.size(), false));
    if (!m_fullscreenReportWindow->isVisible()) {
        orderFront(m_fullscreenReportWindow.get(), false,
                   defaults.doubleForKey(HXDefaultsKeys::ShowActivityReportOnDesktopAlpha), false);
        if (m_services.shell)
            m_services.shell->setOnAllDesktops(m_fullscreenReportWindow->winId());
    }
    m_fullscreenReportWindow->lower();
}

void HXApplicationModeController::reopen() {
    if (m_statusItemController)
        m_statusItemController->setPanelVisible(true);
    else
        m_windows.bringWindowsToFront();
}

void HXApplicationModeController::hideStatusItemPanel() {
    if (m_statusItemController && m_statusItemController->isPanelVisible())
        m_statusItemController->setPanelVisible(false);
}

bool HXApplicationModeController::toggleInsomniaForStatusItemController(HXStatusItemController&) {
    return m_services.hibernation.toggleInsomnia();
}

void HXApplicationModeController::populateMainMenu(QMenu& menu, HXStatusItemController&) {
    if (m_populateMainMenu)
        m_populateMainMenu(menu);
}

void HXApplicationModeController::updateLiveReportForStatusItemController(HXStatusItemController&) {
    m_images.updateLiveReport();
}

void HXApplicationModeController::beep() {
    m_services.ui.beep();
}

void HXApplicationModeController::applyTaskbarPresence(QWidget* window) const {
    if (!m_services.shell || !window->isWindow() || !window->testAttribute(Qt::WA_WState_Created))
        return;
    const Qt::WindowType type = window->windowType();
    if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::SplashScreen || type == Qt::Desktop)
        return;
    // Tool windows (the panel, the desktop report) never have an entry.
    m_services.shell->setSkipsTaskbar(window->winId(), m_singletonIsStatusItem || type == Qt::Tool);
}

void HXApplicationModeController::applyTaskbarPresenceToAllWindows() const {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            applyTaskbarPresence(window);
    }
}

bool HXApplicationModeController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow())
            applyTaskbarPresence(widget);
    }
    return QObject::eventFilter(watched, event);
}
