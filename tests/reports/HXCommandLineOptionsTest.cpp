// The verbs' shared option parser: values, switches, plain arguments, help, and one clear message for each
// mistake; dates, named values and intervals as the verbs read them.
#include "reports/cli/HXCommandLineOptions.h"
#include "reports/HXReportInterval.h"
#include "reports/cli/HXCommandLineInputs.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <map>

namespace {

const QStringList kWithValue{QStringLiteral("--out"), QStringLiteral("--size")};
const QStringList kSwitches{QStringLiteral("--no-labels")};

QString usageErrorOf(const QStringList& arguments) {
    try {
        HXCommandLineOptions(arguments, kWithValue, kSwitches);
    } catch (const HXCommandLineUsageError& e) {
        return e.text;
    }
    return QString();
}

} // namespace

TEST(CommandLineOptions, ReadsValuesSwitchesAndPlainArgumentsAfterTheVerb) {
    const HXCommandLineOptions options({QStringLiteral("--out"), QStringLiteral("--out"),
                                        QStringLiteral("a.png"), QStringLiteral("b"),
                                        QStringLiteral("--no-labels"), QStringLiteral("-x"),
                                        QStringLiteral("--size"), QStringLiteral("--no-labels")},
                                       kWithValue, kSwitches);
    // The first argument is the verb, whatever it looks like.
    EXPECT_EQ(options.value(u"--out"), QStringLiteral("a.png"));
    // A value is taken as it is, even when it looks like an option.
    EXPECT_EQ(options.value(u"--size"), QStringLiteral("--no-labels"));
    EXPECT_TRUE(options.isSet(u"--no-labels"));
    EXPECT_EQ(options.plain(), (QStringList{QStringLiteral("b"), QStringLiteral("-x")}));
    EXPECT_FALSE(options.help());
    EXPECT_THROW(options.refusePlainArguments(), HXCommandLineUsageError);

    const HXCommandLineOptions bare({QStringLiteral("verb"), QStringLiteral("-h")}, kWithValue, kSwitches);
    EXPECT_TRUE(bare.help());
    EXPECT_FALSE(bare.value(u"--out"));
    EXPECT_FALSE(bare.isSet(u"--no-labels"));
    EXPECT_NO_THROW(bare.refusePlainArguments());
    EXPECT_TRUE(HXCommandLineOptions({QStringLiteral("verb"), QStringLiteral("--help")}, {}).help());
}

TEST(CommandLineOptions, RefusesUnknownIncompleteAndRepeatedOptions) {
    const QString verb = QStringLiteral("verb");
    EXPECT_EQ(usageErrorOf({verb, QStringLiteral("--outt"), QStringLiteral("x")}),
              QStringLiteral("unknown option --outt"));
    EXPECT_EQ(usageErrorOf({verb, QStringLiteral("--out")}), QStringLiteral("option --out needs a value"));
    EXPECT_EQ(usageErrorOf({verb, QStringLiteral("--out"), QStringLiteral("a"), QStringLiteral("--out"),
                            QStringLiteral("b")}),
              QStringLiteral("option --out given twice"));
    // A switch takes no value: what follows it is an argument of its own.
    EXPECT_EQ(usageErrorOf({verb, QStringLiteral("--no-labels"), QStringLiteral("--size")}),
              QStringLiteral("option --size needs a value"));

    // Plain arguments where a verb takes none: a dashed one is an option nobody knows.
    const auto refused = [](const QStringList& arguments) {
        try {
            HXCommandLineOptions(arguments, kWithValue, kSwitches).refusePlainArguments();
        } catch (const HXCommandLineUsageError& e) {
            return e.text;
        }
        return QString();
    };
    EXPECT_EQ(refused({verb, QStringLiteral("-x")}), QStringLiteral("unknown option -x"));
    EXPECT_EQ(refused({verb, QStringLiteral("stray"), QStringLiteral("-x")}),
              QStringLiteral("unexpected argument stray"));
    EXPECT_EQ(refused({verb, QStringLiteral("-")}), QStringLiteral("unexpected argument -"));
}

TEST(CommandLineOptions, NamedValuesAndIntervals) {
    const std::map<QString, int> schemes{{QStringLiteral("dark"), 1}, {QStringLiteral("light"), 2}};
    EXPECT_EQ(HXCommandLineChoice(QStringLiteral("light"), u"scheme", schemes), 2);
    try {
        HXCommandLineChoice(QStringLiteral("Dark"), u"scheme", schemes);
        ADD_FAILURE() << "a name in the wrong case passed";
    } catch (const HXCommandLineUsageError& e) {
        EXPECT_EQ(e.text, QStringLiteral("unknown scheme Dark"));
    }
    EXPECT_EQ(HXCommandLineReportInterval(QStringLiteral("today")), HXReportIntervalToday);
    EXPECT_EQ(HXCommandLineReportInterval(QStringLiteral("week")), HXReportIntervalThisWeek);
    EXPECT_EQ(HXCommandLineReportInterval(QStringLiteral("month")), HXReportIntervalThisMonth);
    EXPECT_EQ(HXCommandLineReportInterval(QStringLiteral("year")), HXReportIntervalThisYear);
    EXPECT_EQ(HXCommandLineReportInterval(QStringLiteral("all")), HXReportIntervalNone);
    EXPECT_THROW(HXCommandLineReportInterval(QStringLiteral("decade")), HXCommandLineUsageError);
}

TEST(CommandLineOptions, DatesAreLocalTimesAndADayAloneCoversTheDay) {
    const double day = static_cast<double>(QDateTime(QDate(2026, 12, 7), QTime(0, 0)).toSecsSinceEpoch());
    const double next = static_cast<double>(QDateTime(QDate(2026, 12, 8), QTime(0, 0)).toSecsSinceEpoch());
    EXPECT_EQ(HXParseCommandLineDate(QStringLiteral("2026-12-07"), false), day);
    EXPECT_EQ(HXParseCommandLineDate(QStringLiteral("2026-12-07"), true), next);
    EXPECT_EQ(HXParseCommandLineDate(QStringLiteral("2026-12-07T09:30"), true), day + 9.5 * 3600);
    for (const char* wrong : {"2026-12-07x", "2026-13-01", "yesterday", ""})
        EXPECT_THROW(HXParseCommandLineDate(QString::fromLatin1(wrong), false), HXCommandLineUsageError)
            << wrong;

    EXPECT_NO_THROW(HXCheckCommandLineInterval(day, day));
    try {
        HXCheckCommandLineInterval(next, day);
        ADD_FAILURE() << "an end before the begin passed";
    } catch (const HXCommandLineUsageError& e) {
        EXPECT_TRUE(e.text.startsWith(QStringLiteral("the end (2026-12-07T00:00:00) lies before the begin")))
            << e.text.toStdString();
    }
}

TEST(CommandLineOptions, FromAndToAreReadAloneOrTogetherInOrder) {
    const QStringList dateOptions{QStringLiteral("--from"), QStringLiteral("--to")};
    const auto read = [&](const QStringList& arguments) {
        return HXReadCommandLineDates(HXCommandLineOptions(arguments, dateOptions));
    };
    const double day = static_cast<double>(QDateTime(QDate(2026, 12, 7), QTime(0, 0)).toSecsSinceEpoch());

    const HXCommandLineDates none = read({QStringLiteral("report")});
    EXPECT_FALSE(none.from || none.to);
    const HXCommandLineDates toAlone =
        read({QStringLiteral("report"), QStringLiteral("--to"), QStringLiteral("2026-12-07")});
    EXPECT_FALSE(toAlone.from);
    EXPECT_EQ(toAlone.to, day + 86400);
    const HXCommandLineDates both =
        read({QStringLiteral("report"), QStringLiteral("--from"), QStringLiteral("2026-12-07"),
              QStringLiteral("--to"), QStringLiteral("2026-12-07")});
    EXPECT_EQ(both.from, day);
    EXPECT_EQ(both.to, day + 86400);
    EXPECT_THROW(read({QStringLiteral("report"), QStringLiteral("--from"), QStringLiteral("2026-12-08T01:00"),
                       QStringLiteral("--to"), QStringLiteral("2026-12-07T23:00")}),
                 HXCommandLineUsageError);
}
