#include "platform/fake/HXFakeScreenCapture.h"

#include <QFile>

bool HXFakeScreenCapture::captureScreens(const std::vector<QString>& files) {
    ++m_captures;
    bool all = true;
    for (const QString& path : files) {
        QFile file(path);
        all = file.open(QIODevice::WriteOnly) && file.write("\x89PNG\r\n\x1a\n", 8) == 8 && all;
    }
    return all;
}
