#include "reports/cli/HXReportCommand.h"

#include "reports/HXLiveReport.h"
#include "reports/HXReportInterval.h"
#include "reports/cli/HXCommandLineInputs.h"
#include "reports/cli/HXCommandLineOptions.h"
#include "reports/cli/HXReportListOutput.h"
#include "reports/cli/HXStoredReportSource.h"

#include "foundation/HXKeys.h"

#include <QDateTime>

#include <optional>

namespace {

const char* const kHelp =
    "usage: qualdern report [--interval today|week|month|year|all] [--from DATE] [--to DATE]\n"
    "                       [--format text|csv|json] [--config FILE]\n"
    "Prints the live report for the interval (default: today). DATE is an ISO 8601 local time\n"
    "(2026-12-07T09:30); a date alone means the start of that day for --from and its end for --to.\n";

} // namespace

int HXRunReportCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    const HXCommandLineOptions options(arguments, {QStringLiteral("--interval"), QStringLiteral("--from"),
                                                   QStringLiteral("--to"), QStringLiteral("--format"),
                                                   QStringLiteral("--config")});
    if (options.help()) {
        out << kHelp;
        return 0;
    }
    options.refusePlainArguments();
    const HXReportOutputFormat format = HXCommandLineOutputFormat(options, true);
    const std::optional<QString> interval = options.value(u"--interval");
    const HXCommandLineDates dates = HXReadCommandLineDates(options);
    if (interval && (dates.from || dates.to))
        throw HXCommandLineUsageError{QStringLiteral("--interval cannot be combined with --from or --to")};
    const int kind = HXCommandLineReportInterval(interval.value_or(QStringLiteral("today")));

    const HXCommandLineSettings settings;
    const HXDictionaryRef configuration = HXLoadCommandLineConfiguration(options, err);
    if (!configuration)
        return HXCommandLineFailure;
    const HXStoredReportSource source(configuration, settings.defaults());
    const double first = firstTimestamp(configuration.get());
    const double now = static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
    double begin = first;
    double end = configuration->timeIntervalForKey(HXKeys::LastTimestamp);
    if (dates.from || dates.to) {
        begin = dates.from.value_or(first);
        end = dates.to.value_or(now);
        HXCheckCommandLineInterval(begin, end);
    } else if (kind != HXReportIntervalNone) {
        end = now;
        if (!HXGetReportIntervalSpecificBeginTimestamp(&begin, kind, now, first, end, settings.defaults()))
            begin = end;
    }
    const HXArrayRef list = eventLogsClippedBetweenTimestamp(source, begin, end);
    HXWriteReportList(out, *list, begin, end, settings.defaults(), format);
    return 0;
}
