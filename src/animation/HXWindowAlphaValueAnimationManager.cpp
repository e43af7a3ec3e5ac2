#include "animation/HXWindowAlphaValueAnimationManager.h"

#include "animation/HXAlphaValueAnimationClient.h"
#include "animation/HXFadeEnvironment.h"

#include "foundation/HXScheduler.h"
#include "foundation/HXUserDefaults.h"

#include <QApplication>
#include <QEvent>

namespace {

constexpr std::string_view kStep = "performAsynchronousAlphaValueAnimationStep";
constexpr std::string_view kVanish = "vanishWithReferenceWindow";
constexpr std::string_view kStartVanishingToClose = "startVanishingToClose";
constexpr std::string_view kNextEvent = "vanishAndCloseAfterNextEvent";
constexpr std::string_view kAfterNextEvent = "vanishAndClose";

bool isInputEvent(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::ApplicationStateChange:
        return true;
    default:
        return false;
    }
}

} // namespace

HXWindowAlphaValueAnimationManager::HXWindowAlphaValueAnimationManager(QWidget* window,
                                                                       HXScheduler& scheduler,
                                                                       const HXUserDefaults& defaults,
                                                                       HXFadeEnvironment* environment)
    : m_window(window), m_scheduler(scheduler), m_defaults(defaults),
      m_environment(environment ? *environment : HXFadeEnvironment::standard()),
      m_alpha(window ? window->windowOpacity() : 1) {}

HXWindowAlphaValueAnimationManager::~HXWindowAlphaValueAnimationManager() {
    disconnectAndCancelPerformRequests();
}

HXAlphaValueAnimationClient* HXWindowAlphaValueAnimationManager::client() const {
    return dynamic_cast<HXAlphaValueAnimationClient*>(m_window.data());
}

double HXWindowAlphaValueAnimationManager::stepInterval() const {
    const HXAlphaValueAnimationClient* c = client();
    return c ? c->alphaValueAnimationStepInterval() : 0.02;
}

double HXWindowAlphaValueAnimationManager::classQuantum() const {
    const HXAlphaValueAnimationClient* c = client();
    return c ? c->alphaValueAnimationQuantum() : 0.05;
}

double HXWindowAlphaValueAnimationManager::vanishInterval() const {
    if (const HXAlphaValueAnimationClient* c = client(); c && c->vanishInterval() >= 0)
        return c->vanishInterval();
    const double stored = m_defaults.doubleForKey(u"Window Vanish Interval");
    return stored > 0 ? stored : 5;
}

void HXWindowAlphaValueAnimationManager::setAlpha(double alpha) {
    m_alpha = alpha;
    if (m_window)
        m_window->setWindowOpacity(alpha);
}

bool HXWindowAlphaValueAnimationManager::shouldAnimateAlphaValueForMainOrKeyReferenceWindow(
    bool* mainOrKey, bool* hoveringMouse) const {
    const HXAlphaValueAnimationClient* c = client();
    QWidget* reference = c ? c->alphaValueAnimationReferenceWindow() : nullptr;
    if (!m_window || !reference)
        return false;
    if (mainOrKey)
        *mainOrKey = m_environment.isMainOrKeyWindow(*reference);
    if (hoveringMouse)
        *hoveringMouse = m_window->frameGeometry().contains(m_environment.pointerPosition());
    return true;
}

bool HXWindowAlphaValueAnimationManager::performNextAlphaValueAnimationStep() {
    if (!m_window)
        return false;
    const double a = m_alpha + m_quantum;
    if (m_quantum > 0) {
        if (a > m_maximum - 0.01) {
            setAlpha(m_maximum);
            didAppear();
            return false;
        }
    } else if (a < m_minimum + 0.01) {
        setAlpha(m_minimum);
        didVanish();
        return false;
    }
    setAlpha(a);
    return true;
}

void HXWindowAlphaValueAnimationManager::performAsynchronousAlphaValueAnimationStep() {
    if (performNextAlphaValueAnimationStep())
        m_scheduler.performAfterDelay(this, kStep, stepInterval(),
                                      [this] { performAsynchronousAlphaValueAnimationStep(); });
}

void HXWindowAlphaValueAnimationManager::performAlphaValueAnimation(double quantum, bool synchronously) {
    m_quantum = quantum;
    if (!synchronously) {
        performAsynchronousAlphaValueAnimationStep();
        return;
    }
    const double interval = stepInterval();
    while (performNextAlphaValueAnimationStep())
        m_environment.sleep(interval);
}

void HXWindowAlphaValueAnimationManager::scheduleVanishWithReferenceWindow() {
    m_scheduler.performAfterDelay(this, kVanish, vanishInterval(), [this] { vanishWithReferenceWindow(); });
}

bool HXWindowAlphaValueAnimationManager::appearRegardless(bool regardless, bool fade, double alpha,
                                                          bool synchronously) {
    stopVanishingToCloseAfterClosing(false);
    cancelAlphaValueAnimationPerformRequests();
    if (!m_window)
        return false;
    if (!regardless && !shouldAnimateAlphaValueForMainOrKeyReferenceWindow(nullptr, nullptr))
        return false;
    m_maximum = alpha > 0.99 ? 1 : alpha;
    willAppear();
    if (fade && !m_defaults.boolForKey(u"HXWindowAlphaValueAnimationManager: Always Appear Instantly")) {
        performAlphaValueAnimation(classQuantum(), synchronously);
    } else {
        setAlpha(m_maximum);
        didAppear();
    }
    if (!regardless)
        scheduleVanishWithReferenceWindow();
    return true;
}

bool HXWindowAlphaValueAnimationManager::appearWithReferenceWindowByFadingIn(bool fade) {
    return appearRegardless(false, fade, 1, false);
}

void HXWindowAlphaValueAnimationManager::orderFrontWithAlpha(double alpha) {
    stopVanishingToCloseAfterClosing(false);
    cancelAlphaValueAnimationPerformRequests();
    if (!m_window)
        return;
    setAlpha(alpha);
    m_window->show();
    m_window->raise();
    if (!m_window->testAttribute(Qt::WA_ShowWithoutActivating) &&
        !m_window->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus))
        m_window->activateWindow();
}

bool HXWindowAlphaValueAnimationManager::orderFront(bool front, double alpha, bool synchronously) {
    stopVanishingToCloseAfterClosing(false);
    cancelAlphaValueAnimationPerformRequests();
    if (!m_window)
        return false;
    if (!m_window->isVisible())
        setAlpha(0);
    m_window->show();
    if (front) {
        m_window->raise();
        if (!m_window->testAttribute(Qt::WA_ShowWithoutActivating) &&
            !m_window->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus))
            m_window->activateWindow();
    }
    return appearRegardless(true, true, alpha, synchronously);
}

bool HXWindowAlphaValueAnimationManager::vanishRegardless(bool regardless, bool fade, double alpha,
                                                          bool synchronously, bool hideMouse) {
    cancelAlphaValueAnimationPerformRequests();
    if (!m_window)
        return false;
    if (!regardless) {
        bool mainOrKey = false;
        bool hovering = false;
        if (!shouldAnimateAlphaValueForMainOrKeyReferenceWindow(&mainOrKey, &hovering))
            return false;
        if (mainOrKey && m_environment.isApplicationActive()) {
            // The user is looking at it: try again later.
            if (hovering) {
                scheduleVanishWithReferenceWindow();
                return false;
            }
            if (hideMouse)
                m_environment.hidePointerUntilMoved();
        }
    }
    m_minimum = alpha < 0.01 ? 0 : alpha;
    willVanish();
    if (fade && !m_defaults.boolForKey(u"HXWindowAlphaValueAnimationManager: Always Vanish Instantly")) {
        performAlphaValueAnimation(-classQuantum(), synchronously);
        return true;
    }
    setAlpha(m_minimum);
    didVanish();
    return true;
}

void HXWindowAlphaValueAnimationManager::vanishWithReferenceWindow() {
    vanishRegardless(false, true, 0, false, true);
}

void HXWindowAlphaValueAnimationManager::vanishAndClose() {
    if (!m_window || !m_window->isVisible() || m_isVanishingToClose)
        return;
    m_isVanishingToClose = true;
    if (!m_window->testAttribute(Qt::WA_TransparentForMouseEvents)) {
        m_window->setAttribute(Qt::WA_TransparentForMouseEvents, true);
        m_didSetWindowToIgnoreMouseForVanishing = true;
    }
    m_scheduler.performAfterDelay(this, kStartVanishingToClose, 0.01, [this] { startVanishingToClose(); });
}

void HXWindowAlphaValueAnimationManager::vanishAndCloseAfterNextEvent() {
    if (!m_waitingForNextEvent && qApp) {
        m_waitingForNextEvent = true;
        qApp->installEventFilter(this);
    }
    m_scheduler.performAfterDelay(this, kNextEvent, 60, [this] {
        stopWaitingForNextEvent();
        vanishAndClose();
    });
}

bool HXWindowAlphaValueAnimationManager::eventFilter(QObject* watched, QEvent* event) {
    if (m_waitingForNextEvent && isInputEvent(event->type())) {
        // The event goes on to its receiver; the close follows once it is handled.
        stopWaitingForNextEvent();
        m_scheduler.cancelPerforms(this, kNextEvent);
        m_scheduler.performAfterDelay(this, kAfterNextEvent, 0, [this] { vanishAndClose(); });
    }
    return QObject::eventFilter(watched, event);
}

void HXWindowAlphaValueAnimationManager::stopWaitingForNextEvent() {
    if (!m_waitingForNextEvent)
        return;
    m_waitingForNextEvent = false;
    if (qApp)
        qApp->removeEventFilter(this);
}

void HXWindowAlphaValueAnimationManager::startVanishingToClose() {
    if (m_isVanishingToClose)
        vanishRegardless(true, true, 0, false, false);
}

void HXWindowAlphaValueAnimationManager::stopVanishingToCloseAfterClosing(bool close) {
    if (!m_isVanishingToClose)
        return;
    m_isVanishingToClose = false;
    if (!m_window)
        return;
    if (m_didSetWindowToIgnoreMouseForVanishing) {
        m_window->setAttribute(Qt::WA_TransparentForMouseEvents, false);
        m_didSetWindowToIgnoreMouseForVanishing = false;
    }
    if (close)
        m_window->close();
}

void HXWindowAlphaValueAnimationManager::cancelAlphaValueAnimationPerformRequests() {
    m_scheduler.cancelPerforms(this, kStartVanishingToClose);
    m_scheduler.cancelPerforms(this, kVanish);
    m_scheduler.cancelPerforms(this, kStep);
}

void HXWindowAlphaValueAnimationManager::disconnectAndCancelPerformRequests() {
    cancelAlphaValueAnimationPerformRequests();
    m_scheduler.cancelPerforms(this, kNextEvent);
    m_scheduler.cancelPerforms(this, kAfterNextEvent);
    stopWaitingForNextEvent();
    m_window = nullptr;
}

void HXWindowAlphaValueAnimationManager::willAppear() {
    if (HXAlphaValueAnimationClient* c = client())
        c->willAppear();
    Q_EMIT windowWillAppear(m_window);
}

void HXWindowAlphaValueAnimationManager::didAppear() {
    if (HXAlphaValueAnimationClient* c = client())
        c->didAppear();
    Q_EMIT windowDidAppear(m_window);
}

void HXWindowAlphaValueAnimationManager::willVanish() {
    if (HXAlphaValueAnimationClient* c = client())
        c->willVanish();
    Q_EMIT windowWillVanish(m_window);
}

void HXWindowAlphaValueAnimationManager::didVanish() {
    if (HXAlphaValueAnimationClient* c = client())
        c->didVanish();
    Q_EMIT windowDidVanish(m_window);
    stopVanishingToCloseAfterClosing(true);
}
