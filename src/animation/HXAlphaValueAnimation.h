#pragma once

class HXWindowAlphaValueAnimationManager;
class QWidget;

// Fading asked of any window: forwarded to its manager when it has one; otherwise nothing happens and
// the answer is false.
HXWindowAlphaValueAnimationManager* alphaValueAnimationManagerIfImplemented(const QWidget* window);

bool appearRegardless(QWidget* window, bool regardless, bool fade, double alpha, bool synchronously);
bool appearWithReferenceWindowByFadingIn(QWidget* window, bool fade);
void orderFrontWithAlpha(QWidget* window, double alpha);
bool orderFront(QWidget* window, bool front, double alpha, bool synchronously);
bool orderFrontAndFadeInToAlphaValue(QWidget* window, double alpha, bool synchronously);
bool vanishRegardless(QWidget* window, bool regardless, bool fade, double alpha, bool synchronously,
                      bool hideMouse);
void vanishWithReferenceWindow(QWidget* window);
void vanishAndClose(QWidget* window);
void vanishAndCloseAfterNextEvent(QWidget* window);
