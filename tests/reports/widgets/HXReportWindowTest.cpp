// Report windows offscreen: the live window's selector and its settings, the controls following the
// controller, the View menu, the kept frame; snapshot windows opened once per file, their errors, and
// forgetting them at close.
#include "ReportViewTestSupport.h"

#include "reports/HXReportController.h"
#include "reports/widgets/HXLiveReportWindow.h"
#include "reports/widgets/HXReportDrawing.h"
#include "reports/widgets/HXReportSnapshotManager.h"
#include "reports/widgets/HXReportView.h"
#include "reports/widgets/HXReportWindow.h"

#include "reports/HXLiveReportSource.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateTimeEdit>
#include <QFile>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// A live report source over a small configuration.
class Source final : public HXLiveReportSource {
public:
    explicit Source(HXUserDefaults& defaults) : m_defaults(defaults) {
        m_configuration = makeDictionary({{QStringLiteral("First Timestamp"), localTime(8, 0)},
                                          {QStringLiteral("First Pool Timestamp"), localTime(8, 0)},
                                          {QStringLiteral("Last Timestamp"), localTime(12, 0)}});
        HXDictionaryRef app = reportRecord(QStringLiteral("Editor"), {localTime(9, 0), -localTime(10, 0)});
        m_applications = HXArray::create();
        m_applications->append(app);
    }
    HXDictionaryRef configuration() const override { return m_configuration; }
    HXArrayRef listApplications() const override { return m_applications; }
    HXArrayRef listPools() const override { return HXArray::create(); }
    int sortColumn() const override { return 0; }
    const HXUserDefaults& userDefaults() const override { return m_defaults; }

private:
    HXUserDefaults& m_defaults;
    HXDictionaryRef m_configuration;
    HXArrayRef m_applications;
};

bool waitFor(const std::function<bool()>& done, int milliseconds = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

class ReportWindow : public testing::Test {
protected:
    ReportWindow() : defaults(folder.file(QStringLiteral("Defaults.plist"))), source(defaults) {
        time.setNow(localTime(12, 0));
        defaults.setBool(u"Live Report: Applications", true);
    }
    QString csv(const QString& name, const QByteArray& text) {
        const QString path = folder.file(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return path;
    }

    ScratchFolder folder;
    HXUserDefaults defaults;
    HXVirtualTime time;
    Source source;
};

} // namespace

TEST_F(ReportWindow, ChoosingInTheSelectorStoresTheIntervalAndTheLastChoice) {
    HXLiveReportWindow live(source, defaults, time, time);
    live.showReportWindow();
    HXReportWindow& window = *live.window();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Live Report"));
    QComboBox& selector = window.intervalSelector();
    EXPECT_TRUE(selector.isVisible());
    EXPECT_EQ(selector.currentData().toInt(), 1);
    EXPECT_EQ(selector.toolTip(), QStringLiteral("Select report interval"));
    QTest::keyClick(&selector, Qt::Key_Down);
    EXPECT_EQ(defaults.integerForKey(u"Report: Default: Interval"), 2);
    EXPECT_EQ(defaults.integerForKey(u"Report: Default: Interval: Last Selected"), 2);
    // A drag elsewhere makes it free: the selector shows the custom entry.
    live.controller().setBeginTimestamp(localTime(9, 0), localTime(10, 0));
    EXPECT_EQ(selector.currentData().toInt(), 0);
    EXPECT_EQ(selector.currentText(), QStringLiteral("\u2192"));
    auto* beginCheck = window.findChildren<QCheckBox*>().value(0);
    ASSERT_TRUE(beginCheck);
    EXPECT_TRUE(beginCheck->isChecked());
    auto pickers = window.findChildren<QDateTimeEdit*>();
    ASSERT_EQ(pickers.size(), 2);
    EXPECT_TRUE(pickers[0]->isEnabled());
    EXPECT_EQ(pickers[0]->dateTime().toSecsSinceEpoch(), static_cast<qint64>(localTime(9, 0)));
    // Unchecking the begin runs the report from the first data.
    beginCheck->click();
    EXPECT_FALSE(live.controller().settings().contains(u"Begin"));
    EXPECT_FALSE(pickers[0]->isEnabled());
    EXPECT_EQ(window.view().content().begin, localTime(8, 0));
}

TEST_F(ReportWindow, ViewMenuFollowsTheReportAndClosingIsRemembered) {
    HXLiveReportWindow live(source, defaults, time, time);
    live.showReportWindow();
    HXReportWindow& window = *live.window();
    EXPECT_EQ(window.viewButton().toolTip(), QStringLiteral("View"));
    QMenu& menu = window.viewMenu();
    Q_EMIT menu.aboutToShow();
    QStringList titles;
    for (QAction* action : menu.actions())
        titles.append(action->text());
    EXPECT_EQ(titles, (QStringList{QStringLiteral("View"), QStringLiteral("as Time Lapse"),
                                   QStringLiteral("as Time Portions"), QString(),
                                   QStringLiteral("Foreground Activity"), QStringLiteral("Total Activity"),
                                   QString(), QStringLiteral("Show Percentages"),
                                   QStringLiteral("Express >=24-Hour Intervals in Days"), QString(),
                                   QStringLiteral("Color Scheme")}));
    EXPECT_TRUE(menu.actions()[1]->isChecked());
    menu.actions()[2]->trigger();
    EXPECT_EQ(live.controller().timeFormat(), 1);
    menu.actions()[4]->trigger();
    EXPECT_FALSE(live.controller().drawFrontActivity());
    QMenu* schemes = menu.actions()[10]->menu();
    ASSERT_TRUE(schemes);
    schemes->actions().last()->trigger();
    EXPECT_EQ(defaults.integerForKey(u"Color Scheme"), 2);

    window.close();
    EXPECT_TRUE(defaults.boolForKey(u"Report: Default: Closed"));
    EXPECT_TRUE(defaults.boolForKey(u"Report: Default: Closed Last"));
    live.openUnlessClosed();
    EXPECT_FALSE(window.isVisible());
    live.toggleReportWindow();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(defaults.boolForKey(u"Report: Default: Closed"));
}

TEST_F(ReportWindow, FrameIsKeptUnderTheAutosaveName) {
    HXLiveReportWindow live(source, defaults, time, time);
    live.showReportWindow();
    HXReportWindow& window = *live.window();
    window.resize(520, 430);
    window.move(40, 60);
    EXPECT_EQ(defaults.stringForKey(u"Window Frame: Report: Default"), QStringLiteral("40 60 520 430"));
    HXReportWindow other(live.controller(), defaults, QStringLiteral("Report: Default"), nullptr);
    other.restoreFrame(QRect(0, 0, 400, 300));
    EXPECT_EQ(other.size(), QSize(520, 430));
    // A frame off every screen, or nonsense, gives way to the default.
    defaults.setString(u"Window Frame: Report: Default", QStringLiteral("90000 90000 520 430"));
    other.restoreFrame(QRect(10, 10, 400, 300));
    EXPECT_EQ(other.size(), QSize(400, 300));
    defaults.setString(u"Window Frame: Report: Default", QStringLiteral("a b c"));
    other.restoreFrame(QRect(10, 10, 410, 300));
    EXPECT_EQ(other.size(), QSize(410, 300));
    const QRect half = HXReportWindow::halfScreenFrame();
    ASSERT_FALSE(half.isNull());
    EXPECT_EQ(half.top(), 150);
}

TEST_F(ReportWindow, SnapshotsOpenOncePerFileShowTheirErrorsAndAreForgottenWhenClosed) {
    const QString good = csv(QStringLiteral("week.csv"),
                             "Application;Window;Foreground Begin (Unix Time);Foreground End (Unix Time)\n"
                             "Editor;main.cpp;1773651600.00;1773655200.00\n"
                             "Mail;;1773655200.00;1773658800.00\n");
    const QString empty = csv(QStringLiteral("empty.csv"), "Application,Foreground Begin (Unix Time)\n");
    HXReportSnapshotManager manager(defaults, time, time);
    manager.showReportSnapshotFromCSVFile(good);
    manager.showReportSnapshotFromCSVFile(good);
    EXPECT_EQ(manager.count(), 1u);
    HXReportWindow* window = manager.windowForPath(good);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("week.csv"));
    EXPECT_FALSE(window->intervalSelector().isVisible());
    ASSERT_TRUE(waitFor([&] { return window->view().statusText().isEmpty(); }));
    EXPECT_EQ(window->view().content().rowCount(), 3);
    EXPECT_TRUE(window->controller().drawFrontActivity());
    EXPECT_FALSE(window->controller().drawTotalActivity());

    manager.showReportSnapshotFromCSVFile(empty);
    HXReportWindow* failed = manager.windowForPath(empty);
    ASSERT_TRUE(failed);
    ASSERT_TRUE(waitFor([&] { return failed->view().statusText() == QStringLiteral("Empty"); }));
    // Cascaded from the first one.
    EXPECT_EQ(failed->pos(), window->pos() + QPoint(24, 24));
    failed->close();
    EXPECT_EQ(manager.count(), 1u);
    EXPECT_EQ(manager.windowForPath(empty), nullptr);
    time.runDue();
    // Opened again, it is read again.
    manager.showReportSnapshotFromCSVFile(empty);
    EXPECT_EQ(manager.count(), 2u);
    EXPECT_EQ(manager.windowForPath(empty)->view().statusText(), QStringLiteral("Loading..."));
}

TEST_F(ReportWindow, ASnapshotsContextMenuIsItsViewMenu) {
    const QString week = csv(QStringLiteral("week.csv"),
                             "Application;Foreground Begin (Unix Time);Foreground End (Unix Time)\n"
                             "Editor;1773651600.00;1773655200.00\n");
    HXReportSnapshotManager manager(defaults, time, time);
    manager.showReportSnapshotFromCSVFile(week);
    HXReportWindow* window = manager.windowForPath(week);
    ASSERT_TRUE(window);
    ASSERT_TRUE(waitFor([&] { return window->view().statusText().isEmpty(); }));
    HXReportView& view = window->view();
    view.grab();
    QPoint row(-1, -1);
    for (int y = 0; y < view.height() && row.y() < 0; ++y) {
        if (view.eventLogAtLocation(QPointF(view.width() / 2, y)))
            row = QPoint(view.width() / 2, y);
    }
    ASSERT_GE(row.y(), 0);

    QStringList shown;
    QTimer::singleShot(0, &view, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* action : menu->actions())
            shown.append(action->text() + (action->isEnabled() ? QString() : QStringLiteral(" (off)")));
        // "as Time Portions".
        menu->actions()[2]->trigger();
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, row, view.mapToGlobal(row));
    QApplication::sendEvent(&view, &event);
    ASSERT_GE(shown.size(), 6);
    EXPECT_EQ(shown[0], QStringLiteral("View (off)"));
    EXPECT_EQ(shown[1], QStringLiteral("as Time Lapse"));
    // A snapshot shows what its file holds.
    EXPECT_EQ(shown[4], QStringLiteral("Foreground Activity (off)"));
    EXPECT_EQ(shown[5], QStringLiteral("Total Activity (off)"));
    EXPECT_EQ(window->controller().timeFormat(), 1);
}

TEST_F(ReportWindow, SamplingTicksRedrawTheLiveReportOnceASecond) {
    HXLiveReportWindow live(source, defaults, time, time);
    live.showReportWindow();
    const HXReportView& view = live.window()->view();
    live.updateIgnoringVisibility(false);
    EXPECT_EQ(view.content().last, localTime(12, 0));
    source.configuration()->setValue(u"Last Timestamp", localTime(12, 0, 1));
    time.advance(0.5);
    live.updateIgnoringVisibility(false);
    EXPECT_EQ(view.content().last, localTime(12, 0));
    time.advance(0.5);
    live.updateIgnoringVisibility(false);
    EXPECT_EQ(view.content().last, localTime(12, 0, 1));
    // What the user changes shows at once.
    source.configuration()->setValue(u"Last Timestamp", localTime(12, 0, 2));
    live.updateIgnoringVisibility(true);
    EXPECT_EQ(view.content().last, localTime(12, 0, 2));
    // A hidden window is left alone.
    live.window()->hide();
    source.configuration()->setValue(u"Last Timestamp", localTime(12, 0, 3));
    time.advance(2);
    live.updateIgnoringVisibility(false);
    EXPECT_EQ(view.content().last, localTime(12, 0, 2));
}

TEST_F(ReportWindow, ThePictureOfTheLiveReportDrawsItsRowsWithoutAWindow) {
    HXLiveReportWindow live(source, defaults, time, time);
    const auto inked = [](const QImage& image) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        return count;
    };
    live.updateIgnoringVisibility(true);
    const QImage bare = live.liveReportImage(QSize(64, 48), false);
    EXPECT_EQ(bare.size(), QSize(64, 48));
    EXPECT_FALSE(live.window());
    const int one = inked(bare);
    EXPECT_GT(one, 0);
    EXPECT_LT(one, 64 * 48);
    // With its background every pixel is covered.
    EXPECT_EQ(inked(live.liveReportImage(QSize(64, 48), true)), 64 * 48);
    // A second application adds a row: the picture changes.
    source.listApplications()->append(
        reportRecord(QStringLiteral("Mail"), {localTime(10, 0), -localTime(11, 30)}));
    live.updateIgnoringVisibility(true);
    EXPECT_NE(live.liveReportImage(QSize(64, 48), false), bare);
}

TEST_F(ReportWindow, TheScrollBarsKnobStandsOutFromItsTrackInEveryScheme) {
    for (int i = 0; i < 12; ++i)
        source.listApplications()->append(
            reportRecord(QStringLiteral("App %1").arg(i), {localTime(9, 0), -localTime(9, 30)}));
    HXLiveReportWindow live(source, defaults, time, time);
    live.showReportWindow();
    HXReportWindow& window = *live.window();
    window.resize(400, 300);
    auto* area = window.findChild<QScrollArea*>();
    ASSERT_TRUE(area);
    QScrollBar* bar = area->verticalScrollBar();
    ASSERT_TRUE(waitFor([&] { return bar->isVisible() && bar->maximum() > 0; }));
    bar->setValue(0);
    for (const int scheme : {0, 1, 2}) {
        defaults.setInteger(u"Color Scheme", scheme);
        const QImage picture = bar->grab().toImage();
        // The knob at the top, the track at the bottom, both down the middle of the bar.
        const QColor knob = picture.pixelColor(picture.width() / 2, 12);
        const QColor track = picture.pixelColor(picture.width() / 2, picture.height() - 4);
        EXPECT_EQ(track, HXReportBackgroundColor(HXColorSchemeFromInteger(scheme))) << scheme;
        EXPECT_GE(std::abs(knob.lightness() - track.lightness()), 60) << scheme;
        EXPECT_EQ(knob.lightness() > track.lightness(), scheme != 2) << scheme;
    }
}

TEST_F(ReportWindow, TheWindowIsNoNarrowerThanItsControlsNeed) {
    HXLiveReportWindow live(source, defaults, time, time);
    live.showReportWindow();
    HXReportWindow& window = *live.window();
    const auto pickers = window.findChildren<QDateTimeEdit*>();
    ASSERT_EQ(pickers.size(), 2);
    ASSERT_TRUE(pickers[0]->isVisible());
    window.resize(200, 100);
    QCoreApplication::processEvents();
    EXPECT_GE(window.height(), 200);
    for (QDateTimeEdit* picker : pickers)
        EXPECT_GE(picker->width(), picker->sizeHint().width());
    EXPECT_GE(window.intervalSelector().width(), window.intervalSelector().sizeHint().width());
}

TEST_F(ReportWindow, TheRowsFitTheViewportAtEveryWidthAndNeverScrollSideways) {
    HXLiveReportWindow live(source, defaults, time, time);
    live.showReportWindow();
    HXReportWindow& window = *live.window();
    window.resize(420, 700);
    auto* area = window.findChild<QScrollArea*>();
    ASSERT_TRUE(area);
    const auto fits = [&] {
        return area->widget()->width() == area->viewport()->width() &&
               area->horizontalScrollBar()->maximum() == 0 && !area->horizontalScrollBar()->isVisible();
    };
    ASSERT_TRUE(waitFor(fits));
    // Rows arriving on a tick bring the vertical scroll bar, which narrows the viewport but not the window.
    for (int i = 0; i < 20; ++i)
        source.listApplications()->append(
            reportRecord(QStringLiteral("App %1").arg(i), {localTime(9, 0), -localTime(9, 30)}));
    live.updateIgnoringVisibility(true);
    ASSERT_TRUE(waitFor([&] { return area->verticalScrollBar()->isVisible(); }));
    EXPECT_TRUE(waitFor(fits)) << area->widget()->width() << " " << area->viewport()->width();
    for (const int width : {380, 401, 517, 640, 999}) {
        window.resize(width, 500);
        EXPECT_TRUE(waitFor(fits)) << width << ": " << area->widget()->width() << " "
                                   << area->viewport()->width();
    }
    // And they go again: the rows widen to the whole viewport.
    while (source.listApplications()->count() > 1)
        source.listApplications()->removeAt(source.listApplications()->count() - 1);
    live.updateIgnoringVisibility(true);
    ASSERT_TRUE(waitFor([&] { return !area->verticalScrollBar()->isVisible(); }));
    EXPECT_TRUE(waitFor(fits)) << area->widget()->width() << " " << area->viewport()->width();
}

TEST_F(ReportWindow, TheViewButtonsArrowSitsBesideItsTextOnItsLine) {
    HXLiveReportWindow live(source, defaults, time, time);
    live.showReportWindow();
    QToolButton& button = live.window()->viewButton();
    ASSERT_TRUE(button.menu());
    EXPECT_GE(button.width(), button.sizeHint().width());
    const QImage picture = button.grab().toImage();
    const QColor background = picture.pixelColor(0, 0);
    const auto inked = [&](int x, int y) {
        const QColor c = picture.pixelColor(x, y);
        return std::abs(c.lightness() - background.lightness()) > 60;
    };
    // The columns with ink, from the right: the arrow, a gap, then the text.
    const auto columnInk = [&](int x, int* top, int* bottom) {
        *top = -1;
        for (int y = 0; y < picture.height(); ++y) {
            if (inked(x, y)) {
                if (*top < 0)
                    *top = y;
                *bottom = y;
            }
        }
        return *top >= 0;
    };
    int x = picture.width() - 1;
    int top = 0;
    int bottom = 0;
    while (x > 0 && !columnInk(x, &top, &bottom))
        --x;
    int arrowTop = picture.height();
    int arrowBottom = -1;
    const int arrowRight = x;
    while (x > 0 && columnInk(x, &top, &bottom)) {
        arrowTop = std::min(arrowTop, top);
        arrowBottom = std::max(arrowBottom, bottom);
        --x;
    }
    const int arrowLeft = x + 1;
    while (x > 0 && !columnInk(x, &top, &bottom))
        --x;
    ASSERT_GT(x, 0) << "no text left of the arrow";
    int textTop = picture.height();
    int textBottom = -1;
    for (; x >= 0; --x) {
        if (columnInk(x, &top, &bottom)) {
            textTop = std::min(textTop, top);
            textBottom = std::max(textBottom, bottom);
        }
    }
    EXPECT_GT(arrowRight - arrowLeft, 2);
    // Beside the text, centred on its line: not in a corner below it.
    EXPECT_LE(std::abs((arrowTop + arrowBottom) - (textTop + textBottom)), 4)
        << arrowTop << "-" << arrowBottom << " text " << textTop << "-" << textBottom;
    EXPECT_GT(arrowTop, textTop);
    EXPECT_LT(arrowBottom, textBottom);
}
