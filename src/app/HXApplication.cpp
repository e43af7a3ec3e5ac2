#include "app/HXApplication.h"

#include <QEvent>

HXApplication::HXApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool HXApplication::notify(QObject* receiver, QEvent* event) {
    const bool handled = QApplication::notify(receiver, event);
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
