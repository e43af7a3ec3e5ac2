#pragma once

#include "reports/cli/HXReportListOutput.h"

#include "foundation/HXDictionary.h"
#include "foundation/HXUserDefaults.h"

#include <QTextStream>

class HXCommandLineOptions;

// What the verbs read, never changing it: the settings as the tracker sees them, the configuration of
// --config (or the tracker's own), the output format of --format and the interval of --interval.

// The settings file read only, over the defaults that reports and exports read.
class HXCommandLineSettings {
public:
    HXCommandLineSettings();
    const HXUserDefaults& defaults() const { return m_defaults; }

private:
    HXUserDefaults m_defaults;
};

// The path of --config, else the tracker's own configuration.
QString HXCommandLineConfigurationPath(const HXCommandLineOptions& options);

// The configuration at that path with non-finite log entries left out; null, with the reason on err,
// when it cannot be read.
HXDictionaryRef HXLoadCommandLineConfiguration(const HXCommandLineOptions& options, QTextStream& err);

// --format: text (the default), json, and csv where the verb allows it.
HXReportOutputFormat HXCommandLineOutputFormat(const HXCommandLineOptions& options, bool csvAllowed);

// The interval of --interval (today, week, month, year or all) as an HXReportInterval kind.
int HXCommandLineReportInterval(const QString& name);
