#include "ui/statusitem/HXNamedImages.h"

#include "pictures/HXIcons.h"
#include "pictures/HXImageOperations.h"
#include "pictures/HXPieImage.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

// The sheet with its screen, drawn in a 128 x 128 frame and scaled to the size.
QImage reportImage(QSizeF size, qreal devicePixelRatio) {
    QImage image = blankImage(size, devicePixelRatio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size.width() / 128.0, size.height() / 128.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x3a, 0x3a, 0x42));
    painter.drawRoundedRect(QRectF(7, 15, 114, 98), 9, 9);
    painter.setBrush(QColor(0xf4, 0xf4, 0xf6));
    painter.drawRect(HXReportImageScreenRect());
    // Three rows of a report, as the screen shows until a live report is drawn over it.
    const QRectF screen = HXReportImageScreenRect().adjusted(8, 10, -8, -10);
    const double row = screen.height() / 3;
    for (int i = 0; i < 3; ++i) {
        const double width = screen.width() * (0.9 - 0.25 * i);
        painter.setBrush(QColor(0x99, 0x66, 0x99));
        painter.drawRect(QRectF(screen.left(), screen.top() + i * row + row * 0.2, width, row * 0.6));
    }
    painter.setBrush(QColor(0x3a, 0x3a, 0x42));
    painter.drawRect(QRectF(54, 113, 20, 6));
    painter.drawRoundedRect(QRectF(40, 118, 48, 5), 2, 2);
    return image;
}

QImage pieInCircle(QSizeF size, const QColor& color, qreal devicePixelRatio) {
    const QImage mask = pieIconWithSize(QSizeF(size.width() - 2, size.height() - 2), devicePixelRatio);
    QImage image = blankImage(size, devicePixelRatio);
    QPainter painter(&image);
    drawInRect(painter, mask, QRectF(1, 1, size.width() - 2, size.height() - 2), color, 1, false, 0);
    return image;
}

QImage reportInFrame(QSizeF size, const QColor& color, qreal devicePixelRatio) {
    const QSizeF inner(size.width() - 2, std::floor((size.height() - 2) * 7 / 8));
    const QImage mask = reportIconWithSize(inner, devicePixelRatio);
    QImage image = blankImage(size, devicePixelRatio);
    QPainter painter(&image);
    const QRectF where(1, std::floor((size.height() - inner.height()) / 2), inner.width(), inner.height());
    drawInRect(painter, mask, where, color, 1, false, 0);
    return image;
}

// A coloured disc with the pie over it, the program's look.
QImage colouredPie(QSizeF size, const QColor& accent, qreal devicePixelRatio) {
    return colorQualdernIconWithSize(size, accent, devicePixelRatio);
}

QImage colouredReport(QSizeF size, const QColor& accent, qreal devicePixelRatio) {
    QImage image = blankImage(size, devicePixelRatio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgbF(0, 0, 0, 0.65f));
    painter.drawRoundedRect(QRectF(QPointF(0.5, 1.5), QSizeF(size.width() - 1, size.height() - 3)), 2, 2);
    const QImage bars = reportIconWithSize(QSizeF(size.width() - 3, size.height() - 5), devicePixelRatio);
    drawInRect(painter, bars, QRectF(1.5, 2.5, size.width() - 3, size.height() - 5), accent, 1, false, 0);
    return image;
}

// Twelve hour marks around the pie: the tolvane face.
QImage tolvanePie(QSizeF size, const QColor& color, qreal devicePixelRatio) {
    QImage image = blankImage(size, devicePixelRatio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(size.width() / 2, size.height() / 2);
    const double radius = std::min(size.width(), size.height()) / 2 - 0.5;
    painter.setPen(QPen(color, 1.2, Qt::SolidLine, Qt::RoundCap));
    for (int hour = 0; hour < 12; ++hour) {
        const double angle = hour * M_PI / 6;
        const QPointF direction(std::sin(angle), -std::cos(angle));
        painter.drawLine(centre + direction * (radius - (hour % 3 == 0 ? 2.6 : 1.6)),
                         centre + direction * radius);
    }
    const double inner = radius - 3.4;
    const QImage pie = pieImageWithTime(64, 100, QSizeF(2 * inner, 2 * inner), -1, 0, color, false, false, 0,
                                        devicePixelRatio);
    painter.drawImage(QPointF(centre.x() - inner, centre.y() - inner), pie);
    return image;
}

QImage tolvaneReport(QSizeF size, const QColor& color, qreal devicePixelRatio) {
    QImage image = blankImage(size, devicePixelRatio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(QPointF(0.6, 0.6), size - QSizeF(1.2, 1.2)), 3.5, 3.5);
    const QSizeF inner(size.width() - 7, size.height() - 8);
    const QImage bars = reportIconWithSize(inner, devicePixelRatio);
    drawInRect(painter, bars, QRectF(QPointF(3.5, 4), inner), color, 1, false, 0);
    return image;
}

QImage trayImage(const QString& name, QSizeF size, const QColor& accent, qreal devicePixelRatio) {
    const bool inverted = name.endsWith(QStringLiteral("Inverted"));
    const QColor ink = inverted ? QColor(Qt::white) : QColor(Qt::black);
    if (name == QStringLiteral("Menu"))
        return colouredPie(size, accent, devicePixelRatio);
    if (name == QStringLiteral("MenuReport"))
        return colouredReport(size, accent, devicePixelRatio);
    if (name.startsWith(QStringLiteral("MenuSimpleReport")))
        return reportInFrame(size, ink, devicePixelRatio);
    if (name.startsWith(QStringLiteral("MenuSimple")))
        return pieInCircle(size, ink, devicePixelRatio);
    if (name.startsWith(QStringLiteral("MenuTolvaneReport")))
        return tolvaneReport(size, ink, devicePixelRatio);
    if (name.startsWith(QStringLiteral("MenuTolvane")))
        return tolvanePie(size, ink, devicePixelRatio);
    return QImage();
}

bool isTrayImageName(const QString& name) {
    static const QStringList names = {
        QStringLiteral("Menu"),
        QStringLiteral("MenuReport"),
        QStringLiteral("MenuSimple"),
        QStringLiteral("MenuSimpleInverted"),
        QStringLiteral("MenuSimpleReport"),
        QStringLiteral("MenuSimpleReportInverted"),
        QStringLiteral("MenuTolvane"),
        QStringLiteral("MenuTolvaneInverted"),
        QStringLiteral("MenuTolvaneReport"),
        QStringLiteral("MenuTolvaneReportInverted"),
    };
    return names.contains(name);
}

} // namespace

QRectF HXReportImageScreenRect() {
    return QRectF(15, 23, 98, 82);
}

QImage HXNamedImage(const QString& name, QSizeF size, const QColor& accent, qreal devicePixelRatio) {
    if (size.isEmpty())
        return QImage();
    if (name == QStringLiteral("Report"))
        return reportImage(size, devicePixelRatio);
    if (name == QStringLiteral("Qualdern"))
        return colorQualdernIconWithSize(size, accent, devicePixelRatio);
    static const QString kHibernate = QStringLiteral("Hibernate");
    if (name.endsWith(kHibernate)) {
        const QString base = name.chopped(kHibernate.size());
        if (!isTrayImageName(base))
            return QImage();
        // Suspended: the same picture, grey and faint.
        return imageWithAlpha(grayScaleImage(trayImage(base, size, accent, devicePixelRatio)), 0.55);
    }
    return isTrayImageName(name) ? trayImage(name, size, accent, devicePixelRatio) : QImage();
}
