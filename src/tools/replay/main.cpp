// qualdern-replay: the sampling tick over a scripted sequence of window-system samples.
#include "foundation/HXPropertyList.h"
#include "tools/replay/HXReplayRunner.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QTextStream>

namespace {

const char* const kUsage = "usage: qualdern-replay SCRIPT.json --out OUT.plist [--configuration IN.plist]";

int usageError(QTextStream& err, const QString& message) {
    err << "qualdern-replay: " << message << "\n" << kUsage << "\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments().mid(1);

    QString scriptPath;
    QString outPath;
    QString inPath;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QStringLiteral("--help") || a == QStringLiteral("-h")) {
            out << kUsage << "\n"
                << "Runs the sampling tick over the script's samples and writes the configuration after the "
                   "last "
                   "tick as a binary property list.\n";
            return 0;
        }
        if (a == QStringLiteral("--out") || a == QStringLiteral("--configuration")) {
            if (i + 1 >= args.size())
                return usageError(err, a + QStringLiteral(" needs a file"));
            (a == QStringLiteral("--out") ? outPath : inPath) = args[++i];
        } else if (a.startsWith(QStringLiteral("--"))) {
            return usageError(err, QStringLiteral("unknown option %1").arg(a));
        } else if (scriptPath.isEmpty()) {
            scriptPath = a;
        } else {
            return usageError(err, QStringLiteral("unexpected argument %1").arg(a));
        }
    }
    if (scriptPath.isEmpty() || outPath.isEmpty())
        return usageError(err, QStringLiteral("a script and --out are required"));

    QFile scriptFile(scriptPath);
    if (!scriptFile.open(QIODevice::ReadOnly)) {
        err << "qualdern-replay: " << scriptPath << ": " << scriptFile.errorString() << "\n";
        return 2;
    }
    QString error;
    const std::optional<HXReplayScript> script = HXParseReplayScript(scriptFile.readAll(), &error);
    if (!script) {
        err << "qualdern-replay: " << scriptPath << ": " << error << "\n";
        return 2;
    }
    HXDictionaryRef start;
    if (!inPath.isEmpty()) {
        start = HXDictionary::deeplyMutableDictionaryWithContentsOfFile(inPath);
        if (!start) {
            err << "qualdern-replay: " << inPath << ": not a readable configuration\n";
            return 2;
        }
    }
    const HXDictionaryRef result = HXRunReplay(*script, start);
    if (!writeToBinaryFile(HXValue(result), outPath, true)) {
        err << "qualdern-replay: " << outPath << ": cannot write\n";
        return 1;
    }
    return 0;
}
