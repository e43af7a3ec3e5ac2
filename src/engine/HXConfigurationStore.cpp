#include "engine/HXConfigurationStore.h"

#include "engine/HXConfigurationUpgrade.h"
#include "engine/HXUserInterfacePort.h"
#include "foundation/HXAtomicFile.h"
#include "foundation/HXLocalization.h"
#include "foundation/HXLog.h"
#include "foundation/HXMappedFile.h"
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

void HXConfigurationStore::moveUnreadableFileAside(const QString& path, const QString& reason) {
    const QString aside = path + QStringLiteral(".unreadable-") +
                          QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (QFile::rename(path, aside)) {
        HXSystemLog(QStringLiteral("configuration unreadable (%1); kept as <%2>").arg(reason, aside));
        m_ui.bringToFront();
        m_ui.runAlert(HXAlert{
            QString(),
            HXLocalized("Your Tracking Data Could Not Be Read"),
            HXLocalized(
                "Qualdern starts with empty tracking data. The unreadable file was kept unchanged as:") +
                QStringLiteral("\n\n") + aside,
            {HXLocalized("OK")}});
    } else {
        HXSystemLog(
            QStringLiteral("configuration unreadable (%1); cannot move <%2> aside").arg(reason, path));
    }
}

void HXConfigurationStore::load() {
    const QString path = configurationPath();
    HXPropertyListResult parsed;
    // Saves replace the file by renaming, so it can be mapped while it is read.
    const HXMappedFile file(path);
    const bool fromFile = file.isReadable();
    if (fromFile) {
        parsed =
            HXPropertyList::read(file.bytes(), [&file](quint64 from, quint64 to) { file.release(from, to); });
    } else {
        const HXDictionaryRef copy = m_defaults.dictionaryForKey(kDefaultConfigurationKey);
        parsed = HXPropertyList::read(copy ? propertyListData(HXValue(copy)) : QByteArray());
    }
    m_configuration = parsed.value.toDictionary();
    if (!m_configuration && fromFile)
        moveUnreadableFileAside(path, parsed.ok() ? QStringLiteral("not a dictionary") : parsed.error);
    if (m_configuration)
        HXUpgradeConfiguration(*m_configuration);
}

bool HXConfigurationStore::writeFile(const QByteArray& encodedConfiguration) {
    if (!encodedConfiguration.isNull()) {
        QString error;
        if (HXAtomicFile::write(configurationPath(), encodedConfiguration, true, &error))
            return true;
        HXSystemLog(QStringLiteral("cannot save configuration: %1").arg(error));
        return false;
    }
    return writeToBinaryFile(HXValue(m_configuration), configurationPath(), true);
}

void HXConfigurationStore::saveConfiguration(const HXSaveOptions& options) {
    if (options.write && m_configuration) {
        const bool written = writeFile(QByteArray());
        if (options.userDefaultsFallback) {
            if (written)
                m_defaults.removeObject(kDefaultConfigurationKey);
            else
                m_defaults.setObject(kDefaultConfigurationKey, HXValue(m_configuration));
        }
    }
    if (options.scheduleNextSave)
        m_scheduler.performAfterDelay(this, kSaveAction, autoSaveInterval(),
                                      [this] { save(HXTrigger::Schedule); });
}

void HXConfigurationStore::save(HXTrigger trigger, const QByteArray& encodedConfiguration) {
    if (trigger == HXTrigger::Command)
        cancelScheduledSave();
    if (m_configuration)
        writeFile(encodedConfiguration);
    saveConfiguration({.write = false, .scheduleNextSave = true});
}

void HXConfigurationStore::cancelScheduledSave() {
    m_scheduler.cancelPerforms(this, kSaveAction);
}

double HXConfigurationStore::autoSaveInterval() const {
    const std::int64_t n = m_defaults.integerForKey(u"Auto-Save Interval");
    return n > 0 ? static_cast<double>(n) : kDefaultAutoSaveInterval;
}
