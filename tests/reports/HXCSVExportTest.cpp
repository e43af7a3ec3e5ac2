#include "ReportsTestSupport.h"

#include "reports/HXCSVExport.h"
#include "reports/HXCSVScanner.h"

#include "foundation/HXLog.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <gtest/gtest.h>

using namespace HXKeys;

namespace {

class CSVExport : public ::testing::Test {
protected:
    CSVExport() : source(sampleConfiguration()) {
        m_savedLocale = QLocale();
        QLocale::setDefault(QLocale::c());
    }
    ~CSVExport() override { QLocale::setDefault(m_savedLocale); }

    QString exportText(const HXDictionaryRef& pool = nullptr, double begin = 1000, double end = 6000) {
        const std::optional<QByteArray> data = exportPoolAsCSVData(source, pool, begin, end);
        return data ? QString::fromUtf8(*data) : QStringLiteral("<nothing>");
    }

    void setColumns(bool pool, bool notes, bool application, bool window, bool front, bool total) {
        HXUserDefaults& d = source.defaults();
        d.setBool(u"Export Column: Pool", pool);
        d.setBool(u"Export Column: Pool Notes", notes);
        d.setBool(u"Export Column: Application", application);
        d.setBool(u"Export Column: Window", window);
        d.setBool(u"Export Column: Front", front);
        d.setBool(u"Export Column: Total", total);
    }

    TestReportSource source;

private:
    QLocale m_savedLocale;
};

QStringList lines(const QString& text) {
    QStringList l = text.split(u'\n');
    EXPECT_TRUE(l.last().isEmpty()) << "every line ends with the row separator";
    l.removeLast();
    return l;
}

} // namespace

TEST_F(CSVExport, EveryColumnCombination) {
    for (int mask = 0; mask < 64; ++mask) {
        const bool pool = mask & 1, notes = mask & 2, app = mask & 4, window = mask & 8, front = mask & 16,
                   total = mask & 32;
        setColumns(pool, notes, app, window, front, total);
        HXLogging::Capture log;
        const std::optional<QByteArray> data = exportPoolAsCSVData(source, nullptr, 1000, 6000);
        if ((!app && !pool) || (!front && !total)) {
            EXPECT_FALSE(data) << mask;
            EXPECT_TRUE(log.contains(QStringLiteral("you managed to uncheck all relevant columns")));
            continue;
        }
        ASSERT_TRUE(data) << mask;
        QStringList header;
        for (const auto& [on, name] : std::vector<std::pair<bool, const char16_t*>>{
                 {pool, u"Pool"}, {notes, u"Pool Notes"}, {app, u"Application"}, {window, u"Window"}})
            if (on)
                header.append(QString::fromUtf16(name));
        if (front)
            header << QStringLiteral("Foreground Begin (Unix Time)")
                   << QStringLiteral("Foreground End (Unix Time)");
        if (total)
            header << QStringLiteral("Total Begin (Unix Time)") << QStringLiteral("Total End (Unix Time)");
        const auto records =
            scanCSVRecordsWithFieldSeparator(QString::fromUtf8(*data), QStringLiteral(","), false);
        ASSERT_TRUE(records);
        EXPECT_EQ(records->first(), header) << mask;
        // Foreground: Mail, its window Inbox, Editor, the pool Work. Total: Mail twice, Inbox, Editor,
        // main.cpp, Work, and its items Mail, Inbox and Editor.
        const int fg = (app ? 2 + (window ? 1 : 0) : 0) + (pool ? 1 : 0);
        const int all = (app ? 3 + (window ? 2 : 0) : 0) + (pool ? 1 + (app ? 2 + (window ? 1 : 0) : 0) : 0);
        EXPECT_EQ(records->size() - 1, (front ? fg : 0) + (total ? all : 0)) << mask;
        EXPECT_FALSE(log.contains(QStringLiteral("incorrect number of fields"))) << mask;
    }
}

TEST_F(CSVExport, RowsSortedAndTimesFromTheInterval) {
    setColumns(true, false, true, true, true, true);
    const QStringList l = lines(exportText());
    ASSERT_EQ(l.size(), 1 + 4 + 9);
    EXPECT_EQ(l[1], u",Mail,,1100.00,1500.00,0.00,0.00");
    EXPECT_EQ(l[2], u",Mail,Inbox,1100.00,1400.00,0.00,0.00");
    EXPECT_EQ(l[3], u"Work,,,1100.00,3500.00,0.00,0.00");
    EXPECT_EQ(l[4], u",Editor,,3000.00,3500.00,0.00,0.00");
    // Total rows follow in time order; ties keep their collection order; the open entry ends at the end.
    EXPECT_EQ(l[5], u",Mail,,0.00,0.00,1000.00,2000.00");
    EXPECT_EQ(l.last(), u",Mail,,0.00,0.00,5000.00,6000.00");
    // Clipping: a stretch running through the whole interval has the interval's bounds.
    const QStringList clipped = lines(exportText(nullptr, 1200, 1300));
    EXPECT_TRUE(clipped.contains(u",Mail,,1200.00,1300.00,0.00,0.00"));
    EXPECT_TRUE(clipped.contains(u"Work,,,0.00,0.00,1200.00,1300.00"));
}

TEST_F(CSVExport, Quoting) {
    EXPECT_EQ(HXCSVStringWithField(QStringLiteral("Mail, Inbox"), QStringLiteral(",")), u"\"Mail, Inbox\"");
    EXPECT_EQ(HXCSVStringWithField(QStringLiteral("Mail, Inbox"), QStringLiteral(";")), u"Mail, Inbox");
    EXPECT_EQ(HXCSVStringWithField(QStringLiteral("say \"hi\""), QStringLiteral(";")), u"\"say \"\"hi\"\"\"");
    EXPECT_EQ(HXCSVStringWithField(QStringLiteral("two\nlines"), QStringLiteral(";")), u"\"two\nlines\"");
    EXPECT_EQ(HXCSVStringWithField(QStringLiteral("cr\rhere"), QStringLiteral(",")), u"\"cr\rhere\"");
    EXPECT_EQ(HXCSVStringWithField(QStringLiteral("tab\there"), QStringLiteral("\t")), u"\"tab\there\"");
    EXPECT_EQ(HXCSVStringWithField(QString(), QStringLiteral(",")), QString());

    // Names in a file: the window "Mail, Inbox" and a title with a quote and a line break.
    const HXDictionaryRef inbox = application(*source.configuration(), QStringLiteral("com.mail"))
                                      ->dictionaryForKey(WindowsByName)
                                      ->dictionaryForKey(QStringLiteral("Inbox"));
    inbox->setValue(Name, QStringLiteral("Mail, Inbox"));
    const HXDictionaryRef mainCpp = application(*source.configuration(), QStringLiteral("org.editor"))
                                        ->dictionaryForKey(WindowsByName)
                                        ->dictionaryForKey(QStringLiteral("main.cpp"));
    mainCpp->setValue(Name, QStringLiteral("\"main.cpp\"\nmodified"));
    setColumns(false, true, true, true, false, true);
    source.defaults().setBool(u"Export Column: Pool", true);
    const QString comma = exportText();
    EXPECT_TRUE(comma.contains(u",Mail,\"Mail, Inbox\",1000.00,1800.00\n"));
    EXPECT_TRUE(comma.contains(u",Editor,\"\"\"main.cpp\"\"\nmodified\",3000.00,3900.00\n"));
    EXPECT_TRUE(comma.contains(u"Work,\"Client \"\"A\"\", billable\",,,1000.00,4000.00\n"));
    source.defaults().setInteger(u"Exported Report Column Separator", 1);
    const QString semicolon = exportText();
    EXPECT_TRUE(semicolon.startsWith(
        u"Pool;Pool Notes;Application;Window;Total Begin (Unix Time);Total End (Unix Time)\n"));
    EXPECT_TRUE(semicolon.contains(u";Mail;Mail, Inbox;1000.00;1800.00\n"));
    EXPECT_TRUE(semicolon.contains(u"Work;\"Client \"\"A\"\", billable\";;;1000.00;4000.00\n"));
    source.defaults().setInteger(u"Exported Report Column Separator", 2);
    EXPECT_TRUE(exportText().contains(u"\tMail\tMail, Inbox\t1000.00\t1800.00\n"));
}

TEST_F(CSVExport, SeparatorsAndCommaDecimals) {
    setColumns(true, false, true, true, false, true);
    EXPECT_TRUE(
        exportText().startsWith(u"Pool,Application,Window,Total Begin (Unix Time),Total End (Unix Time)\n"));
    source.defaults().setInteger(u"Exported Report Row Separator", 1);
    QString text = exportText();
    EXPECT_FALSE(text.contains(u'\n'));
    EXPECT_TRUE(text.endsWith(u",Mail,,5000.00,6000.00\r"));
    source.defaults().setInteger(u"Exported Report Row Separator", 2);
    text = exportText();
    EXPECT_EQ(text.count(QStringLiteral("\r\n")), text.count(u'\n'));
    EXPECT_TRUE(text.endsWith(u"\r\n"));
    source.defaults().setInteger(u"Exported Report Row Separator", 7);
    EXPECT_FALSE(exportText().contains(u'\r'));

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_TRUE(exportText().contains(u"Work,,,\"1000,00\",\"4000,00\"\n"));
    source.defaults().setInteger(u"Exported Report Column Separator", 1);
    EXPECT_TRUE(exportText().contains(u"Work;;;1000,00;4000,00\n"));
}

TEST_F(CSVExport, OnePool) {
    setColumns(false, false, true, true, true, true);
    const QStringList l = lines(exportText(pool(*source.configuration(), 0)));
    EXPECT_TRUE(l.first().startsWith(u"Pool,Application,Window,"));
    for (qsizetype i = 1; i < l.size(); ++i)
        EXPECT_TRUE(l[i].startsWith(u"Work,")) << l[i].toStdString();
    EXPECT_EQ(l.size(), 1 + 1 + 4);
}

TEST_F(CSVExport, OrganizerContent) {
    // Any content but 1 follows the organizer: its lists and order, windows only of expanded applications.
    const HXDictionaryRef c = source.configuration();
    const HXDictionaryRef mail = application(*c, QStringLiteral("com.mail"));
    const HXDictionaryRef editor = application(*c, QStringLiteral("org.editor"));
    editor->setListWindows(
        makeArray({editor->dictionaryForKey(WindowsByName)->dictionaryForKey(QStringLiteral("main.cpp"))}));
    mail->setListWindows(makeArray({}));
    source.setLists(makeArray({editor, mail}), makeArray({pool(*c, 1)}));
    source.defaults().setInteger(u"Exported Report Content", 0);
    setColumns(true, false, true, true, false, true);
    EXPECT_EQ(lines(exportText()),
              strings({u"Pool,Application,Window,Total Begin (Unix Time),Total End (Unix Time)",
                       u",Mail,,1000.00,2000.00", u",Editor,,3000.00,4000.00", u",Mail,,5000.00,6000.00"}));
    editor->setBool(true, Expanded);
    EXPECT_TRUE(exportText().contains(u",Editor,main.cpp,3000.00,3900.00\n"));
}

TEST_F(CSVExport, WritesPrivateFilesOrNothing) {
    ScratchFolder scratch;
    const QString path = scratch.file(QStringLiteral("out.csv"));
    EXPECT_TRUE(exportPool(source, nullptr, 1000, 6000, path));
    EXPECT_EQ(QFileInfo(path).permissions() & 0x0077, 0);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), exportText());

    setColumns(true, false, true, true, false, false);
    HXLogging::Capture log;
    const QString none = scratch.file(QStringLiteral("none.csv"));
    EXPECT_FALSE(exportPool(source, nullptr, 1000, 6000, none));
    EXPECT_FALSE(QFileInfo::exists(none));
    setColumns(true, false, true, true, true, false);
    EXPECT_FALSE(exportPool(source, nullptr, 1000, 6000, scratch.file(QStringLiteral("missing/dir/x.csv"))));
}

TEST_F(CSVExport, FieldsThatASpreadsheetWouldRunAreWrittenAsTheyAre) {
    // The format is read by other programs and stays as it is: no quote or apostrophe is put in front of
    // such a field (the risk is told in the README, next to the export).
    const HXDictionaryRef inbox = application(*source.configuration(), QStringLiteral("com.mail"))
                                      ->dictionaryForKey(WindowsByName)
                                      ->dictionaryForKey(QStringLiteral("Inbox"));
    setColumns(false, false, true, true, false, true);
    for (const QString& title :
         {QStringLiteral("=1+2"), QStringLiteral("+1"), QStringLiteral("-2"), QStringLiteral("@SUM(A1)")}) {
        inbox->setValue(Name, title);
        EXPECT_TRUE(exportText().contains(QStringLiteral("\nMail,%1,1000.00,1800.00\n").arg(title)))
            << exportText().toStdString();
    }
}
