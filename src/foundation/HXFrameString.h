#pragma once

#include <QRect>
#include <QString>

#include <optional>

// A window's frame as the settings keep it: "x y width height" in device-independent pixels.
QString HXStringFromFrame(const QRect& frame);
// Nothing for a string that is not four whole numbers or gives an empty frame.
std::optional<QRect> HXFrameFromString(const QString& string);
