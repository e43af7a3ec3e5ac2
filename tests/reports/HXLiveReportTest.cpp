#include "ReportsTestSupport.h"

#include "reports/HXLiveReport.h"
#include "reports/HXReportListRelease.h"
#include "reports/HXReportReference.h"

#include "foundation/HXSorting.h"

#include <gtest/gtest.h>

#include <QThreadPool>

#include <limits>
#include <random>
#include <thread>
#include <utility>

using namespace HXKeys;

namespace {

class LiveReport : public ::testing::Test {
protected:
    LiveReport() : source(sampleConfiguration()) {
        const HXDictionaryRef c = source.configuration();
        mail = application(*c, QStringLiteral("com.mail"));
        editor = application(*c, QStringLiteral("org.editor"));
        idle = application(*c, QStringLiteral("net.idle"));
        // The organizer shows Editor before Mail, Idle last, and of Mail's windows only Drafts.
        mail->setListWindows(
            makeArray({mail->dictionaryForKey(WindowsByName)->dictionaryForKey(QStringLiteral("Drafts")),
                       mail->dictionaryForKey(WindowsByName)->dictionaryForKey(QStringLiteral("Inbox"))}));
        editor->setListWindows(makeArray(
            {editor->dictionaryForKey(WindowsByName)->dictionaryForKey(QStringLiteral("main.cpp"))}));
        source.setLists(makeArray({editor, mail, idle}), makeArray({pool(*c, 1), pool(*c, 0)}));
    }

    QStringList report(int content, bool applications = true, bool pools = true) {
        source.defaults().setInteger(u"Live Report Content (1252)", content);
        source.defaults().setBool(u"Live Report: Applications", applications);
        source.defaults().setBool(u"Live Report: Pools", pools);
        return namesOf(*eventLogsClippedBetweenTimestamp(source, 1000, 6000));
    }

    TestReportSource source;
    HXDictionaryRef mail;
    HXDictionaryRef editor;
    HXDictionaryRef idle;
};

} // namespace

TEST_F(LiveReport, OrganizerModeWithEventsOnly) {
    // Content 0: organizer order; only expanded items show children; items without events are left out
    // with their children, and so is the paused pool's old data.
    EXPECT_EQ(report(0), strings({u"Editor", u"Mail", u"Inbox", u"Work", u"Mail", u"Inbox", u"Editor"}));
    // A collapsed application's windows never appear, even with events: expand Editor and main.cpp shows.
    editor->setBool(true, Expanded);
    EXPECT_EQ(report(0, true, false), strings({u"Editor", u"main.cpp", u"Mail", u"Inbox"}));
}

TEST_F(LiveReport, ExpandedApplicationWithoutEventsHidesItsWindows) {
    idle->setBool(true, Expanded);
    idle->setListWindows(makeArray(
        {record({{u"Name", u"Busy"}, {u"Path", u"_Window"}, {u"Active Log", makeLog({1000, -1200})}})}));
    EXPECT_FALSE(report(0, true, false).contains(u"Busy"));
    EXPECT_TRUE(report(1, true, false).contains(u"Busy"));
}

TEST_F(LiveReport, OrganizerModeWithAllItems) {
    // Content 1: the same selection and order, items without events included.
    EXPECT_EQ(report(1), strings({u"Editor", u"Mail", u"Drafts", u"Inbox", u"Idle", u"Leisure", u"Work",
                                  u"Mail", u"Inbox", u"Editor"}));
}

TEST_F(LiveReport, AllItemsModeSortsByTheInterval) {
    // Content 2: every application and pool of the configuration, all children, sorted by front time
    // inside the interval (column 1): Editor's 500 s before Mail's 400 s.
    EXPECT_EQ(report(2),
              strings({u"Editor", u"main.cpp", u"Mail", u"Inbox", u"Work", u"Mail", u"Inbox", u"Editor"}));
    // Column 2 sorts by total time: Mail has 1000 s + the open entry from 5000 to 6000 = 2000 s.
    source.setSortColumn(2);
    EXPECT_EQ(report(2, true, false), strings({u"Mail", u"Inbox", u"Editor", u"main.cpp"}));
    // Column 0 sorts by name.
    source.setSortColumn(0);
    EXPECT_EQ(report(2, true, false), strings({u"Editor", u"main.cpp", u"Mail", u"Inbox"}));
}

TEST_F(LiveReport, AllItemsModeWithoutEventsToo) {
    // Content 3: everything, windows sorted too; records without a front time sort after those with one.
    EXPECT_EQ(report(3), strings({u"Editor", u"main.cpp", u"Mail", u"Inbox", u"Drafts", u"Idle", u"Work",
                                  u"Mail", u"Inbox", u"Editor", u"Leisure"}));
    // By name, windows included.
    source.setSortColumn(0);
    EXPECT_EQ(report(3), strings({u"Editor", u"main.cpp", u"Idle", u"Mail", u"Drafts", u"Inbox", u"Leisure",
                                  u"Work", u"Mail", u"Inbox", u"Editor"}));
}

TEST_F(LiveReport, Sections) {
    EXPECT_TRUE(report(3, false, false).isEmpty());
    EXPECT_EQ(report(0, false, true), strings({u"Work", u"Mail", u"Inbox", u"Editor"}));
    EXPECT_EQ(report(0, true, false), strings({u"Editor", u"Mail", u"Inbox"}));
}

TEST_F(LiveReport, PoolItemWithoutEventsHidesItsChildren) {
    const HXDictionaryRef mailItem = pool(*source.configuration(), 0)->arrayForKey(Children)->dictionaryAt(0);
    mailItem->remove(ActiveLog);
    EXPECT_EQ(report(0, false, true), strings({u"Work", u"Editor"}));
    EXPECT_EQ(report(1, false, true), strings({u"Leisure", u"Work", u"Mail", u"Inbox", u"Editor"}));
}

TEST_F(LiveReport, PoolItemsFollowTheOrganizersOrderWhereThePoolHasOne) {
    // The Work pool stores Mail (with its Inbox) before Editor; the organizer lists Editor first.
    const HXDictionaryRef work = pool(*source.configuration(), 0);
    const HXArrayRef items = work->arrayForKey(Children);
    EXPECT_EQ(report(0, false, true), strings({u"Work", u"Mail", u"Inbox", u"Editor"}));
    work->setListChildren(makeArray({items->at(1), items->at(0)}));
    items->dictionaryAt(0)->setListChildren(items->dictionaryAt(0)->arrayForKey(Children));
    EXPECT_EQ(report(0, false, true), strings({u"Work", u"Editor", u"Mail", u"Inbox"}));
    EXPECT_EQ(report(3, false, true), strings({u"Work", u"Editor", u"Mail", u"Inbox", u"Leisure"}));
}

TEST_F(LiveReport, RecordsCarryClippedLogsAndSources) {
    source.defaults().setInteger(u"Live Report Content (1252)", 0);
    const HXArrayRef list = eventLogsClippedBetweenTimestamp(source, 1500, 5500);
    const HXDictionaryRef mailRecord = list->dictionaryAt(1);
    EXPECT_EQ(mailRecord->find(Source)->toDictionary().get(), mail.get());
    EXPECT_EQ(logValues(mailRecord->arrayForKey(ActiveLog)), (std::vector<double>{1500, -2000, 5000, -5500}));
    EXPECT_DOUBLE_EQ(mailRecord->timeIntervalForKey(Time), 1000);
    // The front stretch ends on lo: no front log and no front time.
    EXPECT_FALSE(mailRecord->contains(FrontActiveLog));
    EXPECT_FALSE(mailRecord->contains(FrontTime));
}

TEST_F(LiveReport, FirstTimestampAndReference) {
    EXPECT_DOUBLE_EQ(firstTimestamp(source.configuration().get()), 10);
    EXPECT_EQ(firstTimestamp(record({{u"First Timestamp", 500.0}}).get()), 0);
    EXPECT_EQ(firstTimestamp(nullptr), 0);

    source.defaults().setInteger(u"Live Report Content (1252)", 0);
    const HXArrayRef list = eventLogsClippedBetweenTimestamp(source, 1000, 6000);
    // Applications and pools together were active 1000-4000 and 5000-6000; windows and items don't count.
    EXPECT_DOUBLE_EQ(HXReportReferenceInterval(*list, 1000, 6000, false), 4000);
    EXPECT_DOUBLE_EQ(HXReportReferenceInterval(*list, 1000, 6000, true), 5000);
}

namespace {

const QStringList& sortWords() {
    static const QStringList words{QStringLiteral("Doc 10"),
                                   QStringLiteral("doc 9"),
                                   QStringLiteral("Doc 9"),
                                   QStringLiteral("  "),
                                   QString(),
                                   QStringLiteral("Ärger"),
                                   QStringLiteral("apple")};
    return words;
}

// Names with numbers, case and blanks, equal names with other paths, equal and missing times.
HXDictionaryRef applicationsToSort(std::mt19937& random) {
    const QStringList& words = sortWords();
    auto applications = HXDictionary::create();
    for (int i = 0; i < 300; ++i) {
        const double t = 1000 + 10.0 * static_cast<double>(random() % 5);
        const int shape = static_cast<int>(random() % 4);
        auto app = record({{u"Path", QStringLiteral("/p/%1").arg(random() % 7)}});
        app->setValue(HXKeys::Name,
                      words[static_cast<qsizetype>(random() % static_cast<unsigned>(words.size()))]);
        if (shape != 0)
            app->setValue(HXKeys::ActiveLog, makeLog({t, -(t + static_cast<double>(random() % 3) * 10)}));
        if (shape == 2)
            app->setValue(HXKeys::FrontActiveLog, makeLog({t, -(t + static_cast<double>(random() % 3) * 5)}));
        applications->setValue(QStringLiteral("app%1").arg(i), app);
    }
    return applications;
}

void expectSortedAsHXSortItems(const HXArrayRef& list, int column, std::size_t count) {
    std::vector<HXValue> expected = list->values();
    std::stable_sort(expected.begin(), expected.end(), [column](const HXValue& a, const HXValue& b) {
        return HXSortItemValues(a, b, column) < 0;
    });
    ASSERT_EQ(expected.size(), count);
    for (std::size_t i = 0; i < expected.size(); ++i)
        ASSERT_TRUE(expected[i].isIdenticalTo(list->values()[i])) << "column " << column << " at " << i;
}

} // namespace

TEST(LiveReportOrder, SameAsHXSortItems) {
    std::mt19937 random(3);
    const QStringList& words = sortWords();
    const HXDictionaryRef applications = applicationsToSort(random);
    TestReportSource source(record({{u"Applications", applications}}));
    source.defaults().setBool(u"Live Report: Pools", false);
    source.defaults().setInteger(u"Live Report Content (1252)", 3);
    // The second round renames records after the first has sorted them: kept collation keys must follow.
    for (int column : {0, 1, 2, 3, 0}) {
        if (column == 0 && source.sortColumn() == 3) {
            for (const HXDictionary::Entry& e : applications->entries())
                e.value.toDictionary()->setValue(
                    HXKeys::Name,
                    words[static_cast<qsizetype>(random() % static_cast<unsigned>(words.size()))]);
        }
        source.setSortColumn(column);
        expectSortedAsHXSortItems(eventLogsClippedBetweenTimestamp(source, 0, 5000), column, 300);
    }
}

TEST(LiveReportOrder, AskedAgainAfterSomeLogsChanged) {
    // Most records come back as they were and keep their order; the changed ones, new ones and the
    // list without removed ones must still come out as a full sort would.
    std::mt19937 random(5);
    const HXDictionaryRef applications = applicationsToSort(random);
    TestReportSource source(record({{u"Applications", applications}}));
    source.defaults().setBool(u"Live Report: Pools", false);
    source.defaults().setInteger(u"Live Report Content (1252)", 3);
    for (int column : {2, 1, 0, 3}) {
        source.setSortColumn(column);
        const auto count = [&] {
            return static_cast<std::size_t>(applications->count());
        };
        // The list is held while the next is asked for, as the live report's view does.
        HXArrayRef list = eventLogsClippedBetweenTimestamp(source, 0, 5000);
        expectSortedAsHXSortItems(list, column, count());
        for (int round = 0; round < 4; ++round) {
            for (int change = 0; change < 5; ++change) {
                const HXDictionaryRef app =
                    applications->entries()[random() % applications->entries().size()].value.toDictionary();
                const double t = 2000 + 10.0 * static_cast<double>(random() % 5);
                if (const HXArrayRef log = app->arrayForKey(HXKeys::ActiveLog)) {
                    log->appendDouble(t);
                    log->appendDouble(-(t + 10));
                } else {
                    app->setValue(HXKeys::FrontActiveLog, makeLog({t, -(t + 5)}));
                }
            }
            if (round == 1) {
                const QString first = applications->entries().front().key;
                applications->remove(first);
                applications->setValue(
                    QStringLiteral("new app %1").arg(column),
                    record({{u"Name", u"Doc 9"}, {u"Active Log", makeLog({1000, -1010})}}));
            }
            list = eventLogsClippedBetweenTimestamp(source, 0, 5000);
            expectSortedAsHXSortItems(list, column, count());
        }
    }
}

namespace {

HXDictionaryRef firstNamed(const HXArrayRef& list, const QString& name) {
    for (const HXValue& v : list->values()) {
        if (v.toDictionary() && v.toDictionary()->stringForKey(Name) == name)
            return v.toDictionary();
    }
    return nullptr;
}

} // namespace

TEST_F(LiveReport, RecordsWhoseLogsDidNotChangeAreReusedWhenAskedAgain) {
    source.defaults().setInteger(u"Live Report Content (1252)", 2);
    HXArrayRef first = eventLogsClippedBetweenTimestamp(source, 1000, 6000);
    const HXArrayRef again = eventLogsClippedBetweenTimestamp(source, 1000, 6000);
    ASSERT_TRUE(firstNamed(first, QStringLiteral("Editor")));
    EXPECT_EQ(firstNamed(first, QStringLiteral("Editor")), firstNamed(again, QStringLiteral("Editor")));
    EXPECT_EQ(firstNamed(first, QStringLiteral("Mail")), firstNamed(again, QStringLiteral("Mail")));
    EXPECT_EQ(namesOf(*first), namesOf(*again));

    // Later: Editor ended before and is the same; Mail is still running and reaches the new end.
    HXArrayRef later = eventLogsClippedBetweenTimestamp(source, 1000, 7000);
    EXPECT_EQ(firstNamed(later, QStringLiteral("Editor")), firstNamed(first, QStringLiteral("Editor")));
    EXPECT_NE(firstNamed(later, QStringLiteral("Mail")), firstNamed(first, QStringLiteral("Mail")));
    EXPECT_DOUBLE_EQ(firstNamed(later, QStringLiteral("Mail"))->timeIntervalForKey(Time), 3000);

    // A log that grew is clipped anew.
    editor->arrayForKey(ActiveLog)->appendDouble(6500);
    const HXArrayRef grown = eventLogsClippedBetweenTimestamp(source, 1000, 7000);
    EXPECT_DOUBLE_EQ(firstNamed(grown, QStringLiteral("Editor"))->timeIntervalForKey(Time), 1500);
    // Once no list holds a clip, it is made again, alike.
    first.reset();
    later.reset();
    const double grownTime = firstNamed(grown, QStringLiteral("Editor"))->timeIntervalForKey(Time);
    EXPECT_DOUBLE_EQ(
        firstNamed(eventLogsClippedBetweenTimestamp(source, 1000, 7000), QStringLiteral("Editor"))
            ->timeIntervalForKey(Time),
        grownTime);
    // Another begin or an earlier end: clipped anew.
    const HXArrayRef moved = eventLogsClippedBetweenTimestamp(source, 1500, 7000);
    EXPECT_DOUBLE_EQ(firstNamed(moved, QStringLiteral("Mail"))->timeIntervalForKey(Time), 2500);
    const HXArrayRef shorter = eventLogsClippedBetweenTimestamp(source, 1500, 3500);
    EXPECT_DOUBLE_EQ(firstNamed(shorter, QStringLiteral("Editor"))->timeIntervalForKey(Time), 500);
    // Items left out for want of events stay out, and come back with them.
    source.defaults().setInteger(u"Live Report Content (1252)", 0);
    EXPECT_FALSE(namesOf(*eventLogsClippedBetweenTimestamp(source, 100, 900)).contains(u"Editor"));
    EXPECT_FALSE(namesOf(*eventLogsClippedBetweenTimestamp(source, 100, 900)).contains(u"Editor"));
    editor->arrayForKey(ActiveLog)->replace(0, 800);
    EXPECT_TRUE(namesOf(*eventLogsClippedBetweenTimestamp(source, 100, 900)).contains(u"Editor"));
}

TEST_F(LiveReport, ALogReplacedByAnotherOfTheSameLengthIsClippedAnew) {
    source.defaults().setInteger(u"Live Report Content (1252)", 2);
    const HXArrayRef shown = eventLogsClippedBetweenTimestamp(source, 1000, 6000);
    HXArrayRef log = editor->arrayForKey(ActiveLog);
    ASSERT_TRUE(log && log->isPacked());
    std::vector<double> moved(log->doubles().begin(), log->doubles().end());
    for (double& t : moved)
        t += t < 0 ? -100 : 100;
    const HXArray* const was = log.get();
    log.reset();
    // Freed first, the old array's place is likely to be the new one's: only the array's life tells them
    // apart then, since both hold as many numbers and neither was rewritten.
    editor->remove(ActiveLog);
    HXArrayRef replacement = HXArray::createWithDoubles(moved);
    const bool samePlace = replacement.get() == was;
    editor->setValue(ActiveLog, std::move(replacement));
    const HXArrayRef again = eventLogsClippedBetweenTimestamp(source, 1000, 6000);
    const HXDictionaryRef clipped = firstNamed(again, QStringLiteral("Editor"));
    ASSERT_TRUE(clipped);
    EXPECT_NE(clipped, firstNamed(shown, QStringLiteral("Editor"))) << "same place: " << samePlace;
    EXPECT_EQ(clipped->arrayForKey(ActiveLog)->doubles()[0], moved[0] < 1000 ? 1000 : moved[0]);

    // Numbers that are not finite, removed, count as a rewrite even when as many come back at the end.
    const HXArrayRef current = editor->arrayForKey(ActiveLog);
    const std::uint64_t rewrites = current->rewriteCount();
    current->appendDouble(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(current->removeNonFiniteNumbers(), 1);
    EXPECT_GT(current->rewriteCount(), rewrites);
}

TEST_F(LiveReport, ListsStillHeldKeepTheirLogsWhileOthersAreMade) {
    source.defaults().setInteger(u"Live Report Content (1252)", 3);
    const auto logsOf = [](const HXArray& list) {
        std::vector<std::vector<double>> logs;
        for (const HXValue& v : list.values()) {
            for (const HXKey key : {ActiveLog, FrontActiveLog}) {
                const HXArray* log = v.toDictionary()->arrayPointerForKey(key);
                logs.emplace_back(log ? std::vector<double>(log->doubles().begin(), log->doubles().end())
                                      : std::vector<double>());
            }
        }
        return logs;
    };
    HXArrayRef shown = eventLogsClippedBetweenTimestamp(source, 1000, 6000);
    const auto shownLogs = logsOf(*shown);
    // Other intervals, asked for while the first list is held and after it is given up, come out as
    // when asked for first.
    std::vector<std::vector<std::vector<double>>> alone;
    for (const double b : {3000.0, 4500.0, 7000.0})
        alone.push_back(logsOf(*eventLogsClippedBetweenTimestamp(source, 1500, b)));
    for (int round = 0; round < 2; ++round) {
        std::vector<HXArrayRef> lists;
        for (const double b : {3000.0, 4500.0, 7000.0})
            lists.push_back(eventLogsClippedBetweenTimestamp(source, 1500, b));
        for (std::size_t i = 0; i < lists.size(); ++i)
            EXPECT_EQ(logsOf(*lists[i]), alone[i]);
        if (shown) {
            EXPECT_EQ(logsOf(*shown), shownLogs);
            shown.reset();
        }
    }
    EXPECT_EQ(logsOf(*eventLogsClippedBetweenTimestamp(source, 1000, 6000)), shownLogs);
}

namespace {

// Three hundred applications of three windows each and two pools of 150 items with a window each, with
// random logs between 0 and 5000, some missing, and random names: lists long enough for two threads.
HXDictionaryRef manyRecords(std::mt19937& random) {
    const auto randomLog = [&random] {
        std::vector<double> numbers;
        double t = static_cast<double>(random() % 1000);
        for (int i = 0; i < 6; ++i) {
            const double length = 5 + static_cast<double>(random() % 40);
            numbers.push_back(t);
            numbers.push_back(-(t + length));
            t += length + static_cast<double>(random() % 600);
        }
        return HXArray::createWithDoubles(std::move(numbers));
    };
    const auto item = [&](const char16_t* path, const char16_t* type) {
        auto r = record({{u"Path", path}});
        if (type)
            r->setValue(Type, QString::fromUtf16(type));
        r->setValue(Name, QStringLiteral("item %1").arg(random() % 40));
        if (random() % 4 != 0)
            r->setValue(ActiveLog, randomLog());
        if (random() % 2 != 0)
            r->setValue(FrontActiveLog, randomLog());
        if (random() % 2 != 0)
            r->setValue(Expanded, true);
        return r;
    };
    auto applications = HXDictionary::create();
    std::vector<HXValue> listed;
    for (int a = 0; a < 300; ++a) {
        auto app = item(u"/usr/share/applications/app.desktop", nullptr);
        auto windows = HXDictionary::create();
        std::vector<HXValue> listWindows;
        for (int w = 0; w < 3; ++w) {
            auto window = item(u"_Window", nullptr);
            windows->setValue(QStringLiteral("window %1").arg(w), window);
            listWindows.emplace_back(window);
        }
        app->setValue(WindowsByName, windows);
        app->setListWindows(HXArray::createWithValues(std::move(listWindows)));
        applications->setValue(QStringLiteral("app %1").arg(a), app);
        listed.emplace_back(app);
    }
    std::vector<HXValue> pools;
    for (int p = 0; p < 2; ++p) {
        auto pool = item(u"_Pool", u"Pool Item");
        std::vector<HXValue> items;
        for (int i = 0; i < 150; ++i) {
            auto poolItem = item(u"/usr/share/applications/app.desktop", u"Pool Item");
            poolItem->setValue(Children, makeArray({item(u"_Window", u"Pool Item")}));
            items.emplace_back(poolItem);
        }
        pool->setValue(Children, HXArray::createWithValues(std::move(items)));
        pools.emplace_back(pool);
    }
    auto configuration = record({{u"Applications", applications}});
    configuration->setValue(Pools, HXArray::createWithValues(pools));
    configuration->setValue(QStringLiteral("Listed"), HXArray::createWithValues(std::move(listed)));
    return configuration;
}

// What a report list shows of each record, and which record it was clipped from.
struct ShownRecord {
    QString name;
    double time = 0;
    double frontTime = 0;
    std::vector<double> active;
    std::vector<double> front;
    const HXDictionary* source = nullptr;
    bool operator==(const ShownRecord&) const = default;
};

std::vector<ShownRecord> shownRecords(const HXArray& list) {
    std::vector<ShownRecord> shown;
    for (const HXValue& v : list.values()) {
        const HXDictionary& r = *v.toDictionary();
        const auto numbers = [&r](HXKey key) {
            const HXArray* log = r.arrayPointerForKey(key);
            return log ? std::vector<double>(log->doubles().begin(), log->doubles().end())
                       : std::vector<double>();
        };
        shown.push_back({r.stringForKey(Name), r.timeIntervalForKey(Time), r.timeIntervalForKey(FrontTime),
                         numbers(ActiveLog), numbers(FrontActiveLog), r.dictionaryForKey(Source).get()});
    }
    return shown;
}

} // namespace

TEST(LiveReportThreads, LongListsClippedOnTwoThreadsComeOutAsOnOne) {
    QThreadPool* pool = QThreadPool::globalInstance();
    const int threads = pool->maxThreadCount();
    if (threads < 2)
        GTEST_SKIP() << "a second thread is never used here";
    std::mt19937 random(11);
    const HXDictionaryRef configuration = manyRecords(random);
    TestReportSource source(configuration);
    source.setLists(configuration->arrayForKey(QStringLiteral("Listed")), configuration->arrayForKey(Pools));
    for (const int content : {0, 1, 2, 3}) {
        source.defaults().setInteger(u"Live Report Content (1252)", content);
        for (const auto& [a, b] : {std::pair(0.0, 5000.0), std::pair(800.0, 2500.0)}) {
            // Each list is given up at once, so that the next clips every record anew.
            pool->setMaxThreadCount(1);
            const std::vector<ShownRecord> one =
                shownRecords(*eventLogsClippedBetweenTimestamp(source, a, b));
            pool->setMaxThreadCount(threads);
            const std::vector<ShownRecord> two =
                shownRecords(*eventLogsClippedBetweenTimestamp(source, a, b));
            EXPECT_GT(one.size(), 300u) << "content " << content;
            EXPECT_TRUE(one == two) << "content " << content << " from " << a << " to " << b;
        }
    }
}

namespace {

// A list of records each holding a log whose numbers belong to an owner; the owner notes the thread
// that freed it.
struct OwnedList {
    HXArrayRef list;
    std::weak_ptr<void> owner;
    std::shared_ptr<std::thread::id> freedOn = std::make_shared<std::thread::id>();
};

OwnedList ownedList(qsizetype records) {
    OwnedList made;
    static const double kNumbers[] = {10, -20};
    auto freedOn = made.freedOn;
    std::shared_ptr<const void> owner(new int(0), [freedOn](const int* p) {
        *freedOn = std::this_thread::get_id();
        delete p;
    });
    made.owner = std::const_pointer_cast<void>(owner);
    std::vector<HXValue> values;
    for (qsizetype i = 0; i < records; ++i)
        values.emplace_back(record({{u"Active Log", HXArray::createWithBorrowedDoubles(owner, kNumbers)}}));
    made.list = HXArray::createWithValues(std::move(values));
    return made;
}

} // namespace

TEST(ReportListRelease, ALongListOfItsOwnRecordsIsFreedOnAPoolThreadAndAnyOtherHere) {
    QThreadPool* pool = QThreadPool::globalInstance();
    if (pool->maxThreadCount() < 2)
        GTEST_SKIP() << "lists are always freed where they are let go of here";
    const std::thread::id here = std::this_thread::get_id();

    OwnedList longList = ownedList(2000);
    HXReleaseReportList(std::move(longList.list));
    pool->waitForDone();
    EXPECT_TRUE(longList.owner.expired());
    EXPECT_NE(*longList.freedOn, here);
    EXPECT_NE(*longList.freedOn, std::thread::id());

    OwnedList shortList = ownedList(20);
    HXReleaseReportList(std::move(shortList.list));
    EXPECT_TRUE(shortList.owner.expired()) << "freed before the call returns";
    EXPECT_EQ(*shortList.freedOn, here);

    OwnedList shared = ownedList(2000);
    const HXArrayRef stillShown = shared.list;
    HXReleaseReportList(std::move(shared.list));
    pool->waitForDone();
    EXPECT_FALSE(shared.owner.expired());
    EXPECT_EQ(stillShown->count(), 2000);

    // As after a sampling tick: the next list holds the same records, so only the array goes, here.
    OwnedList replaced = ownedList(2000);
    const std::vector<HXValue> nextList = replaced.list->values();
    const std::weak_ptr<HXArray> array = replaced.list;
    HXReleaseReportList(std::move(replaced.list));
    EXPECT_TRUE(array.expired()) << "freed before the call returns";
    EXPECT_FALSE(replaced.owner.expired());
}

TEST(ReportListRelease, ListsMadeWhileTheOnesBeforeAreFreedElsewhereComeOutAsMadeAlone) {
    std::mt19937 random(5);
    const HXDictionaryRef configuration = manyRecords(random);
    TestReportSource source(configuration);
    source.setLists(configuration->arrayForKey(QStringLiteral("Listed")), configuration->arrayForKey(Pools));
    source.defaults().setInteger(u"Live Report Content (1252)", 2);
    const std::vector<std::pair<double, double>> intervals = {{0, 5000}, {800, 2500}, {100, 4000}};
    std::vector<std::vector<ShownRecord>> alone;
    for (const auto& [a, b] : intervals)
        alone.push_back(shownRecords(*eventLogsClippedBetweenTimestamp(source, a, b)));

    // As the report view does: the list shown is let go of once the next one is made, so that the
    // clipped-log storage fills chunks while a pool thread still frees the arrays in others.
    HXArrayRef shown;
    std::vector<ShownRecord> shownWas;
    for (int round = 0; round < 30; ++round) {
        const std::size_t k = static_cast<std::size_t>(round) % intervals.size();
        HXArrayRef next = eventLogsClippedBetweenTimestamp(source, intervals[k].first, intervals[k].second);
        if (shown) {
            EXPECT_TRUE(shownRecords(*shown) == shownWas) << "a list still shown changed in round " << round;
        }
        shownWas = shownRecords(*next);
        EXPECT_TRUE(shownWas == alone[k]) << "round " << round;
        HXReleaseReportList(std::exchange(shown, std::move(next)));
    }
    QThreadPool::globalInstance()->waitForDone();
}
