#include "X11TestSupport.h"

#include "platform/x11/HXQtScreenCapture.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>

#include <sys/stat.h>

namespace {

unsigned permissions(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 0777 : 0;
}

TEST(HXQtScreenCaptureTest, CapturesEveryScreenIntoPrivateFiles) {
    QD_REQUIRE_DISPLAY();
    HXQtScreenCapture capture;
    ASSERT_TRUE(capture.isAvailable());
    const QList<QScreen*> screens = QGuiApplication::screens();
    ASSERT_EQ(capture.screenCount(), screens.size());

    TestWindowApp red({QStringLiteral("--color"), QStringLiteral("ff0000"), QStringLiteral("--geometry"),
                       QStringLiteral("300x200+100+100"), QStringLiteral("--title"),
                       QStringLiteral("Red Block")});
    ASSERT_TRUE(red.isReady());
    ASSERT_TRUE(
        runTool(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"),
                                            QString::number(red.window(0))}));
    spin(300);

    ScratchFolder scratch;
    std::vector<QString> files;
    for (qsizetype i = 0; i < screens.size(); ++i)
        files.push_back(scratch.file(QString::number(i + 1) + QStringLiteral(".png")));
    // An earlier file's looser permissions do not survive.
    QFile old(files.front());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.close();
    ASSERT_EQ(::chmod(QFile::encodeName(files.front()).constData(), 0644), 0);

    const auto captureRedPixels = [&] {
        EXPECT_TRUE(capture.captureScreens(files));
        int count = 0;
        for (qsizetype i = 0; i < screens.size(); ++i) {
            const QString& file = files[static_cast<std::size_t>(i)];
            EXPECT_EQ(permissions(file), 0600u) << file.toStdString();
            QImage image;
            EXPECT_TRUE(image.load(file, "PNG")) << file.toStdString();
            EXPECT_EQ(image.size(), screens[i]->geometry().size() * screens[i]->devicePixelRatio());
            const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
            for (int y = 0; y < rgb.height(); ++y) {
                const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
                for (int x = 0; x < rgb.width(); ++x)
                    count += line[x] == qRgb(255, 0, 0) ? 1 : 0;
            }
        }
        return count;
    };
    // The window's inside, whatever frame the window manager puts around it, once the server has drawn
    // it (a loaded machine may take a while).
    constexpr int kInside = 300 * 200 * 9 / 10;
    int redPixels = captureRedPixels();
    QElapsedTimer waited;
    waited.start();
    while (redPixels < kInside && waited.elapsed() < 10000) {
        spin(100);
        redPixels = captureRedPixels();
    }
    EXPECT_GE(redPixels, kInside);

    // A file for a screen that is not there is not written, and the capture says so.
    std::vector<QString> tooMany = files;
    tooMany.push_back(scratch.file(QStringLiteral("extra.png")));
    EXPECT_FALSE(capture.captureScreens(tooMany));
    EXPECT_FALSE(QFile::exists(tooMany.back()));
}

} // namespace
