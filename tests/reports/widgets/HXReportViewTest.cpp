// The report view's gestures on virtual time: dragging the knob's edges and body with quantisation (and
// without it while Control is held), stepping before and after the knob while the button is held, marking
// a span with its short animation, the double click back to the named interval; and its size.
#include "ReportViewTestSupport.h"

#include "reports/widgets/HXReportView.h"

#include <QAccessible>
#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ReportView : public testing::Test {
protected:
    ReportView() : defaults(folder.file(QStringLiteral("Defaults.plist"))) {
        HXReportSettings::registerLiveReportDefaults(defaults, QStringLiteral("Default"));
        data.first = localTime(8, 0);
        data.last = localTime(12, 0);
        time.setNow(data.last);
        data.sources.push_back(reportRecord(QStringLiteral("Editor"), {localTime(8, 30), -localTime(11, 30)},
                                            {localTime(8, 0), -localTime(12, 0)}));
        controller = std::make_unique<HXReportController>(
            HXReportSettings(QStringLiteral("Default"), defaults), &data, time, defaults, true);
        viewport.resize(624, 300);
        view = std::make_unique<HXReportView>(*controller, defaults, time, time, &viewport);
        view->setKeyRepeatTiming(HXKeyRepeatTiming{0.5, 0.1});
        // 10:00 to 11:00 of 08:00 to 12:00: the knob from x = 300, 174 wide.
        controller->setBeginTimestamp(localTime(10, 0), localTime(11, 0));
    }
    ~ReportView() override {
        view.reset();
        controller.reset();
    }

    std::pair<double, double> interval() {
        double b = 0;
        double e = 0;
        controller->getBeginTimestamp(&b, &e, nullptr, nullptr);
        return {b, e};
    }
    void press(QPointF at, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mousePress(view.get(), Qt::LeftButton, modifiers, at.toPoint());
    }
    void move(QPointF at, Qt::KeyboardModifiers modifiers = {}) {
        QMouseEvent event(QEvent::MouseMove, at, view->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                          modifiers);
        QApplication::sendEvent(view.get(), &event);
    }
    void release(QPointF at, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseRelease(view.get(), Qt::LeftButton, modifiers, at.toPoint());
    }

    static constexpr double kRibbon = 293;

    ScratchFolder folder;
    HXUserDefaults defaults;
    HXVirtualTime time;
    TestReportData data;
    std::unique_ptr<HXReportController> controller;
    QWidget viewport;
    std::unique_ptr<HXReportView> view;
};

} // namespace

TEST_F(ReportView, SizeFollowsTheRowsAndTheRibbon) {
    EXPECT_TRUE(view->content().showsRibbon());
    EXPECT_EQ(view->content().rowCount(), 1);
    EXPECT_EQ(view->size(), QSize(624, 300));
    for (int i = 0; i < 9; ++i)
        data.sources.push_back(
            reportRecord(QStringLiteral("App %1").arg(i), {localTime(10, 5), -localTime(10, 6)}));
    view->updateIgnoringVisibility(true);
    EXPECT_EQ(view->height(), 10 * 46 + 15);
    // All of the data: no ribbon, and 15 points less.
    controller->setBeginTimestamp(-1, -1);
    EXPECT_FALSE(view->content().showsRibbon());
    EXPECT_EQ(view->height(), 10 * 46);
}

TEST_F(ReportView, DraggingTheBeginEdgeSnapsToTheQuantumUnlessControlIsHeld) {
    press(QPointF(302, kRibbon));
    // 317.5 points is 10:07: nearer to 10:00.
    move(QPointF(317.5, kRibbon));
    EXPECT_EQ(interval(), std::make_pair(localTime(10, 0), localTime(11, 0)));
    move(QPointF(270, kRibbon));
    // 270 points is 09:48 (24 s a point): 09:45.
    EXPECT_EQ(interval().first, localTime(9, 45));
    move(QPointF(320, kRibbon));
    EXPECT_EQ(interval().first, localTime(10, 15));
    move(QPointF(317.5, kRibbon), Qt::ControlModifier);
    EXPECT_EQ(interval().first, localTime(10, 7));
    release(QPointF(317.5, kRibbon));
    EXPECT_EQ(controller->settings().integerForKey(u"Interval"), 0);
    // The end stays; the begin never passes it.
    press(QPointF(318, kRibbon));
    move(QPointF(620, kRibbon));
    EXPECT_EQ(interval(), std::make_pair(localTime(11, 0), localTime(11, 0)));
    release(QPointF(620, kRibbon));
}

TEST_F(ReportView, DraggingTheEndEdgeAndTheBody) {
    // The end edge at 474: dragged to 11:22 (x = 24 + 11:22's 505 points) it snaps to 11:15.
    press(QPointF(470, kRibbon));
    move(QPointF(24 + 505, kRibbon));
    EXPECT_EQ(interval(), std::make_pair(localTime(10, 0), localTime(11, 15)));
    // Past the data: to the last data ("none").
    move(QPointF(700, kRibbon));
    EXPECT_EQ(interval().second, data.last);
    EXPECT_FALSE(controller->settings().contains(u"End"));
    release(QPointF(700, kRibbon));

    controller->setBeginTimestamp(localTime(10, 0), localTime(11, 0));
    // The body moved by 60 points (24 minutes) lands on 10:30.
    press(QPointF(380, kRibbon));
    move(QPointF(440, kRibbon));
    EXPECT_EQ(interval(), std::make_pair(localTime(10, 30), localTime(11, 30)));
    EXPECT_EQ(view->cursor().shape(), Qt::ClosedHandCursor);
    move(QPointF(440, kRibbon), Qt::ControlModifier);
    EXPECT_EQ(interval(), std::make_pair(localTime(10, 24), localTime(11, 24)));
    // The knob stops at the end of the data.
    move(QPointF(900, kRibbon));
    EXPECT_EQ(interval(), std::make_pair(localTime(11, 0), data.last));
    release(QPointF(900, kRibbon));
}

TEST_F(ReportView, HoldingTheButtonBeforeOrAfterTheKnobSteps) {
    press(QPointF(100, kRibbon));
    EXPECT_EQ(interval(), std::make_pair(localTime(9, 0), localTime(10, 0)));
    time.advance(0.49);
    EXPECT_EQ(interval().first, localTime(9, 0));
    // After the key-repeat delay: one more hour back, which reaches the first data.
    time.advance(0.01);
    EXPECT_EQ(interval(), std::make_pair(data.first, localTime(9, 0)));
    release(QPointF(100, kRibbon));
    time.advance(5);
    EXPECT_EQ(interval(), std::make_pair(data.first, localTime(9, 0)));

    controller->setBeginTimestamp(localTime(9, 0), localTime(10, 0));
    press(QPointF(560, kRibbon));
    EXPECT_EQ(interval(), std::make_pair(localTime(10, 0), localTime(11, 0)));
    time.advance(0.5);
    EXPECT_EQ(interval(), std::make_pair(localTime(11, 0), data.last));
    time.advance(0.1);
    release(QPointF(560, kRibbon));
    // With Alt the edge is dragged instead: 100 points is 08:40, which snaps to 08:45.
    controller->setBeginTimestamp(localTime(10, 0), localTime(11, 0));
    press(QPointF(100, kRibbon), Qt::AltModifier);
    EXPECT_EQ(interval(), std::make_pair(localTime(8, 45), localTime(11, 0)));
    release(QPointF(100, kRibbon));
}

TEST_F(ReportView, MarkingASpanAnimatesToItAndADoubleClickReturnsToTheNamedInterval) {
    // Over the rows 624 points are the hour shown: 156 is 10:15, 468 is 10:45.
    press(QPointF(156, 20));
    move(QPointF(468, 20));
    EXPECT_TRUE(view->pointer().isSelectingSpan());
    release(QPointF(468, 20));
    EXPECT_TRUE(view->isAnimating());
    time.advance(0.05);
    EXPECT_NEAR(view->content().begin, localTime(10, 7, 30), 30);
    EXPECT_EQ(interval(), std::make_pair(localTime(10, 0), localTime(11, 0)));
    time.advance(0.1);
    EXPECT_FALSE(view->isAnimating());
    EXPECT_EQ(interval(), std::make_pair(localTime(10, 15), localTime(10, 45)));
    EXPECT_EQ(view->content().begin, localTime(10, 15));

    // A click without a drag changes nothing; a double click goes back to "Today".
    QTest::mouseClick(view.get(), Qt::LeftButton, {}, QPoint(300, 20));
    time.advance(1);
    EXPECT_EQ(interval(), std::make_pair(localTime(10, 15), localTime(10, 45)));
    QTest::mouseDClick(view.get(), Qt::LeftButton, {}, QPoint(300, 20));
    EXPECT_EQ(controller->settings().integerForKey(u"Interval"), 1);
    EXPECT_EQ(interval(), std::make_pair(data.first, data.last));
    EXPECT_EQ(view->eventLogAtLocation(QPointF(300, 20)), nullptr);
    view->grab();
    ASSERT_TRUE(view->eventLogAtLocation(QPointF(300, 20)));
    EXPECT_EQ(view->eventLogAtLocation(QPointF(300, 20))->stringForKey(HXKeys::Name),
              QStringLiteral("Editor"));
}

TEST_F(ReportView, RowsAreElementsOfTheAccessibilityTree) {
    data.sources.push_back(reportRecord(QStringLiteral("Mail \n  Inbox"),
                                        {localTime(10, 10), -localTime(10, 40)}, {},
                                        QStringLiteral("_Window")));
    defaults.setBool(u"Reports Show Percentages", true);
    view->updateIgnoringVisibility(true);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(view.get());
    ASSERT_TRUE(list);
    EXPECT_EQ(list->role(), QAccessible::List);
    ASSERT_EQ(list->childCount(), 2);
    QAccessibleInterface* editor = list->child(0);
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->role(), QAccessible::ListItem);
    EXPECT_EQ(editor->text(QAccessible::Name), QStringLiteral("Editor"));
    EXPECT_EQ(editor->text(QAccessible::Description), QStringLiteral("100% - 1:00:00 (Total: 1:00:00)"));
    EXPECT_EQ(list->child(1)->text(QAccessible::Name), QStringLiteral("Mail Inbox"));
    EXPECT_EQ(list->indexOfChild(list->child(1)), 1);
    EXPECT_EQ(editor->parent(), list);
    // Another report list, other rows.
    controller->setBeginTimestamp(localTime(10, 45), localTime(11, 0));
    EXPECT_EQ(list->childCount(), 1);
}

namespace {

// The region of every paint event the view gets.
class PaintRecorder : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            region += static_cast<QPaintEvent*>(event)->region();
        }
        return false;
    }
    void reset() {
        paints = 0;
        region = QRegion();
    }
    int paints = 0;
    QRegion region;
};

} // namespace

TEST_F(ReportView, RedrawsOnlyWhatChanged) {
    data.sources.push_back(reportRecord(QStringLiteral("Mail"), {localTime(10, 10), -localTime(10, 40)}));
    viewport.show();
    QApplication::setActiveWindow(&viewport);
    QCoreApplication::processEvents();
    view->updateIgnoringVisibility(true);
    PaintRecorder recorder;
    view->installEventFilter(&recorder);
    const auto settle = [&] {
        recorder.reset();
        QCoreApplication::processEvents();
    };
    settle();

    // Asked again with nothing changed, as sampling ticks do: nothing is drawn.
    view->updateIgnoringVisibility(true);
    settle();
    EXPECT_EQ(recorder.paints, 0);

    // Mail's log grew: its row alone is drawn again.
    const auto rowOf = [&](const QString& name) {
        for (const HXReportRowRect& row : view->rowRects()) {
            if (row.log->stringForKey(HXKeys::Name) == name)
                return row.rect.toAlignedRect();
        }
        return QRect();
    };
    const QRect editorRow = rowOf(QStringLiteral("Editor"));
    const QRect mailRow = rowOf(QStringLiteral("Mail"));
    ASSERT_FALSE(editorRow.isEmpty());
    ASSERT_FALSE(mailRow.isEmpty());
    data.sources[1]->arrayForKey(HXKeys::FrontActiveLog)->replace(1, -localTime(10, 45));
    view->updateIgnoringVisibility(true);
    settle();
    EXPECT_EQ(recorder.paints, 1);
    EXPECT_TRUE(recorder.region.contains(mailRow));
    EXPECT_FALSE(recorder.region.intersects(editorRow));

    // The interval's end moves by a second: Editor, active until then, shows a second more in its fine
    // print, and only its labels are drawn again; no bar moves a point, and Mail's row is not drawn again.
    controller->setBeginTimestamp(localTime(10, 0), localTime(11, 0, 1));
    settle();
    // The ribbon's knob may move by an eighth of a point meanwhile.
    const QRectF visible = view->visibleReportRect();
    const QRect rowsArea =
        QRectF(visible.left(), visible.top(), visible.width(), visible.height() - kHXReportRibbonHeight)
            .toAlignedRect();
    for (int second = 2; second < 6; ++second) {
        controller->setBeginTimestamp(localTime(10, 0), localTime(11, 0, second));
        settle();
        const QRect drawnRows = recorder.region.intersected(rowsArea).boundingRect();
        EXPECT_TRUE(editorRow.contains(drawnRows)) << second;
        EXPECT_LT(drawnRows.height(), editorRow.height()) << second;
        EXPECT_GT(drawnRows.height(), 0) << second;
        EXPECT_FALSE(recorder.region.intersects(mailRow)) << second;
    }
    // By half a minute: the bars move, and every row is drawn again.
    controller->setBeginTimestamp(localTime(10, 0), localTime(11, 0, 30));
    settle();
    EXPECT_GE(recorder.paints, 1);
    EXPECT_TRUE(recorder.region.contains(editorRow.united(mailRow)));

    // A setting that changes the picture draws all of it.
    controller->setTimeFormat(1);
    settle();
    EXPECT_TRUE(recorder.region.contains(view->visibleReportRect().toAlignedRect()));
}
