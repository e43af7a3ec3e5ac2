#include "ui/organizer/HXItemIcons.h"

#include "foundation/HXDictionary.h"
#include "platform/HXApplicationControl.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

using namespace HXKeys;

namespace {

constexpr int kSize = 16;

enum class Glyph { Window, Pool, AnyApplication, AdHoc };

QPixmap canvas() {
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pixmap(QSize(kSize, kSize) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QColor ink(bool selected) {
    const QPalette palette = QGuiApplication::palette();
    return selected ? palette.color(QPalette::HighlightedText) : palette.color(QPalette::WindowText);
}

QIcon paintGlyph(Glyph glyph, bool selected, qreal opacity) {
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setOpacity(opacity);
    const QColor color = ink(selected);
    switch (glyph) {
    case Glyph::Window:
        p.setPen(QPen(color, 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 1.5, 1.5);
        p.fillRect(QRectF(1.5, 2.5, 13, 3), color);
        break;
    case Glyph::Pool: {
        p.setPen(QPen(color, 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        QPainterPath wedge;
        wedge.moveTo(8, 8);
        wedge.arcTo(QRectF(3.5, 3.5, 9, 9), 90, -130);
        wedge.closeSubpath();
        p.fillPath(wedge, color);
        break;
    }
    case Glyph::AnyApplication:
        p.setPen(QPen(color, 1.2));
        p.setBrush(Qt::NoBrush);
        for (int i = 0; i < 4; ++i)
            p.drawRoundedRect(QRectF(1.5 + (i % 2) * 7, 1.5 + (i / 2) * 7, 6, 6), 1.2, 1.2);
        break;
    case Glyph::AdHoc:
        // A person, in 14 points.
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawEllipse(QRectF(5, 1.5, 6, 6));
        p.drawChord(QRectF(2, 8.5, 12, 12), 0, 180 * 16);
        break;
    }
    return QIcon(pixmap);
}

// Without an icon from the theme: a tile with the application's initial.
QIcon letterTile(const QString& name) {
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const uint hash = qHash(name);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromHsv(static_cast<int>(hash % 360), 110, 170));
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3.5, 3.5);
    QFont font = QGuiApplication::font();
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    const QString initial = name.trimmed().isEmpty() ? QStringLiteral("?") : name.trimmed().left(1).toUpper();
    p.drawText(QRectF(0, 0, kSize, kSize), Qt::AlignCenter, initial);
    return QIcon(pixmap);
}

} // namespace

// Drawn once per glyph, state and palette colour.
QIcon HXItemIcons::glyph(int kind, bool selected, qreal opacity) {
    const QString key =
        QStringLiteral("%1/%2/%3/%4").arg(kind).arg(selected).arg(opacity).arg(ink(selected).rgba());
    auto found = m_glyphs.constFind(key);
    if (found == m_glyphs.constEnd())
        found = m_glyphs.insert(key, paintGlyph(static_cast<Glyph>(kind), selected, opacity));
    return *found;
}

QIcon HXItemIcons::applicationIcon(const QString& path, const QString& name) {
    const auto found = m_applicationIcons.constFind(path);
    if (found != m_applicationIcons.constEnd())
        return *found;
    QIcon icon;
    const QString iconName = m_applications ? m_applications->iconName(path) : QString();
    if (QFileInfo(iconName).isAbsolute())
        icon = QIcon(iconName);
    else if (!iconName.isEmpty())
        icon = QIcon::fromTheme(iconName);
    if (icon.isNull())
        icon = letterTile(name);
    m_applicationIcons.insert(path, icon);
    return icon;
}

QIcon HXItemIcons::cached16IconForActiveItem(const HXDictionary& record, bool active, bool selected) {
    if (record.stringForKey(ApplicationID) == kAdHocPath)
        return glyph(static_cast<int>(Glyph::AdHoc), selected, active ? 1.0 : 0.5);
    if (record.boolForKey(MatchAnyApplication))
        return glyph(static_cast<int>(Glyph::AnyApplication), selected, 1.0);
    const QString& path = record.stringForKey(Path);
    if (path == kPoolPath)
        return glyph(static_cast<int>(Glyph::Pool), selected, 1.0);
    if (path == kWindowPath)
        return glyph(static_cast<int>(Glyph::Window), selected, 1.0);
    return applicationIcon(path, record.stringForKey(Name));
}
