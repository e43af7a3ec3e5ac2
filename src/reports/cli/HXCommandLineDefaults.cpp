#include "reports/cli/HXCommandLineDefaults.h"

HXDictionaryRef HXReportsRegisteredDefaults() {
    HXDictionaryRef d = HXDictionary::create();
    for (const char16_t* key :
         {u"Express Time Intervals As Days", u"Show Inactive Applications", u"Show Inactive Pools",
          u"Pools: Treat Paused As Active", u"Live Report: Applications", u"Live Report: Pools",
          u"Reports Show Percentages", u"Export Column: Pool", u"Export Column: Application",
          u"Export Column: Window", u"Export Column: Front"})
        d->setValue(HXKey(QString::fromUtf16(key)), true);
    d->setValue(u"Exported Report Content", 1);
    d->setValue(u"Sort", 1);
    return d;
}
