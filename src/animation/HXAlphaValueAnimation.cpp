#include "animation/HXAlphaValueAnimation.h"

#include "animation/HXAlphaValueAnimationClient.h"
#include "animation/HXWindowAlphaValueAnimationManager.h"

HXWindowAlphaValueAnimationManager* alphaValueAnimationManagerIfImplemented(const QWidget* window) {
    const auto* client = dynamic_cast<const HXAlphaValueAnimationClient*>(window);
    return client ? client->windowAlphaValueAnimationManager() : nullptr;
}

bool appearRegardless(QWidget* window, bool regardless, bool fade, double alpha, bool synchronously) {
    HXWindowAlphaValueAnimationManager* manager = alphaValueAnimationManagerIfImplemented(window);
    return manager && manager->appearRegardless(regardless, fade, alpha, synchronously);
}

bool appearWithReferenceWindowByFadingIn(QWidget* window, bool fade) {
    HXWindowAlphaValueAnimationManager* manager = alphaValueAnimationManagerIfImplemented(window);
    return manager && manager->appearWithReferenceWindowByFadingIn(fade);
}

void orderFrontWithAlpha(QWidget* window, double alpha) {
    if (HXWindowAlphaValueAnimationManager* manager = alphaValueAnimationManagerIfImplemented(window))
        manager->orderFrontWithAlpha(alpha);
}

bool orderFront(QWidget* window, bool front, double alpha, bool synchronously) {
    HXWindowAlphaValueAnimationManager* manager = alphaValueAnimationManagerIfImplemented(window);
    return manager && manager->orderFront(front, alpha, synchronously);
}

bool orderFrontAndFadeInToAlphaValue(QWidget* window, double alpha, bool synchronously) {
    return orderFront(window, true, alpha, synchronously);
}

bool vanishRegardless(QWidget* window, bool regardless, bool fade, double alpha, bool synchronously,
                      bool hideMouse) {
    HXWindowAlphaValueAnimationManager* manager = alphaValueAnimationManagerIfImplemented(window);
    return manager && manager->vanishRegardless(regardless, fade, alpha, synchronously, hideMouse);
}

void vanishWithReferenceWindow(QWidget* window) {
    if (HXWindowAlphaValueAnimationManager* manager = alphaValueAnimationManagerIfImplemented(window))
        manager->vanishWithReferenceWindow();
}

void vanishAndClose(QWidget* window) {
    if (HXWindowAlphaValueAnimationManager* manager = alphaValueAnimationManagerIfImplemented(window))
        manager->vanishAndClose();
}

void vanishAndCloseAfterNextEvent(QWidget* window) {
    if (HXWindowAlphaValueAnimationManager* manager = alphaValueAnimationManagerIfImplemented(window))
        manager->vanishAndCloseAfterNextEvent();
}
