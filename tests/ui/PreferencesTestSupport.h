#pragma once

#include "EngineHarness.h"
#include "engine/HXFolderPaths.h"
#include "engine/HXLifecycle.h"
#include "ui/preferences/HXPreferencesDelegate.h"
#include "ui/preferences/HXPreferencesModel.h"

// The rest of the program as the preferences see it: counts what they ask for, and takes an export
// folder only where files can be written.
class FakePreferencesDelegate final : public HXPreferencesDelegate {
public:
    explicit FakePreferencesDelegate(EngineHarness& engine) : m_engine(engine) {}

    bool isStatusItemMode() const override { return statusItemMode; }
    bool isAutomaticallyEnabledLoginItem() const override { return automaticLoginItem; }
    void updateIcon() override { ++icons; }
    void updateLiveReport() override { ++liveReports; }
    void setDesktopReportAlpha(double alpha) override { desktopAlpha = alpha; }
    void doAutoTasksIfNecessary() override { ++autoTasks; }
    QString exportFolderPath() const override { return folder; }
    bool setExportFolderPath(const QString& path) override {
        if (!HXConfirmWriteAccess(m_engine.controller->bookmarkManager(), path))
            return false;
        folder = path;
        return true;
    }
    unsigned autoTasksHour() const override { return hour; }

    bool statusItemMode = false;
    bool automaticLoginItem = false;
    int icons = 0;
    int liveReports = 0;
    int autoTasks = 0;
    double desktopAlpha = -1;
    QString folder = QStringLiteral("/tmp/Reports");
    unsigned hour = 6;

private:
    EngineHarness& m_engine;
};

// A launched controller with the preferences' model over it.
struct PreferencesWorld : EngineHarness {
    PreferencesWorld() {
        lifecycle->applicationWillFinishLaunching();
        lifecycle->applicationDidFinishLaunching();
        delegate.folder = scratch.path() + QStringLiteral("/Reports");
    }
    FakePreferencesDelegate delegate{*this};
    HXPreferencesModel model{*defaults, *controller, delegate};
};
