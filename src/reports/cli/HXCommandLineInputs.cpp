#include "reports/cli/HXCommandLineInputs.h"

#include "reports/HXReportInterval.h"
#include "reports/cli/HXCommandLineDefaults.h"
#include "reports/cli/HXCommandLineOptions.h"
#include "reports/cli/HXReportsCommandLine.h"

#include "foundation/HXLog.h"
#include "foundation/HXNonFiniteTimes.h"
#include "foundation/HXPropertyList.h"
#include "foundation/HXRegularFile.h"

#include <map>
#include <optional>

HXCommandLineSettings::HXCommandLineSettings()
    : m_defaults(HXUserDefaults::standardPath(), HXUserDefaults::ReadOnly{}) {
    m_defaults.registerDefaults(*HXReportsRegisteredDefaults());
    HXLogging::setDebugEnabled(m_defaults.boolForKey(u"HXDebugLog"));
}

QString HXCommandLineConfigurationPath(const HXCommandLineOptions& options) {
    return options.value(u"--config").value_or(HXStandardConfigurationPath());
}

HXDictionaryRef HXLoadCommandLineConfiguration(const HXCommandLineOptions& options, QTextStream& err) {
    const QString path = HXCommandLineConfigurationPath(options);
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

HXReportOutputFormat HXCommandLineOutputFormat(const HXCommandLineOptions& options, bool csvAllowed) {
    const QString format = options.value(u"--format").value_or(QStringLiteral("text"));
    if (format == u"text")
        return HXReportOutputFormat::Text;
    if (format == u"json")
        return HXReportOutputFormat::JSON;
    if (format == u"csv" && csvAllowed)
        return HXReportOutputFormat::CSV;
    throw HXCommandLineUsageError{QStringLiteral("unknown format %1").arg(format)};
}

int HXCommandLineReportInterval(const QString& name) {
    static const std::map<QString, int> kinds{{QStringLiteral("today"), HXReportIntervalToday},
                                              {QStringLiteral("week"), HXReportIntervalThisWeek},
                                              {QStringLiteral("month"), HXReportIntervalThisMonth},
                                              {QStringLiteral("year"), HXReportIntervalThisYear},
                                              {QStringLiteral("all"), HXReportIntervalNone}};
    return HXCommandLineChoice(name, u"interval", kinds);
}
