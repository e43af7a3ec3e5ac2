#include "reports/cli/HXCommandLineOptions.h"

#include <QDateTime>

HXCommandLineOptions::HXCommandLineOptions(const QStringList& arguments, const QStringList& withValue,
                                           const QStringList& switches) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == u"--help" || a == u"-h") {
            m_help = true;
        } else if (switches.contains(a)) {
            m_switches.append(a);
        } else if (a.startsWith(QStringLiteral("--"))) {
            if (!withValue.contains(a))
                throw HXCommandLineUsageError{QStringLiteral("unknown option %1").arg(a)};
            if (i + 1 >= arguments.size())
                throw HXCommandLineUsageError{QStringLiteral("option %1 needs a value").arg(a)};
            if (m_values.count(a))
                throw HXCommandLineUsageError{QStringLiteral("option %1 given twice").arg(a)};
            m_values[a] = arguments[++i];
        } else {
            m_plain.append(a);
        }
    }
}

std::optional<QString> HXCommandLineOptions::value(QStringView name) const {
    const auto it = m_values.find(name);
    return it == m_values.end() ? std::nullopt : std::optional<QString>(it->second);
}

void HXCommandLineOptions::refusePlainArguments() const {
    if (m_plain.isEmpty())
        return;
    const QString& first = m_plain.first();
    // "-" alone names standard output or input where a verb takes it, so it is an argument.
    if (first.size() > 1 && first.startsWith(u'-'))
        throw HXCommandLineUsageError{QStringLiteral("unknown option %1").arg(first)};
    throw HXCommandLineUsageError{QStringLiteral("unexpected argument %1").arg(first)};
}

int HXCommandLineChoice(const QString& given, QStringView option, const std::map<QString, int>& choices) {
    const auto it = choices.find(given);
    if (it == choices.end())
        throw HXCommandLineUsageError{QStringLiteral("unknown %1 %2").arg(option, given)};
    return it->second;
}

double HXParseCommandLineDate(const QString& text, bool endOfDay) {
    // Qt reads a date from the first ten characters alone, so a date is only what is nothing more.
    const QDate day = text.size() == 10 ? QDate::fromString(text, Qt::ISODate) : QDate();
    if (day.isValid())
        return static_cast<double>(
            QDateTime(endOfDay ? day.addDays(1) : day, QTime(0, 0)).toSecsSinceEpoch());
    const QDateTime time = QDateTime::fromString(text, Qt::ISODate);
    if (!time.isValid())
        throw HXCommandLineUsageError{QStringLiteral("not an ISO 8601 date: %1").arg(text)};
    return static_cast<double>(time.toMSecsSinceEpoch()) / 1000.0;
}

void HXCheckCommandLineInterval(double begin, double end) {
    if (end < begin) {
        const auto text = [](double t) {
            return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(t * 1000.0)).toString(Qt::ISODate);
        };
        throw HXCommandLineUsageError{
            QStringLiteral("the end (%1) lies before the begin (%2)").arg(text(end), text(begin))};
    }
}

HXCommandLineDates HXReadCommandLineDates(const HXCommandLineOptions& options) {
    HXCommandLineDates dates;
    if (const std::optional<QString> from = options.value(u"--from"))
        dates.from = HXParseCommandLineDate(*from, false);
    if (const std::optional<QString> to = options.value(u"--to"))
        dates.to = HXParseCommandLineDate(*to, true);
    if (dates.from && dates.to)
        HXCheckCommandLineInterval(*dates.from, *dates.to);
    return dates;
}
