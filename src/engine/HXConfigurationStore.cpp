#include "engine/HXConfigurationStore.h"

#include "engine/HXConfigurationUpgrade.h"
#include "engine/HXUserInterfacePort.h"
#include "foundation/HXAtomicFile.h"
#include "foundation/HXLocalization.h"
#include "foundation/HXLog.h"
#include "foundation/HXMappedFile.h"
#include "foundation/HXNonFiniteTimes.h"
#include "foundation/HXPropertyList.h"
#include "foundation/HXScheduler.h"
#include "foundation/HXUserDefaults.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr std::string_view kSaveAction = "save";
constexpr double kDefaultAutoSaveInterval = 1800;
constexpr int kReadAttempts = 3;
const QString kDefaultConfigurationKey = QStringLiteral("Default Configuration");

} // namespace

HXConfigurationStore::HXConfigurationStore(const HXFolderPaths& paths, HXUserDefaults& defaults,
                                           HXScheduler& scheduler, HXUserInterfacePort& ui)
    : m_paths(paths), m_defaults(defaults), m_scheduler(scheduler), m_ui(ui) {}

HXConfigurationStore::~HXConfigurationStore() {
    m_scheduler.cancelPerforms(this, kSaveAction);
}

QString HXConfigurationStore::configurationPath() {
    const std::optional<QString> folder = m_paths.libraryFolderPathWithName(QStringLiteral("Configurations"));
    const QString path = folder.value_or(m_paths.libraryFolder() + QStringLiteral("/Configurations")) +
                         QStringLiteral("/Default.plist");
    if (!m_importOffered) {
        m_importOffered = true;
        offerImportIfRequested(path);
    }
    return path;
}

void HXConfigurationStore::offerImportIfRequested(const QString& path) {
    const QString flagKey = HXApplicationIsSandboxed() ? QStringLiteral("Import Free-Range Configuration")
                                                       : QStringLiteral("Import Sandbox Configuration");
    if (!m_defaults.boolForKey(flagKey))
        return;
    m_defaults.setBool(flagKey, false);
    const QString oldPath =
        HXApplicationIsSandboxed()
            ? stringByDeletingQualdernContainerPathComponents(path)
            : HXExpandTilde(QStringLiteral("~/Library/Containers/com.corvella.QualdernClient/Data/Library/"
                                           "Qualdern/Configurations/Default.plist"));
    if (!QFileInfo::exists(oldPath))
        return;
    m_ui.bringToFront();
    const HXAlert alert{
        QString(),
        HXLocalized("Old Qualdern Data Found"),
        HXLocalized(
            "You have previously used a version of Qualdern that stored its time tracking data, pools, "
            "blacklists, and other configuration details in a different location.") +
            QStringLiteral("\n\n") +
            HXLocalized(
                "To keep your old data, import it now. Alternatively, you can start over and ignore your old "
                "data."),
        {HXLocalized("Import..."), HXLocalized("Start Over")}};
    if (m_ui.runAlert(alert) != 0)
        return;
    const std::optional<QString> chosen = m_ui.runOpenPanel(
        HXOpenPanelRequest{HXLocalized("Import Configuration"), {QStringLiteral("plist")}, oldPath});
    if (!chosen)
        return;
    const HXDictionaryRef imported = HXDictionary::deeplyMutableDictionaryWithContentsOfFile(*chosen);
    if (!imported) {
        HXSystemLog(QStringLiteral("cannot read import configuration"));
        m_ui.beep();
        return;
    }
    if (!writeToBinaryFile(HXValue(imported), path, true)) {
        HXSystemLog(QStringLiteral("cannot import configuration"));
        m_ui.beep();
    }
}

void HXConfigurationStore::moveUnreadableFileAside(const QString& path, const QString& reason,
                                                   bool fromSettingsCopy) {
    const QString aside = path + QStringLiteral(".unreadable-") +
                          QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString start = fromSettingsCopy
                              ? HXLocalized("Qualdern starts with the copy of your tracking data kept in its "
                                            "settings.")
                              : HXLocalized("Qualdern starts with empty tracking data.");
    QString informative;
    if (QFile::rename(path, aside)) {
        HXSystemLog(QStringLiteral("configuration unreadable (%1); kept as <%2>").arg(reason, aside));
        informative = start + u' ' + HXLocalized("The unreadable file was kept unchanged as:") +
                      QStringLiteral("\n\n") + aside;
    } else {
        HXSystemLog(
            QStringLiteral("configuration unreadable (%1); cannot move <%2> aside").arg(reason, path));
        informative = start + u' ' + HXLocalized("The unreadable file could not be moved aside:") +
                      QStringLiteral("\n\n") + path;
    }
    m_ui.bringToFront();
    m_ui.runAlert(HXAlert{QString(),
                          HXLocalized("Your Tracking Data Could Not Be Read"),
                          informative + QStringLiteral("\n\n(") + reason + u')',
                          {HXLocalized("OK")}});
}

void HXConfigurationStore::load() {
    const QString path = configurationPath();
    HXPropertyListResult parsed;
    bool fromFile = false;
    QString unreadable;
    // Another program writing the file in place makes a read see part old and part new; a few tries
    // usually find it finished.
    for (int attempt = 1;; ++attempt) {
        const HXMappedFile file(path);
        if (file.isReadable()) {
            parsed = HXPropertyList::read(file.bytes(),
                                          [&file](quint64 from, quint64 to) { file.release(from, to); });
            fromFile = true;
            break;
        }
        if (file.status() == HXRegularFile::Status::Missing)
            break;
        if (!file.changedWhileRead() || attempt == kReadAttempts) {
            unreadable = file.errorString();
            break;
        }
    }
    const HXDictionaryRef copy = m_defaults.dictionaryForKey(kDefaultConfigurationKey);
    bool copyIsNewer = false;
    if (fromFile) {
        m_configuration = parsed.value.toDictionary();
        if (!m_configuration)
            moveUnreadableFileAside(path, parsed.ok() ? QStringLiteral("not a dictionary") : parsed.error,
                                    false);
        // The copy is written only when a save of the file failed at quit: when it goes further than the
        // file, the file is the older of the two.
        copyIsNewer = m_configuration && copy &&
                      copy->timeIntervalForKey(u"Last Timestamp") >
                          m_configuration->timeIntervalForKey(u"Last Timestamp");
        if (copyIsNewer) {
            HXSystemLog(QStringLiteral("the copy of the configuration in the settings is newer than <%1>; "
                                       "using the copy")
                            .arg(path));
            m_configuration = copy;
        }
    } else {
        if (!unreadable.isEmpty())
            moveUnreadableFileAside(path, unreadable, copy != nullptr);
        m_configuration = copy;
    }
    if (!m_configuration)
        return;
    if (const std::size_t removed = HXRemoveNonFiniteLogEntries(*m_configuration))
        HXSystemLog(
            QStringLiteral("configuration: %1 event log entries that are no times removed").arg(removed));
    HXUpgradeConfiguration(*m_configuration);
    if (copyIsNewer && writeFile(QByteArray()))
        m_defaults.removeObject(kDefaultConfigurationKey);
}

bool HXConfigurationStore::writeFile(const QByteArray& encodedConfiguration) {
    const QString path = configurationPath();
    QString error;
    bool written = false;
    if (!encodedConfiguration.isNull()) {
        written = HXAtomicFile::write(path, encodedConfiguration, true, &error);
    } else if (const std::optional<QByteArray> data =
                   HXPropertyList::writeBinary(HXValue(m_configuration), &error)) {
        written = HXAtomicFile::write(path, *data, true, &error);
    }
    if (written) {
        if (!m_saveFailure.isEmpty())
            HXSystemLog(QStringLiteral("configuration saved again to <%1>").arg(path));
        m_saveFailure.clear();
        return true;
    }
    // Once per run of failures: an auto-save every second must not fill the log.
    if (m_saveFailure.isEmpty())
        HXSystemLog(QStringLiteral("cannot save configuration to <%1>: %2").arg(path, error));
    m_saveFailure = error.isEmpty() ? QStringLiteral("unknown error") : error;
    return false;
}

void HXConfigurationStore::tellSaveFailedOnce() {
    if (m_toldSaveFailed)
        return;
    m_toldSaveFailed = true;
    m_ui.bringToFront();
    m_ui.runAlert(HXAlert{
        QString(),
        HXLocalized("Your Tracking Data Could Not Be Saved"),
        HXLocalized("Qualdern could not write its tracking data to:") + QStringLiteral("\n\n") +
            configurationPath() + QStringLiteral("\n\n(") + m_saveFailure + QStringLiteral(")\n\n") +
            HXLocalized("It goes on tracking and tries again at every save. When it quits, it keeps a copy "
                        "in its settings, which it uses at the next start."),
        {HXLocalized("OK")}});
}

void HXConfigurationStore::saveConfiguration(const HXSaveOptions& options) {
    if (options.write && m_configuration) {
        const bool written = writeFile(QByteArray());
        if (options.userDefaultsFallback) {
            if (written) {
                m_defaults.removeObject(kDefaultConfigurationKey);
            } else {
                HXSystemLog(QStringLiteral("configuration kept in the settings (\"%1\") instead")
                                .arg(kDefaultConfigurationKey));
                m_defaults.setObject(kDefaultConfigurationKey, HXValue(m_configuration));
            }
        }
    }
    if (options.scheduleNextSave)
        m_scheduler.performAfterDelay(this, kSaveAction, autoSaveInterval(),
                                      [this] { save(HXTrigger::Schedule); });
}

void HXConfigurationStore::save(HXTrigger trigger, const QByteArray& encodedConfiguration) {
    if (trigger == HXTrigger::Command)
        cancelScheduledSave();
    if (m_configuration && !writeFile(encodedConfiguration))
        tellSaveFailedOnce();
    saveConfiguration({.write = false, .scheduleNextSave = true});
}

void HXConfigurationStore::cancelScheduledSave() {
    m_scheduler.cancelPerforms(this, kSaveAction);
}

double HXConfigurationStore::autoSaveInterval() const {
    const std::int64_t n = m_defaults.integerForKey(u"Auto-Save Interval");
    return n > 0 ? static_cast<double>(n) : kDefaultAutoSaveInterval;
}
