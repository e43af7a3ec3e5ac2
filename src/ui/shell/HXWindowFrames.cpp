#include "ui/shell/HXWindowFrames.h"

#include "foundation/HXUserDefaults.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

QString frameKey(const QString& autosaveName) {
    return QStringLiteral("Window Frame: %1").arg(autosaveName);
}

} // namespace

QRect HXHalfScreenFrame(bool rightSide) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QRect v = screen->availableGeometry();
    const int width = static_cast<int>(std::floor(v.width() / 2.0 - 225));
    const int height = v.height() - 300;
    if (width <= 0 || height <= 0)
        return {};
    const int x = rightSide ? v.x() + v.width() - 150 - width : v.x() + 150;
    return QRect(x, v.y() + 150, width, height);
}

void restoreWindowFrame(QWidget& window, const HXUserDefaults& defaults, const QString& autosaveName,
                        const QRect& defaultFrame) {
    const QStringList parts =
        defaults.stringForKey(frameKey(autosaveName)).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() == 4) {
        bool ok[4];
        const int x = parts[0].toInt(&ok[0]);
        const int y = parts[1].toInt(&ok[1]);
        const int w = parts[2].toInt(&ok[2]);
        const int h = parts[3].toInt(&ok[3]);
        if (ok[0] && ok[1] && ok[2] && ok[3] && w > 0 && h > 0) {
            window.resize(w, h);
            window.move(x, y);
            return;
        }
    }
    if (!defaultFrame.isEmpty()) {
        window.resize(defaultFrame.size());
        window.move(defaultFrame.topLeft());
        return;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
}

void saveWindowFrame(const QWidget& window, HXUserDefaults& defaults, const QString& autosaveName) {
    const QRect frame(window.pos(), window.size());
    defaults.setString(
        frameKey(autosaveName),
        QStringLiteral("%1 %2 %3 %4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height()));
}
