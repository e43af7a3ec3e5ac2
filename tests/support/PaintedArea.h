#pragma once

#include <QEvent>
#include <QObject>
#include <QPaintEvent>
#include <QRect>

// Watches the widgets it is installed on: how many paint events they got and the area those covered.
class PaintedArea final : public QObject {
public:
    int paints = 0;
    qint64 pixels = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            for (const QRect& r : static_cast<QPaintEvent*>(event)->region())
                pixels += static_cast<qint64>(r.width()) * r.height();
        }
        return QObject::eventFilter(watched, event);
    }
};
