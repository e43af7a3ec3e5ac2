#include "reports/cli/HXSnapshotCommand.h"

#include "reports/HXCSVExport.h"
#include "reports/HXReportSnapshot.h"
#include "reports/cli/HXCommandLineInputs.h"
#include "reports/cli/HXCommandLineOptions.h"
#include "reports/cli/HXReportListOutput.h"

#include "foundation/HXKeys.h"

#include <QFileInfo>

namespace {

const char* const kHelp = "usage: qualdern snapshot FILE.csv [--format text|json]\n"
                          "Reads an exported CSV file back and prints its report.\n";

} // namespace

int HXRunSnapshotCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    const HXCommandLineOptions options(arguments, {QStringLiteral("--format")});
    if (options.help()) {
        out << kHelp;
        return 0;
    }
    if (options.plain().size() != 1)
        throw HXCommandLineUsageError{QStringLiteral("snapshot needs exactly one FILE.csv")};
    const HXReportOutputFormat format = HXCommandLineOutputFormat(options, false);
    const HXCommandLineSettings settings;
    const QString path = QFileInfo(options.plain().first()).absoluteFilePath();
    QStringList errors;
    const HXDictionaryRef snapshot = reportSnapshotConfigurationFromCSVFile(
        path, &errors, reportSnapshotFieldSeparator(settings.defaults()));
    if (!snapshot) {
        err << (errors.isEmpty() ? QStringLiteral("Cannot read file") : errors.join(u'\n')) << '\n';
        return HXCommandLineFailure;
    }
    const double first = snapshot->timeIntervalForKey(HXKeys::FirstTimestamp);
    const double last = snapshot->timeIntervalForKey(HXKeys::LastTimestamp);
    HXWriteReportList(out, *snapshotReportList(*snapshot, first, last), first, last, settings.defaults(),
                      format);
    return 0;
}
