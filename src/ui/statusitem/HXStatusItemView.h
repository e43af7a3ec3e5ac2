#pragma once

#include "ui/statusitem/HXStatusItemIcon.h"

#include <QIcon>
#include <QObject>

class HXUserDefaults;

// The tray icon's state: which view the panel shows, hibernating, insomniac, highlighted (the panel is
// open). Every change redraws the icon from these flags and the settings.
class HXStatusItemView : public QObject {
    Q_OBJECT

public:
    explicit HXStatusItemView(const HXUserDefaults& defaults, QObject* parent = nullptr);

    bool showsLiveReport() const { return m_showsLiveReport; }
    bool isHibernating() const { return m_hibernating; }
    bool isInsomniac() const { return m_insomniac; }
    bool isHighlighted() const { return m_highlighted; }
    void setShowsLiveReport(bool shows);
    void setHibernating(bool hibernating);
    void setInsomniac(bool insomniac);
    void setHighlighted(bool highlighted);

    HXStatusItemAppearance appearance() const;
    int width() const;
    // The picture at the usual resolutions.
    QIcon icon() const;
    QString toolTip() const;

Q_SIGNALS:
    void needsDisplay();

private:
    void set(bool& flag, bool value);

    const HXUserDefaults& m_defaults;
    bool m_showsLiveReport = false;
    bool m_hibernating = false;
    bool m_insomniac = false;
    bool m_highlighted = false;
};
