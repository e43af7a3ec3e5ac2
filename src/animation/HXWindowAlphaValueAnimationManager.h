#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class HXAlphaValueAnimationClient;
class HXFadeEnvironment;
class HXScheduler;
class HXUserDefaults;

// Fades one window in and out in steps on the scheduler, tells the window and its listeners before and
// after it appears or vanishes, lets it vanish by itself some seconds after it lost the user's attention
// (later while the pointer rests on it), and fades it out to close it. Every appear, vanish and order-front
// first cancels what is pending, so the latest request wins. The manager keeps the opacity itself: the
// window system stores it in 1/255 steps, which would make step counts drift.
class HXWindowAlphaValueAnimationManager : public QObject {
    Q_OBJECT

public:
    HXWindowAlphaValueAnimationManager(QWidget* window, HXScheduler& scheduler,
                                       const HXUserDefaults& defaults,
                                       HXFadeEnvironment* environment = nullptr);
    ~HXWindowAlphaValueAnimationManager() override;

    QWidget* window() const { return m_window; }
    double alphaValue() const { return m_alpha; }
    double minimumAlphaValue() const { return m_minimum; }
    double maximumAlphaValue() const { return m_maximum; }
    double alphaValueAnimationQuantum() const { return m_quantum; }
    bool isVanishingToClose() const { return m_isVanishingToClose; }

    bool appearRegardless(bool regardless, bool fade, double alpha, bool synchronously);
    bool appearWithReferenceWindowByFadingIn(bool fade);
    void orderFrontWithAlpha(double alpha);
    // Orders the window front (key when it can be) or, with front false, shows it without raising it;
    // then appears regardless.
    bool orderFront(bool front, double alpha, bool synchronously);
    bool vanishRegardless(bool regardless, bool fade, double alpha, bool synchronously, bool hideMouse);
    void vanishWithReferenceWindow();

    void vanishAndClose();
    // At the next input event, or after 60 seconds.
    void vanishAndCloseAfterNextEvent();
    void startVanishingToClose();
    void stopVanishingToCloseAfterClosing(bool close);

    void cancelAlphaValueAnimationPerformRequests();
    void disconnectAndCancelPerformRequests();

    // The attention test: false without a window or a reference window; else true, telling whether the
    // reference window is the main or key window and whether the pointer lies inside the window's frame.
    bool shouldAnimateAlphaValueForMainOrKeyReferenceWindow(bool* mainOrKey, bool* hoveringMouse) const;
    // One step of the running fade; true when another is due.
    bool performNextAlphaValueAnimationStep();

Q_SIGNALS:
    void windowWillAppear(QWidget* window);
    void windowDidAppear(QWidget* window);
    void windowWillVanish(QWidget* window);
    void windowDidVanish(QWidget* window);

private:
    HXAlphaValueAnimationClient* client() const;
    double stepInterval() const;
    double classQuantum() const;
    double vanishInterval() const;
    void setAlpha(double alpha);
    void performAlphaValueAnimation(double quantum, bool synchronously);
    void performAsynchronousAlphaValueAnimationStep();
    void scheduleVanishWithReferenceWindow();
    void willAppear();
    void didAppear();
    void willVanish();
    void didVanish();
    bool eventFilter(QObject* watched, QEvent* event) override;
    void stopWaitingForNextEvent();

    QPointer<QWidget> m_window;
    HXScheduler& m_scheduler;
    const HXUserDefaults& m_defaults;
    HXFadeEnvironment& m_environment;
    double m_alpha = 1;
    double m_minimum = 0;
    double m_maximum = 1;
    double m_quantum = 1;
    bool m_isVanishingToClose = false;
    bool m_didSetWindowToIgnoreMouseForVanishing = false;
    bool m_waitingForNextEvent = false;
};
