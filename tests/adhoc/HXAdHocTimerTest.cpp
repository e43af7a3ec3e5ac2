#include "AdHocTestSupport.h"

#include "foundation/HXLog.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace HXKeys;

TEST(HXAdHocTimer, StartPauseResumeKeepGivesTwoStretchesEverywhere) {
    TimerWorld w;
    const HXDictionaryRef calls = w.namedPool(QStringLiteral("Calls"));
    QSignalSpy shown(&w.timer, &HXAdHocTimer::windowShouldShow);
    const double begin = w.time.now();
    ASSERT_TRUE(w.start(calls, QStringLiteral("Phone")));
    EXPECT_TRUE(w.timer.active());
    EXPECT_TRUE(w.timer.running());
    EXPECT_FALSE(w.timer.retroactive());
    EXPECT_EQ(w.timer.pool(), calls);
    EXPECT_EQ(w.timer.name(), u"Phone");
    ASSERT_EQ(shown.count(), 1);
    EXPECT_TRUE(shown[0][0].toBool()) << "centred";
    EXPECT_EQ(w.timer.timerText(), u"0:00");
    EXPECT_EQ(w.timer.pauseButtonTitle(), u"Pause");

    // The display counts every second while running.
    w.time.advance(65.5);
    EXPECT_EQ(w.timer.timerText(), u"1:05");
    EXPECT_FALSE(w.timer.isTimerTextDimmed());
    w.timer.pause();
    EXPECT_FALSE(w.timer.running());
    EXPECT_TRUE(w.timer.isTimerTextDimmed());
    EXPECT_EQ(w.timer.pauseButtonTitle(), u"Resume");
    w.time.advance(30);
    EXPECT_EQ(w.timer.timerText(), u"1:05") << "paused";
    w.timer.pause();
    w.time.advance(20);
    EXPECT_EQ(w.timer.timerText(), u"1:25");

    // Starting again while active changes nothing and brings the window forward.
    EXPECT_FALSE(w.start(nullptr, QStringLiteral("Other")));
    EXPECT_EQ(shown.count(), 2);
    EXPECT_FALSE(shown[1][0].toBool());
    EXPECT_EQ(w.timer.name(), u"Phone");
    EXPECT_EQ(w.timer.pool(), calls);

    QSignalSpy closed(&w.timer, &HXAdHocTimer::windowShouldClose);
    const bool couldUndo = w.controller->canUndo();
    w.timer.done(1);
    EXPECT_FALSE(w.timer.active());
    EXPECT_FALSE(w.timer.running());
    EXPECT_FALSE(w.timer.eventStream());
    EXPECT_FALSE(w.timer.delegate());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_TRUE(w.controller->canUndo());
    EXPECT_FALSE(couldUndo);

    const HXDictionaryRef adHoc = adHocItem(calls);
    ASSERT_TRUE(adHoc);
    EXPECT_EQ(adHoc->stringForKey(Path), u"_Ad_Hoc");
    EXPECT_EQ(adHoc->stringForKey(Name), u"");
    EXPECT_EQ(adHoc->stringForKey(Type), u"Pool Item");
    const HXDictionaryRef entry = child(adHoc, 0);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->stringForKey(Name), u"Phone");
    EXPECT_EQ(entry->stringForKey(Path), u"_Window");
    EXPECT_EQ(entry->stringForKey(ApplicationID), u"_Ad_Hoc");
    EXPECT_EQ(logValues(entry->arrayForKey(ActiveLog)),
              (std::vector<double>{begin, -(begin + 65.5), begin + 95.5, -(begin + 115.5)}));
    for (const HXDictionaryRef& record : {calls, adHoc, entry}) {
        EXPECT_DOUBLE_EQ(record->timeIntervalForKey(Time), 85.5) << record->itemName().toStdString();
        EXPECT_DOUBLE_EQ(record->timeIntervalForKey(FrontTime), 85.5);
        EXPECT_EQ(logValues(record->arrayForKey(FrontActiveLog)), logValues(entry->arrayForKey(ActiveLog)));
    }

    // Keeping is undoable.
    w.controller->undo();
    const HXDictionaryRef restored = w.pools()->dictionaryAt(0);
    EXPECT_FALSE(adHocItem(restored));
}

TEST(HXAdHocTimer, DiscardingPushesNoUndoStateAndKeepsNothing) {
    TimerWorld w;
    const HXDictionaryRef calls = w.namedPool(QStringLiteral("Calls"));
    ASSERT_TRUE(w.start(calls, QStringLiteral("Phone")));
    w.time.advance(100);
    w.timer.done(0);
    EXPECT_FALSE(w.timer.active());
    EXPECT_FALSE(w.controller->canUndo());
    EXPECT_FALSE(adHocItem(calls));
    EXPECT_EQ(calls->timeIntervalForKey(Time), 0);
    // Afterwards a new timing starts afresh.
    ASSERT_TRUE(w.start());
    EXPECT_EQ(w.timer.durationOffset(), 0);
    EXPECT_EQ(w.timer.timerText(), u"0:00");
}

TEST(HXAdHocTimer, NamesAreTrimmedButCaseMakesAnotherEntry) {
    TimerWorld w;
    const HXDictionaryRef calls = w.namedPool(QStringLiteral("Calls"));
    w.keep(calls, QStringLiteral("Standup"), 60);
    w.keep(calls, QStringLiteral("  Standup "), 30);
    w.keep(calls, QStringLiteral("standup"), 10);
    const HXDictionaryRef adHoc = adHocItem(calls);
    ASSERT_EQ(children(calls)->count(), 1);
    ASSERT_EQ(children(adHoc)->count(), 2);
    const HXDictionaryRef standup = entryNamed(calls, QStringLiteral("Standup"));
    const HXDictionaryRef lowerCase = entryNamed(calls, QStringLiteral("standup"));
    ASSERT_TRUE(standup);
    ASSERT_TRUE(lowerCase);
    EXPECT_DOUBLE_EQ(standup->timeIntervalForKey(Time), 90);
    // The two stretches follow each other and merge into one.
    EXPECT_EQ(logValues(standup->arrayForKey(ActiveLog)).size(), 2u);
    EXPECT_DOUBLE_EQ(lowerCase->timeIntervalForKey(Time), 10);
    EXPECT_DOUBLE_EQ(adHoc->timeIntervalForKey(Time), 100);
    EXPECT_DOUBLE_EQ(calls->timeIntervalForKey(FrontTime), 100);
}

TEST(HXAdHocTimer, KeepingWithoutAPoolMakesAnUnnamedPool) {
    TimerWorld w;
    EXPECT_FALSE(w.configuration().contains(u"Pools"));
    w.keep(nullptr, QString(), 42);
    HXArrayRef pools = w.configuration().arrayForKey(u"Pools");
    ASSERT_TRUE(pools);
    ASSERT_EQ(pools->count(), 1);
    const HXDictionaryRef pool = pools->dictionaryAt(0);
    EXPECT_EQ(pool->stringForKey(Name), u"");
    EXPECT_TRUE(pool->contains(Name));
    EXPECT_EQ(pool->stringForKey(Path), u"_Pool");
    EXPECT_EQ(pool->stringForKey(Type), u"Pool Item");
    EXPECT_FALSE(pool->contains(ApplicationID));
    EXPECT_DOUBLE_EQ(pool->timeIntervalForKey(Time), 42);
    // An entry with the empty name, shown as unspecified.
    const HXDictionaryRef entry = child(adHocItem(pool), 0);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->stringForKey(Name), u"");
    EXPECT_EQ(entry->itemName(), u"Unspecified");

    // With pools present, a second one is appended.
    w.keep(nullptr, QStringLiteral("Walk"), 5);
    pools = w.configuration().arrayForKey(u"Pools");
    ASSERT_EQ(pools->count(), 2);
    EXPECT_TRUE(entryNamed(pools->dictionaryAt(1), QStringLiteral("Walk")));
}

TEST(HXAdHocTimer, StretchesTooShortAreNotKept) {
    TimerWorld w;
    HXLogging::Capture log;
    ASSERT_TRUE(w.start());
    w.time.advance(0.0005);
    w.timer.done(1);
    EXPECT_TRUE(log.contains(QStringLiteral("cannot absorb ad hoc timer")));
    EXPECT_EQ(w.ui.beeps, 1);
    EXPECT_FALSE(w.configuration().contains(u"Pools"));
    EXPECT_FALSE(w.controller->canUndo());
    EXPECT_FALSE(w.timer.active());
}

TEST(HXAdHocTimer, OffsetShowsTheEntryTotalPlusTheElapsedTime) {
    TimerWorld w;
    const HXDictionaryRef calls =
        w.poolWithEntries(QStringLiteral("Calls"), {{QStringLiteral("Phone"), 3600}});
    w.defaults->setBool(u"Offset Ad Hoc Timers", true);
    ASSERT_TRUE(w.start(calls));
    w.time.advance(5);
    EXPECT_EQ(w.timer.timerText(), u"0:05");
    w.timer.controlTextDidChange(QStringLiteral("Phone "));
    EXPECT_EQ(w.timer.timerText(), u"1:00:05");
    w.time.advance(2);
    EXPECT_EQ(w.timer.timerText(), u"1:00:07");
    w.timer.selectPool(nullptr);
    EXPECT_EQ(w.timer.timerText(), u"0:07");
}

TEST(HXAdHocTimer, SuggestionsCompletionsAndPickingSelectThePool) {
    TimerWorld w;
    const HXDictionaryRef work =
        w.poolWithEntries(QStringLiteral("Work"),
                          {{QStringLiteral("Standup"), 0}, {QStringLiteral("Phone"), 0}, {QString(), 0}});
    const HXDictionaryRef home = w.poolWithEntries(QStringLiteral("Home"), {{QStringLiteral("phone"), 0}});
    const HXDictionaryRef other = w.poolWithEntries(QStringLiteral("Other"), {{QStringLiteral("Phone"), 0}});
    w.namedPool(QStringLiteral("Alpha"));
    ASSERT_TRUE(w.start());
    // The pool selector: no pool first, then the pools by name.
    ASSERT_EQ(w.timer.poolChoices().size(), 5u);
    EXPECT_FALSE(w.timer.poolChoices()[0]);
    EXPECT_EQ(w.timer.poolChoices()[1]->itemName(), u"Alpha");
    EXPECT_EQ(w.timer.poolChoices()[2], home);
    EXPECT_EQ(w.timer.poolChoices()[4], work);
    EXPECT_FALSE(w.timer.pool());

    // Menu form: pools by name, entries by name, a separator between pools.
    const std::vector<HXNameSuggestion> menu = w.timer.suggestionsForTextField();
    std::vector<QString> shown;
    for (const HXNameSuggestion& s : menu)
        shown.push_back(s.isSeparator() ? QStringLiteral("--") : s.representedStringValue + u'@' + s.title);
    EXPECT_EQ(shown, (std::vector<QString>{QStringLiteral("phone@Home"), QStringLiteral("--"),
                                           QStringLiteral("Phone@Other"), QStringLiteral("--"),
                                           QStringLiteral("Phone@Work"), QStringLiteral("Standup@Work")}));
    EXPECT_EQ(menu[0].sortString, u"phone\nHome");
    EXPECT_EQ(menu[0].origin, home);
    EXPECT_EQ(HXAdHocTimer::suggestionTitleSuffixFormat().arg(QStringLiteral("Home")), u" - Home");
    // The other form: one list by entry, then pool, whatever the case.
    shown.clear();
    for (const HXNameSuggestion& s : w.timer.nameSuggestionsForMenu(false))
        shown.push_back(s.representedStringValue + u'@' + s.title);
    EXPECT_EQ(shown, (std::vector<QString>{QStringLiteral("phone@Home"), QStringLiteral("Phone@Other"),
                                           QStringLiteral("Phone@Work"), QStringLiteral("Standup@Work")}));

    EXPECT_EQ(w.timer.completions(QStringLiteral("PH"), 0, 2),
              (QStringList{QStringLiteral("phone"), QStringLiteral("Phone")}));
    EXPECT_EQ(w.timer.completions(QStringLiteral("st"), 0, 2), QStringList{QStringLiteral("Standup")});
    EXPECT_TRUE(w.timer.completions(QStringLiteral("st"), 1, 1).isEmpty());
    EXPECT_TRUE(w.timer.completions(QStringLiteral("st"), 0, 0).isEmpty());
    EXPECT_TRUE(w.timer.completions(QStringLiteral("st"), 0, 3).isEmpty());

    // Typing an entry's exact name selects its pool; a picked suggestion selects the pool it came from.
    QSignalSpy selected(&w.timer, &HXAdHocTimer::selectedPoolChanged);
    w.timer.controlTextDidChange(QStringLiteral("Phone"));
    EXPECT_EQ(w.timer.pool(), other);
    w.timer.controlTextDidChange(QStringLiteral("Phone"), work);
    EXPECT_EQ(w.timer.pool(), work);
    EXPECT_EQ(selected.count(), 2);
    w.timer.controlTextDidChange(QStringLiteral("Phon"));
    EXPECT_EQ(w.timer.pool(), work) << "no exact match: the pool stays";
    // Keeping then lands in the picked pool's entry.
    w.timer.controlTextDidChange(QStringLiteral("Phone"), work);
    w.time.advance(12);
    w.timer.done(1);
    EXPECT_DOUBLE_EQ(entryNamed(work, QStringLiteral("Phone"))->timeIntervalForKey(Time), 12);
    EXPECT_EQ(entryNamed(other, QStringLiteral("Phone"))->timeIntervalForKey(Time), 0);
}

TEST(HXAdHocTimer, MenuCommandStartsFromTheItem) {
    TimerWorld w;
    const HXDictionaryRef work = w.poolWithEntries(QStringLiteral("Work"), {{QStringLiteral("Standup"), 0}});
    const HXDictionaryRef adHoc = adHocItem(work);
    const HXDictionaryRef entry = child(adHoc, 0);
    std::optional<QString> name = QStringLiteral("stale");
    EXPECT_EQ(w.controller->poolWithAdHocTimerRelatedItem(work.get(), &name), work);
    EXPECT_FALSE(name);
    EXPECT_EQ(w.controller->poolWithAdHocTimerRelatedItem(adHoc.get(), &name), work);
    EXPECT_FALSE(name);
    EXPECT_EQ(w.controller->poolWithAdHocTimerRelatedItem(entry.get(), &name), work);
    EXPECT_EQ(name, u"Standup");
    EXPECT_FALSE(w.controller->poolWithAdHocTimerRelatedItem(w.application(kEditor).get(), &name));
    EXPECT_FALSE(name);
    EXPECT_FALSE(w.controller->poolWithAdHocTimerRelatedItem(nullptr, &name));

    ASSERT_TRUE(w.controller->startAdHocTimer(entry.get()));
    EXPECT_EQ(w.timer.pool(), work);
    EXPECT_EQ(w.timer.name(), u"Standup");
    EXPECT_EQ(w.timer.delegate(), w.controller.get());
    EXPECT_EQ(w.timer.referenceTimestamp(), w.time.now());
    EXPECT_FALSE(w.controller->startAdHocTimer(nullptr));
}

TEST(HXAdHocTimer, WhileActiveNothingIsFrontmostAndQuittingIsRefused) {
    TimerWorld w;
    w.windows.setFrontProcess(1);
    w.time.advance(10);
    const double front = w.application(kEditor)->timeIntervalForKey(FrontTime);
    EXPECT_GT(front, 9);
    ASSERT_TRUE(w.start());
    w.time.advance(10);
    EXPECT_NEAR(w.application(kEditor)->timeIntervalForKey(FrontTime), front, 0.5);
    EXPECT_GT(w.application(kEditor)->timeIntervalForKey(Time), 29);
    QSignalSpy shown(&w.timer, &HXAdHocTimer::windowShouldShow);
    EXPECT_FALSE(w.lifecycle->applicationShouldTerminate());
    EXPECT_EQ(shown.count(), 1);
    EXPECT_EQ(w.ui.beeps, 1);
    w.timer.done(0);
    EXPECT_TRUE(w.lifecycle->applicationShouldTerminate());
}

TEST(HXAdHocTimer, TheTimeAwayIsHandedOverAfterAHibernation) {
    TimerWorld w;
    const HXDictionaryRef calls = w.namedPool(QStringLiteral("Calls"));
    w.defaults->setBool(u"Hibernation Timer", true);
    HXHibernation& hibernation = w.controller->hibernation();
    hibernation.userLeaves();
    const double away = w.time.now();
    w.time.advance(1800);
    hibernation.userReturns();
    const double back = w.time.now();
    EXPECT_TRUE(w.timer.active());
    EXPECT_TRUE(w.timer.retroactive());
    EXPECT_FALSE(w.timer.running());
    EXPECT_EQ(w.timer.timerText(), u"30:00");
    EXPECT_EQ(logValues(w.timer.eventStream()), (std::vector<double>{away, -back}));

    // A second absence while the first is still offered adds to it.
    w.time.advance(60);
    hibernation.userLeaves();
    const double secondAway = w.time.now();
    w.time.advance(600);
    hibernation.userReturns();
    EXPECT_EQ(logValues(w.timer.eventStream()),
              (std::vector<double>{away, -back, secondAway, -w.time.now()}));
    EXPECT_EQ(w.timer.timerText(), u"40:00");

    w.timer.selectPool(calls);
    w.timer.controlTextDidChange(QStringLiteral("Lunch"));
    w.timer.done(1);
    EXPECT_DOUBLE_EQ(calls->timeIntervalForKey(Time), 2400);
    EXPECT_TRUE(entryNamed(calls, QStringLiteral("Lunch")));

    // Without the setting, nothing is offered.
    w.defaults->setBool(u"Hibernation Timer", false);
    hibernation.userLeaves();
    w.time.advance(600);
    hibernation.userReturns();
    EXPECT_FALSE(w.timer.active());
}

TEST(HXAdHocTimer, AnUndoWhileTimingDoesNotDuplicateThePool) {
    TimerWorld w;
    const HXDictionaryRef calls = w.namedPool(QStringLiteral("Calls"));
    w.controller->pushUndoStateAndClearRedoStatesAfterDelay();
    w.time.runDue();
    w.addPool(QStringLiteral("Later"), {});
    ASSERT_TRUE(w.start(calls, QStringLiteral("Phone")));
    w.time.advance(30);
    // The undo replaces the configuration, and with it the record the timer chose.
    w.controller->undo();
    w.timer.done(1);
    const HXArrayRef pools = w.pools();
    ASSERT_EQ(pools->count(), 1);
    const HXDictionaryRef restored = pools->dictionaryAt(0);
    EXPECT_NE(restored, calls);
    EXPECT_EQ(restored->stringForKey(Name), u"Calls");
    EXPECT_DOUBLE_EQ(restored->timeIntervalForKey(Time), 30);
}
