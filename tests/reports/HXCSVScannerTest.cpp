#include "ReportsTestSupport.h"

#include "reports/HXCSVScanner.h"

#include "foundation/HXLog.h"

#include <gtest/gtest.h>

namespace {

using Records = QList<QStringList>;

Records scan(const QString& text, bool trim = false, const QString& separator = QStringLiteral(",")) {
    const std::optional<Records> records = scanCSVRecordsWithFieldSeparator(text, separator, trim);
    EXPECT_TRUE(records) << text.toStdString();
    return records.value_or(Records{});
}

} // namespace

TEST(CSVScanner, LinesAndFields) {
    EXPECT_EQ(scan(QStringLiteral("a,b\nc,d")), (Records{{QStringLiteral("a"), QStringLiteral("b")},
                                                         {QStringLiteral("c"), QStringLiteral("d")}}));
    // LF, CR and CR LF end lines; empty lines are skipped; empty fields stay.
    const Records r = scan(QStringLiteral("a,,b\r\n\r\nc,d,\re,f,g\n\n"));
    ASSERT_EQ(r.size(), 3);
    EXPECT_EQ(r[0], (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")}));
    EXPECT_EQ(r[1], (QStringList{QStringLiteral("c"), QStringLiteral("d"), QString()}));
    EXPECT_EQ(r[2], (QStringList{QStringLiteral("e"), QStringLiteral("f"), QStringLiteral("g")}));
    EXPECT_TRUE(scan(QString()).isEmpty());
    EXPECT_EQ(scan(QStringLiteral("a::b::c"), false, QStringLiteral("::")).first().size(), 3);
    EXPECT_EQ(scan(QStringLiteral("a\tb;c"), false, QStringLiteral("\t")).first(),
              (QStringList{QStringLiteral("a"), QStringLiteral("b;c")}));
}

TEST(CSVScanner, QuotedSections) {
    // A line break and a separator inside quotes; a doubled quote; an empty quoted field.
    Records r = scan(QStringLiteral("\"x\ny\",\"a,b\"\n\"say \"\"hi\"\"\",\"\"\n"));
    ASSERT_EQ(r.size(), 2);
    EXPECT_EQ(r[0], (QStringList{QStringLiteral("x\ny"), QStringLiteral("a,b")}));
    EXPECT_EQ(r[1], (QStringList{QStringLiteral("say \"hi\""), QString()}));
    // A field that is only a doubled quote inside quotes.
    EXPECT_EQ(scan(QStringLiteral("\"\"\"\",x")).first(),
              (QStringList{QStringLiteral("\""), QStringLiteral("x")}));
    // A quoted section in the middle of an unquoted field joins its neighbours.
    EXPECT_EQ(scan(QStringLiteral("ab\"c,d\"ef,g")).first(),
              (QStringList{QStringLiteral("abc,def"), QStringLiteral("g")}));
    // CR LF inside quotes stays in the field.
    EXPECT_EQ(scan(QStringLiteral("\"1\r\n2\",3")).first(),
              (QStringList{QStringLiteral("1\r\n2"), QStringLiteral("3")}));
}

TEST(CSVScanner, Trimming) {
    const QString text = QStringLiteral("  a , \" b \" ,\t\"c\" d \n");
    EXPECT_EQ(scan(text, true).first(),
              (QStringList{QStringLiteral("a"), QStringLiteral(" b "), QStringLiteral("c d")}));
    EXPECT_EQ(scan(text, false).first(),
              (QStringList{QStringLiteral("  a "), QStringLiteral("  b  "), QStringLiteral("\tc d ")}));
}

TEST(CSVScanner, UnclosedQuotesFailTheWholeScan) {
    EXPECT_FALSE(
        scanCSVRecordsWithFieldSeparator(QStringLiteral("a,b\nc,\"d\n"), QStringLiteral(","), false));
    EXPECT_FALSE(scanCSVRecordsWithFieldSeparator(QStringLiteral("\"a\"\""), QStringLiteral(","), false));
    EXPECT_FALSE(scanCSVRecordsWithFieldSeparator(QStringLiteral("\""), QStringLiteral(","), true));
    EXPECT_TRUE(scanCSVRecordsWithFieldSeparator(QStringLiteral("\"a\"\"\""), QStringLiteral(","), false));
}

TEST(CSVScanner, WrongFieldCountsAreDroppedAndLogged) {
    HXLogging::Capture log;
    const Records r = scan(QStringLiteral("a,b\nc\n\"q1\",x,y\n\"q2\",z\n"));
    ASSERT_EQ(r.size(), 2);
    // The dropped record's quoted text is not handed to a later record.
    EXPECT_EQ(r[1], (QStringList{QStringLiteral("q2"), QStringLiteral("z")}));
    const QStringList lines = log.lines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0],
              u"[HXCSVParser] incorrect number of fields in record: (c) (expected: 2; raw line: c)");
    EXPECT_EQ(
        lines[1],
        u"[HXCSVParser] incorrect number of fields in record: (q1, x, y) (expected: 2; raw line: \",x,y)");
}

TEST(CSVScanner, RepeatedWarningsAreCountedAndLongLinesNeitherSplitNorLoggedWhole) {
    HXLogging::Capture log;
    QString text = QStringLiteral("a,b\n");
    for (int i = 0; i < 1000; ++i)
        text += QStringLiteral("x%1\n").arg(i);
    // A line of a million separators, a record with far too many fields.
    text += QString(1000000, u',') + u'\n';
    text += QStringLiteral("c,d\n");
    const Records r = scan(text);
    ASSERT_EQ(r.size(), 2);
    EXPECT_EQ(r[1], (QStringList{QStringLiteral("c"), QStringLiteral("d")}));
    const QStringList lines = log.lines();
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(lines[0],
              u"[HXCSVParser] incorrect number of fields in record: (x0) (expected: 2; raw line: x0)");
    EXPECT_EQ(lines[10], u"[HXCSVParser] 991 more records with an incorrect number of fields");
    for (const QString& line : lines)
        EXPECT_LT(line.size(), 600);

    // A first record wider than any export is no header; the next record is.
    log.clear();
    const Records wide =
        scan(QString(10000, u';') + QStringLiteral("\na;b\nc;d\n"), false, QStringLiteral(";"));
    ASSERT_EQ(wide.size(), 2);
    EXPECT_EQ(wide[0], (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_LT(log.lines()[0].size(), 600);
}
