#include "app/HXTrackerWindows.h"

#include "foundation/HXLocalization.h"
#include "foundation/HXUserDefaults.h"
#include "ui/shell/HXDesktopShell.h"
#include "ui/shell/HXListWindow.h"

#include <QCloseEvent>
#include <QLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// The live report picture, drawn at the container's size.
class HXLiveReportPictureView final : public QWidget {
public:
    explicit HXLiveReportPictureView(HXLiveReportImages& images) : m_images(images) {
        setMinimumSize(200, 120);
        setAccessibleName(HXLocalized("Activity Report"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const qreal ratio = devicePixelRatioF();
        QImage image = m_images.liveReportImage(size() * ratio, true);
        image.setDevicePixelRatio(ratio);
        painter.drawImage(QPointF(0, 0), image);
    }

private:
    HXLiveReportImages& m_images;
};

void takeOut(QWidget* container) {
    if (container->parentWidget() && container->parentWidget()->layout())
        container->parentWidget()->layout()->removeWidget(container);
    container->hide();
    container->setParent(nullptr);
}

} // namespace

HXTrackerWindows::HXTrackerWindows(HXDesktopShell& shell, HXUserDefaults& defaults,
                                   HXLiveReportImages& images, QObject* parent)
    : QObject(parent), m_shell(shell), m_defaults(defaults),
      m_reportContainer(std::make_unique<HXLiveReportPictureView>(images)),
      m_reportWindow(std::make_unique<QWidget>()) {
    m_reportWindow->setWindowTitle(HXLocalized("Activity Report"));
    m_reportWindow->resize(420, 260);
    auto* layout = new QVBoxLayout(m_reportWindow.get());
    layout->setContentsMargins(0, 0, 0, 0);
    m_shell.installMenuBar(*m_reportWindow, nullptr);
    m_reportWindow->installEventFilter(this);
    applyStayInFront();
}

HXTrackerWindows::~HXTrackerWindows() {
    detachContainers();
}

QWidget* HXTrackerWindows::listContainer() {
    return m_shell.listContainer();
}

QWidget* HXTrackerWindows::listWindow() const {
    return m_shell.listWindow();
}

void HXTrackerWindows::detachContainers() {
    m_shell.saveOrganizerDividerPosition();
    if (QWidget* window = listWindow())
        window->close();
    m_reportWindow->close();
    if (QWidget* container = listContainer())
        takeOut(container);
    takeOut(m_reportContainer.get());
}

void HXTrackerWindows::attachContainersToWindows() {
    if (QWidget* container = listContainer())
        m_shell.listWindow()->setContainer(container);
    m_reportWindow->layout()->addWidget(m_reportContainer.get());
    m_reportContainer->show();
}

void HXTrackerWindows::restoreListDividerPosition() {
    m_shell.restoreOrganizerDividerPosition();
}

void HXTrackerWindows::showWindows(bool activate) {
    if (!isReportWindowClosed()) {
        m_reportWindow->setAttribute(Qt::WA_ShowWithoutActivating, !activate);
        m_reportWindow->show();
    }
    // A window always shows.
    QWidget* list = listWindow();
    if (list && (!m_defaults.boolForKey(u"Organizer: Closed") || !m_reportWindow->isVisible())) {
        list->setAttribute(Qt::WA_ShowWithoutActivating, !activate);
        list->show();
        restoreListDividerPosition();
    }
}

void HXTrackerWindows::bringWindowsToFront() {
    QWidget* container = listContainer();
    if (!container || container->window() != listWindow())
        return;
    m_defaults.setBool(u"Organizer: Closed", false);
    m_defaults.setBool(u"Report: Default: Closed", false);
    showWindows(true);
    listWindow()->raise();
    if (isPreferencesWindowVisible())
        orderListWindowBelowPreferences();
    else
        listWindow()->activateWindow();
}

bool HXTrackerWindows::isPreferencesWindowVisible() const {
    return m_preferencesWindow && m_preferencesWindow->isVisible();
}

void HXTrackerWindows::orderListWindowBelowPreferences() {
    m_preferencesWindow->raise();
    m_preferencesWindow->activateWindow();
}

void HXTrackerWindows::liveReportChanged() {
    m_reportContainer->update();
}

void HXTrackerWindows::toggleReportWindow() {
    if (m_reportWindow->isActiveWindow()) {
        m_defaults.setBool(u"Report: Default: Closed", true);
        m_defaults.setBool(u"Report: Default: Closed Last", true);
        m_reportWindow->close();
        return;
    }
    m_defaults.setBool(u"Report: Default: Closed", false);
    m_reportWindow->show();
    m_reportWindow->raise();
    m_reportWindow->activateWindow();
    liveReportChanged();
}

bool HXTrackerWindows::isReportWindowClosed() const {
    return m_defaults.boolForKey(u"Report: Default: Closed");
}

bool HXTrackerWindows::isReportViewVisible() const {
    return m_reportContainer->isVisible();
}

void HXTrackerWindows::getReportInterval(double* begin, double* end) {
    // The picture shows all data: the interval stays as given.
    static_cast<void>(begin);
    static_cast<void>(end);
}

void HXTrackerWindows::applyStayInFront() {
    const bool stay = m_defaults.boolForKey(u"Report: Default: Stay In Front");
    if (stay == m_reportWindow->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        return;
    const bool visible = m_reportWindow->isVisible();
    m_reportWindow->setWindowFlag(Qt::WindowStaysOnTopHint, stay);
    if (visible)
        m_reportWindow->show();
}

bool HXTrackerWindows::eventFilter(QObject* watched, QEvent* event) {
    // Closed by its close button: remembered for the next launch.
    if (watched == m_reportWindow.get() && event->type() == QEvent::Close && event->spontaneous()) {
        m_defaults.setBool(u"Report: Default: Closed", true);
        m_defaults.setBool(u"Report: Default: Closed Last", true);
    }
    return QObject::eventFilter(watched, event);
}
