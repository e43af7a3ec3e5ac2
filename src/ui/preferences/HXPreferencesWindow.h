#pragma once

#include "ui/preferences/HXPreferencesModel.h"

#include <QMainWindow>

#include <map>
#include <optional>

class HXBlacklistTextView;
class HXClock;
class HXHibernationHotKey;
class HXHotKeyTextView;
class HXLoginItemSwitch;
class HXScheduler;
class HXUserDefaults;
class QActionGroup;
class QComboBox;
class QFormLayout;
class QLabel;
class QPlainTextEdit;
class QSlider;
class QStackedWidget;

// The preferences window: the sections "General", "Blacklist", "Report" and "Export" switched by its
// toolbar, each control showing and changing what the model says. Created once and kept; closing it
// (also Escape and Ctrl+., except while a hot key is recorded) only hides it.
class HXPreferencesWindow : public QMainWindow {
    Q_OBJECT

public:
    struct Services {
        HXUserDefaults& defaults;
        HXScheduler& scheduler;
        const HXClock& clock;
        // The recorder's hot key; without one there is no recorder.
        HXHibernationHotKey* hibernationHotKey = nullptr;
    };

    HXPreferencesWindow(HXPreferencesModel& model, const Services& services, QWidget* parent = nullptr);
    ~HXPreferencesWindow() override;

    // Fills the controls, shows the "General" section, places the window when it was hidden (its content
    // at the given frame's top left when that frame is on a screen, else centred), and brings it to the
    // front.
    void showPreferences(const std::optional<QRect>& frame = std::nullopt);
    void changePreferencesSection(const QString& identifier);
    QString currentSection() const;

    // The controls, for tests and for assistive tools' names.
    QWidget* control(HXPreference preference) const;
    HXLoginItemSwitch* loginItemSwitch() const { return m_loginItemSwitch; }
    HXHotKeyTextView* hotKeyRecorder() const { return m_recorder; }
    QComboBox* exportFolderSelector() const { return m_folderSelector; }
    QLabel* updateIntervalLabel() const { return m_updateIntervalLabel; }
    QPlainTextEdit* blacklistView(const QString& name) const;
    // The blacklists as the configuration holds them now.
    void updateBlacklists();

protected:
    void changeEvent(QEvent* event) override;

private:
    QWidget* makeGeneralSection();
    QWidget* makeBlacklistSection();
    QWidget* makeReportSection();
    QWidget* makeExportSection();
    void addSwitch(QFormLayout* form, HXPreference preference, const QString& text,
                   const QString& label = {});
    void addSelector(QFormLayout* form, HXPreference preference, const QString& label);
    QSlider* addSlider(QFormLayout* form, HXPreference preference, const QString& label, int minimum,
                       int maximum, double scale);
    HXBlacklistTextView* addBlacklist(QWidget* page, const QString& name, const QString& label,
                                      bool qualifiable);
    void fillFolderSelector();
    void folderChosen(int index);
    void updateControls();
    void fitToSection();
    void closeUnlessRecording();

    HXPreferencesModel& m_model;
    Services m_services;
    QStackedWidget* m_sections = nullptr;
    QActionGroup* m_sectionActions = nullptr;
    std::map<HXPreference, QWidget*> m_controls;
    std::map<HXPreference, QFormLayout*> m_forms;
    std::map<HXPreference, double> m_sliderScales;
    std::map<QString, HXBlacklistTextView*> m_blacklists;
    HXLoginItemSwitch* m_loginItemSwitch = nullptr;
    QFormLayout* m_loginItemForm = nullptr;
    HXHotKeyTextView* m_recorder = nullptr;
    QComboBox* m_folderSelector = nullptr;
    QLabel* m_updateIntervalLabel = nullptr;
    bool m_updating = false;
};
