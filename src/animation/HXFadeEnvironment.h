#pragma once

#include <QPoint>

class QWidget;

// What a fade asks of the desktop: whether a window has the user's attention, where the pointer is,
// hiding the pointer, and the pause between the steps of a fade that blocks. Tests answer it themselves.
class HXFadeEnvironment {
public:
    virtual ~HXFadeEnvironment() = default;

    // The main or key window: the active window of the program.
    virtual bool isMainOrKeyWindow(const QWidget& window) const;
    virtual bool isApplicationActive() const;
    virtual QPoint pointerPosition() const;
    // Until the pointer next moves.
    virtual void hidePointerUntilMoved();
    virtual void sleep(double seconds);

    // The desktop itself.
    static HXFadeEnvironment& standard();
};
