#pragma once

#include "engine/HXLifecyclePort.h"

#include <QObject>

#include <functional>
#include <memory>

class HXMainController;
class QMenu;
class QSystemTrayIcon;
class QWidget;

// The program's presence on the desktop until the full status item exists: a tray icon with "Suspend
// Timers" and "Quit", or, where the desktop has no tray, a small window with the same buttons. It answers
// the start-up and quit steps that reach the user interface.
class HXTrayController : public QObject, public HXLifecyclePort {
    Q_OBJECT

public:
    HXTrayController(HXMainController& controller, std::function<void()> quit, QObject* parent = nullptr);
    ~HXTrayController() override;

    void chooseApplicationMode() override;
    bool isStatusItemMode() const override;
    void completeUserInterface() override;
    void doAutoTasksIfNecessary() override;
    void showReportSnapshots(const QStringList& files) override;
    void terminate() override;

    void setAutoTasks(std::function<void()> run) { m_autoTasks = std::move(run); }
    void setSnapshotOpener(std::function<void(const QStringList&)> open) {
        m_openSnapshots = std::move(open);
    }
    // Asked before the application ends; false keeps it running.
    void setTerminationCheck(std::function<bool()> check) { m_terminationCheck = std::move(check); }

private:
    void updateIcon();

    HXMainController& m_controller;
    std::function<void()> m_quit;
    std::function<void()> m_autoTasks;
    std::function<void(const QStringList&)> m_openSnapshots;
    std::function<bool()> m_terminationCheck;
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<QSystemTrayIcon> m_tray;
    std::unique_ptr<QWidget> m_window;
};
