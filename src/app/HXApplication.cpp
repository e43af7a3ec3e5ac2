#include "app/HXApplication.h"

#include <QEvent>
#include <QKeyEvent>

HXApplication::HXApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool HXApplication::notify(QObject* receiver, QEvent* event) {
    const bool taken = event->type() == QEvent::KeyPress && m_keyPress && receiver &&
                       receiver->isWidgetType() && m_keyPress(*static_cast<QKeyEvent*>(event));
    const bool handled = taken || QApplication::notify(receiver, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
        if (m_activity && receiver && receiver->isWidgetType())
            m_activity();
        break;
    default:
        break;
    }
    return handled;
}
