#pragma once

#include "adhoc/HXNameSuggestion.h"
#include "engine/HXAdHocTimerPort.h"

#include <QObject>
#include <QStringList>

#include <vector>

class HXClock;
class HXScheduler;
class HXUserDefaults;
class HXUserInterfacePort;

// The ad hoc timer: a stopwatch the user runs by hand (a phone call, a meeting), names and assigns to a
// pool; keeping it merges the timed stretches into that pool. This is the state of the timer window and
// everything it does; the window itself only shows this state and passes the user's input on. There is
// one timer in the program.
//
// States: idle (not active), running (active, counting), paused (active, not counting).
class HXAdHocTimer : public QObject, public HXAdHocTimerPort {
    Q_OBJECT

public:
    struct Services {
        HXClock& clock;
        HXScheduler& scheduler;
        HXUserDefaults& defaults;
        HXUserInterfacePort& ui;
    };

    explicit HXAdHocTimer(const Services& services, QObject* parent = nullptr);
    ~HXAdHocTimer() override;

    // Begins a new timing at the timestamp, with the name and pool preselected. False when a timer is
    // active already: its window is brought forward instead.
    bool startAtTimestamp(double timestamp, const std::optional<QString>& name, const HXDictionaryRef& pool,
                          HXAdHocTimerDelegate* delegate) override;
    // False when not running.
    bool stop() override;
    // False when running already.
    bool resumeAtTimestamp(double timestamp) override;
    void showWindow() override;

    // The pause button: pauses or resumes.
    void pause();
    // The window's two closing buttons: tag 1 keeps the time, any other discards it.
    void done(int tag);

    bool active() const override { return m_active; }
    void setActive(bool active) { m_active = active; }
    bool retroactive() const override { return m_retroactive; }
    void setRetroactive(bool retroactive) override { m_retroactive = retroactive; }
    bool running() const { return m_running; }
    HXArrayRef eventStream() const override { return m_eventStream; }
    double durationOffset() const { return m_durationOffset; }
    double referenceTimestamp() const { return m_referenceTimestamp; }
    HXAdHocTimerDelegate* delegate() const { return m_delegate; }
    void setDelegate(HXAdHocTimerDelegate* delegate) { m_delegate = delegate; }

    // The pool selector: its first item stands for no pool, then the pools sorted by name.
    const std::vector<HXDictionaryRef>& poolChoices() const { return m_poolChoices; }
    HXDictionaryRef pool() const override { return m_selectedPool; }
    // By identity; a pool that is not offered selects the first item.
    void selectPool(const HXDictionaryRef& pool);

    QString name() const override { return m_nameFieldText; }
    // The user changed the name field's text; origin is the pool of a suggestion the user picked.
    void controlTextDidChange(const QString& text, const HXDictionaryRef& origin = nullptr);
    // Completions for the partial word typed at the start of the field: the entry names that begin with
    // it, whatever the case, each once.
    QStringList completions(const QString& text, qsizetype partialStart, qsizetype partialLength) const;
    // Grouped by pool, with separators, for menu; otherwise one list sorted by entry and pool name.
    std::vector<HXNameSuggestion> nameSuggestionsForMenu(bool menu) const;
    std::vector<HXNameSuggestion> suggestionsForTextField() const { return nameSuggestionsForMenu(true); }
    // How a suggestion is shown after its entry name; %1 is the pool's name.
    static QString suggestionTitleSuffixFormat();

    void updateTimerDisplay();
    QString timerText() const { return m_timerText; }
    // While not running, the display is shown dimmed.
    bool isTimerTextDimmed() const { return !m_running; }
    QString pauseButtonTitle() const;
    static QString windowTitle();

Q_SIGNALS:
    // Bring the window to the front and make it key; centred when a timing begins.
    void windowShouldShow(bool center);
    void windowShouldClose();
    void poolChoicesChanged();
    void selectedPoolChanged();
    // The name field's text was set by the timer (at the start).
    void nameFieldTextChanged();
    // The running display, its colour or the pause button's title changed.
    void displayChanged();

private:
    void setRunning(bool running);
    void scheduleDisplayRefresh();
    void cancelDisplayRefresh();
    double entryTimeForOffset() const;

    Services m_services;
    bool m_active = false;
    bool m_retroactive = false;
    bool m_running = false;
    HXArrayRef m_eventStream;
    double m_durationOffset = 0;
    double m_referenceTimestamp = 0;
    HXAdHocTimerDelegate* m_delegate = nullptr;
    std::vector<HXDictionaryRef> m_poolChoices;
    HXDictionaryRef m_selectedPool;
    QString m_nameFieldText;
    QString m_timerText;
};
