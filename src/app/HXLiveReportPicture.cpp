#include "app/HXLiveReportPicture.h"

#include "foundation/HXClock.h"
#include "foundation/HXKeys.h"
#include "foundation/HXUserDefaults.h"
#include "pictures/HXColorScheme.h"
#include "pictures/HXFrontActivityColor.h"
#include "reports/HXLiveReport.h"
#include "reports/HXLiveReportSource.h"
#include "reports/HXReportInterval.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>

#include <algorithm>

HXLiveReportPicture::HXLiveReportPicture(const HXLiveReportSource& source, const HXClock& clock)
    : m_source(source), m_clock(clock) {}

void HXLiveReportPicture::updateLiveReport() {}

QImage HXLiveReportPicture::liveReportImage(const QSize& size, bool withBackground) {
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const QPalette palette = QGuiApplication::palette();
    QPainter painter(&image);
    if (withBackground)
        painter.fillRect(image.rect(), palette.color(QPalette::Base));
    const double now = m_clock.now();
    double begin = now;
    const HXUserDefaults& defaults = m_source.userDefaults();
    // Today, from the first data on when that is later, as the live report's interval.
    const HXDictionaryRef configuration = m_source.configuration();
    if (!HXGetReportIntervalSpecificBeginTimestamp(&begin, HXReportIntervalToday, now,
                                                   firstTimestamp(configuration.get()), now, defaults))
        return image;
    const HXArrayRef list = eventLogsClippedBetweenTimestamp(m_source, begin, now);
    const double span = now - begin;
    if (!list || span <= 0)
        return image;
    const QColor front = frontActivityColorForReportViewContext(
        true, static_cast<long long>(HXCurrentColorScheme(defaults)), defaults, palette);
    QColor total = front;
    total.setAlphaF(0.35f);
    // Applications and pools; their windows and items would not fit a picture this small.
    std::vector<const HXDictionary*> rows;
    for (qsizetype i = 0; i < list->count(); ++i) {
        const HXDictionaryRef record = list->at(i).toDictionary();
        if (!record)
            continue;
        const QString path = record->stringForKey(HXKeys::Path);
        const QString type = record->stringForKey(HXKeys::Type);
        if (path == QStringView(HXKeys::kWindowPath) || type == QStringView(HXKeys::kPoolItemType))
            continue;
        rows.push_back(record.get());
    }
    if (rows.empty())
        return image;
    const double rowHeight =
        std::min(24.0, static_cast<double>(size.height()) / static_cast<double>(rows.size()));
    const double barHeight = std::max(1.0, rowHeight * 0.7);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const double y = static_cast<double>(i) * rowHeight + (rowHeight - barHeight) / 2;
        const double totalShare = std::clamp(rows[i]->timeIntervalForKey(HXKeys::Time) / span, 0.0, 1.0);
        const double frontShare = std::clamp(rows[i]->timeIntervalForKey(HXKeys::FrontTime) / span, 0.0, 1.0);
        painter.fillRect(QRectF(0, y, std::max(1.0, totalShare * size.width()), barHeight), total);
        painter.fillRect(QRectF(0, y, frontShare * size.width(), barHeight), front);
    }
    return image;
}
