#include "animation/HXAlphaValueAnimationWindow.h"

#include "animation/HXWindowAlphaValueAnimationManager.h"

HXAlphaValueAnimationWindow::HXAlphaValueAnimationWindow(HXScheduler& scheduler,
                                                         const HXUserDefaults& defaults,
                                                         Qt::WindowFlags flags,
                                                         HXFadeEnvironment* environment)
    : QWidget(nullptr, flags | Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_manager = std::make_unique<HXWindowAlphaValueAnimationManager>(this, scheduler, defaults, environment);
}

HXAlphaValueAnimationWindow::~HXAlphaValueAnimationWindow() {
    m_manager->disconnectAndCancelPerformRequests();
}

HXAlphaValueAnimationPanel::HXAlphaValueAnimationPanel(HXScheduler& scheduler, const HXUserDefaults& defaults,
                                                       Qt::WindowFlags flags, HXFadeEnvironment* environment)
    : HXAlphaValueAnimationWindow(scheduler, defaults, flags | Qt::Tool, environment) {}
