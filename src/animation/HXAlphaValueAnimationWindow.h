#pragma once

#include "animation/HXAlphaValueAnimationClient.h"

#include <QWidget>

#include <memory>

class HXFadeEnvironment;
class HXScheduler;
class HXUserDefaults;

// Top-level windows that fade: each makes its manager when it is made and disconnects it before it goes.
// Closing only hides them. Subclasses override the hooks and the tuning.
class HXAlphaValueAnimationWindow : public QWidget, public HXAlphaValueAnimationClient {
    Q_OBJECT

public:
    HXAlphaValueAnimationWindow(HXScheduler& scheduler, const HXUserDefaults& defaults,
                                Qt::WindowFlags flags = {}, HXFadeEnvironment* environment = nullptr);
    ~HXAlphaValueAnimationWindow() override;

    HXWindowAlphaValueAnimationManager* windowAlphaValueAnimationManager() const override {
        return m_manager.get();
    }

private:
    std::unique_ptr<HXWindowAlphaValueAnimationManager> m_manager;
};

// The panel twin: a utility window, left out of the taskbar.
class HXAlphaValueAnimationPanel : public HXAlphaValueAnimationWindow {
    Q_OBJECT

public:
    HXAlphaValueAnimationPanel(HXScheduler& scheduler, const HXUserDefaults& defaults,
                               Qt::WindowFlags flags = {}, HXFadeEnvironment* environment = nullptr);
};
