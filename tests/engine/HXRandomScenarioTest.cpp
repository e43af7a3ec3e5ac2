#include "EngineHarness.h"

#include "foundation/HXPropertyList.h"

#include <gtest/gtest.h>

#include <random>

using namespace HXKeys;

namespace {

struct Checker {
    double overallTime = 0;
    double overallPoolTime = 0;

    void checkLog(const HXDictionary& record, HXKey logKey, HXKey flagKey, const QString& where) const {
        const HXArrayRef log = record.arrayForKey(logKey);
        const bool flag = record.boolForKey(flagKey);
        if (!log || log->isEmpty()) {
            EXPECT_FALSE(flag) << where.toStdString();
            return;
        }
        EXPECT_EQ(log->numberAt(log->count() - 1) > 0, flag) << where.toStdString();
        for (qsizetype i = 0; i < log->count(); ++i) {
            const double v = log->numberAt(i);
            EXPECT_EQ(v > 0, i % 2 == 0) << where.toStdString() << " alternation at " << i;
            if (i > 0) {
                EXPECT_LE(std::fabs(log->numberAt(i - 1)), std::fabs(v)) << where.toStdString();
            }
            if (i % 2 == 1) {
                EXPECT_GE(std::fabs(v) - log->numberAt(i - 1), 0.001)
                    << where.toStdString() << " empty entry";
            }
        }
    }

    void checkRecord(const HXDictionary& record, bool frontBoundedByTotal, double bound,
                     const QString& where) const {
        EXPECT_FALSE(record.contains(ActiveTransient)) << where.toStdString();
        EXPECT_FALSE(record.contains(FrontActiveTransient)) << where.toStdString();
        if (record.boolForKey(FrontActive)) {
            EXPECT_TRUE(record.boolForKey(Active)) << where.toStdString();
        }
        checkLog(record, ActiveLog, Active, where);
        checkLog(record, FrontActiveLog, FrontActive, where);
        if (frontBoundedByTotal) {
            EXPECT_LE(record.timeIntervalForKey(FrontTime), record.timeIntervalForKey(Time) + 1e-9)
                << where.toStdString();
        }
        EXPECT_LE(record.timeIntervalForKey(Time), bound + 1e-9) << where.toStdString();
    }

    void check(HXDictionary& configuration) const {
        EXPECT_NEAR(configuration.timeIntervalForKey(u"Overall Time"), overallTime, 1e-6);
        if (const HXDictionaryRef applications = configuration.dictionaryForKey(u"Applications")) {
            for (const auto& e : applications->entries()) {
                const HXDictionary& app = *e.value.toDictionary();
                checkRecord(app, true, overallTime, e.key);
                if (const HXDictionaryRef windows = app.dictionaryForKey(WindowsByName)) {
                    for (const auto& w : windows->entries())
                        checkRecord(*w.value.toDictionary(), true, overallTime, e.key + u'/' + w.key);
                }
            }
        }
        if (const HXArrayRef pools = configuration.arrayForKey(u"Pools")) {
            for (const HXValue& p : pools->values()) {
                const HXDictionary& pool = *p.toDictionary();
                checkRecord(pool, false, overallPoolTime, pool.stringForKey(Name));
                for (const HXValue& c : pool.arrayForKey(Children)->values()) {
                    const HXDictionary& item = *c.toDictionary();
                    checkRecord(item, false, pool.timeIntervalForKey(Time),
                                QStringLiteral("item ") + item.stringForKey(Name));
                    if (const HXArrayRef grandchildren = item.arrayForKey(Children)) {
                        for (const HXValue& g : grandchildren->values())
                            checkRecord(*g.toDictionary(), false, item.timeIntervalForKey(Time),
                                        QStringLiteral("window item"));
                    }
                }
            }
        }
    }
};

const QStringList kNames = {QStringLiteral("Editor"),        QStringLiteral("Mail"),
                            QStringLiteral("Browser"),       QStringLiteral("Terminal"),
                            QStringLiteral("Office Writer"), QStringLiteral("Player")};
const QStringList kTitles = {
    QStringLiteral("Inbox"),     QStringLiteral("Report - draft"),      QStringLiteral("Report - final"),
    QStringLiteral("notes.txt"), QStringLiteral("https://example.org"), QStringLiteral("Music"),
    QStringLiteral("  ")};

} // namespace

class HXRandomScenario : public ::testing::TestWithParam<unsigned> {};

TEST_P(HXRandomScenario, InvariantsHoldAfterEveryTick) {
    std::mt19937 random(GetParam());
    const auto chance = [&](double p) {
        return std::uniform_real_distribution<double>(0, 1)(random) < p;
    };
    const auto pick = [&](int n) {
        return std::uniform_int_distribution<int>(0, n - 1)(random);
    };

    EngineHarness h(1750000000);
    h.defaults->setBool(u"Show Inactive Applications", chance(0.5));
    h.controller->restoreSettings();
    Checker checker;
    double now = 1750000000;
    bool hadTick = false;
    bool gapPending = true;

    for (int step = 0; step < 400; ++step) {
        // The world changes.
        std::vector<HXFakeApplication> apps;
        for (int a = 0; a < kNames.size(); ++a) {
            if (!chance(0.6))
                continue;
            std::vector<HXFakeWindow> windows;
            const int count = pick(4);
            for (int w = 0; w < count; ++w)
                windows.push_back(
                    fakeWindow(static_cast<std::uint64_t>(a * 10 + w), kTitles[pick(kTitles.size())]));
            apps.push_back(
                fakeApplication(100 + a, QStringLiteral("org.example.App%1").arg(a), kNames[a], windows,
                                chance(0.1) ? HXActivationPolicy::Accessory : HXActivationPolicy::Regular));
        }
        h.windows.setApplications(apps);
        h.windows.setFrontProcess(
            apps.empty() || chance(0.1)
                ? std::nullopt
                : std::optional<std::int64_t>(
                      apps[pick(static_cast<int>(apps.size()))].application.processIdentifier));

        // The user edits pools now and then.
        if (chance(0.05)) {
            const int a = pick(kNames.size());
            std::vector<HXDictionaryRef> windowItems;
            if (chance(0.5))
                windowItems.push_back(EngineHarness::windowPoolItem(
                    QStringLiteral("Report*"), QStringLiteral("org.example.App%1").arg(a)));
            auto item = EngineHarness::poolItem(chance(0.3) ? QStringLiteral("*o*") : kNames[a],
                                                QStringLiteral("org.example.App%1").arg(a), windowItems);
            if (chance(0.1))
                item->setBool(true, MatchAnyApplication);
            const HXArrayRef pools = h.pools();
            if (pools->isEmpty() || chance(0.3))
                h.addPool(QStringLiteral("Pool %1").arg(step), {item});
            else
                pools->dictionaryAt(pick(static_cast<int>(pools->count())))
                    ->arrayForKey(Children)
                    ->append(item);
        }
        if (chance(0.03) && !h.pools()->isEmpty())
            h.controller->togglePauseForPool(
                h.pools()->dictionaryAt(pick(static_cast<int>(h.pools()->count()))));

        // Time passes: mostly regular ticks, sometimes late ones, gaps and pauses.
        now += chance(0.05) ? 60 : 0.5 + pick(5) * 0.5;
        if (chance(0.05)) {
            h.controller->setIgnoreLastUpdateDate();
            gapPending = true;
        }
        const bool paused = chance(0.05);
        if (paused)
            h.controller->setPaused(true);
        const double before = h.configuration().timeIntervalForKey(u"Last Timestamp");
        h.tickAt(now);
        if (paused) {
            EXPECT_EQ(h.configuration().timeIntervalForKey(u"Last Timestamp"), before);
            h.controller->setPaused(false);
            gapPending = true;
            continue;
        }
        const double interval = gapPending || !hadTick ? 0 : now - before;
        checker.overallTime += interval;
        checker.overallPoolTime += interval;
        hadTick = true;
        gapPending = false;
        checker.check(h.configuration());
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "seed " << GetParam() << " step " << step;
            return;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, HXRandomScenario, ::testing::Values(1u, 2u, 3u, 17u, 2026u));

// Skipping dormant applications and re-sorting only what moved must give exactly what looking at every
// record and sorting every list gives: the same scenario run with ticks that always do the full work
// (a command's tick) ends in the same configuration and the same organizer lists.
TEST_P(HXRandomScenario, ShortcutsGiveTheSameResultAsFullTicks) {
    const bool showInactive = GetParam() % 2 == 0;
    const auto makeHarness = [&] {
        auto h = std::make_unique<EngineHarness>(1750000000);
        h->defaults->setBool(u"Show Inactive Applications", showInactive);
        h->controller->setShowInactiveApplications(showInactive);
        h->addPool(QStringLiteral("All"),
                   {EngineHarness::poolItem(QStringLiteral("*"), QStringLiteral("none"))});
        h->addPool(
            QStringLiteral("Titles"),
            {EngineHarness::poolItem(kNames[0], QStringLiteral("org.example.App0"),
                                     {EngineHarness::windowPoolItem(QStringLiteral("Title 1*"),
                                                                    QStringLiteral("org.example.App0"))}),
             EngineHarness::poolItem(kNames[1], QStringLiteral("org.example.App1"))});
        h->addPool(QStringLiteral("Paused"),
                   {EngineHarness::poolItem(kNames[2], QStringLiteral("org.example.App2"))})
            ->setBool(true, Paused);
        return h;
    };
    const auto names = [](const HXArrayRef& list) {
        QStringList out;
        for (const HXValue& v : list->values()) {
            out.append(v.toDictionary()->stringForKey(Name));
            if (const HXArrayRef windows = v.toDictionary()->listWindows()) {
                for (const HXValue& w : windows->values())
                    out.append(QStringLiteral("  ") + w.toDictionary()->stringForKey(Name));
            }
        }
        return out;
    };
    // The same world for both, step by step; one takes the shortcuts, the other does the full work at
    // every tick (a command's tick).
    auto shortcut = makeHarness();
    auto full = makeHarness();
    std::mt19937 random(GetParam());
    const auto chance = [&](double p) {
        return std::uniform_real_distribution<double>(0, 1)(random) < p;
    };
    const auto pick = [&](int n) {
        return std::uniform_int_distribution<int>(0, n - 1)(random);
    };
    double now = 1750000000;
    for (int step = 0; step < 300; ++step) {
        // Pools grow now and then, as the user drags items in; like every command, that runs a tick of
        // its own.
        const bool edited = chance(0.03);
        if (edited) {
            const int a = pick(kNames.size());
            const int pool = pick(3);
            for (EngineHarness* h : {shortcut.get(), full.get()})
                h->pools()->dictionaryAt(pool)->arrayForKey(Children)->append(
                    EngineHarness::poolItem(kNames[a], QStringLiteral("org.example.App%1").arg(a)));
        }
        std::vector<HXFakeApplication> apps;
        for (int a = 0; a < kNames.size(); ++a) {
            if (!chance(a < 2 ? 0.9 : 0.3))
                continue;
            std::vector<HXFakeWindow> windows;
            for (int w = 0, n = pick(5); w < n; ++w)
                windows.push_back(fakeWindow(static_cast<std::uint64_t>(a * 10 + w),
                                             QStringLiteral("Title %1").arg(pick(12))));
            apps.push_back(
                fakeApplication(100 + a, QStringLiteral("org.example.App%1").arg(a), kNames[a], windows));
        }
        const std::optional<std::int64_t> front =
            apps.empty() ? std::nullopt
                         : std::optional<std::int64_t>(
                               apps[pick(static_cast<int>(apps.size()))].application.processIdentifier);
        now += 0.5 + pick(4) * 0.5;
        for (EngineHarness* h : {shortcut.get(), full.get()}) {
            h->windows.setApplications(apps);
            h->windows.setFrontProcess(front);
            h->time.setNow(now);
            h->controller->updateLists(h == full.get() || edited ? HXTrigger::Command : HXTrigger::Schedule);
        }
        ASSERT_EQ(names(shortcut->controller->listApplications()),
                  names(full->controller->listApplications()))
            << "step " << step;
        ASSERT_EQ(names(shortcut->controller->listPools()), names(full->controller->listPools()))
            << "step " << step;
    }
    EXPECT_EQ(propertyListData(HXValue(shortcut->controller->configuration())),
              propertyListData(HXValue(full->controller->configuration())));
}
