#pragma once

#include "engine/HXCommandOptions.h"
#include "engine/HXFolderPaths.h"
#include "foundation/HXDictionary.h"

#include <QString>

class HXScheduler;
class HXUserDefaults;
class HXUserInterfacePort;

// The configuration: the whole tracking state in one dictionary, kept in
// "<library>/Configurations/Default.plist" as a binary property list, with a copy in the settings
// ("Default Configuration") when the file cannot be written at quit.
class HXConfigurationStore {
public:
    HXConfigurationStore(const HXFolderPaths& paths, HXUserDefaults& defaults, HXScheduler& scheduler,
                         HXUserInterfacePort& ui);
    ~HXConfigurationStore();

    const HXDictionaryRef& configuration() const { return m_configuration; }
    void setConfiguration(HXDictionaryRef configuration) { m_configuration = std::move(configuration); }

    // The file's path. The first call in a process offers, when the settings ask for it, to import the
    // configuration of the container path's layout ("~/Library/Containers/.../Default.plist").
    QString configurationPath();

    // Launch: reads the file (or the settings copy when the file is missing or unreadable) and upgrades
    // it. A file that is there but cannot be read or parsed (a folder, a link to nothing, a pipe, a
    // device, no property list) is moved aside first, so no later save overwrites it, and the user is
    // told. A settings copy that goes further than the file (a later "Last Timestamp": the file could
    // not be written at the last quit) is used instead and written to the file. Times that are no
    // finite numbers are removed from the event logs.
    void load();

    void saveConfiguration(const HXSaveOptions& options);
    // The save: a command's cancels the pending automatic save first. Data already encoded from the
    // current configuration may be passed in so that it is not encoded twice. The first failure is
    // logged and, once per run, told to the user (a failure at quit only logged).
    void save(HXTrigger trigger, const QByteArray& encodedConfiguration = QByteArray());
    void cancelScheduledSave();
    // Seconds between automatic saves.
    double autoSaveInterval() const;

private:
    void offerImportIfRequested(const QString& path);
    bool writeFile(const QByteArray& encodedConfiguration);
    void tellSaveFailedOnce();
    void moveUnreadableFileAside(const QString& path, const QString& reason, bool fromSettingsCopy);

    const HXFolderPaths& m_paths;
    HXUserDefaults& m_defaults;
    HXScheduler& m_scheduler;
    HXUserInterfacePort& m_ui;
    HXDictionaryRef m_configuration;
    bool m_importOffered = false;
    // Why the last save failed; empty while saves succeed.
    QString m_saveFailure;
    bool m_toldSaveFailed = false;
};
