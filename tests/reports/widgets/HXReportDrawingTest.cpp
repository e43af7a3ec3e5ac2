// The report's drawing on images: bars and their one-point minimum without overdraw, portions, rows and
// sections, sticky headers, the ribbon's geometry, the messages, the schemes.
#include "ReportViewTestSupport.h"

#include "reports/widgets/HXReportDrawing.h"
#include "reports/widgets/HXReportGeometry.h"

#include "foundation/HXLocalization.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace HXKeys;

namespace {

constexpr double kBegin = 100000;

QImage draw(const HXReportViewContent& content, const HXReportDrawingStyle& style, QSize size,
            bool labels = false, QRectF visible = QRectF(), std::vector<HXReportRowRect>* rects = nullptr) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    const QRectF bounds(QPointF(0, 0), QSizeF(size));
    drawReportInBounds(painter, content, style, HXReportPointerState(), bounds,
                       visible.isNull() ? bounds : visible, true, labels, false, rects);
    return image;
}

HXReportDrawingStyle totalOnly() {
    HXReportDrawingStyle style;
    style.drawFrontActivity = false;
    return style;
}

// The columns of a pixel row whose colour differs from the background's.
std::vector<int> paintedColumns(const QImage& image, int y, QColor background) {
    std::vector<int> columns;
    for (int x = 0; x < image.width(); ++x) {
        if (image.pixelColor(x, y) != background)
            columns.push_back(x);
    }
    return columns;
}

const QColor kOriginalBackground(56, 54, 60);

} // namespace

TEST(HXReportDrawing, BarsStartAndEndOnWholePointsWithAOnePointMinimum) {
    // 100 points for 1010 seconds: 0.1 point per second.
    const HXDictionaryRef record =
        reportRecord(QStringLiteral("A"), {kBegin + 100, -(kBegin + 200), kBegin + 503, -(kBegin + 503.4)});
    const HXReportViewContent content = reportContent({record}, kBegin, kBegin + 1010, kBegin, kBegin + 1010);
    HXReportDrawingStyle style;
    style.frontColor = QColor(200, 0, 0);
    const QImage image = draw(content, style, QSize(100, 20));
    const std::vector<int> columns = paintedColumns(image, 10, kOriginalBackground);
    std::vector<int> expected;
    for (int x = 10; x < 20; ++x)
        expected.push_back(x);
    expected.push_back(50);
    EXPECT_EQ(columns, expected);
    EXPECT_EQ(image.pixelColor(15, 10), QColor(200, 0, 0));
    EXPECT_FALSE(content.showsRibbon());
}

TEST(HXReportDrawing, TinyAdjacentBarsAreNotDrawnTwice) {
    // Ten stretches of a tenth of a second within one point, and a wide one: the translucent total
    // colour covers every pixel once.
    std::vector<double> log;
    for (int i = 0; i < 10; ++i)
        log.insert(log.end(), {kBegin + 300 + i * 0.5, -(kBegin + 300.1 + i * 0.5)});
    log.insert(log.end(), {kBegin + 600, -(kBegin + 700)});
    const HXReportViewContent content = reportContent({reportRecord(QStringLiteral("A"), {}, log)}, kBegin,
                                                      kBegin + 1010, kBegin, kBegin + 1010);
    const QImage image = draw(content, totalOnly(), QSize(100, 20));
    const std::vector<int> columns = paintedColumns(image, 10, kOriginalBackground);
    ASSERT_FALSE(columns.empty());
    EXPECT_EQ(columns.front(), 30);
    EXPECT_EQ(image.pixelColor(30, 10), image.pixelColor(65, 10));
    EXPECT_EQ(image.pixelColor(31, 10), kOriginalBackground);
    // Touching stretches merge into one bar of the same colour throughout.
    const HXReportViewContent touching =
        reportContent({reportRecord(QStringLiteral("B"), {},
                                    {kBegin + 100, -(kBegin + 150.05), kBegin + 150, -(kBegin + 200)})},
                      kBegin, kBegin + 1010, kBegin, kBegin + 1010);
    const QImage merged = draw(touching, totalOnly(), QSize(100, 20));
    EXPECT_EQ(merged.pixelColor(14, 10), merged.pixelColor(15, 10));
    EXPECT_EQ(paintedColumns(merged, 10, kOriginalBackground).size(), 10u);
}

TEST(HXReportDrawing, PortionsAreNormalisedToTheLongestRow) {
    const HXReportViewContent content =
        reportContent({reportRecord(QStringLiteral("long"), {}, {kBegin + 10, -(kBegin + 210)}),
                       reportRecord(QStringLiteral("short"), {}, {kBegin + 500, -(kBegin + 600)})},
                      kBegin, kBegin + 1000, kBegin, kBegin + 1000);
    HXReportDrawingStyle style = totalOnly();
    style.timeFormat = 1;
    const QImage image = draw(content, style, QSize(200, 40));
    EXPECT_EQ(paintedColumns(image, 5, kOriginalBackground).size(), 200u);
    EXPECT_EQ(paintedColumns(image, 30, kOriginalBackground).size(), 100u);
    EXPECT_EQ(paintedColumns(image, 30, kOriginalBackground).front(), 0);
}

TEST(HXReportDrawing, RowsShareTheHeightAndSectionsGetHeadersOrAGap) {
    std::vector<HXDictionaryRef> records{
        reportRecord(QStringLiteral("App"), {kBegin + 1, -(kBegin + 2)}),
        reportRecord(QStringLiteral("Window"), {kBegin + 1, -(kBegin + 2)}, {}, QStringLiteral("_Window")),
        reportRecord(QStringLiteral("Pool"), {kBegin + 1, -(kBegin + 2)}, {}, QStringLiteral("_Pool"),
                     QStringLiteral("Pool Item")),
        reportRecord(QStringLiteral("Item"), {kBegin + 1, -(kBegin + 2)}, {}, QStringLiteral("Mail"),
                     QStringLiteral("Pool Item"))};
    // The interval is not all of the data: the ribbon takes 15 points.
    const HXReportViewContent content =
        reportContent(records, kBegin, kBegin + 100, kBegin - 100, kBegin + 100);
    ASSERT_TRUE(content.showsRibbon());
    ASSERT_TRUE(content.hasSections());
    const QRectF bounds(0, 0, 300, 259);
    const std::vector<QRectF> labelled = HXReportRowRectangles(content, bounds, true);
    ASSERT_EQ(labelled.size(), 4u);
    // 259 - 15 - 60 = 184 = 4 x 46.
    EXPECT_EQ(labelled[0], QRectF(0, 30, 300, 46));
    EXPECT_EQ(labelled[1], QRectF(0, 76, 300, 46));
    EXPECT_EQ(labelled[2], QRectF(0, 152, 300, 46));
    EXPECT_EQ(labelled[3].bottom(), 244);
    const std::vector<QRectF> bare = HXReportRowRectangles(content, bounds, false);
    EXPECT_EQ(bare[0].top(), 0);
    EXPECT_EQ(bare[2].top() - bare[1].bottom(), kHXReportSectionGap);
    EXPECT_EQ(bare[3].bottom(), 244);
    // Uneven heights differ by a point at most and fill the height exactly.
    const std::vector<QRectF> uneven = HXReportRowRectangles(content, QRectF(0, 0, 300, 262), true);
    for (const QRectF& r : uneven)
        EXPECT_TRUE(r.height() == 46 || r.height() == 47) << r.height();
    EXPECT_EQ(uneven.back().bottom(), 247);
    // One record takes everything but the ribbon.
    const HXReportViewContent one =
        reportContent({records[0]}, kBegin, kBegin + 100, kBegin - 100, kBegin + 100);
    EXPECT_EQ(HXReportRowRectangles(one, bounds, true), std::vector<QRectF>{QRectF(0, 0, 300, 244)});
    EXPECT_TRUE(HXReportRowIsIndented(*records[1]));
    EXPECT_TRUE(HXReportRowIsIndented(*records[3]));
    EXPECT_FALSE(HXReportRowIsIndented(*records[2]));
}

TEST(HXReportDrawing, HeadersStickAndThePoolsHeaderPushesTheAppsHeaderUp) {
    std::vector<HXDictionaryRef> records;
    for (int i = 0; i < 3; ++i)
        records.push_back(reportRecord(QStringLiteral("App %1").arg(i), {kBegin + 1, -(kBegin + 2)}));
    for (int i = 0; i < 3; ++i)
        records.push_back(reportRecord(QStringLiteral("Pool %1").arg(i), {kBegin + 1, -(kBegin + 2)}, {},
                                       QStringLiteral("_Pool"), QStringLiteral("Pool Item")));
    const HXReportViewContent content = reportContent(records, kBegin, kBegin + 100, kBegin, kBegin + 100);
    const QSize size(200, 6 * 46 + 60);
    const auto [appsTop, poolsTop] = HXReportHeaderTops(content, QRectF(QPointF(0, 0), QSizeF(size)));
    EXPECT_EQ(appsTop, 0);
    EXPECT_EQ(poolsTop, 30 + 3 * 46);
    const QImage unscrolled = draw(content, HXReportDrawingStyle(), size, true);
    const QColor header = unscrolled.pixelColor(150, 3);
    ASSERT_NE(header, kOriginalBackground);

    // Scrolled by 100: the "Apps" header sits at the top of the visible part, a shadow below it.
    const QImage scrolled = draw(content, HXReportDrawingStyle(), size, true, QRectF(0, 100, 200, 150));
    EXPECT_EQ(scrolled.pixelColor(150, 103), header);
    EXPECT_EQ(scrolled.pixelColor(150, 127), header);
    EXPECT_NE(scrolled.pixelColor(150, 131), header);
    EXPECT_LT(scrolled.pixelColor(150, 131).lightness(), unscrolled.pixelColor(150, 131).lightness());
    const QRectF bounds(QPointF(0, 0), QSizeF(size));
    EXPECT_EQ(HXReportStickyHeaderTops(content, bounds, QRectF(0, 0, 200, 150)), std::make_pair(0.0, 168.0));
    EXPECT_EQ(HXReportStickyHeaderTops(content, bounds, QRectF(0, 100, 200, 150)),
              std::make_pair(100.0, 168.0));
    // Scrolled by 150: "Pools" at 168 pushes "Apps" up to 138; scrolled further, "Pools" sticks.
    EXPECT_EQ(HXReportStickyHeaderTops(content, bounds, QRectF(0, 150, 200, 150)),
              std::make_pair(138.0, 168.0));
    EXPECT_EQ(HXReportStickyHeaderTops(content, bounds, QRectF(0, 250, 200, 86)),
              std::make_pair(220.0, 250.0));
    const QImage pushed = draw(content, HXReportDrawingStyle(), size, true, QRectF(0, 150, 200, 150));
    EXPECT_EQ(pushed.pixelColor(150, 152), header);
    EXPECT_EQ(pushed.pixelColor(150, 170), header);
    EXPECT_NE(pushed.pixelColor(150, 200), header);
    // Nothing is drawn outside the visible part.
    EXPECT_EQ(pushed.pixelColor(150, 20).alpha(), 0);
}

TEST(HXReportDrawing, RibbonKnobAndItsComponents) {
    // Data from 0 to 7200 s after kBegin, the report the second hour; 624 points: 600 usable.
    HXReportViewContent content = reportContent({}, kBegin + 3600, kBegin + 7200, kBegin, kBegin + 7200);
    const QRectF visible(0, 0, 624, 300);
    double inset = 0;
    const QRectF knob = reportIntervalRibbonKnobFrameInVisibleRect(content, visible, &inset);
    EXPECT_EQ(knob, QRectF(300, 286, 324, 14));
    EXPECT_EQ(inset, 8);
    EXPECT_EQ(reportIntervalRibbonComponentAtXCoordinate(content, 291, visible), HXRibbonBefore);
    EXPECT_EQ(reportIntervalRibbonComponentAtXCoordinate(content, 295, visible), HXRibbonBeginEdge);
    EXPECT_EQ(reportIntervalRibbonComponentAtXCoordinate(content, 307, visible), HXRibbonBeginEdge);
    EXPECT_EQ(reportIntervalRibbonComponentAtXCoordinate(content, 309, visible), HXRibbonBody);
    EXPECT_EQ(reportIntervalRibbonComponentAtXCoordinate(content, 620, visible), HXRibbonEndEdge);
    // A narrow knob grabs a quarter of its width.
    content.begin = kBegin + 7199;
    reportIntervalRibbonKnobFrameInVisibleRect(content, visible, &inset);
    EXPECT_EQ(inset, 6);
    // All data in one moment: the knob spans everything.
    const HXReportViewContent moment = reportContent({}, kBegin, kBegin, kBegin, kBegin);
    EXPECT_EQ(reportIntervalRibbonKnobFrameInVisibleRect(moment, visible).width(), 624);

    // Timestamps and x: the ribbon adds the knob's width after the interval's middle.
    content.begin = kBegin + 3600;
    EXPECT_EQ(xCoordinateForTimestamp(content, kBegin + 1800, visible, true), 150);
    EXPECT_EQ(xCoordinateForTimestamp(content, kBegin + 7200, visible, true), 624);
    EXPECT_EQ(xCoordinateForTimestamp(content, kBegin + 5400, visible, false), 312);
    EXPECT_EQ(timestampAtXCoordinate(content, 150, visible, true, -1, 0, 15, false), kBegin + 1800);
    EXPECT_EQ(timestampAtXCoordinate(content, 624, visible, true, HXRibbonEndEdge, 0, 15, false),
              kBegin + 7200);
    EXPECT_EQ(timestampAtXCoordinate(content, 300, visible, true, HXRibbonBeginEdge, 0, 15, false),
              kBegin + 3600);
}

TEST(HXReportDrawing, QuantisationSnapsToTheNearestQuarterUnlessTheReferenceIsOffTheGrid) {
    const double first = localTime(9, 50);
    const double last = localTime(11, 50);
    EXPECT_EQ(HXQuantizeReportTimestamp(localTime(10, 7, 40), localTime(10, 30), first, last, 15),
              localTime(10, 0));
    EXPECT_EQ(HXQuantizeReportTimestamp(localTime(10, 8), localTime(10, 30), first, last, 15),
              localTime(10, 15));
    // 10:53 rounds to 11:00: a minute of 60 is the next hour.
    EXPECT_EQ(HXQuantizeReportTimestamp(localTime(10, 53), localTime(10, 30), first, last, 15),
              localTime(11, 0));
    // Clamped to the data; not at all at its very bounds, without a reference or a quantum.
    EXPECT_EQ(HXQuantizeReportTimestamp(localTime(9, 51), localTime(10, 30), first, last, 15), first);
    EXPECT_EQ(HXQuantizeReportTimestamp(first, localTime(10, 30), first, last, 15), first);
    EXPECT_EQ(HXQuantizeReportTimestamp(localTime(10, 7), 0, first, last, 15), localTime(10, 7));
    EXPECT_EQ(HXQuantizeReportTimestamp(localTime(10, 7), localTime(10, 30), first, last, 0.5),
              localTime(10, 7));
    // A reference inside the data off the grid keeps its fine position; one at the bounds does not count.
    EXPECT_EQ(HXQuantizeReportTimestamp(localTime(10, 7), localTime(10, 31), first, last, 15),
              localTime(10, 7));
    EXPECT_EQ(HXQuantizeReportTimestamp(localTime(10, 7), first, first, last, 15), localTime(10, 0));
}

TEST(HXReportDrawing, MessagesReplaceTheRows) {
    HXReportDrawingStyle style;
    const HXReportViewContent empty = reportContent({}, kBegin, kBegin + 100, kBegin, kBegin + 100);
    EXPECT_EQ(HXReportMessage(empty, style), HXLocalized("No data in selected time interval"));
    const HXReportViewContent moment = reportContent({}, kBegin, kBegin + 0.0005, kBegin, kBegin + 100);
    EXPECT_FALSE(HXReportMessage(moment, style).isEmpty());
    EXPECT_NE(HXReportMessage(moment, style), HXReportMessage(empty, style));
    const HXReportViewContent full =
        reportContent({reportRecord(QStringLiteral("A"), {kBegin + 1, -(kBegin + 2)})}, kBegin, kBegin + 100,
                      kBegin, kBegin + 100);
    EXPECT_TRUE(HXReportMessage(full, style).isEmpty());
    style.status = QStringLiteral("Loading...");
    EXPECT_EQ(HXReportMessage(full, style), QStringLiteral("Loading..."));
    // The message is drawn in the middle, and nothing of the rows.
    const QImage image = draw(full, style, QSize(300, 100));
    int text = 0;
    for (int x = 0; x < 300; ++x)
        text += image.pixelColor(x, 50) != kOriginalBackground ? 1 : 0;
    EXPECT_GT(text, 20);
    EXPECT_EQ(image.pixelColor(2, 50), kOriginalBackground);
    EXPECT_EQ(image.pixelColor(150, 5), kOriginalBackground);
}

TEST(HXReportDrawing, SchemesHaveTheirOwnBackgroundsAndTotals) {
    const HXReportViewContent content =
        reportContent({reportRecord(QStringLiteral("A"), {}, {kBegin + 100, -(kBegin + 200)})}, kBegin,
                      kBegin + 1010, kBegin, kBegin + 1010);
    std::vector<QColor> backgrounds;
    for (const HXColorScheme scheme : {HXColorScheme::Original, HXColorScheme::Dark, HXColorScheme::Light}) {
        HXReportDrawingStyle style = totalOnly();
        style.scheme = scheme;
        const QImage image = draw(content, style, QSize(100, 20));
        const QColor background = image.pixelColor(80, 10);
        const QColor bar = image.pixelColor(15, 10);
        backgrounds.push_back(background);
        // Total activity lightens dark schemes and darkens the light one.
        if (scheme == HXColorScheme::Light)
            EXPECT_LT(bar.lightness(), background.lightness());
        else
            EXPECT_GT(bar.lightness(), background.lightness());
    }
    EXPECT_NE(backgrounds[0], backgrounds[1]);
    EXPECT_GT(backgrounds[2].lightness(), 200);
    EXPECT_LT(backgrounds[1].lightness(), 60);
}

TEST(HXReportDrawing, NamesAndFinePrint) {
    EXPECT_EQ(HXReportRowName(QStringLiteral("Write:  quarterly\n   report\r\nnow")),
              QStringLiteral("Write: quarterly report now"));
    EXPECT_EQ(HXReportRowName(QStringLiteral("a b")), QStringLiteral("a b"));
    const HXDictionaryRef record =
        reportRecord(QStringLiteral("A"), {kBegin, -(kBegin + 900)}, {kBegin, -(kBegin + 1800)});
    HXReportViewContent content = reportContent({record}, kBegin, kBegin + 3600, kBegin, kBegin + 3600);
    content.reference = 1800;
    HXReportDrawingStyle style;
    EXPECT_EQ(HXReportFinePrint(*record, content, style), QStringLiteral("50% - 15:00 (Total: 30:00)"));
    style.showPercentages = false;
    EXPECT_EQ(HXReportFinePrint(*record, content, style), QStringLiteral("15:00 (Total: 30:00)"));
    style.drawTotalActivity = false;
    EXPECT_EQ(HXReportFinePrint(*record, content, style), QStringLiteral("15:00"));
    style.showPercentages = true;
    // Without a reference the raw interval counts.
    content.reference = 0;
    EXPECT_EQ(HXReportFinePrint(*record, content, style), QStringLiteral("25% - 15:00"));
    style.drawFrontActivity = false;
    style.drawTotalActivity = true;
    EXPECT_EQ(HXReportFinePrint(*record, content, style), QStringLiteral("Total: 50% - 30:00"));
}

TEST(HXReportDrawing, AWindowsBulletSitsUnderItsApplicationsNameWithAGapBeforeItsOwn) {
    // One row of the standard height each: the ink of the name band, with and without the bullet and name.
    const auto nameBand = [](const QString& name, const QString& path) {
        const HXReportViewContent content =
            reportContent({reportRecord(name, {}, {}, path)}, kBegin, kBegin + 1000, kBegin, kBegin + 1000);
        return draw(content, HXReportDrawingStyle(), QSize(300, 46), true);
    };
    // The columns where two pictures differ in the name's band (its upper 60 %, fine print below).
    const auto differing = [](const QImage& a, const QImage& b) {
        std::vector<int> columns;
        for (int x = 0; x < a.width(); ++x) {
            for (int y = 6; y < 26; ++y) {
                if (a.pixelColor(x, y) != b.pixelColor(x, y)) {
                    columns.push_back(x);
                    break;
                }
            }
        }
        return columns;
    };
    const QString window = QStringLiteral("_Window");
    const std::vector<int> bullet = differing(nameBand(QString(), window), nameBand(QString(), QString()));
    const std::vector<int> name =
        differing(nameBand(QStringLiteral("Mail"), window), nameBand(QString(), window));
    const std::vector<int> parent =
        differing(nameBand(QStringLiteral("Mail"), QString()), nameBand(QString(), QString()));
    ASSERT_FALSE(bullet.empty());
    ASSERT_FALSE(name.empty());
    ASSERT_FALSE(parent.empty());
    // The bullet begins where the application's name begins, and the window's name keeps clear of it by
    // at least the bullet's own width.
    EXPECT_LE(std::abs(bullet.front() - parent.front()), 1);
    EXPECT_GE(name.front() - bullet.back() - 1, bullet.back() - bullet.front() + 1);
}

TEST(HXReportDrawing, DrawingOnlyTheExposedRowsLeavesTheSamePixelsThere) {
    // Applications, windows and pools with labels, headers and the ribbon, at a height the rows do not
    // divide evenly: what a view repaints for two changed rows must match the whole picture there.
    std::vector<HXDictionaryRef> records;
    for (int i = 0; i < 9; ++i) {
        const double at = kBegin + 10 * i;
        records.push_back(reportRecord(QStringLiteral("Record %1 with a long name").arg(i), {at, -(at + 30)},
                                       {at, -(at + 60)}, i % 3 == 1 ? QStringLiteral("_Window") : QString()));
    }
    records.push_back(reportRecord(QStringLiteral("Pool"), {kBegin, -(kBegin + 50)}, {},
                                   QStringLiteral("_Pool"), QStringLiteral("Pool Item")));
    records.push_back(reportRecord(QStringLiteral("Item"), {kBegin, -(kBegin + 40)}, {},
                                   QStringLiteral("Mail"), QStringLiteral("Pool Item")));
    HXReportViewContent content = reportContent(records, kBegin, kBegin + 100, kBegin - 100, kBegin + 100);
    content.firstPoolRow = 9;
    ASSERT_TRUE(content.hasSections());
    ASSERT_TRUE(content.showsRibbon());
    const QSize size(420, 611);
    const QRectF bounds(QPointF(0, 0), QSizeF(size));
    const std::vector<QRectF> rows = HXReportRowRectangles(content, bounds, true);
    ASSERT_EQ(rows.size(), records.size());
    const QColor background = HXReportBackgroundColor(HXColorScheme::Original);

    for (const HXColorScheme scheme : {HXColorScheme::Original, HXColorScheme::Dark, HXColorScheme::Light}) {
        HXReportDrawingStyle style;
        style.scheme = scheme;
        std::vector<HXReportRowRect> allRects;
        const QImage whole = draw(content, style, size, true, QRectF(), &allRects);
        // As a widget repaints: the painter clipped to the exposed rows, over stale pixels.
        const QRegion exposed = QRegion(rows[2].toAlignedRect()) + QRegion(rows[10].toAlignedRect());
        QImage part(size, QImage::Format_ARGB32_Premultiplied);
        part.fill(Qt::magenta);
        std::vector<HXReportRowRect> partRects;
        {
            QPainter painter(&part);
            painter.setClipRegion(exposed);
            drawReportInBounds(painter, content, style, HXReportPointerState(), bounds, bounds, true, true,
                               false, &partRects, QRectF(exposed.boundingRect()));
        }
        int compared = 0;
        for (const QRect& r : exposed) {
            for (int y = r.top(); y <= r.bottom(); ++y) {
                for (int x = r.left(); x <= r.right(); ++x, ++compared)
                    ASSERT_EQ(part.pixel(x, y), whole.pixel(x, y)) << x << "," << y;
            }
        }
        EXPECT_GT(compared, 2 * 420 * 40);
        // Hit-testing still knows every row.
        EXPECT_EQ(partRects.size(), allRects.size());
    }

    // Unclipped, a row away from the exposed part shows only the background: it was skipped.
    std::vector<HXReportRowRect> rects;
    QImage part(size, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&part);
        drawReportInBounds(painter, content, HXReportDrawingStyle(), HXReportPointerState(), bounds, bounds,
                           true, true, false, &rects, rows[2]);
    }
    const QImage whole = draw(content, HXReportDrawingStyle(), size, true);
    const QPoint inSkippedRow = rows[5].center().toPoint();
    EXPECT_NE(whole.pixelColor(inSkippedRow), background);
    EXPECT_EQ(part.pixelColor(inSkippedRow), background);
}

TEST(HXReportDrawing, AFinePrintThatChangesAloneChangesOnlyTheLabelArea) {
    // A second more over an hour moves no bar, but the fine print reads it.
    const auto contentEndingAt = [](double end) {
        std::vector<HXDictionaryRef> records{
            reportRecord(QStringLiteral("Editor"), {kBegin + 600, -end}, {kBegin, -end}),
            reportRecord(QStringLiteral("Notes"), {kBegin + 60, -(kBegin + 900)}, {},
                         QStringLiteral("_Window"))};
        return reportContent(records, kBegin, kBegin + 3600, kBegin, kBegin + 3600);
    };
    const HXReportViewContent before = contentEndingAt(kBegin + 1800);
    const HXReportViewContent after = contentEndingAt(kBegin + 1801);
    for (const HXColorScheme scheme : {HXColorScheme::Original, HXColorScheme::Dark, HXColorScheme::Light}) {
        HXReportDrawingStyle style;
        style.scheme = scheme;
        const QSize size(500, 92);
        const QRectF bounds(QPointF(0, 0), QSizeF(size));
        const HXReportAppearance was = HXReportAppearanceInBounds(before, style, bounds, bounds, true);
        const HXReportAppearance is = HXReportAppearanceInBounds(after, style, bounds, bounds, true);
        ASSERT_EQ(is.rows.size(), 2u);
        EXPECT_EQ(was.frame, is.frame);
        EXPECT_EQ(was.rows[1], is.rows[1]);
        EXPECT_EQ(was.rows[0].bars, is.rows[0].bars);
        EXPECT_NE(was.rows[0].labels, is.rows[0].labels);
        const QRect area = is.rows[0].labelArea.toAlignedRect();
        EXPECT_TRUE(is.rows[0].rect.contains(is.rows[0].labelArea));

        const QImage a = draw(before, style, size, true);
        const QImage b = draw(after, style, size, true);
        int inside = 0;
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                if (a.pixel(x, y) == b.pixel(x, y))
                    continue;
                ASSERT_TRUE(area.contains(x, y)) << x << "," << y;
                ++inside;
            }
        }
        EXPECT_GT(inside, 0);
    }
}
