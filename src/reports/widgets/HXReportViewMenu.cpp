#include "reports/widgets/HXReportViewMenu.h"

#include "reports/HXReportController.h"

#include "foundation/HXLocalization.h"
#include "foundation/HXUserDefaults.h"

#include <QActionGroup>
#include <QMenu>

namespace {

QAction* checkable(QMenu& menu, const QString& title) {
    QAction* action = menu.addAction(title);
    action->setCheckable(true);
    return action;
}

} // namespace

void populateViewMenu(QMenu& menu, HXReportController& controller, HXUserDefaults& defaults,
                      std::function<bool()> viewIsVisible) {
    auto* formats = new QActionGroup(&menu);
    QAction* lapse = checkable(menu, HXLocalized("as Time Lapse"));
    QAction* portions = checkable(menu, HXLocalized("as Time Portions"));
    formats->addAction(lapse);
    formats->addAction(portions);
    QObject::connect(lapse, &QAction::triggered, &menu, [&controller] { controller.setTimeFormat(0); });
    QObject::connect(portions, &QAction::triggered, &menu, [&controller] { controller.setTimeFormat(1); });
    menu.addSeparator();
    QAction* front = checkable(menu, HXLocalized("Foreground Activity"));
    QAction* total = checkable(menu, HXLocalized("Total Activity"));
    QObject::connect(front, &QAction::triggered, &menu, [&controller] { controller.toggleShownActivity(0); });
    QObject::connect(total, &QAction::triggered, &menu, [&controller] { controller.toggleShownActivity(1); });
    menu.addSeparator();
    QAction* percentages = checkable(menu, HXLocalized("Show Percentages"));
    QAction* days = checkable(menu, HXLocalized("Express >=24-Hour Intervals in Days"));
    QObject::connect(percentages, &QAction::triggered, &menu,
                     [&defaults](bool on) { defaults.setBool(u"Reports Show Percentages", on); });
    QObject::connect(days, &QAction::triggered, &menu,
                     [&defaults](bool on) { defaults.setBool(u"Express Time Intervals As Days", on); });
    menu.addSeparator();
    QMenu* schemes = menu.addMenu(HXLocalized("Color Scheme"));
    auto* schemeGroup = new QActionGroup(schemes);
    QAction* original = checkable(*schemes, HXLocalized("Original"));
    schemes->addSeparator();
    schemes->addAction(HXLocalized("Standard Highlight Color"))->setEnabled(false);
    QAction* dark = checkable(*schemes, HXLocalized("Dark"));
    QAction* light = checkable(*schemes, HXLocalized("Light"));
    const QList<QAction*> schemeActions{original, dark, light};
    for (int tag = 0; tag < 3; ++tag) {
        schemeGroup->addAction(schemeActions[tag]);
        QObject::connect(schemeActions[tag], &QAction::triggered, &menu,
                         [&defaults, tag] { defaults.setInteger(u"Color Scheme", tag); });
    }

    QObject::connect(&menu, &QMenu::aboutToShow, &menu, [=, &controller, &defaults] {
        const bool visible = viewIsVisible ? viewIsVisible() : true;
        lapse->setChecked(controller.timeFormat() == 0);
        portions->setChecked(controller.timeFormat() == 1);
        lapse->setEnabled(visible);
        portions->setEnabled(visible);
        front->setChecked(visible && controller.drawFrontActivity());
        total->setChecked(visible && controller.drawTotalActivity());
        front->setEnabled(visible && !controller.isSnapshot());
        total->setEnabled(visible && !controller.isSnapshot());
        percentages->setChecked(defaults.boolForKey(u"Reports Show Percentages"));
        days->setChecked(defaults.boolForKey(u"Express Time Intervals As Days"));
        const long long scheme = defaults.integerForKey(u"Color Scheme");
        for (int tag = 0; tag < 3; ++tag)
            schemeActions[tag]->setChecked(scheme == tag || (tag == 0 && (scheme < 0 || scheme > 2)));
    });
}
