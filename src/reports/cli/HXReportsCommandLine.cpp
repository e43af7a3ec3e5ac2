#include "reports/cli/HXReportsCommandLine.h"

#include "reports/HXCSVExport.h"
#include "reports/HXLiveReport.h"
#include "reports/HXReportInterval.h"
#include "reports/HXReportSnapshot.h"
#include "reports/cli/HXCommandLineDefaults.h"
#include "reports/cli/HXReportListOutput.h"
#include "reports/cli/HXStoredReportSource.h"

#include "foundation/HXAtomicFile.h"
#include "foundation/HXKeys.h"
#include "foundation/HXLog.h"
#include "foundation/HXNonFiniteTimes.h"
#include "foundation/HXPaths.h"
#include "foundation/HXPropertyList.h"
#include "foundation/HXRegularFile.h"
#include "foundation/HXUserDefaults.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <map>
#include <optional>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kFailure = 1;
constexpr int kUsage = 2;

const char* const kReportHelp =
    "usage: qualdern report [--interval today|week|month|year|all] [--from DATE] [--to DATE]\n"
    "                       [--format text|csv|json] [--config FILE]\n"
    "Prints the live report for the interval (default: today). DATE is an ISO 8601 local time\n"
    "(2026-12-07T09:30); a date alone means the start of that day for --from and its end for --to.\n";
const char* const kExportHelp =
    "usage: qualdern export --out FILE [--pool NAME] [--from DATE] [--to DATE] [--config FILE]\n"
    "Writes the CSV export of everything, or of the named pool, between the dates (default: all data).\n"
    "FILE - writes to standard output; a named pipe or device is written to as it is. The tracker's own\n"
    "files (its configuration and its settings) are never written over.\n";
const char* const kSnapshotHelp = "usage: qualdern snapshot FILE.csv [--format text|json]\n"
                                  "Reads an exported CSV file back and prints its report.\n";

struct UsageError {
    QString text;
};

// Options as given: "--name value" pairs and plain arguments.
class Options {
public:
    Options(const QStringList& arguments, const QStringList& withValue) {
        for (qsizetype i = 1; i < arguments.size(); ++i) {
            const QString& a = arguments[i];
            if (a == u"--help" || a == u"-h") {
                m_help = true;
            } else if (a.startsWith(QStringLiteral("--"))) {
                if (!withValue.contains(a))
                    throw UsageError{QStringLiteral("unknown option %1").arg(a)};
                if (i + 1 >= arguments.size())
                    throw UsageError{QStringLiteral("option %1 needs a value").arg(a)};
                if (m_values.count(a))
                    throw UsageError{QStringLiteral("option %1 given twice").arg(a)};
                m_values[a] = arguments[++i];
            } else {
                m_plain.append(a);
            }
        }
    }

    bool help() const { return m_help; }
    const QStringList& plain() const { return m_plain; }
    std::optional<QString> value(const QString& name) const {
        const auto it = m_values.find(name);
        return it == m_values.end() ? std::nullopt : std::optional<QString>(it->second);
    }

private:
    bool m_help = false;
    std::map<QString, QString> m_values;
    QStringList m_plain;
};

// An ISO 8601 local time; a date alone is the start of that day, or with endOfDay the start of the next.
double parseDate(const QString& text, bool endOfDay) {
    // Qt reads a date from the first ten characters alone, so a date is only what is nothing more.
    const QDate day = text.size() == 10 ? QDate::fromString(text, Qt::ISODate) : QDate();
    if (day.isValid())
        return static_cast<double>(
            QDateTime(endOfDay ? day.addDays(1) : day, QTime(0, 0)).toSecsSinceEpoch());
    const QDateTime time = QDateTime::fromString(text, Qt::ISODate);
    if (!time.isValid())
        throw UsageError{QStringLiteral("not an ISO 8601 date: %1").arg(text)};
    return static_cast<double>(time.toMSecsSinceEpoch()) / 1000.0;
}

// The settings as the tracker sees them, read without any change to the file.
class Settings {
public:
    Settings() : m_defaults(HXUserDefaults::standardPath(), HXUserDefaults::ReadOnly{}) {
        m_defaults.registerDefaults(*HXReportsRegisteredDefaults());
        HXLogging::setDebugEnabled(m_defaults.boolForKey(u"HXDebugLog"));
    }
    const HXUserDefaults& defaults() const { return m_defaults; }

private:
    HXUserDefaults m_defaults;
};

QString configurationPathOf(const Options& options) {
    return options.value(QStringLiteral("--config")).value_or(HXStandardConfigurationPath());
}

HXDictionaryRef loadConfiguration(const Options& options, QTextStream& err) {
    const QString path = configurationPathOf(options);
    QString error;
    const std::optional<QByteArray> data = HXReadRegularFile(path, &error);
    HXPropertyListResult parsed;
    if (data) {
        parsed = HXPropertyList::read(*data);
        error = parsed.ok() ? QStringLiteral("not a dictionary") : parsed.error;
    }
    HXDictionaryRef configuration = parsed.value.toDictionary();
    if (!configuration) {
        err << "cannot read configuration <" << path << ">: " << error << '\n';
        return nullptr;
    }
    HXRemoveNonFiniteLogEntries(*configuration);
    return configuration;
}

// The interval as given; an end before the begin is a mistake in the arguments, not an empty report.
void checkInterval(double begin, double end) {
    if (end < begin) {
        const auto text = [](double t) {
            return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(t * 1000.0)).toString(Qt::ISODate);
        };
        throw UsageError{
            QStringLiteral("the end (%1) lies before the begin (%2)").arg(text(end), text(begin))};
    }
}

HXReportOutputFormat parseFormat(const Options& options, bool csvAllowed) {
    const QString format = options.value(QStringLiteral("--format")).value_or(QStringLiteral("text"));
    if (format == u"text")
        return HXReportOutputFormat::Text;
    if (format == u"json")
        return HXReportOutputFormat::JSON;
    if (format == u"csv" && csvAllowed)
        return HXReportOutputFormat::CSV;
    throw UsageError{QStringLiteral("unknown format %1").arg(format)};
}

void refuseExtraArguments(const Options& options) {
    if (!options.plain().isEmpty())
        throw UsageError{QStringLiteral("unexpected argument %1").arg(options.plain().first())};
}

int runReport(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    const Options options(arguments,
                          {QStringLiteral("--interval"), QStringLiteral("--from"), QStringLiteral("--to"),
                           QStringLiteral("--format"), QStringLiteral("--config")});
    if (options.help()) {
        out << kReportHelp;
        return 0;
    }
    refuseExtraArguments(options);
    const HXReportOutputFormat format = parseFormat(options, true);
    const std::optional<QString> interval = options.value(QStringLiteral("--interval"));
    const std::optional<QString> from = options.value(QStringLiteral("--from"));
    const std::optional<QString> to = options.value(QStringLiteral("--to"));
    if (interval && (from || to))
        throw UsageError{QStringLiteral("--interval cannot be combined with --from or --to")};
    static const std::map<QString, int> kinds{{QStringLiteral("today"), HXReportIntervalToday},
                                              {QStringLiteral("week"), HXReportIntervalThisWeek},
                                              {QStringLiteral("month"), HXReportIntervalThisMonth},
                                              {QStringLiteral("year"), HXReportIntervalThisYear},
                                              {QStringLiteral("all"), HXReportIntervalNone}};
    const QString intervalName = interval.value_or(QStringLiteral("today"));
    const auto kind = kinds.find(intervalName);
    if (kind == kinds.end())
        throw UsageError{QStringLiteral("unknown interval %1").arg(intervalName)};
    const double fromTime = from ? parseDate(*from, false) : 0;
    const double toTime = to ? parseDate(*to, true) : 0;
    if (from && to)
        checkInterval(fromTime, toTime);

    const Settings settings;
    const HXDictionaryRef configuration = loadConfiguration(options, err);
    if (!configuration)
        return kFailure;
    const HXStoredReportSource source(configuration, settings.defaults());
    const double first = firstTimestamp(configuration.get());
    const double now = static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
    double begin = first;
    double end = configuration->timeIntervalForKey(HXKeys::LastTimestamp);
    if (from || to) {
        begin = from ? fromTime : first;
        end = to ? toTime : now;
        checkInterval(begin, end);
    } else if (kind->second != HXReportIntervalNone) {
        end = now;
        if (!HXGetReportIntervalSpecificBeginTimestamp(&begin, kind->second, now, first, end,
                                                       settings.defaults()))
            begin = end;
    }
    const HXArrayRef list = eventLogsClippedBetweenTimestamp(source, begin, end);
    HXWriteReportList(out, *list, begin, end, settings.defaults(), format);
    return 0;
}

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

int runExport(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    const Options options(arguments,
                          {QStringLiteral("--out"), QStringLiteral("--pool"), QStringLiteral("--from"),
                           QStringLiteral("--to"), QStringLiteral("--config")});
    if (options.help()) {
        out << kExportHelp;
        return 0;
    }
    refuseExtraArguments(options);
    const std::optional<QString> path = options.value(QStringLiteral("--out"));
    if (!path || path->isEmpty())
        throw UsageError{QStringLiteral("--out FILE is required")};
    const ProtectedFiles protectedFiles(
        {configurationPathOf(options), HXStandardConfigurationPath(), HXUserDefaults::standardPath()});
    if (*path != u"-" && protectedFiles.contains(*path))
        throw UsageError{
            QStringLiteral("--out %1 is the tracker's own data or settings; choose another file").arg(*path)};
    const std::optional<QString> from = options.value(QStringLiteral("--from"));
    const std::optional<QString> to = options.value(QStringLiteral("--to"));
    const double fromTime = from ? parseDate(*from, false) : 0;
    const double toTime = to ? parseDate(*to, true) : 0;
    if (from && to)
        checkInterval(fromTime, toTime);

    const Settings settings;
    const HXDictionaryRef configuration = loadConfiguration(options, err);
    if (!configuration)
        return kFailure;
    HXDictionaryRef pool;
    if (const std::optional<QString> poolName = options.value(QStringLiteral("--pool"))) {
        pool = findPool(*configuration, *poolName);
        if (!pool)
            throw UsageError{QStringLiteral("no pool named %1").arg(*poolName)};
    }
    const HXStoredReportSource source(configuration, settings.defaults());
    const double begin = from ? fromTime : firstTimestamp(configuration.get());
    const double end = to ? toTime : configuration->timeIntervalForKey(HXKeys::LastTimestamp);
    if (from || to)
        checkInterval(begin, end);
    const std::optional<QByteArray> data = exportPoolAsCSVData(source, pool, begin, end);
    QString error = QStringLiteral("nothing to export");
    if (!data || !writeExport(*path, *data, out, error)) {
        err << "cannot export to <" << *path << ">: " << error << '\n';
        return kFailure;
    }
    return 0;
}

int runSnapshot(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    const Options options(arguments, {QStringLiteral("--format")});
    if (options.help()) {
        out << kSnapshotHelp;
        return 0;
    }
    if (options.plain().size() != 1)
        throw UsageError{QStringLiteral("snapshot needs exactly one FILE.csv")};
    const HXReportOutputFormat format = parseFormat(options, false);
    const Settings settings;
    const QString path = QFileInfo(options.plain().first()).absoluteFilePath();
    QStringList errors;
    const HXDictionaryRef snapshot = reportSnapshotConfigurationFromCSVFile(
        path, &errors, reportSnapshotFieldSeparator(settings.defaults()));
    if (!snapshot) {
        err << (errors.isEmpty() ? QStringLiteral("Cannot read file") : errors.join(u'\n')) << '\n';
        return kFailure;
    }
    const double first = snapshot->timeIntervalForKey(HXKeys::FirstTimestamp);
    const double last = snapshot->timeIntervalForKey(HXKeys::LastTimestamp);
    HXWriteReportList(out, *snapshotReportList(*snapshot, first, last), first, last, settings.defaults(),
                      format);
    return 0;
}

} // namespace

QString HXStandardConfigurationPath() {
    return HXLibraryFolder() + QStringLiteral("/Configurations/Default.plist");
}

bool HXIsReportsCommandLineVerb(const QString& argument) {
    return argument == u"report" || argument == u"export" || argument == u"snapshot";
}

int HXRunReportsCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    const QString verb = arguments.value(0);
    try {
        if (verb == u"report")
            return runReport(arguments, out, err);
        if (verb == u"export")
            return runExport(arguments, out, err);
        if (verb == u"snapshot")
            return runSnapshot(arguments, out, err);
        throw UsageError{QStringLiteral("unknown command %1 (report, export or snapshot)").arg(verb)};
    } catch (const UsageError& e) {
        err << "qualdern " << verb << ": " << e.text << '\n';
        return kUsage;
    }
}
