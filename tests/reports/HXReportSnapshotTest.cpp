#include "ReportsTestSupport.h"

#include "reports/HXCSVExport.h"
#include "reports/HXClippedEventLog.h"
#include "reports/HXLiveReport.h"
#include "reports/HXReportSnapshot.h"

#include "foundation/HXLog.h"

#include <QFile>
#include <QLocale>

#include <gtest/gtest.h>

#include <map>

using namespace HXKeys;

namespace {

using Logs = std::pair<std::vector<double>, std::vector<double>>;

// The clipped logs of every record with events, keyed by its place: "A/Mail/Inbox", "P/Work/Mail/Inbox".
std::map<QString, Logs> logsByPlace(const HXArray& list) {
    std::map<QString, Logs> out;
    QStringList chain;
    QChar section;
    for (const HXValue& v : list.values()) {
        const HXDictionaryRef& r = v.toDictionary();
        const QString& path = r->stringForKey(Path);
        const QString name = r->stringForKey(Name);
        if (path == u"_Pool") {
            section = u'P';
            chain = {name};
        } else if (path == u"_Window") {
            chain = chain.mid(0, section == u'P' ? 2 : 1);
            chain.append(name);
        } else if (r->stringForKey(Type) == u"Pool Item") {
            chain = chain.mid(0, 1);
            chain.append(name);
        } else {
            section = u'A';
            chain = {name};
        }
        const Logs logs{logValues(r->arrayForKey(ActiveLog)), logValues(r->arrayForKey(FrontActiveLog))};
        if (!logs.first.empty() || !logs.second.empty())
            out[QString(section) + u'/' + chain.join(u'/')] = logs;
    }
    return out;
}

HXDictionaryRef readBack(const QByteArray& data, QStringList* errors = nullptr,
                         const QString& fallback = QStringLiteral(",")) {
    QStringList ignored;
    return reportSnapshotConfigurationFromCSVData(data, QStringLiteral("/tmp/x.csv"),
                                                  errors ? errors : &ignored, fallback);
}

QString errorFor(const QByteArray& data) {
    QStringList errors;
    EXPECT_FALSE(readBack(data, &errors));
    return errors.join(u'|');
}

class ReportSnapshot : public ::testing::Test {
protected:
    ReportSnapshot() : source(sampleConfiguration()), m_savedLocale(QLocale()) {
        QLocale::setDefault(QLocale::c());
        source.defaults().setBool(u"Export Column: Total", true);
        source.defaults().setBool(u"Export Column: Pool Notes", true);
        source.defaults().setInteger(u"Live Report Content (1252)", 3);
    }
    ~ReportSnapshot() override { QLocale::setDefault(m_savedLocale); }

    void expectRoundTrip(double begin, double end) {
        const QByteArray data = *exportPoolAsCSVData(source, nullptr, begin, end);
        const HXDictionaryRef snapshot = readBack(data, nullptr, QStringLiteral("\t"));
        ASSERT_TRUE(snapshot);
        const double first = snapshot->timeIntervalForKey(u"First Timestamp");
        const double last = snapshot->timeIntervalForKey(u"Last Timestamp");
        const auto expected = logsByPlace(*eventLogsClippedBetweenTimestamp(source, begin, end));
        EXPECT_EQ(logsByPlace(*snapshotReportList(*snapshot, first, last)), expected);
        EXPECT_FALSE(expected.empty());
    }

    TestReportSource source;

private:
    QLocale m_savedLocale;
};

} // namespace

TEST_F(ReportSnapshot, ExportReadsBackToTheSameClippedLogs) {
    expectRoundTrip(1000, 6000);
    expectRoundTrip(1200, 3600);
    source.defaults().setInteger(u"Exported Report Column Separator", 1);
    expectRoundTrip(1000, 6000);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    expectRoundTrip(1000, 6000);
    source.defaults().setInteger(u"Exported Report Column Separator", 0);
    expectRoundTrip(1500.25, 5000.75);
    source.defaults().setInteger(u"Exported Report Row Separator", 2);
    expectRoundTrip(1000, 6000);
}

TEST_F(ReportSnapshot, TreeShapeAndBounds) {
    const HXDictionaryRef snapshot = readBack(*exportPoolAsCSVData(source, nullptr, 1000, 6000));
    ASSERT_TRUE(snapshot);
    EXPECT_EQ(snapshot->stringForKey(Path), u"/tmp/x.csv");
    EXPECT_EQ(snapshot->timeIntervalForKey(u"First Timestamp"), 1000);
    EXPECT_EQ(snapshot->timeIntervalForKey(u"Last Timestamp"), 6000);
    EXPECT_TRUE(snapshot->boolForKey(u"Foreground Activity"));
    EXPECT_TRUE(snapshot->boolForKey(u"Total Activity"));
    const HXDictionaryRef containers = snapshot->dictionaryForKey(Children);
    const HXDictionaryRef apps = containers->dictionaryForKey(u"Applications");
    const HXDictionaryRef pools = containers->dictionaryForKey(u"Pools");
    EXPECT_FALSE(apps->contains(Type));
    EXPECT_FALSE(apps->contains(Path));
    EXPECT_EQ(pools->stringForKey(Type), u"Pool Item");
    const HXDictionaryRef mail = apps->dictionaryForKey(Children)->dictionaryForKey(u"Mail");
    EXPECT_EQ(mail->stringForKey(Path), u"Mail");
    EXPECT_FALSE(mail->contains(Type));
    EXPECT_EQ(mail->dictionaryForKey(Children)->dictionaryForKey(u"Inbox")->stringForKey(Path), u"_Window");
    const HXDictionaryRef work = pools->dictionaryForKey(Children)->dictionaryForKey(u"Work");
    EXPECT_EQ(work->stringForKey(Path), u"_Pool");
    const HXDictionaryRef item = work->dictionaryForKey(Children)->dictionaryForKey(u"Mail");
    EXPECT_EQ(item->stringForKey(Type), u"Pool Item");
    EXPECT_EQ(item->stringForKey(Path), u"Mail");
    EXPECT_EQ(item->dictionaryForKey(Children)->dictionaryForKey(u"Inbox")->stringForKey(Type), u"Pool Item");
    // The report list: applications by name with windows, then pools with items and windows by name.
    EXPECT_EQ(namesOf(*snapshotReportList(*snapshot, 1000, 6000)),
              strings({u"Editor", u"main.cpp", u"Mail", u"Inbox", u"Work", u"Editor", u"Mail", u"Inbox"}));
}

TEST_F(ReportSnapshot, HeaderDecidesTheSeparator) {
    source.defaults().setInteger(u"Exported Report Column Separator", 1);
    const QByteArray data = *exportPoolAsCSVData(source, nullptr, 1000, 6000);
    EXPECT_TRUE(readBack(data, nullptr, QStringLiteral(",")));
    // Without a separator after the names, the configured one serves.
    EXPECT_TRUE(readBack("Window\n", nullptr) == nullptr);
}

TEST_F(ReportSnapshot, WindowsWithoutApplicationGoUnderAnAsterisk) {
    const QByteArray data = "Window,Foreground Begin (Unix Time),Foreground End (Unix Time)\n"
                            "Inbox,1000.00,2000.00\n"
                            "Drafts,3000.00,3500.00\n";
    const HXDictionaryRef snapshot = readBack(data);
    ASSERT_TRUE(snapshot);
    EXPECT_FALSE(snapshot->boolForKey(u"Total Activity"));
    EXPECT_EQ(namesOf(*snapshotReportList(*snapshot, 1000, 3500)), strings({u"*", u"Drafts", u"Inbox"}));
}

TEST_F(ReportSnapshot, RowsWithWrongFieldCountsAreDropped) {
    HXLogging::Capture log;
    const QByteArray data = "Application,Total Begin (Unix Time),Total End (Unix Time)\n"
                            "Mail,1000.00,2000.00,extra\n"
                            "Editor,3000.00,3500.00\n";
    const HXDictionaryRef snapshot = readBack(data);
    ASSERT_TRUE(snapshot);
    EXPECT_EQ(namesOf(*snapshotReportList(*snapshot, 0, 1e10)), strings({u"Editor"}));
    EXPECT_TRUE(log.contains(QStringLiteral("[HXCSVParser] incorrect number of fields")));
}

TEST_F(ReportSnapshot, NumberFormats) {
    // Grouped numbers with either decimal separator; zero fields of the other kind are ignored.
    HXDictionaryRef s = readBack("Application;Total Begin (Unix Time);Total End (Unix Time);"
                                 "Foreground Begin (Unix Time);Foreground End (Unix Time)\n"
                                 "Mail;1,700,000,000.25;1,700,000,100.75;0.00;0.00\n");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->timeIntervalForKey(u"First Timestamp"), 1700000000.25);
    EXPECT_EQ(s->timeIntervalForKey(u"Last Timestamp"), 1700000100.75);
    EXPECT_FALSE(s->boolForKey(u"Foreground Activity"));
    s = readBack(
        "Application;Total Begin (Unix Time);Total End (Unix Time)\nMail;1.700.000.000,50;1700000100,00\n");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->timeIntervalForKey(u"First Timestamp"), 1700000000.5);
    // Blanks that locales group with read too.
    s = readBack(QStringLiteral("Application;Total Begin (Unix Time);Total End (Unix Time)\n"
                                "Mail;1\u202F700\u202F000\u202F000,50;1\u00A0700\u00A0000\u00A0100,00\n")
                     .toUtf8());
    ASSERT_TRUE(s);
    EXPECT_EQ(s->timeIntervalForKey(u"Last Timestamp"), 1700000100.0);
    // Text that is no number counts as zero: the row's node exists but holds no interval.
    s = readBack(
        "Application,Total Begin (Unix Time),Total End (Unix Time)\nA,12x4.00,2000.00\nB,1000.00,2000.00\n");
    ASSERT_TRUE(s);
    const HXArrayRef list = snapshotReportList(*s, 0, 1e10);
    EXPECT_EQ(namesOf(*list), strings({u"A", u"B"}));
    EXPECT_FALSE(list->dictionaryAt(0)->contains(ActiveLog));
    EXPECT_EQ(logValues(list->dictionaryAt(1)->arrayForKey(ActiveLog)), (std::vector<double>{1000, -2000}));
}

TEST_F(ReportSnapshot, SaysWhatIsWrongWithAFileThatIsNoText) {
    const QByteArray header = "Application,Total Begin (Unix Time),Total End (Unix Time)\n";
    EXPECT_EQ(errorFor(QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)), u"Not a text file");
    EXPECT_EQ(errorFor(header + QByteArray("Mail,1000.00,2000.00\0\n", 22)), u"Not a text file");
    EXPECT_EQ(errorFor("\xe9"), u"Not UTF-8 at line 1");
    EXPECT_EQ(errorFor(header + "Mail,1000.00,2000.00\nCaf\xe9,1000.00,2000.00\n"), u"Not UTF-8 at line 3");
    // Overlong forms and surrogates are not UTF-8 either; line ends of every kind count.
    EXPECT_EQ(errorFor(header + "\xc0\xaf,1,2\n"), u"Not UTF-8 at line 2");
    EXPECT_EQ(errorFor(header + "a,1,2\r\nb,1,2\r\xed\xa0\x80,1,2\n"), u"Not UTF-8 at line 4");
    EXPECT_TRUE(readBack(header + "Caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80,1000.00,2000.00\n"));

    ScratchFolder scratch;
    QStringList errors;
    EXPECT_FALSE(reportSnapshotConfigurationFromCSVFile(scratch.path(), &errors, QStringLiteral(",")));
    EXPECT_EQ(errors, strings({u"Cannot open file: is a folder"}));
    errors.clear();
    EXPECT_FALSE(
        reportSnapshotConfigurationFromCSVFile(QStringLiteral("/dev/zero"), &errors, QStringLiteral(",")));
    EXPECT_EQ(errors, strings({u"Cannot open file: is a device"}));
}

TEST_F(ReportSnapshot, ErrorTexts) {
    EXPECT_EQ(errorFor("Application,Total Begin (Unix Time),Total End (Unix Time)\n\"Mail,1,2\n"),
              u"Closing quote missing");
    EXPECT_EQ(errorFor("Application,Total Begin (Unix Time),Total End (Unix Time)\n"), u"Empty");
    EXPECT_EQ(errorFor(""), u"Empty");
    EXPECT_EQ(errorFor("\xff\xfe,x\n1,2\n"), u"Not UTF-8 at line 1");
    EXPECT_EQ(errorFor("Name,Total Begin (Unix Time),Total End (Unix Time)\nMail,1000.00,2000.00\n"),
              u"No relevant event stream types found");
    EXPECT_EQ(errorFor("Application,Total Begin (Unix Time)\nMail,1000.00\n"), u"No event streams found");
    EXPECT_EQ(
        errorFor("Application,Total Begin (Unix Time),Total End (Unix Time)\nMail,0.00,0.00\nB,0.00,0.00\n"),
        u"No events found");
    EXPECT_EQ(errorFor("Application,Total Begin (Unix Time),Total End (Unix Time)\n,1000.00,2000.00\n"),
              u"No events found");
    QStringList errors;
    EXPECT_FALSE(reportSnapshotConfigurationFromCSVFile(QStringLiteral("/nonexistent/x.csv"), &errors,
                                                        QStringLiteral(",")));
    EXPECT_EQ(errors, strings({u"Cannot open file: No such file or directory"}));
}
