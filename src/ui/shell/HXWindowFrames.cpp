#include "ui/shell/HXWindowFrames.h"

#include "foundation/HXFrameString.h"
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
    if (const std::optional<QRect> frame = HXFrameFromString(defaults.stringForKey(frameKey(autosaveName)))) {
        window.resize(frame->size());
        window.move(frame->topLeft());
        return;
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
    defaults.setString(frameKey(autosaveName), HXStringFromFrame(QRect(window.pos(), window.size())));
}
