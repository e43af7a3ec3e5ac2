#pragma once

#include <QRect>
#include <QString>

class HXUserDefaults;
class QWidget;

// A window's frame kept in the settings under "Window Frame: <autosave name>" as "x y width height".

// The left or right half-screen frame on the first screen's available area; empty without a screen.
QRect HXHalfScreenFrame(bool rightSide);
// The stored frame, else the given default (centred on the screen when that is empty).
void restoreWindowFrame(QWidget& window, const HXUserDefaults& defaults, const QString& autosaveName,
                        const QRect& defaultFrame);
void saveWindowFrame(const QWidget& window, HXUserDefaults& defaults, const QString& autosaveName);
