#include "reports/cli/HXRenderCommand.h"

#include "reports/HXCSVExport.h"
#include "reports/HXLiveReportDelegate.h"
#include "reports/HXReportController.h"
#include "reports/HXReportControllerDelegate.h"
#include "reports/HXReportSnapshot.h"
#include "reports/HXReportViewContent.h"
#include "reports/cli/HXCommandLineDefaults.h"
#include "reports/cli/HXCommandLineInputs.h"
#include "reports/cli/HXCommandLineOptions.h"
#include "reports/cli/HXReportsCommandLine.h"
#include "reports/cli/HXStoredReportSource.h"
#include "reports/widgets/HXReportDrawing.h"

#include "foundation/HXClock.h"
#include "foundation/HXDefaultsKeys.h"
#include "foundation/HXKeys.h"
#include "foundation/HXUserDefaults.h"

#include <QDateTime>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QRegularExpression>

#include <memory>
#include <optional>

namespace {

constexpr int kLargestEdge = 16384;

const char* const kHelp =
    "usage: qualdern render --out FILE.png [--interval today|week|month|year|all | --from DATE --to DATE]\n"
    "                       [--size WxH] [--format lapse|portions] [--activity front|total|both]\n"
    "                       [--scheme original|dark|light] [--no-labels] [--config FILE]\n"
    "                       [--snapshot FILE.csv]\n"
    "Draws the live report (or the report of an exported CSV file) into a PNG picture, as the report window\n"
    "draws it: rows share the picture's height, the interval ribbon shows when the interval is not all of\n"
    "the data. Defaults are the live report's own settings and 800x600. DATE is an ISO 8601 local time\n"
    "(2026-12-07T09:30); a date alone means the start of that day for --from and its end for --to.\n"
    "--no-labels draws as small renderings do: no names, texts or headers. Needs no display; changes\n"
    "neither the data nor the settings.\n";

QSize parseSize(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    const int w = match.hasMatch() ? match.captured(1).toInt() : 0;
    const int h = match.hasMatch() ? match.captured(2).toInt() : 0;
    if (w < 1 || h < 1 || w > kLargestEdge || h > kLargestEdge)
        throw HXCommandLineUsageError{
            QStringLiteral("size must be WxH, each between 1 and %1: %2").arg(kLargestEdge).arg(text)};
    return QSize(w, h);
}

// A snapshot's data for its controller.
class SnapshotData final : public HXReportControllerDelegate {
public:
    explicit SnapshotData(HXDictionaryRef configuration) : m_configuration(std::move(configuration)) {}
    HXArrayRef eventLogsClippedBetweenTimestamp(double begin, double end,
                                                const HXReportController&) const override {
        return snapshotReportList(*m_configuration, begin, end);
    }
    void getFirstTimestamp(double* first, double* last, const HXReportController&) const override {
        *first = m_configuration->timeIntervalForKey(HXKeys::FirstTimestamp);
        *last = m_configuration->timeIntervalForKey(HXKeys::LastTimestamp);
    }

private:
    HXDictionaryRef m_configuration;
};

int render(const HXCommandLineOptions& args, QTextStream& err) {
    const std::optional<QString> out = args.value(u"--out");
    if (!out || out->isEmpty())
        throw HXCommandLineUsageError{QStringLiteral("--out FILE.png is required")};
    const QSize size = args.value(u"--size") ? parseSize(*args.value(u"--size")) : QSize(800, 600);
    const std::optional<QString> interval = args.value(u"--interval");
    const std::optional<QString> from = args.value(u"--from");
    const std::optional<QString> to = args.value(u"--to");
    if (interval && (from || to))
        throw HXCommandLineUsageError{QStringLiteral("--interval cannot be combined with --from or --to")};
    const std::optional<QString> snapshotPath = args.value(u"--snapshot");
    if (snapshotPath && args.value(u"--config"))
        throw HXCommandLineUsageError{QStringLiteral("--snapshot cannot be combined with --config")};
    if (snapshotPath && interval && *interval != u"all")
        throw HXCommandLineUsageError{
            QStringLiteral("a snapshot has no named intervals: use --from and --to")};
    const int kind = interval ? HXCommandLineReportInterval(*interval) : -1;
    const int format =
        args.value(u"--format")
            ? HXCommandLineChoice(*args.value(u"--format"), u"format",
                                  {{QStringLiteral("lapse"), 0}, {QStringLiteral("portions"), 1}})
            : -1;
    const int activity =
        args.value(u"--activity")
            ? HXCommandLineChoice(
                  *args.value(u"--activity"), u"activity",
                  {{QStringLiteral("front"), 1}, {QStringLiteral("total"), 2}, {QStringLiteral("both"), 3}})
            : 0;
    const int scheme = args.value(u"--scheme") ? HXCommandLineChoice(*args.value(u"--scheme"), u"scheme",
                                                                     {{QStringLiteral("original"), 0},
                                                                      {QStringLiteral("dark"), 1},
                                                                      {QStringLiteral("light"), 2}})
                                               : -1;
    const double fromTime = from ? HXParseCommandLineDate(*from, false) : 0;
    const double toTime = to ? HXParseCommandLineDate(*to, true) : 0;

    // The settings as stored; what this command changes stays in memory.
    HXUserDefaults defaults(HXUserDefaults::standardPath(), HXUserDefaults::ReadOnly{});
    defaults.registerDefaults(*HXReportsRegisteredDefaults());
    const QString live = QString::fromUtf16(HXReportController::kLiveReportIdentifier);
    HXReportSettings::registerLiveReportDefaults(defaults, live);
    if (scheme >= 0)
        defaults.setInteger(HXDefaultsKeys::ColorScheme, scheme);

    HXSystemClock clock;
    std::unique_ptr<HXReportControllerDelegate> data;
    std::unique_ptr<HXStoredReportSource> source;
    std::unique_ptr<HXReportController> controller;
    HXDictionaryRef snapshot;
    if (snapshotPath) {
        QStringList errors;
        snapshot = reportSnapshotConfigurationFromCSVFile(QFileInfo(*snapshotPath).absoluteFilePath(),
                                                          &errors, reportSnapshotFieldSeparator(defaults));
        if (!snapshot) {
            err << "qualdern render: "
                << (errors.isEmpty() ? QStringLiteral("Cannot read file") : errors.join(u' ')) << '\n';
            return HXCommandLineFailure;
        }
        data = std::make_unique<SnapshotData>(snapshot);
        controller = std::make_unique<HXReportController>(
            HXReportSettings(QFileInfo(*snapshotPath).absoluteFilePath(), defaults, HXDictionary::create()),
            data.get(), clock, defaults, false);
        controller->setSnapshotConfiguration(snapshot);
    } else {
        const QString path = args.value(u"--config").value_or(HXStandardConfigurationPath());
        const HXDictionaryRef configuration = HXDictionary::deeplyMutableDictionaryWithContentsOfFile(path);
        if (!configuration) {
            err << "qualdern render: cannot read configuration <" << path << ">\n";
            return HXCommandLineFailure;
        }
        source = std::make_unique<HXStoredReportSource>(configuration, defaults);
        data = std::make_unique<HXLiveReportDelegate>(*source);
        controller = std::make_unique<HXReportController>(HXReportSettings(live, defaults), data.get(), clock,
                                                          defaults, true);
    }
    HXReportSettings& settings = controller->settings();
    if (kind >= 0 || from || to) {
        settings.setInteger(u"Interval", kind > 0 ? kind : 0);
        settings.remove(u"Begin");
        settings.remove(u"End");
        if (from)
            settings.setDouble(u"Begin", fromTime);
        if (to)
            settings.setDouble(u"End", toTime);
    }
    if (format >= 0)
        settings.setInteger(u"Time Format", format);
    if (activity != 0 && !snapshot) {
        settings.setBool(u"Front", (activity & 1) != 0);
        settings.setBool(u"Total", (activity & 2) != 0);
    }

    if (from || to) {
        // The window's pickers keep to the data; an interval wholly outside it is a mistake.
        double first = 0;
        double last = 0;
        data->getFirstTimestamp(&first, &last, *controller);
        if ((to && toTime <= first) || (from && fromTime >= last) || (from && to && toTime <= fromTime)) {
            err << "qualdern render: no data in that interval (the data run from "
                << QDateTime::fromSecsSinceEpoch(static_cast<qint64>(first)).toString(Qt::ISODate) << " to "
                << QDateTime::fromSecsSinceEpoch(static_cast<qint64>(last)).toString(Qt::ISODate) << ")\n";
            return HXCommandLineFailure;
        }
    }
    const HXReportViewContent content = HXReportViewContentFromController(*controller);
    HXReportDrawingStyle style = HXReportDrawingStyle::fromDefaults(defaults);
    style.timeFormat = controller->timeFormat();
    style.drawFrontActivity = controller->drawFrontActivity();
    style.drawTotalActivity = controller->drawTotalActivity();
    if (snapshot && activity != 0) {
        style.drawFrontActivity = style.drawFrontActivity && (activity & 1) != 0;
        style.drawTotalActivity = style.drawTotalActivity && (activity & 2) != 0;
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        const QRectF bounds(QPointF(0, 0), QSizeF(size));
        drawReportInBounds(painter, content, style, HXReportPointerState(), bounds, bounds, true,
                           !args.isSet(u"--no-labels"), false);
    }
    QImageWriter writer(*out, "png");
    if (!writer.write(image)) {
        err << "qualdern render: cannot write <" << *out << ">: " << writer.errorString() << '\n';
        return HXCommandLineFailure;
    }
    return 0;
}

} // namespace

int HXRunRenderCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    try {
        const HXCommandLineOptions args(arguments,
                                        {QStringLiteral("--out"), QStringLiteral("--interval"),
                                         QStringLiteral("--from"), QStringLiteral("--to"),
                                         QStringLiteral("--size"), QStringLiteral("--format"),
                                         QStringLiteral("--activity"), QStringLiteral("--scheme"),
                                         QStringLiteral("--config"), QStringLiteral("--snapshot")},
                                        {QStringLiteral("--no-labels")});
        args.refusePlainArguments();
        if (args.help()) {
            out << kHelp;
            return 0;
        }
        return render(args, err);
    } catch (const HXCommandLineUsageError& e) {
        err << "qualdern render: " << e.text << '\n';
        return HXCommandLineUsage;
    }
}
