#pragma once

#include <QHash>
#include <QIcon>

class HXApplicationControl;
class HXDictionary;

// The 16-point icons of records: an application's own icon (from the icon theme, as its desktop entry
// names it), drawn glyphs for windows, pools, "any application" items and ad hoc records (dimmed while
// inactive). Icons are cached for as long as the object lives.
class HXItemIcons {
public:
    // Without application control every application gets a tile with its initial.
    explicit HXItemIcons(HXApplicationControl* applications = nullptr) : m_applications(applications) {}

    QIcon cached16IconForActiveItem(const HXDictionary& record, bool active, bool selected);

private:
    QIcon applicationIcon(const QString& path, const QString& name);
    QIcon glyph(int kind, bool selected, qreal opacity);

    HXApplicationControl* m_applications;
    QHash<QString, QIcon> m_applicationIcons;
    QHash<QString, QIcon> m_glyphs;
};
