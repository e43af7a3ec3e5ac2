#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <cstddef>

// A QString over text that lives as long as the program: copies of it touch no reference count.
inline QString HXStringOverLiteral(QStringView text) {
    return QString::fromRawData(reinterpret_cast<const QChar*>(text.utf16()), text.size());
}

// A dictionary key. The keys of item records are "well known": a dictionary finds them through a
// fixed slot table instead of comparing strings, which keeps the sampling tick's lookups cheap.
struct HXKey {
    QStringView text;
    int slot = -1;

    template <std::size_t N>
    constexpr HXKey(const char16_t (&s)[N], int wellKnownSlot = -1) : text(s, N - 1), slot(wellKnownSlot) {}
    HXKey(QStringView s) : text(s) {}
    HXKey(const QString& s) : text(s) {}
};

namespace HXKeys {

inline constexpr HXKey Name{u"Name", 0};
inline constexpr HXKey Path{u"Path", 1};
inline constexpr HXKey ApplicationID{u"Application ID", 2};
inline constexpr HXKey Type{u"Type", 3};
inline constexpr HXKey Time{u"Time", 4};
inline constexpr HXKey FrontTime{u"Front Time", 5};
inline constexpr HXKey Active{u"Active", 6};
inline constexpr HXKey FrontActive{u"Front Active", 7};
inline constexpr HXKey ActiveTransient{u"Active_", 8};
inline constexpr HXKey FrontActiveTransient{u"Front Active_", 9};
inline constexpr HXKey ActiveLog{u"Active Log", 10};
inline constexpr HXKey FrontActiveLog{u"Front Active Log", 11};
inline constexpr HXKey WindowsByName{u"Windows By Name", 12};
inline constexpr HXKey Children{u"Children", 13};
inline constexpr HXKey Paused{u"Paused", 14};
inline constexpr HXKey PoolNotes{u"Pool Notes", 15};
inline constexpr HXKey MatchAnyApplication{u"Match Any Application", 16};
inline constexpr HXKey Expanded{u"Expanded", 17};
inline constexpr HXKey Source{u"Source", 18};

inline constexpr std::size_t kWellKnownCount = 19;
inline constexpr std::array<HXKey, kWellKnownCount> kWellKnown{Name,
                                                               Path,
                                                               ApplicationID,
                                                               Type,
                                                               Time,
                                                               FrontTime,
                                                               Active,
                                                               FrontActive,
                                                               ActiveTransient,
                                                               FrontActiveTransient,
                                                               ActiveLog,
                                                               FrontActiveLog,
                                                               WindowsByName,
                                                               Children,
                                                               Paused,
                                                               PoolNotes,
                                                               MatchAnyApplication,
                                                               Expanded,
                                                               Source};

// The slot of a key text, or -1 when it is not well known.
int wellKnownSlot(QStringView text);

// Keys of the configuration's top level.
inline constexpr HXKey Version{u"Version"};
inline constexpr HXKey Applications{u"Applications"};
inline constexpr HXKey Pools{u"Pools"};
inline constexpr HXKey ApplicationBlacklist{u"Application Blacklist"};
inline constexpr HXKey WindowBlacklist{u"Window Blacklist"};
inline constexpr HXKey FirstTimestamp{u"First Timestamp"};
inline constexpr HXKey FirstPoolTimestamp{u"First Pool Timestamp"};
inline constexpr HXKey LastTimestamp{u"Last Timestamp"};
inline constexpr HXKey OverallTime{u"Overall Time"};
inline constexpr HXKey OverallPoolTime{u"Overall Pool Time"};

// Values of "Path" and "Type" that tell the kinds of record apart.
inline constexpr char16_t kWindowPath[] = u"_Window";
inline constexpr char16_t kPoolPath[] = u"_Pool";
inline constexpr char16_t kAdHocPath[] = u"_Ad_Hoc";
inline constexpr char16_t kPoolItemType[] = u"Pool Item";

} // namespace HXKeys
