#include "engine/HXRegisteredDefaults.h"

#include "foundation/HXUserDefaults.h"

void HXRegisterDefaults(HXUserDefaults& defaults) {
    HXDictionary table;
    table.setValue(u"Sort", 1);
    table.setValue(u"Hibernation Interval", 600);
    table.setValue(u"Express Time Intervals As Days", true);
    table.setValue(u"Include Windows From All Spaces", true);
    table.setValue(u"Show Inactive Applications", true);
    table.setValue(u"Show Inactive Pools", true);
    table.setValue(u"Pools: Editable Application Names", true);
    table.setValue(u"Pools: Match Applications Via ID", true);
    table.setValue(u"Pools: Treat Paused As Active", true);
    table.setValue(u"Live Report: Applications", true);
    table.setValue(u"Live Report: Pools", true);
    table.setValue(u"Reports Show Percentages", true);
    table.setValue(u"Exported Report Content", 1);
    table.setValue(u"Export Column: Pool", true);
    table.setValue(u"Export Column: Application", true);
    table.setValue(u"Export Column: Window", true);
    table.setValue(u"Export Column: Front", true);
    table.setValue(u"Show Activity Report On Desktop: Alpha", 1.0);
    table.setValue(u"Status Item Icon (1231)", 11);
    table.setValue(u"Status Item Toggles Login Item Automatically", true);
    defaults.registerDefaults(table);
}
