#pragma once

#include <QIcon>

class HXUserDefaults;
class QPalette;

// The picture of a "Status Item Icon (1231)" choice as the tray would show it: the styles that switch
// with the panel's view (0 and 10) show both pictures with a thin line between them.
QIcon HXStatusItemIconChoice(int tag, const HXUserDefaults& defaults, const QPalette& palette,
                             qreal devicePixelRatio);
