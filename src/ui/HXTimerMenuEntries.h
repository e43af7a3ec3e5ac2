#pragma once

#include <QObject>

class HXHibernationHotKey;
class HXMainController;
class QAction;
class QMenu;

// The main menu's timer commands: "Suspend Timers..." ("Resume Timers" while suspended) with the
// hibernation hot key as its shortcut, and "Run Ad Hoc Timer...", off while a timer is active. The
// entries bring themselves up to date whenever their menu is about to show.
class HXTimerMenuEntries : public QObject {
    Q_OBJECT

public:
    explicit HXTimerMenuEntries(HXMainController& controller, QObject* parent = nullptr);

    void setHibernationHotKey(const HXHibernationHotKey* hotKey) { m_hotKey = hotKey; }
    void addTo(QMenu& menu);
    // With a timer active already, this only brings its window forward.
    void runAdHocTimer();
    bool canRunAdHocTimer() const;

private:
    void validate(QAction& suspend, QAction& adHocTimer) const;

    HXMainController& m_controller;
    const HXHibernationHotKey* m_hotKey = nullptr;
};
