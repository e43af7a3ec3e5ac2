#include "ui/HXLoginItemSwitch.h"

#include "foundation/HXClock.h"
#include "ui/HXLoginItem.h"

#include <QEvent>
#include <QSignalBlocker>

#include <cmath>

HXLoginItemSwitch::HXLoginItemSwitch(const QString& text, const HXClock& clock, QWidget* parent)
    : QCheckBox(text, parent), m_clock(clock) {
    // Toggled, not clicked: assistive tools toggle without a click.
    connect(this, &QCheckBox::toggled, this, &HXLoginItemSwitch::setLoginItemViaState);
    watchWindow();
    updateLoginItemState(true);
}

void HXLoginItemSwitch::updateLoginItemState(bool force) {
    const auto second = static_cast<long long>(std::floor(m_clock.now()));
    if (!force && m_lastUpdate >= 0 && second - m_lastUpdate < 2)
        return;
    m_lastUpdate = second;
    ++m_updateCount;
    bool usable = false;
    const bool on = HXIsLoginItem(&usable);
    {
        const QSignalBlocker blocker(this);
        setChecked(on);
    }
    setEnabled(usable);
}

void HXLoginItemSwitch::setLoginItemViaState() {
    HXSetLoginItem(isChecked());
    updateLoginItemState(true);
}

bool HXLoginItemSwitch::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange)
        watchWindow();
    return QCheckBox::event(event);
}

bool HXLoginItemSwitch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_watchedWindow && event->type() == QEvent::WindowActivate)
        updateLoginItemState();
    return QCheckBox::eventFilter(watched, event);
}

void HXLoginItemSwitch::watchWindow() {
    QWidget* top = window();
    if (top == m_watchedWindow)
        return;
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
    m_watchedWindow = top;
    if (top && top != this)
        top->installEventFilter(this);
}
