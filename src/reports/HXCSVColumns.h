#pragma once

#include <QStringView>

// The column names of exported reports, which reading a snapshot looks for.
namespace HXCSVColumns {

inline constexpr QStringView Pool{u"Pool"};
inline constexpr QStringView PoolNotes{u"Pool Notes"};
inline constexpr QStringView Application{u"Application"};
inline constexpr QStringView Window{u"Window"};
inline constexpr QStringView ForegroundBegin{u"Foreground Begin (Unix Time)"};
inline constexpr QStringView ForegroundEnd{u"Foreground End (Unix Time)"};
inline constexpr QStringView TotalBegin{u"Total Begin (Unix Time)"};
inline constexpr QStringView TotalEnd{u"Total End (Unix Time)"};

} // namespace HXCSVColumns
