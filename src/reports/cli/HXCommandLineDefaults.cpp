#include "reports/cli/HXCommandLineDefaults.h"

#include "foundation/HXDefaultsKeys.h"

HXDictionaryRef HXReportsRegisteredDefaults() {
    HXDictionaryRef d = HXDictionary::create();
    for (QStringView key : {HXDefaultsKeys::ExpressTimeIntervalsAsDays,
                            HXDefaultsKeys::ShowInactiveApplications, HXDefaultsKeys::ShowInactivePools,
                            HXDefaultsKeys::PoolsTreatPausedAsActive, HXDefaultsKeys::LiveReportApplications,
                            HXDefaultsKeys::LiveReportPools, HXDefaultsKeys::ReportsShowPercentages,
                            HXDefaultsKeys::ExportColumnPool, HXDefaultsKeys::ExportColumnApplication,
                            HXDefaultsKeys::ExportColumnWindow, HXDefaultsKeys::ExportColumnFront})
        d->setValue(key, true);
    d->setValue(HXDefaultsKeys::ExportedReportContent, 1);
    d->setValue(HXDefaultsKeys::Sort, 1);
    return d;
}
