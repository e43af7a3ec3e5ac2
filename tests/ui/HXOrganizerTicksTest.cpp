// Between full passes a tick's reload reads only the rows of the applications and pools that tick looked
// at. Random sessions check it against a model that reads every row at every tick: the same rows in the
// same places, and the same cells redrawn.
#include "EngineHarness.h"

#include "ui/organizer/HXOrganizerModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

using namespace HXKeys;

namespace {

using Model = HXOrganizerModel;
// A row by its record (null for the header row) and its depth.
using Row = std::pair<const HXDictionary*, int>;
// A cell by its row's record and its column.
using Cell = std::pair<const HXDictionary*, int>;

std::vector<Row> rowsOf(const Model& model) {
    std::vector<Row> rows;
    const std::function<void(const QModelIndex&, int)> walk = [&](const QModelIndex& parent, int depth) {
        for (int row = 0; row < model.rowCount(parent); ++row) {
            const QModelIndex index = model.index(row, 0, parent);
            rows.emplace_back(model.recordForIndex(index).get(), depth);
            walk(index, depth + 1);
        }
    };
    walk(QModelIndex(), 0);
    return rows;
}

std::set<Cell> redrawnCells(const Model& model, QSignalSpy& changes) {
    std::set<Cell> cells;
    for (const QList<QVariant>& signal : changes) {
        const auto topLeft = signal[0].value<QModelIndex>();
        const auto bottomRight = signal[1].value<QModelIndex>();
        for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
            for (int column = topLeft.column(); column <= bottomRight.column(); ++column)
                cells.emplace(model.recordForIndex(model.index(row, 0, topLeft.parent())).get(), column);
        }
    }
    changes.clear();
    return cells;
}

QString appID(int i) {
    return QStringLiteral("org.example.App%1").arg(i);
}

struct Session : EngineHarness {
    static constexpr int kApplications = 8;

    explicit Session(unsigned seed) : random(seed) {
        addPool(QStringLiteral("Work"),
                {poolItem(QStringLiteral("App 0"), appID(0),
                          {windowPoolItem(QStringLiteral("Doc 1"), appID(0)),
                           windowPoolItem(QStringLiteral("Doc 2"), appID(0))}),
                 poolItem(QStringLiteral("App 1"), appID(1)), poolItem(QStringLiteral("App 2"), appID(2))});
        addPool(QStringLiteral("Play"),
                {poolItem(QStringLiteral("App 3"), appID(3)), poolItem(QStringLiteral("App 4"), appID(4))});
        addPool(QStringLiteral("Empty"), {});
        for (int i = 0; i < kApplications; ++i)
            titles[i] = {QStringLiteral("Doc 1"), QStringLiteral("Doc 2")};
        for (int i = 0; i < kApplications; ++i)
            running.insert(i);
        showWindows();
        windows.setFrontProcess(1);
        controller->restoreSettings();
        tickAt(100);
        // Some applications have a past but no longer run.
        running = {0, 1, 3, 5};
        showWindows();
        tickAfter(1);
    }

    void showWindows() {
        std::vector<HXFakeApplication> applications;
        for (const int i : running) {
            std::vector<HXFakeWindow> shown;
            for (std::size_t w = 0; w < titles[i].size(); ++w)
                shown.push_back(
                    fakeWindow(static_cast<std::uint64_t>(100 * i + static_cast<int>(w)), titles[i][w]));
            applications.push_back(fakeApplication(i + 1, appID(i), QStringLiteral("App %1").arg(i), shown));
        }
        windows.setApplications(applications);
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

    // One thing a user or the desktop does, or nothing.
    void step(Model& incremental) {
        const int what = pick(100);
        if (what < 30) {
            std::vector<int> candidates(running.begin(), running.end());
            if (!candidates.empty())
                windows.setFrontProcess(
                    candidates[static_cast<std::size_t>(pick(static_cast<int>(candidates.size())))] + 1);
        } else if (what < 40) {
            const int i = pick(kApplications);
            if (!running.erase(i))
                running.insert(i);
        } else if (what < 52) {
            std::vector<QString>& shown = titles[pick(kApplications)];
            const int change = pick(3);
            if (change == 0 || shown.empty())
                shown.push_back(QStringLiteral("Doc %1").arg(pick(6) + 1));
            else if (change == 1)
                shown.erase(shown.begin() + pick(static_cast<int>(shown.size())));
            else
                shown[static_cast<std::size_t>(pick(static_cast<int>(shown.size())))] =
                    QStringLiteral("Doc %1").arg(pick(6) + 1);
        } else if (what < 64) {
            // Open or close a row as the outline does.
            const std::vector<Row> rows = rowsOf(incremental);
            const Row row = rows[static_cast<std::size_t>(pick(static_cast<int>(rows.size())))];
            if (row.first) {
                incremental.setRowExpanded(incremental.indexForRecord(row.first),
                                           !row.first->boolForKey(Expanded));
            }
        } else if (what < 66) {
            defaults->setBool(u"Organizer Shows Percentages",
                              !defaults->boolForKey(u"Organizer Shows Percentages"));
        } else if (what < 68) {
            controller->setSortColumn(pick(3));
        } else if (what < 70) {
            // A command: the pool renamed in place.
            const QModelIndex pool = incremental.index(1 + pick(incremental.rowCount() - 1), 0);
            if (incremental.outline() == Model::Outline::Pools)
                incremental.setData(pool, QStringLiteral("Pool %1").arg(pick(100)));
        }
        showWindows();
    }

    std::mt19937 random;
    std::set<int> running;
    std::map<int, std::vector<QString>> titles;
};

} // namespace

TEST(HXOrganizerTicks, ReadingOnlyWhatTheTickLookedAtShowsWhatReadingEverythingShows) {
    int partialReloads = 0;
    int comparedRedraws = 0;
    for (const Model::Outline outline : {Model::Outline::Applications, Model::Outline::Pools}) {
        for (unsigned seed = 1; seed <= 6; ++seed) {
            Session s(seed);
            Model incremental(*s.controller, outline, nullptr);
            Model everything(*s.controller, outline, nullptr);
            QAbstractItemModelTester tester(&incremental,
                                            QAbstractItemModelTester::FailureReportingMode::Fatal);
            // This one reads every row whenever the other has reloaded.
            QObject::disconnect(s.controller.get(), nullptr, &everything, nullptr);
            QObject::connect(&incremental, &Model::reloaded, &everything, &Model::reload);
            incremental.reload();
            QSignalSpy incrementalChanges(&incremental, &QAbstractItemModel::dataChanged);
            QSignalSpy everythingChanges(&everything, &QAbstractItemModel::dataChanged);
            for (int tick = 0; tick < 400; ++tick) {
                const std::vector<Row> before = rowsOf(incremental);
                ASSERT_EQ(before, rowsOf(everything)) << "seed " << seed << " tick " << tick;
                s.step(incremental);
                // Mostly sampling ticks; now and then a pause, or several ticks at one moment.
                const int gap = s.pick(10);
                s.tickAfter(gap == 0 ? 0 : gap == 1 ? 7 : 0.5);
                partialReloads += s.controller->lastTickLookedAtEverything() ? 0 : 1;
                const std::vector<Row> after = rowsOf(incremental);
                ASSERT_EQ(after, rowsOf(everything)) << "seed " << seed << " tick " << tick;
                // Rows made in this step are drawn whole in both; the others must be redrawn alike.
                std::set<const HXDictionary*> kept;
                for (const Row& row : before)
                    kept.insert(row.first);
                std::set<Cell> wanted;
                std::set<Cell> got;
                for (const Cell& cell : redrawnCells(everything, everythingChanges)) {
                    if (kept.contains(cell.first))
                        wanted.insert(cell);
                }
                for (const Cell& cell : redrawnCells(incremental, incrementalChanges)) {
                    if (kept.contains(cell.first))
                        got.insert(cell);
                }
                ASSERT_EQ(got, wanted) << "seed " << seed << " tick " << tick;
                comparedRedraws += static_cast<int>(wanted.size());
            }
        }
    }
    // Most ticks were partial, and they had cells to redraw.
    EXPECT_GT(partialReloads, 2 * 6 * 300);
    EXPECT_GT(comparedRedraws, 2 * 6 * 200);
}
