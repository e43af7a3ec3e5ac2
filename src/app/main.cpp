// qualdern: the time tracker, or with a verb as first argument, one of its headless report commands.
#include "app/HXApplication.h"
#include "app/HXDefaultsCommand.h"
#include "app/HXDesktopSession.h"
#include "app/HXTracker.h"
#include "reports/cli/HXRenderCommand.h"
#include "reports/cli/HXReportsCommandLine.h"
#include "ui/HXLinuxEnglish.h"
#include "ui/HXLoginItem.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <cstring>

namespace {

const char* const kUsage =
    "usage: qualdern [FILE.csv ...]\n"
    "       qualdern report|export|snapshot|render ... (see qualdern VERB --help)\n"
    "       qualdern defaults read|write|delete ... (the settings; see qualdern defaults --help)\n"
    "\n"
    "Without a verb, starts the tracker for this desktop session (files ending in .csv open as report\n"
    "snapshots; when a tracker already runs, it gets them).\n";

// Arguments come first: the report commands need no display and create no window.
int runCommandLine(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return HXRunReportsCommandLine(QCoreApplication::arguments().mid(1), out, err);
}

int runDefaultsCommand(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return HXRunDefaultsCommand(QCoreApplication::arguments().mid(2), out, err);
}

// Pictures are drawn off screen: no display is needed, and none is used when there is one.
int runRender(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return HXRunRenderCommand(QCoreApplication::arguments().mid(1), out, err);
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "render") == 0)
        return runRender(argc, argv);
    if (argc > 1 && HXIsReportsCommandLineVerb(QString::fromLocal8Bit(argv[1])))
        return runCommandLine(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "defaults") == 0)
        return runDefaultsCommand(argc, argv);
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (argv[i][0] == '-') {
            std::fprintf(stderr, "qualdern: unknown option %s\n%s", argv[i], kUsage);
            return 2;
        }
        files.append(QString::fromLocal8Bit(argv[i]));
    }
    // The tracker's own windows belong to the session it watches: Wayland where it can be reached.
    QString noDisplay;
    const std::optional<QByteArray> platform =
        HXDesktopSession::qtPlatform(QProcessEnvironment::systemEnvironment(), &noDisplay);
    if (!platform) {
        std::fprintf(stderr, "qualdern: %s\n", noDisplay.toLocal8Bit().constData());
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", *platform);
    HXApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Qualdern"));
    QApplication::setApplicationVersion(QStringLiteral(QD_VERSION));
    // The desktop matches the windows and the tray icon to the program's desktop entry.
    QGuiApplication::setDesktopFileName(HXDesktopEntryId());
    HXLinuxEnglish english;
    QCoreApplication::installTranslator(&english);
    QApplication::setQuitOnLastWindowClosed(false);
    HXTracker tracker(application);
    if (const std::optional<int> status = tracker.start(files))
        return *status;
    return tracker.exec();
}
