#pragma once

#include <QString>

// The single characters that separate parts of texts, bare and with one blank on each side.
inline QString rightTriangleArrowString() {
    return QStringLiteral("\u25B8");
}
inline QString dashString() {
    return QStringLiteral("\u2014");
}
inline QString bulletString() {
    return QStringLiteral("\u2022");
}
inline QString spacedRightTriangleArrowString() {
    return QStringLiteral(" \u25B8 ");
}
inline QString spacedDashString() {
    return QStringLiteral(" \u2014 ");
}
