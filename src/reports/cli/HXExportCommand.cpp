#include "reports/cli/HXExportCommand.h"

#include "reports/HXCSVExport.h"
#include "reports/cli/HXCommandLineInputs.h"
#include "reports/cli/HXCommandLineOptions.h"
#include "reports/cli/HXReportsCommandLine.h"
#include "reports/cli/HXStoredReportSource.h"

#include "foundation/HXAtomicFile.h"
#include "foundation/HXKeys.h"

#include <QFileInfo>

#include <algorithm>
#include <optional>
#include <vector>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kHelp =
    "usage: qualdern export --out FILE [--pool NAME] [--from DATE] [--to DATE] [--config FILE]\n"
    "Writes the CSV export of everything, or of the named pool, between the dates (default: all data).\n"
    "FILE - writes to standard output; a named pipe or device is written to as it is. The tracker's own\n"
    "files (its configuration and its settings) are never written over.\n";

HXDictionaryRef findPool(const HXDictionary& configuration, const QString& name) {
    if (const HXArrayRef pools = configuration.arrayForKey(HXKeys::Pools)) {
        for (const HXValue& v : pools->values()) {
            const HXDictionaryRef& pool = v.toDictionary();
            if (pool && pool->itemName() == name)
                return pool;
        }
    }
    return nullptr;
}

// Files an export must never replace: the configuration in use, the tracker's own configuration and
// the settings. Compared after following links, by the file itself where it exists.
class ProtectedFiles {
public:
    explicit ProtectedFiles(const QStringList& paths) {
        for (const QString& path : paths)
            m_files.push_back(File{resolved(path), identity(path)});
    }

    bool contains(const QString& path) const {
        const QString target = resolved(path);
        const std::optional<std::pair<dev_t, ino_t>> id = identity(path);
        return std::any_of(m_files.begin(), m_files.end(),
                           [&](const File& f) { return f.path == target || (id && f.identity == id); });
    }

private:
    struct File {
        QString path;
        std::optional<std::pair<dev_t, ino_t>> identity;
    };

    // The path a write would reach: links followed (also to a file not there yet), folders canonical.
    static QString resolved(const QString& path) {
        QFileInfo info(path);
        for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
            info.setFile(info.symLinkTarget());
        const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
        return (folder.isEmpty() ? info.absolutePath() : folder) + u'/' + info.fileName();
    }
    static std::optional<std::pair<dev_t, ino_t>> identity(const QString& path) {
        struct stat s {};
        if (::stat(QFile::encodeName(path).constData(), &s) != 0)
            return std::nullopt;
        return std::pair(s.st_dev, s.st_ino);
    }

    std::vector<File> m_files;
};

// A pipe or device the user names is written to as a stream: replacing it would leave a plain file in
// its place.
bool writeStream(const QString& path, const QByteArray& data, QString& error) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, static_cast<size_t>(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = QString::fromLocal8Bit(std::strerror(n < 0 ? errno : EIO));
            ::close(fd);
            return false;
        }
        done += n;
    }
    if (::close(fd) != 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    return true;
}

bool writeExport(const QString& path, const QByteArray& data, QTextStream& out, QString& error) {
    if (path == u"-") {
        out << QString::fromUtf8(data);
        out.flush();
        return out.status() == QTextStream::Ok;
    }
    struct stat s {};
    if (::stat(QFile::encodeName(path).constData(), &s) == 0) {
        if (S_ISDIR(s.st_mode)) {
            error = QStringLiteral("is a folder");
            return false;
        }
        if (!S_ISREG(s.st_mode))
            return writeStream(path, data, error);
    }
    return HXAtomicFile::write(path, data, true, &error);
}

} // namespace

int HXRunExportCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    const HXCommandLineOptions options(arguments, {QStringLiteral("--out"), QStringLiteral("--pool"),
                                                   QStringLiteral("--from"), QStringLiteral("--to"),
                                                   QStringLiteral("--config")});
    if (options.help()) {
        out << kHelp;
        return 0;
    }
    options.refusePlainArguments();
    const std::optional<QString> path = options.value(u"--out");
    if (!path || path->isEmpty())
        throw HXCommandLineUsageError{QStringLiteral("--out FILE is required")};
    const ProtectedFiles protectedFiles({HXCommandLineConfigurationPath(options),
                                         HXStandardConfigurationPath(), HXUserDefaults::standardPath()});
    if (*path != u"-" && protectedFiles.contains(*path))
        throw HXCommandLineUsageError{
            QStringLiteral("--out %1 is the tracker's own data or settings; choose another file").arg(*path)};
    const HXCommandLineDates dates = HXReadCommandLineDates(options);

    const HXCommandLineSettings settings;
    const HXDictionaryRef configuration = HXLoadCommandLineConfiguration(options, err);
    if (!configuration)
        return HXCommandLineFailure;
    HXDictionaryRef pool;
    if (const std::optional<QString> poolName = options.value(u"--pool")) {
        pool = findPool(*configuration, *poolName);
        if (!pool)
            throw HXCommandLineUsageError{QStringLiteral("no pool named %1").arg(*poolName)};
    }
    const HXStoredReportSource source(configuration, settings.defaults());
    const double begin = dates.from ? *dates.from : firstTimestamp(configuration.get());
    const double end = dates.to.value_or(configuration->timeIntervalForKey(HXKeys::LastTimestamp));
    if (dates.from || dates.to)
        HXCheckCommandLineInterval(begin, end);
    const std::optional<QByteArray> data = exportPoolAsCSVData(source, pool, begin, end);
    QString error = QStringLiteral("nothing to export");
    if (!data || !writeExport(*path, *data, out, error)) {
        err << "cannot export to <" << *path << ">: " << error << '\n';
        return HXCommandLineFailure;
    }
    return 0;
}
