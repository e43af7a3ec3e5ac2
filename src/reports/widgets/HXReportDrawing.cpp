#include "reports/widgets/HXReportDrawing.h"

#include "reports/HXDateText.h"
#include "reports/HXDurationText.h"
#include "reports/HXEventStream.h"
#include "reports/HXReportViewContent.h"
#include "reports/HXSymbolStrings.h"
#include "reports/widgets/HXReportGeometry.h"

#include "pictures/HXFrontActivityColor.h"

#include "foundation/HXLocalization.h"
#include "foundation/HXUserDefaults.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <optional>

using namespace HXKeys;

namespace {

// The colours of one scheme.
struct SchemeColours {
    QColor background;
    QColor total;
    double frontOpacity;
    QColor overlayTop;
    QColor overlayBottom;
    QColor name;
    QColor finePrint;
    bool textShadow;
    QColor separator;
    QColor header;
    QColor headerText;
    QColor message;
    QColor span;
};

SchemeColours coloursFor(HXColorScheme scheme) {
    switch (scheme) {
    case HXColorScheme::Light:
        return {QColor(244, 244, 244),
                QColor(0, 0, 0, 13),
                0.85,
                QColor(255, 255, 255, 110),
                QColor(255, 255, 255, 30),
                QColor(20, 20, 20),
                QColor(20, 20, 20, 165),
                false,
                QColor(0, 0, 0, 26),
                QColor(232, 232, 232),
                QColor(0, 0, 0, 150),
                QColor(0, 0, 0, 120),
                QColor(0, 0, 0, 13)};
    case HXColorScheme::Dark:
        return {QColor(30, 30, 32),
                QColor(255, 255, 255, 26),
                0.8,
                QColor(255, 255, 255, 14),
                QColor(0, 0, 0, 40),
                QColor(255, 255, 255),
                QColor(255, 255, 255, 185),
                true,
                QColor(0, 0, 0, 140),
                QColor(44, 44, 47),
                QColor(255, 255, 255, 190),
                QColor(255, 255, 255, 130),
                QColor(255, 255, 255, 20)};
    case HXColorScheme::Original:
        break;
    }
    return {QColor(56, 54, 60),
            QColor(255, 255, 255, 26),
            0.9,
            QColor(255, 255, 255, 18),
            QColor(0, 0, 0, 46),
            QColor(255, 255, 255),
            QColor(255, 255, 255, 185),
            true,
            QColor(0, 0, 0, 120),
            QColor(70, 67, 75),
            QColor(255, 255, 255, 190),
            QColor(255, 255, 255, 130),
            QColor(255, 255, 255, 20)};
}

// The format's "%@" filled from left to right.
QString fillPlaceholders(QString format, const QStringList& values) {
    qsizetype from = 0;
    for (const QString& v : values) {
        const qsizetype at = format.indexOf(QStringLiteral("%@"), from);
        if (at < 0)
            break;
        format.replace(at, 2, v);
        from = at + v.size();
    }
    return format;
}

double ribbonHeight(const HXReportViewContent& content) {
    return content.showsRibbon() ? kHXReportRibbonHeight : 0;
}

// The bars of one log, merged where they touch or overlap so that no pixel is covered twice: a bar is
// skipped when its right edge does not pass the previous one's by more than 0.1 point.
void channelBars(const HXArray* log, bool timeLapse, double normalizingInterval, const QRectF& rect,
                 double begin, double end, std::vector<QRectF>& bars) {
    bars.clear();
    if (!log || log->isEmpty() || !(end - begin > 0))
        return;
    const auto numberAt = [log](qsizetype i) {
        return log->numberAt(i);
    };
    const qsizetype n = log->count();
    if (timeLapse) {
        const double scale = (rect.width() + 1) / (end - begin);
        double runLeft = 0;
        double runRight = -1;
        for (qsizetype i = 0; i + 1 < n; ++i) {
            const double b = numberAt(i);
            const double e = numberAt(i + 1);
            if (!(b > 0) || !(e < 0))
                continue;
            ++i;
            const double length = -e - b;
            if (!(length > kHXEventStreamTolerance))
                continue;
            const double x = std::floor((b - begin) * scale);
            const double right = x + std::max(1.0, std::floor(length * scale));
            if (right <= runRight + 0.1)
                continue;
            if (x <= runRight) {
                runRight = right;
                continue;
            }
            if (runRight > runLeft)
                bars.emplace_back(rect.left() + runLeft, rect.top(), runRight - runLeft, rect.height());
            runLeft = x;
            runRight = right;
        }
        if (runRight > runLeft)
            bars.emplace_back(rect.left() + runLeft, rect.top(), runRight - runLeft, rect.height());
    } else {
        double total = 0;
        for (qsizetype i = 0; i + 1 < n; ++i) {
            const double b = numberAt(i);
            const double e = numberAt(i + 1);
            if (b > 0 && e < 0) {
                total += -e - b;
                ++i;
            }
        }
        if (!(total > kHXEventStreamTolerance))
            return;
        const double norm = normalizingInterval > kHXEventStreamTolerance ? normalizingInterval : end - begin;
        const double width = std::max(1.0, std::floor(total * rect.width() / norm));
        bars.emplace_back(rect.left(), rect.top(), std::min(width, rect.width()), rect.height());
    }
}

void drawChannel(QPainter& painter, const HXArray* log, bool timeLapse, double normalizingInterval,
                 const QRectF& rect, double begin, double end, const QColor& colour,
                 std::vector<QRectF>& bars) {
    channelBars(log, timeLapse, normalizingInterval, rect, begin, end, bars);
    if (bars.empty())
        return;
    // Bars end outside the row at most by the one point the scale adds; the row clips them.
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRects(bars.data(), static_cast<int>(bars.size()));
    painter.restore();
}

// A font whose line fits the height, between the smallest readable size and a largest one.
QFont fittingFont(const QFont& base, double height, double factor, double largest, bool bold = false) {
    QFont font = base;
    font.setBold(bold);
    const int size = static_cast<int>(std::clamp(std::floor(height * factor), 6.0, largest));
    font.setPixelSize(size);
    return font;
}

void drawText(QPainter& painter, const QRectF& rect, const QString& text, const QFont& font,
              const QColor& colour, bool shadow) {
    const QFontMetricsF metrics(font);
    const QString shown = metrics.elidedText(text, Qt::ElideRight, rect.width());
    const int alignment = (QGuiApplication::isRightToLeft() ? Qt::AlignRight : Qt::AlignLeft) |
                          Qt::AlignVCenter | Qt::TextSingleLine;
    painter.setFont(font);
    if (shadow) {
        painter.setPen(QColor(0, 0, 0, 200));
        painter.drawText(rect.translated(0, 0.5), alignment, shown);
    }
    painter.setPen(colour);
    painter.drawText(rect, alignment, shown);
}

struct RowFonts {
    double height = -1;
    QFont name;
    QFont finePrint;
    // Where the bullet's ink begins after its origin, in the name's font; measured (slowly, from the
    // glyph's outline) only once an indented row is drawn.
    std::optional<double> bulletBearing;
};

// basis: the height of the shortest row, so that rows a point apart share their fonts.
QRectF labelRect(const QRectF& row, double basis) {
    // Tall rows keep the label of a row of the standard height at their top.
    const double standard = std::min({row.height(), basis, kHXReportRowHeight});
    const double inset = std::floor(standard / 7);
    const double side = std::max(inset, 8.0);
    return QRectF(row.left() + side, row.top() + inset, row.width() - 2 * side, standard - 2 * inset);
}

void drawLabels(QPainter& painter, const HXDictionary& record, const QRectF& row, double basis,
                const HXReportViewContent& content, const HXReportDrawingStyle& style,
                const SchemeColours& colours, RowFonts& fonts) {
    QLinearGradient overlay(row.topLeft(), row.bottomLeft());
    overlay.setColorAt(0, colours.overlayTop);
    overlay.setColorAt(1, colours.overlayBottom);
    painter.fillRect(row, overlay);

    QRectF label = labelRect(row, basis);
    const double nameHeight = std::floor(label.height() * 0.6);
    if (fonts.height != label.height()) {
        fonts.height = label.height();
        fonts.name = fittingFont(style.font, nameHeight, 0.78, 18, true);
        fonts.finePrint = fittingFont(style.font, label.height() - nameHeight, 0.86, 13);
        fonts.bulletBearing.reset();
    }
    if (HXReportRowIsIndented(record)) {
        if (!fonts.bulletBearing)
            fonts.bulletBearing = QFontMetricsF(fonts.name).tightBoundingRect(bulletString()).left();
        const double indent = std::floor(label.height() / 3);
        // Its ink starts where an application's name starts: centred in the narrow indent, it all but
        // touched the name.
        const QRectF bullet(label.left() - *fonts.bulletBearing, label.top(), indent, nameHeight);
        painter.setFont(fonts.name);
        painter.setPen(colours.finePrint);
        painter.drawText(bullet, Qt::AlignLeft | Qt::AlignVCenter, bulletString());
        label.setLeft(label.left() + indent);
    }
    const QRectF nameRect(label.left(), label.top(), label.width(), nameHeight);
    const QRectF fineRect(label.left(), label.top() + nameHeight, label.width(), label.height() - nameHeight);
    drawText(painter, nameRect, HXReportRowName(record.stringForKey(Name)), fonts.name, colours.name,
             colours.textShadow);
    drawText(painter, fineRect, HXReportFinePrint(record, content, style), fonts.finePrint, colours.finePrint,
             colours.textShadow);
}

void drawMessage(QPainter& painter, const QString& message, const QRectF& bounds,
                 const HXReportDrawingStyle& style, const SchemeColours& colours) {
    QFont font = style.font;
    font.setPixelSize(24);
    QFontMetricsF metrics(font);
    const QRectF area = bounds.adjusted(12, 12, -12, -12);
    const QStringList lines = message.split(u'\n');
    double widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const double height = metrics.height() * static_cast<double>(lines.size());
    // Scaled down until it fits, never above 24 points.
    const double factor = std::min({1.0, widest > 0 ? area.width() / widest : 1.0, area.height() / height});
    font.setPixelSize(std::max(1, static_cast<int>(std::floor(24 * factor))));
    painter.setFont(font);
    painter.setPen(colours.message);
    painter.drawText(bounds, Qt::AlignCenter, message);
}

void drawHeader(QPainter& painter, const QString& title, double top, double naturalTop, const QRectF& visible,
                const HXReportDrawingStyle& style, const SchemeColours& colours) {
    const QRectF band(visible.left(), top, visible.width(), kHXReportHeaderHeight);
    painter.fillRect(band, colours.header);
    const double scrolled = top - naturalTop;
    if (scrolled > 0) {
        const double shadow = std::min(scrolled, 15.0);
        QLinearGradient gradient(band.bottomLeft(), band.bottomLeft() + QPointF(0, shadow));
        gradient.setColorAt(0, QColor(0, 0, 0, 90));
        gradient.setColorAt(1, QColor(0, 0, 0, 0));
        painter.fillRect(QRectF(band.left(), band.bottom(), band.width(), shadow), gradient);
    }
    QFont font = style.font;
    font.setBold(true);
    font.setPixelSize(13);
    drawText(painter, band.adjusted(10, 0, -10, 0), title, font, colours.headerText, false);
}

void drawRibbon(QPainter& painter, const HXReportViewContent& content, const HXReportDrawingStyle& style,
                const HXReportPointerState& pointer, const QRectF& visible, bool hoverLabel) {
    const QRectF strip(visible.left(), visible.bottom() - kHXReportRibbonHeight, visible.width(),
                       kHXReportRibbonHeight);
    const QRectF knob = reportIntervalRibbonKnobFrameInVisibleRect(content, visible).adjusted(0, 2, 0, -2);
    const QRectF knobShape(knob.left() + 1, knob.top(), std::max(2.0, knob.width() - 2), knob.height());
    const double radius = knobShape.height() / 2;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const bool light = style.scheme == HXColorScheme::Light;
    if (light) {
        painter.fillRect(strip,
                         style.reduceTransparency ? QColor(255, 255, 255) : QColor(255, 255, 255, 215));
        painter.fillRect(QRectF(strip.left(), strip.top(), strip.width(), 1), QColor(200, 200, 200));
        painter.setPen(Qt::NoPen);
        painter.setBrush(style.windowIsMain ? style.selectionColor : QColor(160, 160, 160));
        painter.drawRoundedRect(knobShape, radius, radius);
    } else {
        painter.fillRect(strip, style.reduceTransparency ? QColor(40, 40, 42) : QColor(0, 0, 0, 166));
        painter.fillRect(QRectF(strip.left(), strip.top(), strip.width(), 1), QColor(255, 255, 255, 28));
        QLinearGradient gradient(knobShape.topLeft(), knobShape.bottomLeft());
        gradient.setColorAt(0, QColor(150, 150, 155));
        gradient.setColorAt(1, QColor(95, 95, 100));
        painter.setPen(QPen(QColor(0, 0, 0), 1));
        painter.setBrush(gradient);
        painter.drawRoundedRect(knobShape, radius, radius);
    }
    if (hoverLabel) {
        QString arrows;
        switch (reportIntervalRibbonComponentAtXCoordinate(content, pointer.track.x(), visible)) {
        case HXRibbonBefore:
            arrows = QString(QChar(0x276E));
            break;
        case HXRibbonAfter:
            arrows = QString(QChar(0x276F));
            break;
        case HXRibbonBody:
            arrows = QString(QChar(0x276E)) + QChar(0x2006) + QChar(0x276F);
            break;
        default:
            break;
        }
        if (!arrows.isEmpty()) {
            QFont font = style.font;
            font.setPixelSize(light ? 8 : 11);
            painter.setFont(font);
            painter.setPen(QColor(255, 255, 255, light ? 153 : 128));
            painter.drawText(knob, Qt::AlignCenter, arrows);
        }
    }
    painter.restore();
}

// A text on a dark rounded rectangle, kept inside the area.
QRectF timeLabelRect(const QStringList& lines, const QFont& font) {
    const QFontMetricsF metrics(font);
    double width = 0;
    for (const QString& line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    return QRectF(0, 0, std::ceil(width) + 10,
                  std::ceil(metrics.height() * static_cast<double>(lines.size())) + 2);
}

void drawTimeLabel(QPainter& painter, const QStringList& lines, const QFont& font, const QRectF& box) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 204));
    painter.drawRoundedRect(box, 3, 3);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, lines.join(u'\n'));
    painter.restore();
}

// Over the rows: right of and below the pointer, to its left near the right edge, above the bottom.
QRectF placeOverRows(QRectF box, QPointF at, const QRectF& rows) {
    box.moveTopLeft(QPointF(at.x() + 15, at.y() + 13));
    if (box.right() > rows.right())
        box.moveRight(at.x() - 10);
    if (box.bottom() > rows.bottom() - 3)
        box.moveBottom(rows.bottom() - 3);
    return box;
}

void drawPointer(QPainter& painter, const HXReportViewContent& content, const HXReportDrawingStyle& style,
                 const HXReportPointerState& pointer, const QRectF& visible, const QRectF& rowsArea,
                 const SchemeColours& colours) {
    QFont font = style.font;
    font.setPixelSize(11);
    if (pointer.isSelectingSpan()) {
        const double x1 = std::clamp(pointer.down.x(), visible.left(), visible.right());
        const double x2 = std::clamp(pointer.drag.x(), visible.left(), visible.right());
        painter.fillRect(QRectF(std::min(x1, x2), rowsArea.top(), std::abs(x2 - x1), rowsArea.height()),
                         colours.span);
        const double t1 = timestampAtXCoordinate(content, pointer.down.x(), visible, false, -1, 0, 0, true);
        const double t2 = timestampAtXCoordinate(content, pointer.drag.x(), visible, false, -1, 0, 0, true);
        const QStringList lines{
            stringWithTimeIntervalEatZero(std::abs(t2 - t1), false, style.expressAsDays),
            fillPlaceholders(HXLocalized("%@ \u2192 %@"), {stringWithTimeIntervalAsDate(std::min(t1, t2)),
                                                           stringWithTimeIntervalAsDate(std::max(t1, t2))})};
        drawTimeLabel(painter, lines, font,
                      placeOverRows(timeLabelRect(lines, font), pointer.drag, rowsArea));
        return;
    }
    if (!HXReportLocationIsSet(pointer.track.x()))
        return;
    if (pointer.trackInRibbon) {
        const double t = timestampAtXCoordinate(content, pointer.track.x(), visible, true, -1, 0, 0, true);
        const QStringList lines{stringWithTimeIntervalAsDate(t)};
        QRectF box = timeLabelRect(lines, font);
        box.moveCenter(QPointF(pointer.track.x(), 0));
        box.moveBottom(visible.bottom() - kHXReportRibbonHeight - 3);
        if (box.left() < visible.left() + 8)
            box.moveLeft(visible.left() + 8);
        if (box.right() > visible.right() - 8)
            box.moveRight(visible.right() - 8);
        drawTimeLabel(painter, lines, font, box);
        return;
    }
    if (!pointer.showTimeAtMouseLocation)
        return;
    if (pointer.indicatorLineTracksMouse) {
        const double x = std::floor(pointer.track.x());
        painter.fillRect(QRectF(x - 1, rowsArea.top(), 3, rowsArea.height()), QColor(0, 0, 0, 128));
        painter.fillRect(QRectF(x, rowsArea.top(), 1, rowsArea.height()), QColor(255, 255, 255, 128));
    }
    const double t = timestampAtXCoordinate(content, pointer.track.x(), visible, false, -1, 0, 0, true);
    const QStringList lines{stringWithTimeIntervalAsDate(t)};
    drawTimeLabel(painter, lines, font, placeOverRows(timeLabelRect(lines, font), pointer.track, rowsArea));
}

// The rows' rectangles and what their bars and labels are measured against.
struct RowLayout {
    RowLayout(const HXReportViewContent& content, const HXReportDrawingStyle& style, const QRectF& bounds,
              bool includeLabels, bool drawsTimeLapse)
        : rows(HXReportRowRectangles(content, bounds, includeLabels)), timeLapse(drawsTimeLapse) {
        if (!timeLapse) {
            for (const HXValue& v : content.list->values()) {
                if (const HXDictionaryRef& record = v.toDictionary())
                    normalizing = std::max(
                        normalizing, record->timeIntervalForKey(style.drawTotalActivity ? Time : FrontTime));
            }
        }
        for (const QRectF& row : rows) {
            if (row.height() >= 10)
                basis = std::min(basis, row.height());
        }
    }

    std::vector<QRectF> rows;
    bool timeLapse;
    double normalizing = 0;
    // The height of the shortest row that has labels.
    double basis = kHXReportRowHeight;
};

std::size_t hashRect(std::size_t seed, const QRectF& r) {
    return qHashMulti(seed, r.x(), r.y(), r.width(), r.height());
}

std::size_t hashColor(std::size_t seed, const QColor& c) {
    return qHashMulti(seed, static_cast<quint64>(c.rgba64()), static_cast<int>(c.spec()));
}

} // namespace

HXReportAppearance HXReportAppearanceInBounds(const HXReportViewContent& content,
                                              const HXReportDrawingStyle& style, const QRectF& bounds,
                                              const QRectF& visibleRect, bool includeLabels) {
    HXReportAppearance appearance;
    const QRectF visible = visibleRect.intersected(bounds);
    std::size_t frame =
        qHashMulti(0, style.timeFormat, style.drawFrontActivity, style.drawTotalActivity,
                   static_cast<int>(style.scheme), style.windowIsMain, style.reduceTransparency,
                   style.showPercentages, style.expressAsDays, style.status, includeLabels);
    frame = hashColor(hashColor(frame, style.frontColor), style.selectionColor);
    frame = qHash(style.font, hashRect(hashRect(frame, bounds), visible));
    const QString message = HXReportMessage(content, style);
    frame = qHashMulti(frame, message);
    if (!message.isEmpty()) {
        appearance.frame = frame;
        return appearance;
    }
    const RowLayout layout(content, style, bounds, includeLabels, style.timeFormat == 0);
    frame = qHashMulti(frame, layout.basis, layout.rows.size(), content.hasSections(), content.firstPoolRow,
                       content.showsRibbon());
    if (includeLabels && content.hasSections()) {
        const auto [appsTop, poolsTop] = HXReportHeaderTops(content, bounds);
        const auto [apps, pools] = HXReportStickyHeaderTops(content, bounds, visible);
        frame = qHashMulti(frame, appsTop, poolsTop, apps, pools);
    }
    appearance.frame = frame;
    if (content.showsRibbon()) {
        // The knob is drawn smoothed: an eighth of a point is no visible change.
        const QRectF knob = reportIntervalRibbonKnobFrameInVisibleRect(content, visible);
        for (const double v : {knob.left(), knob.top(), knob.right(), knob.bottom()})
            appearance.ribbon = qHashMulti(appearance.ribbon, std::round(v * 8));
        appearance.ribbonRect = QRectF(visible.left(), visible.bottom() - kHXReportRibbonHeight,
                                       visible.width(), kHXReportRibbonHeight);
    }

    const std::vector<HXValue>& records = content.list->values();
    std::vector<QRectF> bars;
    for (std::size_t i = 0; i < layout.rows.size(); ++i) {
        const QRectF& row = layout.rows[i];
        const HXDictionaryRef& record = records[i].toDictionary();
        if (!row.intersects(visible) || row.height() <= 0 || !record)
            continue;
        HXReportRowAppearance& drawn = appearance.rows.emplace_back();
        drawn.rect = row;
        for (const auto& [shown, key] : {std::pair{style.drawTotalActivity, ActiveLog},
                                         std::pair{style.drawFrontActivity, FrontActiveLog}}) {
            if (!shown)
                continue;
            channelBars(record->arrayPointerForKey(key), layout.timeLapse, layout.normalizing, row,
                        content.begin, content.end, bars);
            drawn.bars = qHashMulti(drawn.bars, bars.size());
            for (const QRectF& bar : bars)
                drawn.bars = hashRect(drawn.bars, bar);
        }
        if (includeLabels && row.height() >= 10) {
            drawn.labels =
                qHashMulti(0, HXReportRowIsIndented(*record), HXReportRowName(record->stringForKey(Name)),
                           HXReportFinePrint(*record, content, style));
            // Text is clipped to its line; its shadow falls half a point below.
            drawn.labelArea = labelRect(row, layout.basis).adjusted(-2, -2, 2, 2).intersected(row);
        }
    }
    return appearance;
}

bool HXReportPointerState::isSelectingSpan() const {
    return HXReportLocationIsSet(down.x()) && HXReportLocationIsSet(drag.x()) && !trackInRibbon;
}

HXReportDrawingStyle HXReportDrawingStyle::fromDefaults(const HXUserDefaults& defaults) {
    HXReportDrawingStyle style;
    const long long scheme = defaults.integerForKey(u"Color Scheme");
    style.scheme = HXColorSchemeFromInteger(scheme);
    style.frontColor = frontActivityColorForReportViewContext(true, scheme, defaults);
    style.selectionColor = HXAlternateSelectedControlColor(QGuiApplication::palette());
    style.showPercentages = defaults.boolForKey(u"Reports Show Percentages");
    style.expressAsDays = defaults.boolForKey(u"Express Time Intervals As Days");
    style.font = QGuiApplication::font();
    return style;
}

QString HXReportRowName(const QString& name) {
    // Most names have nothing to replace: only single blanks between words.
    bool plain = true;
    for (qsizetype i = 0; plain && i < name.size(); ++i) {
        const QChar ch = name[i];
        plain = !(ch == u'\n' || ch == u'\r' ||
                  (ch.isSpace() && (ch != u' ' || (i + 1 < name.size() && name[i + 1].isSpace()))));
    }
    if (plain)
        return name;
    static const QRegularExpression spaces(QStringLiteral("\\s{2,}|\\s*[\\n\\r]+\\s*"));
    QString one = name;
    one.replace(spaces, QStringLiteral(" "));
    return one;
}

bool HXReportRowIsIndented(const HXDictionary& record) {
    const QString& path = record.stringForKey(Path);
    if (path == QStringView(kWindowPath))
        return true;
    return record.stringForKey(Type) == QStringView(kPoolItemType) && path != QStringView(kPoolPath);
}

QString HXReportFinePrint(const HXDictionary& record, const HXReportViewContent& content,
                          const HXReportDrawingStyle& style) {
    const double front = record.timeIntervalForKey(FrontTime);
    const double total = record.timeIntervalForKey(Time);
    const bool days = style.expressAsDays;
    const double reference = content.reference > 0 ? content.reference : content.end - content.begin;
    const auto duration = [days](double t) {
        return stringWithTimeIntervalEatZero(t, false, days);
    };
    const auto percentage = [&](double t) {
        return stringWithTimeIntervalAsPercentageOfTimeIntervalEatZero(t, reference, false, days);
    };
    const auto fill = fillPlaceholders;
    if (style.drawFrontActivity && style.drawTotalActivity) {
        if (style.showPercentages && front > kHXEventStreamTolerance)
            return fill(HXLocalized("%@ - %@ (Total: %@)"),
                        {percentage(front), duration(front), duration(total)});
        return fill(HXLocalized("%@ (Total: %@)"), {duration(front), duration(total)});
    }
    if (style.drawFrontActivity) {
        if (style.showPercentages && front > kHXEventStreamTolerance)
            return fill(HXLocalized("%@ - %@"), {percentage(front), duration(front)});
        return duration(front);
    }
    if (style.showPercentages && total > kHXEventStreamTolerance)
        return fill(HXLocalized("Total: %@ - %@"), {percentage(total), duration(total)});
    return fill(HXLocalized("Total: %@"), {duration(total)});
}

QColor HXReportBackgroundColor(HXColorScheme scheme) {
    return coloursFor(scheme).background;
}

QString HXReportMessage(const HXReportViewContent& content, const HXReportDrawingStyle& style) {
    if (!style.status.isEmpty())
        return style.status;
    if (content.rowCount() > 0)
        return QString();
    if (std::abs(content.end - content.begin) < kHXEventStreamTolerance)
        return stringWithTimeIntervalAsDate(content.begin);
    return HXLocalized("No data in selected time interval");
}

std::pair<double, double> HXReportHeaderTops(const HXReportViewContent& content, const QRectF& bounds) {
    const std::vector<QRectF> rows = HXReportRowRectangles(content, bounds, true);
    const double pools =
        content.firstPoolRow >= 0 && static_cast<std::size_t>(content.firstPoolRow) < rows.size()
            ? rows[static_cast<std::size_t>(content.firstPoolRow)].top() - kHXReportHeaderHeight
            : bounds.bottom();
    return {bounds.top(), pools};
}

std::pair<double, double> HXReportStickyHeaderTops(const HXReportViewContent& content, const QRectF& bounds,
                                                   const QRectF& visible) {
    const auto [appsTop, poolsTop] = HXReportHeaderTops(content, bounds);
    const double pools = std::max(poolsTop, visible.top());
    const double apps = std::min(std::max(appsTop, visible.top()), pools - kHXReportHeaderHeight);
    return {apps, pools};
}

std::vector<QRectF> HXReportRowRectangles(const HXReportViewContent& content, const QRectF& bounds,
                                          bool includeLabels) {
    std::vector<QRectF> rows;
    const qsizetype n = content.rowCount();
    if (n == 0)
        return rows;
    rows.reserve(static_cast<std::size_t>(n));
    const double available = bounds.height() - ribbonHeight(content);
    if (n == 1) {
        rows.emplace_back(bounds.left(), bounds.top(), bounds.width(), available);
        return rows;
    }
    const bool sections = content.hasSections() && content.firstPoolRow > 0;
    const double header = sections && includeLabels ? kHXReportHeaderHeight : 0;
    const double gap = sections && !includeLabels ? kHXReportSectionGap : 0;
    // Whole points for every row; what rounding leaves is shared out a point at a time, so that many
    // rows in a small picture do not leave it all to the last one.
    const double remaining = std::max(0.0, available - 2 * header - gap);
    const auto edge = [&](qsizetype i) {
        return std::floor(remaining * static_cast<double>(i) / static_cast<double>(n));
    };
    double offset = bounds.top() + header;
    for (qsizetype i = 0; i < n; ++i) {
        if (sections && i == content.firstPoolRow)
            offset += header + gap;
        const double top = offset + edge(i);
        rows.emplace_back(bounds.left(), top, bounds.width(), edge(i + 1) - edge(i));
    }
    return rows;
}

void drawReportInBounds(QPainter& painter, const HXReportViewContent& content,
                        const HXReportDrawingStyle& style, const HXReportPointerState& pointer,
                        const QRectF& bounds, const QRectF& visibleRect, bool includeBackground,
                        bool includeLabels, bool includeMouseSpanOrLocation,
                        std::vector<HXReportRowRect>* storeRects, const QRectF& exposedRect) {
    const SchemeColours colours = coloursFor(style.scheme);
    const QRectF visible = visibleRect.intersected(bounds);
    // Everything a row draws stays inside it, so a row outside the exposed part draws nothing there.
    const QRectF exposed = exposedRect.isNull() ? visible : visible.intersected(exposedRect);
    if (storeRects)
        storeRects->clear();
    painter.save();
    painter.setClipRect(visible, Qt::IntersectClip);
    if (includeBackground)
        painter.fillRect(visible, colours.background);
    const QString message = HXReportMessage(content, style);
    if (!message.isEmpty()) {
        drawMessage(painter, message, visible, style, colours);
        painter.restore();
        return;
    }

    const bool timeLapse = style.timeFormat == 0 || (includeMouseSpanOrLocation && pointer.isSelectingSpan());
    const RowLayout layout(content, style, bounds, includeLabels, timeLapse);
    const std::vector<HXValue>& records = content.list->values();
    const std::vector<QRectF>& rows = layout.rows;
    const double normalizing = layout.normalizing;
    const double basis = layout.basis;
    QColor front = style.frontColor;
    if (includeLabels)
        front.setAlphaF(static_cast<float>(colours.frontOpacity));
    std::vector<QRectF> bars;
    RowFonts fonts;
    const QRectF rowsArea(visible.left(), visible.top(), visible.width(),
                          visible.height() - ribbonHeight(content));
    for (std::size_t i = rows.size(); i-- > 0;) {
        const QRectF& row = rows[i];
        if (!row.intersects(visible) || row.height() <= 0)
            continue;
        const HXDictionaryRef& record = records[i].toDictionary();
        if (!record)
            continue;
        if (storeRects)
            storeRects->push_back({record, row});
        if (!row.intersects(exposed))
            continue;
        if (style.drawTotalActivity)
            drawChannel(painter, record->arrayPointerForKey(ActiveLog), timeLapse, normalizing, row,
                        content.begin, content.end, colours.total, bars);
        if (style.drawFrontActivity)
            drawChannel(painter, record->arrayPointerForKey(FrontActiveLog), timeLapse, normalizing, row,
                        content.begin, content.end, front, bars);
        if (includeLabels && row.height() >= 10)
            drawLabels(painter, *record, row, basis, content, style, colours, fonts);
        // On rows of a few points a line would hide what they show.
        if (row.top() > bounds.top() + 0.5 && row.height() >= 4 &&
            !(includeLabels && content.hasSections() && static_cast<qsizetype>(i) == content.firstPoolRow))
            painter.fillRect(QRectF(row.left(), row.top(), row.width(), 1), colours.separator);
    }

    if (includeLabels && content.hasSections() && content.firstPoolRow > 0 && rows.size() > 1) {
        const auto [appsTop, poolsTop] = HXReportHeaderTops(content, bounds);
        const auto [apps, pools] = HXReportStickyHeaderTops(content, bounds, visible);
        drawHeader(painter, HXLocalized("Apps"), apps, appsTop, visible, style, colours);
        drawHeader(painter, HXLocalized("Pools"), pools, poolsTop, visible, style, colours);
    }
    if (content.showsRibbon())
        drawRibbon(painter, content, style, pointer, visible,
                   includeMouseSpanOrLocation && pointer.trackInRibbon &&
                       HXReportLocationIsSet(pointer.track.x()));
    if (includeMouseSpanOrLocation && includeLabels)
        drawPointer(painter, content, style, pointer, visible, rowsArea, colours);
    painter.restore();
}
