#include "ui/HXTimerMenuEntries.h"

#include "engine/HXMainController.h"
#include "foundation/HXLocalization.h"
#include "hotkeys/HXHibernationHotKey.h"
#include "hotkeys/widgets/HXHotKeyShortcut.h"

#include <QAction>
#include <QMenu>

HXTimerMenuEntries::HXTimerMenuEntries(HXMainController& controller, QObject* parent)
    : QObject(parent), m_controller(controller) {}

void HXTimerMenuEntries::addTo(QMenu& menu) {
    HXHibernation& hibernation = m_controller.hibernation();
    QAction* suspend = menu.addAction(QString(), this, [&hibernation] { hibernation.toggleHibernation(); });
    QAction* adHocTimer =
        menu.addAction(HXLocalized("Run Ad Hoc Timer..."), this, [this] { runAdHocTimer(); });
    validate(*suspend, *adHocTimer);
    // The connection goes with the entries when the menu is rebuilt.
    connect(&menu, &QMenu::aboutToShow, suspend,
            [this, suspend, adHocTimer] { validate(*suspend, *adHocTimer); });
}

void HXTimerMenuEntries::validate(QAction& suspend, QAction& adHocTimer) const {
    suspend.setText(m_controller.hibernation().isHibernating() ? HXLocalized("Resume Timers")
                                                               : HXLocalized("Suspend Timers..."));
    HXSetShortcutFromHotKey(suspend, m_hotKey ? m_hotKey->hotKey().get() : nullptr);
    adHocTimer.setEnabled(canRunAdHocTimer());
}

bool HXTimerMenuEntries::canRunAdHocTimer() const {
    const HXAdHocTimerPort* timer = m_controller.services().adHocTimer;
    return timer && !timer->active();
}

void HXTimerMenuEntries::runAdHocTimer() {
    m_controller.startAdHocTimer(nullptr);
}
