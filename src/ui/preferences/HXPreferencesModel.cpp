#include "ui/preferences/HXPreferencesModel.h"

#include "engine/HXBlacklists.h"
#include "engine/HXHibernation.h"
#include "engine/HXMainController.h"
#include "engine/HXUserInterfacePort.h"
#include "foundation/HXLocalization.h"
#include "foundation/HXPaths.h"
#include "foundation/HXUserDefaults.h"
#include "ui/preferences/HXPreferencesDelegate.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTime>

#include <algorithm>
#include <cmath>

namespace {

using P = HXPreference;

// The setting each switch and selector writes as it is.
const char16_t* keyFor(P control) {
    switch (control) {
    case P::StatusItem:
        return u"Status Item";
    case P::StatusItemIcon:
        return u"Status Item Icon (1231)";
    case P::ShowInactiveApplications:
        return u"Show Inactive Applications";
    case P::ShowInactivePools:
        return u"Show Inactive Pools";
    case P::AutoResetApplications:
        return u"Auto-Reset Applications";
    case P::AutoResetPools:
        return u"Auto-Reset Pools";
    case P::UpdateInterval:
        return u"Update Interval";
    case P::HibernationInterval:
        return u"Hibernation Interval";
    case P::HibernationMode:
        return u"Hibernation Mode";
    case P::HibernationTimer:
        return u"Hibernation Timer";
    case P::ExcludeAccessoryApplications:
        return u"Application Activation Policy Filter";
    case P::LiveReportContent:
        return u"Live Report Content (1252)";
    case P::LiveReportApplications:
        return u"Live Report: Applications";
    case P::LiveReportPools:
        return u"Live Report: Pools";
    case P::LiveReportDayOffset:
        return u"HXChameleonDatePicker: Day Offset";
    case P::LiveReportDock:
        return u"Show Activity Report In Dock";
    case P::LiveReportDesktop:
        return u"Show Activity Report On Desktop";
    case P::LiveReportDesktopAlpha:
        return u"Show Activity Report On Desktop: Alpha";
    case P::LiveReportMouseTracking:
        return u"Show Time At Mouse Location";
    case P::ExportContent:
        return u"Exported Report Content";
    case P::ExportColumnPool:
        return u"Export Column: Pool";
    case P::ExportColumnPoolNotes:
        return u"Export Column: Pool Notes";
    case P::ExportColumnApplication:
        return u"Export Column: Application";
    case P::ExportColumnWindow:
        return u"Export Column: Window";
    case P::ExportColumnFront:
        return u"Export Column: Front";
    case P::ExportColumnTotal:
        return u"Export Column: Total";
    case P::ExportColumnSeparator:
        return u"Exported Report Column Separator";
    case P::ExportRowSeparator:
        return u"Exported Report Row Separator";
    case P::AutoExport:
        return u"Auto-Export Reports";
    case P::AutoExportHour:
        return u"Auto-Export Hour";
    case P::AutoExportRange:
        return u"Auto-Export Range";
    }
    return u"";
}

// Of the pairs that keep one on: the other switch.
std::optional<P> partnerOf(P control) {
    switch (control) {
    case P::LiveReportApplications:
        return P::LiveReportPools;
    case P::LiveReportPools:
        return P::LiveReportApplications;
    case P::ExportColumnPool:
        return P::ExportColumnApplication;
    case P::ExportColumnApplication:
        return P::ExportColumnPool;
    case P::ExportColumnFront:
        return P::ExportColumnTotal;
    case P::ExportColumnTotal:
        return P::ExportColumnFront;
    default:
        return std::nullopt;
    }
}

// The column that is written only with its parent column.
std::optional<P> childOf(P control) {
    if (control == P::ExportColumnPool)
        return P::ExportColumnPoolNotes;
    if (control == P::ExportColumnApplication)
        return P::ExportColumnWindow;
    return std::nullopt;
}

std::vector<HXPreferenceChoice> hours() {
    std::vector<HXPreferenceChoice> choices;
    // Whole hours: the locale's short time without seconds.
    QString format = QLocale().timeFormat(QLocale::ShortFormat);
    format.remove(QStringLiteral(":ss"));
    for (int hour = 0; hour < 24; ++hour)
        choices.push_back({hour, QTime(hour, 0).toString(format)});
    return choices;
}

QString secondsText(double seconds) {
    // One fraction digit at most, trailing zeros trimmed.
    QString text = QString::number(std::round(seconds * 10) / 10, 'f', 1);
    if (text.endsWith(QStringLiteral(".0")))
        text.chop(2);
    return text;
}

} // namespace

HXPreferencesModel::HXPreferencesModel(HXUserDefaults& defaults, HXMainController& controller,
                                       HXPreferencesDelegate& delegate, QObject* parent)
    : QObject(parent), m_defaults(defaults), m_controller(controller), m_delegate(delegate) {
    connect(&controller.hibernation(), &HXHibernation::insomniacChanged, this, &HXPreferencesModel::changed);
    connect(&controller, &HXMainController::modalChanged, this, &HXPreferencesModel::changed);
}

bool HXPreferencesModel::boolFor(const char16_t* key) const {
    return m_defaults.boolForKey(key);
}

void HXPreferencesModel::setBool(const char16_t* key, bool on) {
    m_defaults.setBool(key, on);
}

void HXPreferencesModel::load() {
    if (m_delegate.isStatusItemMode())
        setBool(keyFor(P::LiveReportDock), false);
    for (const P parent : {P::ExportColumnPool, P::ExportColumnApplication}) {
        if (!isOn(parent))
            setBool(keyFor(*childOf(parent)), false);
    }
    m_controller.sortBlacklist(QStringLiteral("Application Blacklist"));
    m_controller.sortBlacklist(QStringLiteral("Window Blacklist"));
    Q_EMIT changed();
}

QString HXPreferencesModel::title() const {
    return m_delegate.isStatusItemMode() ? HXLocalized("Qualdern Preferences") : HXLocalized("Preferences");
}

bool HXPreferencesModel::isOn(P control) const {
    if (control == P::ExcludeAccessoryApplications)
        return m_defaults.integerForKey(keyFor(control)) == 0;
    return boolFor(keyFor(control));
}

void HXPreferencesModel::setOn(P control, bool on) {
    switch (control) {
    case P::StatusItem:
        // Switching the mode moves the window an editing sheet hangs on.
        if (on != boolFor(keyFor(control)) && isEnabled(control)) {
            m_controller.hibernation().deferHibernation();
            // The mode controller follows the setting at once.
            setBool(keyFor(control), on);
            m_delegate.updateIcon();
        }
        break;
    case P::ExcludeAccessoryApplications:
        m_defaults.setInteger(keyFor(control), on ? 0 : 1);
        break;
    case P::ShowInactiveApplications:
        setBool(keyFor(control), on);
        m_controller.setShowInactiveApplications(on);
        break;
    case P::ShowInactivePools:
        setBool(keyFor(control), on);
        m_controller.setShowInactivePools(on);
        break;
    default:
        setBool(keyFor(control), on);
        break;
    }

    // One of each pair stays on: switching one off while the other is off switches the other on.
    if (const std::optional<P> partner = partnerOf(control); partner && !on && !isOn(*partner))
        setOn(*partner, true);
    if (const std::optional<P> child = childOf(control); child && !on)
        setBool(keyFor(*child), false);

    switch (control) {
    case P::AutoResetApplications:
    case P::AutoResetPools:
    case P::AutoExport:
        m_delegate.doAutoTasksIfNecessary();
        break;
    case P::LiveReportApplications:
    case P::LiveReportPools:
    case P::LiveReportDock:
    case P::LiveReportDesktop:
        m_delegate.updateIcon();
        break;
    default:
        break;
    }
    Q_EMIT changed();
}

int HXPreferencesModel::tag(P control) const {
    if (control == P::HibernationInterval && m_controller.hibernation().isInsomniac())
        return 0;
    if (control == P::AutoExportHour)
        return static_cast<int>(m_delegate.autoTasksHour());
    const std::int64_t stored = m_defaults.integerForKey(keyFor(control));
    return static_cast<int>(std::clamp<std::int64_t>(stored, INT32_MIN, INT32_MAX));
}

void HXPreferencesModel::selectTag(P control, int tag) {
    m_defaults.setInteger(keyFor(control), tag);
    switch (control) {
    case P::HibernationInterval:
        m_controller.hibernation().setHibernationInterval(tag);
        break;
    case P::LiveReportContent:
        m_delegate.updateIcon();
        break;
    case P::LiveReportDayOffset:
        m_delegate.updateLiveReport();
        break;
    case P::AutoExportHour:
        m_delegate.doAutoTasksIfNecessary();
        break;
    default:
        break;
    }
    Q_EMIT changed();
}

std::vector<HXPreferenceChoice> HXPreferencesModel::choices(P control) const {
    std::vector<HXPreferenceChoice> choices;
    switch (control) {
    case P::StatusItemIcon:
        choices = {{0, HXLocalized("Colour Pie and Report")},
                   {1, HXLocalized("Colour Pie")},
                   {2, HXLocalized("Report")},
                   {10, HXLocalized("Pie and Report")},
                   {11, HXLocalized("Pie")},
                   {12, HXLocalized("Report Outline")}};
        break;
    case P::HibernationInterval:
        choices = {{0, HXLocalized("Never")},
                   {60, HXLocalized("After 1 minute")},
                   {120, HXLocalized("After 2 minutes")},
                   {300, HXLocalized("After 5 minutes")},
                   {600, HXLocalized("After 10 minutes")},
                   {900, HXLocalized("After 15 minutes")},
                   {1800, HXLocalized("After 30 minutes")},
                   {3600, HXLocalized("After 1 hour")}};
        break;
    case P::HibernationMode:
        choices = {{0, HXLocalized("Ask Each Time")},
                   {1, HXLocalized("Wake Up Automatically")},
                   {2, HXLocalized("Wake Up Manually")}};
        break;
    case P::LiveReportContent:
        choices = {{0, HXLocalized("Active Items, As Listed")},
                   {1, HXLocalized("All Items, As Listed")},
                   {2, HXLocalized("Active Items, Fully Expanded")},
                   {3, HXLocalized("All Items, Fully Expanded")}};
        break;
    case P::LiveReportDayOffset:
    case P::AutoExportHour:
        choices = hours();
        break;
    case P::ExportContent:
        choices = {{0, HXLocalized("Items As Listed")}, {1, HXLocalized("All Items")}};
        break;
    case P::ExportColumnSeparator:
        choices = {{0, HXLocalized("Comma")}, {1, HXLocalized("Semicolon")}, {2, HXLocalized("Tab")}};
        break;
    case P::ExportRowSeparator:
        choices = {{0, HXLocalized("LF (Linux)")},
                   {1, HXLocalized("CR (Classic Mac OS)")},
                   {2, HXLocalized("CR LF (Windows)")}};
        break;
    case P::AutoExportRange:
        choices = {{0, HXLocalized("Everything")}, {1, HXLocalized("Since the Last Export")}};
        break;
    default:
        break;
    }
    // A value written by hand still shows as itself.
    const int current = tag(control);
    if (!choices.empty() &&
        std::none_of(choices.begin(), choices.end(),
                     [current](const HXPreferenceChoice& c) { return c.tag == current; })) {
        QString title = QString::number(current);
        if (control == P::HibernationInterval)
            title = HXLocalized("After %1 seconds").arg(current);
        choices.push_back({current, title});
    }
    return choices;
}

double HXPreferencesModel::value(P control) const {
    if (control == P::UpdateInterval)
        return m_controller.updateInterval();
    if (control == P::LiveReportDesktopAlpha)
        return std::clamp(m_defaults.doubleForKey(keyFor(control)), 0.1, 1.0);
    return 0;
}

void HXPreferencesModel::setValue(P control, double value) {
    if (control == P::UpdateInterval) {
        m_controller.setUpdateInterval(value);
    } else if (control == P::LiveReportDesktopAlpha) {
        m_defaults.setDouble(keyFor(control), value);
        m_delegate.setDesktopReportAlpha(value);
    }
    Q_EMIT changed();
}

bool HXPreferencesModel::isEnabled(P control) const {
    switch (control) {
    case P::StatusItem:
        return !m_controller.isModal();
    case P::HibernationInterval:
        return !m_controller.hibernation().isInsomniac();
    case P::LiveReportDock:
        return !m_delegate.isStatusItemMode();
    case P::ExportColumnPoolNotes:
        return isOn(P::ExportColumnPool);
    case P::ExportColumnWindow:
        return isOn(P::ExportColumnApplication);
    default:
        return true;
    }
}

bool HXPreferencesModel::isShown(P control) const {
    switch (control) {
    case P::StatusItemIcon:
        return m_delegate.isStatusItemMode();
    case P::LiveReportDesktopAlpha:
        return isOn(P::LiveReportDesktop);
    case P::AutoExportHour:
        return isOn(P::AutoExport);
    default:
        return true;
    }
}

bool HXPreferencesModel::showsLoginItemSwitch() const {
    return !m_delegate.isAutomaticallyEnabledLoginItem();
}

QString HXPreferencesModel::updateIntervalText(double seconds) {
    const QString text = secondsText(seconds);
    return text == u"1" ? HXLocalized("1 second") : HXLocalized("%1 seconds").arg(text);
}

QString HXPreferencesModel::exportFolderPath() const {
    return m_delegate.exportFolderPath();
}

QString HXPreferencesModel::exportFolderTitle() const {
    const QString path = QDir::cleanPath(exportFolderPath());
    const QString name = path == u"/" ? path : QFileInfo(path).fileName();
    return name + QStringLiteral(" — ") + HXAbbreviateWithTilde(path);
}

void HXPreferencesModel::chooseExportFolder() {
    HXUserInterfacePort& ui = m_controller.services().ui;
    HXFolderPanelRequest request;
    request.title = HXLocalized("Choose Folder");
    request.prompt = HXLocalized("Choose");
    request.startPath = exportFolderPath();
    if (const std::optional<QString> chosen = ui.runFolderPanel(request)) {
        if (!m_delegate.setExportFolderPath(*chosen)) {
            ui.runAlert(HXAlert{
                QString(),
                HXLocalized("Qualdern cannot write into this folder."),
                HXLocalized(
                    "Exports and screenshots stay in %1. Choose a folder that you may create files in.")
                    .arg(HXAbbreviateWithTilde(exportFolderPath())),
                {HXLocalized("OK")}});
        }
    }
    m_delegate.doAutoTasksIfNecessary();
    Q_EMIT changed();
}

HXArrayRef HXPreferencesModel::blacklist(const QString& name) const {
    const HXDictionaryRef& configuration = m_controller.configuration();
    return configuration ? blacklistWithName(*configuration, name) : HXArrayRef();
}
