#pragma once

#include <QCheckBox>
#include <QPointer>

class HXClock;

// The preferences' "start with the session" switch: it shows whether the program is a login item,
// enabled only where that can be changed, and changes it when clicked. It looks again whenever its
// window becomes active, at most once in 2 seconds.
class HXLoginItemSwitch : public QCheckBox {
    Q_OBJECT

public:
    HXLoginItemSwitch(const QString& text, const HXClock& clock, QWidget* parent = nullptr);

    // With force, regardless of the last look.
    void updateLoginItemState(bool force = false);
    void setLoginItemViaState();
    int updateCount() const { return m_updateCount; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void watchWindow();

    const HXClock& m_clock;
    QPointer<QWidget> m_watchedWindow;
    long long m_lastUpdate = -1;
    int m_updateCount = 0;
};
