#pragma once

class HXWindowAlphaValueAnimationManager;
class QWidget;

// A window that fades through a manager of its own: it answers the manager, the reference window whose
// attention decides the fades that are not regardless, the tuning of its fades, and hooks around them.
class HXAlphaValueAnimationClient {
public:
    virtual ~HXAlphaValueAnimationClient() = default;

    virtual HXWindowAlphaValueAnimationManager* windowAlphaValueAnimationManager() const = 0;
    // None by default: such a window appears and vanishes only regardless.
    virtual QWidget* alphaValueAnimationReferenceWindow() const { return nullptr; }

    // Seconds between steps and the opacity change per step.
    virtual double alphaValueAnimationStepInterval() const { return 0.02; }
    virtual double alphaValueAnimationQuantum() const { return 0.05; }
    // Seconds before an automatic vanish; a negative value takes "Window Vanish Interval" (5 when
    // that is not positive).
    virtual double vanishInterval() const { return -1; }
    // The time of a full fade from 0 to 1.
    double alphaValueAnimationOverallInterval() const {
        return alphaValueAnimationStepInterval() / alphaValueAnimationQuantum();
    }

    virtual void willAppear() {}
    virtual void didAppear() {}
    virtual void willVanish() {}
    virtual void didVanish() {}
};
