#pragma once

#include <QColor>
#include <QImage>
#include <QString>

class HXUserDefaults;
class QPalette;

// What the tray icon shows: the picture chosen by "Status Item Icon (1231)", and the state it is drawn in.
struct HXStatusItemAppearance {
    long long iconSetting = 11;
    // The panel shows the live report rather than the organizer.
    bool showsLiveReport = false;
    bool hibernating = false;
    // "Deep Hibernation" holds a value: suspended until woken by hand.
    bool deepHibernation = false;
    bool insomniac = false;
    // The panel is open.
    bool highlighted = false;
    bool darkMode = false;
    // "HXFlatUserInterfaceDrawing".
    bool flat = true;
    // Behind the icon while highlighted; the tint while insomniac; the colour icon's pie.
    QColor highlightColor = QColor(0x30, 0x8c, 0xc6);
    QColor selectedMenuItemColor = QColor(0x30, 0x8c, 0xc6);
    QColor accentColor = QColor::fromRgbF(0.6f, 0.4f, 0.6f);
};

// The tray icon's width in points from "HXStatusItemWidth": 26 for 25 or less, at most 100.
int HXStatusItemWidth(long long stored);
// A setting that is a multiple of 10 adds 1 while the organizer shows and 2 while the live report shows.
long long HXStatusItemIconStyle(long long setting, bool showsLiveReport);
// The named picture a style draws, "" for the drawn ones (1, 11, 12) and for styles without a picture.
QString HXStatusItemImageName(long long style, bool hibernating, bool inverted);
// "dark" in "AppleInterfaceStyle" (any case), or without that setting a dark window colour in the palette.
bool HXSystemIsInDarkMode(const HXUserDefaults& defaults, const QPalette& palette);
// "HXFlatUserInterfaceDrawing", true unless set otherwise.
bool HXDrawFlatUserInterface(const HXUserDefaults& defaults);
// The appearance from the settings and the palette; the state flags stay false.
HXStatusItemAppearance HXStatusItemAppearanceFromDefaults(const HXUserDefaults& defaults,
                                                          const QPalette& palette);

// The picture in an image of width x 21 points: the highlight behind it, the icon as a square of at most
// 18 (16 for the "Report" picture) points centred in the upper 19 points (one point lower for styles 1
// and 101), tinted for the state where the style is a drawn template (11, 12), with a white shadow one
// point below where the bar is light and the drawing not flat.
QImage HXStatusItemImage(const HXStatusItemAppearance& appearance, int width, qreal devicePixelRatio = 1.0);
// The template tint of styles 11 and 12.
QColor HXStatusItemTint(const HXStatusItemAppearance& appearance);
