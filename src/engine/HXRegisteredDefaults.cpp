#include "engine/HXRegisteredDefaults.h"

#include "foundation/HXArray.h"
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
    // Read with the same fallback where they are used; registered so that the settings answer them too.
    table.setValue(u"HXFlatUserInterfaceDrawing", true);
    table.setValue(u"Pie Color Components", HXArray::createWithDoubles({0.6, 0.4, 0.6}));
    table.setValue(u"Color Scheme", 0);
    table.setValue(u"Update Interval", 0.5);
    table.setValue(u"Auto-Save Interval", 1800);
    table.setValue(u"Screenshots: Amount", 50);
    table.setValue(u"Report Interval Quantum", 15);
    table.setValue(u"Auto-Export Hour", 6);
    table.setValue(u"Window Vanish Interval", 5);
    defaults.registerDefaults(table);
}
