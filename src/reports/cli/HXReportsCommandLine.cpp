#include "reports/cli/HXReportsCommandLine.h"

#include "reports/cli/HXCommandLineOptions.h"
#include "reports/cli/HXExportCommand.h"
#include "reports/cli/HXReportCommand.h"
#include "reports/cli/HXSnapshotCommand.h"

#include "foundation/HXPaths.h"

#include <algorithm>
#include <iterator>

namespace {

struct Verb {
    QStringView name;
    int (*run)(const QStringList& arguments, QTextStream& out, QTextStream& err);
};

constexpr Verb kVerbs[] = {
    {u"report", HXRunReportCommand},
    {u"export", HXRunExportCommand},
    {u"snapshot", HXRunSnapshotCommand},
};

const Verb* findVerb(const QString& name) {
    const auto it = std::find_if(std::begin(kVerbs), std::end(kVerbs),
                                 [&](const Verb& verb) { return verb.name == name; });
    return it == std::end(kVerbs) ? nullptr : it;
}

} // namespace

QString HXStandardConfigurationPath() {
    return HXLibraryFolder() + QStringLiteral("/Configurations/Default.plist");
}

bool HXIsReportsCommandLineVerb(const QString& argument) {
    return findVerb(argument) != nullptr;
}

int HXRunReportsCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    const QString verb = arguments.value(0);
    try {
        if (const Verb* known = findVerb(verb))
            return known->run(arguments, out, err);
        throw HXCommandLineUsageError{
            QStringLiteral("unknown command %1 (report, export or snapshot)").arg(verb)};
    } catch (const HXCommandLineUsageError& e) {
        err << "qualdern " << verb << ": " << e.text << '\n';
        return HXCommandLineUsage;
    }
}
