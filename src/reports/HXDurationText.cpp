#include "reports/HXDurationText.h"

#include "reports/HXFixedPointText.h"

#include "foundation/HXLocalization.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr std::uint64_t kDay = 86400;
constexpr std::uint64_t kHour = 3600;

QString twoDigits(std::uint64_t n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// No two timestamps of the years 1 to 9999 lie this far apart: a longer duration comes from a damaged
// or hostile file and has no text but this one.
constexpr double kOutOfRange = 1.0e12;

bool isOutOfRange(double seconds) {
    return !(std::fabs(seconds) < kOutOfRange);
}

QString outOfRange() {
    return HXLocalized("out of range");
}

} // namespace

QString stringWithTimeIntervalEatZero(double seconds, bool eatZero, bool expressAsDays) {
    if (std::isnan(seconds))
        seconds = 0;
    if (isOutOfRange(seconds))
        return outOfRange();
    const auto s = static_cast<std::uint64_t>(std::fabs(seconds));
    if (s >= kDay && expressAsDays) {
        const QString days = localizedStringWithDouble(static_cast<double>(s) / kDay, 1, true);
        if (days == u"1")
            return HXLocalized("1 day");
        return HXLocalized("%@ days").replace(QStringLiteral("%@"), days);
    }
    if (s < kHour) {
        if (s == 0)
            return eatZero ? QString() : QStringLiteral("-");
        return QString::number(s / 60) + u':' + twoDigits(s % 60);
    }
    return QString::number(s / kHour) + u':' + twoDigits(s % kHour / 60) + u':' + twoDigits(s % 60);
}

QString stringWithTimeIntervalAsPercentageOfTimeIntervalEatZero(double seconds, double reference,
                                                                bool eatZero, bool expressAsDays) {
    if (!(reference > 0.001))
        return stringWithTimeIntervalEatZero(seconds, eatZero, expressAsDays);
    if (!(seconds > 0.001))
        return eatZero ? QString() : QStringLiteral("-");
    if (isOutOfRange(seconds) || isOutOfRange(reference))
        return outOfRange();
    const double percentage = reference - seconds <= 0.001 ? 100.0 : std::floor(seconds * 100.0 / reference);
    if (percentage == 0)
        return HXLocalized("<1%");
    return HXLocalized("%lu%%")
        .replace(QStringLiteral("%lu"), QString::number(static_cast<std::uint64_t>(percentage)))
        .replace(QStringLiteral("%%"), QStringLiteral("%"));
}

QString localizedStringWithDouble(double value, int numberOfFractionDigits, bool trim) {
    const int digits = std::max(0, numberOfFractionDigits);
    QByteArray utf8;
    HXAppendFixedPoint(utf8, value, digits, HXLocaleDecimalSeparator());
    const QString text = QString::fromUtf8(utf8);
    // Without fraction digits there is nothing to trim: "100" must not lose its zeros.
    if (!trim || digits == 0 || !text.endsWith(u'0'))
        return text;
    // The leading digits stay: only the fraction's trailing zeros and then a bare separator go.
    QStringView t(text);
    while (t.endsWith(u'0'))
        t.chop(1);
    while (t.endsWith(u'.') || t.endsWith(u','))
        t.chop(1);
    return t.toString();
}
