#include "platform/x11/HXQtScreenCapture.h"

#include "foundation/HXAtomicFile.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace {

// Through the atomic writer, as every file: private, and never half written.
bool writePng(const QPixmap& pixmap, const QString& path) {
    QByteArray png;
    QBuffer buffer(&png);
    return buffer.open(QIODevice::WriteOnly) && pixmap.save(&buffer, "PNG") &&
           HXAtomicFile::writePrivate(path, png);
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
