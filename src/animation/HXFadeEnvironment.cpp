#include "animation/HXFadeEnvironment.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QThread>
#include <QWidget>

#include <algorithm>

namespace {

// Shows the pointer again at its first move.
class PointerRestorer final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonPress) {
            QApplication::restoreOverrideCursor();
            qApp->removeEventFilter(this);
            deleteLater();
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

bool HXFadeEnvironment::isMainOrKeyWindow(const QWidget& window) const {
    return window.isActiveWindow();
}

bool HXFadeEnvironment::isApplicationActive() const {
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

QPoint HXFadeEnvironment::pointerPosition() const {
    return QCursor::pos();
}

void HXFadeEnvironment::hidePointerUntilMoved() {
    if (!qApp)
        return;
    QApplication::setOverrideCursor(Qt::BlankCursor);
    auto* restorer = new PointerRestorer;
    restorer->setParent(qApp);
    qApp->installEventFilter(restorer);
}

void HXFadeEnvironment::sleep(double seconds) {
    QThread::usleep(static_cast<unsigned long>(std::max(0.0, seconds) * 1e6));
}

HXFadeEnvironment& HXFadeEnvironment::standard() {
    static HXFadeEnvironment environment;
    return environment;
}
