#include "platform/x11/HXQtScreenCapture.h"

#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace {

constexpr QFile::Permissions kPrivate = QFile::ReadOwner | QFile::WriteOwner;

bool writePng(const QPixmap& pixmap, const QString& path) {
    QFile file(path);
    // An existing file keeps its permissions on open, hence the explicit change.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate, kPrivate) || !file.setPermissions(kPrivate))
        return false;
    return pixmap.save(&file, "PNG") && file.flush();
}

} // namespace

bool HXQtScreenCapture::isAvailable() const {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
           !QGuiApplication::screens().isEmpty();
}

int HXQtScreenCapture::screenCount() const {
    return isAvailable() ? static_cast<int>(QGuiApplication::screens().size()) : 0;
}

bool HXQtScreenCapture::captureScreens(const std::vector<QString>& files) {
    if (!isAvailable())
        return false;
    const QList<QScreen*> screens = QGuiApplication::screens();
    bool all = files.size() == static_cast<std::size_t>(screens.size());
    for (std::size_t i = 0; i < files.size() && i < static_cast<std::size_t>(screens.size()); ++i) {
        const QPixmap shot = screens[static_cast<qsizetype>(i)]->grabWindow(0);
        all = !shot.isNull() && writePng(shot, files[i]) && all;
    }
    return all;
}
