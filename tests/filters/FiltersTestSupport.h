#pragma once

#include "filters/HXERECaseConversion.h"

#include <QString>

#include <ostream>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const HXERECaseConversion& marker, std::ostream* os) {
    *os << "{type " << static_cast<int>(marker.type()) << ", " << marker.location() << ", " << marker.length()
        << '}';
}
