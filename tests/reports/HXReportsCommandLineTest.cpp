#include "ReportsTestSupport.h"

#include "reports/cli/HXReportsCommandLine.h"

#include "foundation/HXPropertyList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A scratch home for the settings and the data folder, with the sample configuration stored in it.
class CommandLine : public ::testing::Test {
protected:
    CommandLine() {
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
            m_saved.emplace_back(name, qgetenv(name));
        }
        qputenv("XDG_CONFIG_HOME", scratch.file(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", scratch.file(QStringLiteral("data")).toLocal8Bit());
        QDir().mkpath(scratch.file(QStringLiteral("config/Qualdern")));
        QDir().mkpath(scratch.file(QStringLiteral("data/Qualdern/Configurations")));
        configPath = scratch.file(QStringLiteral("Stored.plist"));
        EXPECT_TRUE(writeToBinaryFile(HXValue(sampleConfiguration()), configPath, true));
    }
    ~CommandLine() override {
        for (const auto& [name, value] : m_saved) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
    }

    int run(const QStringList& arguments) {
        out.clear();
        err.clear();
        QTextStream o(&out);
        QTextStream e(&err);
        const int status = HXRunReportsCommandLine(arguments, o, e);
        o.flush();
        e.flush();
        return status;
    }

    void setDefault(const QString& key, const HXValue& value) {
        HXUserDefaults defaults(HXUserDefaults::standardPath());
        defaults.setObject(key, value);
        ASSERT_TRUE(defaults.synchronize());
    }

    QJsonArray reportRecords(const QStringList& arguments) {
        EXPECT_EQ(run(arguments), 0) << err.toStdString();
        return QJsonDocument::fromJson(out.toUtf8()).object().value(QStringLiteral("records")).toArray();
    }

    ScratchFolder scratch;
    QString configPath;
    QString out;
    QString err;

private:
    std::vector<std::pair<const char*, QByteArray>> m_saved;
};

QStringList namesIn(const QJsonArray& records) {
    QStringList names;
    for (const QJsonValue& r : records)
        names.append(QString(r.toObject().value(QStringLiteral("depth")).toInt() * 2, u' ') +
                     r.toObject().value(QStringLiteral("name")).toString());
    return names;
}

} // namespace

TEST_F(CommandLine, WrongArgumentsExitWithTwo) {
    const std::vector<QStringList> cases{
        {QStringLiteral("frobnicate")},
        {QStringLiteral("report"), QStringLiteral("--colour")},
        {QStringLiteral("report"), QStringLiteral("--format")},
        {QStringLiteral("report"), QStringLiteral("--format"), QStringLiteral("xml")},
        {QStringLiteral("report"), QStringLiteral("--interval"), QStringLiteral("decade")},
        {QStringLiteral("report"), QStringLiteral("--from"), QStringLiteral("yesterday")},
        {QStringLiteral("report"), QStringLiteral("--interval"), QStringLiteral("week"),
         QStringLiteral("--to"), QStringLiteral("2026-01-01")},
        {QStringLiteral("report"), QStringLiteral("--format"), QStringLiteral("json"),
         QStringLiteral("--format"), QStringLiteral("text")},
        {QStringLiteral("report"), QStringLiteral("stray")},
        {QStringLiteral("export"), QStringLiteral("--config"), QStringLiteral("x")},
        {QStringLiteral("snapshot")},
        {QStringLiteral("snapshot"), QStringLiteral("a.csv"), QStringLiteral("b.csv")},
        {QStringLiteral("snapshot"), QStringLiteral("a.csv"), QStringLiteral("--format"),
         QStringLiteral("csv")},
    };
    for (const QStringList& arguments : cases) {
        EXPECT_EQ(run(arguments), 2) << arguments.join(u' ').toStdString();
        EXPECT_EQ(err.count(u'\n'), 1) << err.toStdString();
        EXPECT_TRUE(err.startsWith(QStringLiteral("qualdern "))) << err.toStdString();
        EXPECT_TRUE(out.isEmpty());
    }
    EXPECT_EQ(run({QStringLiteral("export"), QStringLiteral("--out"), scratch.file(QStringLiteral("x.csv")),
                   QStringLiteral("--pool"), QStringLiteral("Nope"), QStringLiteral("--config"), configPath}),
              2);
    EXPECT_FALSE(QFileInfo::exists(scratch.file(QStringLiteral("x.csv"))));

    // Every verb names a stray argument the same way; one with a dash reads as a mistyped option.
    EXPECT_EQ(run({QStringLiteral("report"), QStringLiteral("-x")}), 2);
    EXPECT_EQ(err, QStringLiteral("qualdern report: unknown option -x\n"));
    EXPECT_EQ(
        run({QStringLiteral("export"), QStringLiteral("--out"), QStringLiteral("-"), QStringLiteral("-")}),
        2);
    EXPECT_EQ(err, QStringLiteral("qualdern export: unexpected argument -\n"));
}

TEST_F(CommandLine, Help) {
    for (const QString& verb :
         {QStringLiteral("report"), QStringLiteral("export"), QStringLiteral("snapshot")}) {
        EXPECT_EQ(run({verb, QStringLiteral("--help")}), 0);
        EXPECT_TRUE(out.startsWith(QStringLiteral("usage: qualdern ") + verb)) << out.toStdString();
    }
    EXPECT_TRUE(HXIsReportsCommandLineVerb(QStringLiteral("snapshot")));
    EXPECT_FALSE(HXIsReportsCommandLineVerb(QStringLiteral("--help")));
}

TEST_F(CommandLine, ReportOfTheStoredConfiguration) {
    // All data: every application is listed (inactive ones too) and sorted by stored front time; Mail is
    // expanded and shows its windows, Editor does not.
    const QJsonArray records = reportRecords(
        {QStringLiteral("report"), QStringLiteral("--interval"), QStringLiteral("all"),
         QStringLiteral("--format"), QStringLiteral("json"), QStringLiteral("--config"), configPath});
    EXPECT_EQ(namesIn(records), strings({u"Editor", u"Mail", u"  Drafts", u"  Inbox", u"Idle", u"Leisure",
                                         u"Work", u"  Mail", u"    Inbox", u"  Editor"}));
    const QJsonObject mail = records[1].toObject();
    EXPECT_EQ(mail.value(QStringLiteral("kind")).toString(), u"Application");
    EXPECT_EQ(mail.value(QStringLiteral("activeLog")).toArray(), (QJsonArray{1000, -2000, 5000, -6000}));
    EXPECT_EQ(mail.value(QStringLiteral("time")).toDouble(), 2000);
    EXPECT_EQ(mail.value(QStringLiteral("timeText")).toString(), u"33:20");
    // Applications and pools were active 10-20, 50-60, 1000-4000 and 5000-6000: 4020 s.
    EXPECT_EQ(mail.value(QStringLiteral("percentage")).toString(), u"49%");
    EXPECT_EQ(records[2].toObject().value(QStringLiteral("kind")).toString(), u"Window");
    EXPECT_EQ(records[5].toObject().value(QStringLiteral("kind")).toString(), u"Pool");
    EXPECT_EQ(records[7].toObject().value(QStringLiteral("kind")).toString(), u"Pool Item");

    // A free interval in ISO 8601; the text and CSV forms carry the same records.
    ASSERT_EQ(run({QStringLiteral("report"), QStringLiteral("--from"), QStringLiteral("1970-01-01T00:25:00Z"),
                   QStringLiteral("--to"), QStringLiteral("1970-01-01T00:50:00Z"), QStringLiteral("--config"),
                   configPath}),
              0)
        << err.toStdString();
    const QStringList lines = out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines[0].startsWith(u"Application")) << out.toStdString();
    EXPECT_TRUE(
        out.contains(QRegularExpression(QStringLiteral("Window\\s+  Inbox\\s+-\\s+-\\s+5:00\\s+20%"))))
        << out.toStdString();
    ASSERT_EQ(run({QStringLiteral("report"), QStringLiteral("--from"), QStringLiteral("1970-01-01T00:25:00Z"),
                   QStringLiteral("--to"), QStringLiteral("1970-01-01T00:50:00Z"), QStringLiteral("--format"),
                   QStringLiteral("csv"), QStringLiteral("--config"), configPath}),
              0);
    EXPECT_TRUE(out.startsWith(u"Kind,Depth,Name,Front Time,Front Percentage,Time,Percentage\n"));
    EXPECT_TRUE(out.contains(u"Window,1,Inbox,-,-,5:00,20%"));

    // Settings from the user's file count: hide inactive applications and the pools section.
    setDefault(QStringLiteral("Show Inactive Applications"), false);
    setDefault(QStringLiteral("Live Report: Pools"), false);
    EXPECT_EQ(namesIn(reportRecords({QStringLiteral("report"), QStringLiteral("--interval"),
                                     QStringLiteral("all"), QStringLiteral("--format"),
                                     QStringLiteral("json"), QStringLiteral("--config"), configPath})),
              strings({u"Mail", u"  Inbox"}));
}

TEST_F(CommandLine, ExportAndSnapshot) {
    setDefault(QStringLiteral("Export Column: Total"), true);
    const QString csv = scratch.file(QStringLiteral("all.csv"));
    ASSERT_EQ(
        run({QStringLiteral("export"), QStringLiteral("--out"), csv, QStringLiteral("--config"), configPath}),
        0)
        << err.toStdString();
    const QString text = QString::fromUtf8(contents(csv));
    EXPECT_TRUE(
        text.startsWith(u"Pool,Application,Window,Foreground Begin (Unix Time),Foreground End (Unix Time),"
                        u"Total Begin (Unix Time),Total End (Unix Time)\n"));
    EXPECT_TRUE(text.contains(u",Idle,,0.00,0.00,10.00,20.00\n"));
    EXPECT_EQ(QFileInfo(csv).permissions() & 0x0077, 0);

    const QString workCsv = scratch.file(QStringLiteral("work.csv"));
    ASSERT_EQ(run({QStringLiteral("export"), QStringLiteral("--out"), workCsv, QStringLiteral("--pool"),
                   QStringLiteral("Work"), QStringLiteral("--from"), QStringLiteral("1970-01-01T00:25:00Z"),
                   QStringLiteral("--config"), configPath}),
              0);
    const QStringList workLines = QString::fromUtf8(contents(workCsv)).split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(workLines.size(), 1 + 5);
    for (qsizetype i = 1; i < workLines.size(); ++i)
        EXPECT_TRUE(workLines[i].startsWith(u"Work,")) << workLines[i].toStdString();
    EXPECT_TRUE(workLines.contains(u"Work,,,0.00,0.00,1500.00,4000.00"));

    // Read back: the same records as the export wrote.
    ASSERT_EQ(run({QStringLiteral("snapshot"), csv, QStringLiteral("--format"), QStringLiteral("json")}), 0);
    const QJsonArray records =
        QJsonDocument::fromJson(out.toUtf8()).object().value(QStringLiteral("records")).toArray();
    EXPECT_EQ(namesIn(records),
              strings({u"Drafts", u"Editor", u"  main.cpp", u"Idle", u"Mail", u"  Drafts", u"  Inbox",
                       u"Leisure", u"Work", u"  Editor", u"  Mail", u"    Inbox"})
                  .mid(1));
    EXPECT_EQ(run({QStringLiteral("snapshot"), csv}), 0);
    EXPECT_TRUE(out.contains(u"Pool Item")) << out.toStdString();

    // A file that is no export: the error text and status 1.
    const QString bad = scratch.file(QStringLiteral("bad.csv"));
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Name,Value\nx,1\n");
    file.close();
    EXPECT_EQ(run({QStringLiteral("snapshot"), bad}), 1);
    EXPECT_EQ(err, u"No relevant event stream types found\n");
    EXPECT_EQ(run({QStringLiteral("snapshot"), scratch.file(QStringLiteral("none.csv"))}), 1);
    EXPECT_EQ(err, u"Cannot open file: No such file or directory\n");
}

TEST_F(CommandLine, NeverChangesStoredFiles) {
    // The default configuration path, an unreadable settings file: both stay exactly as they were.
    const QString defaultConfig = scratch.file(QStringLiteral("data/Qualdern/Configurations/Default.plist"));
    ASSERT_TRUE(QFile::copy(configPath, defaultConfig));
    const QString settings = HXUserDefaults::standardPath();
    QFile file(settings);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<plist><dict><key>broken");
    file.close();
    const QByteArray configBefore = contents(defaultConfig);
    const QByteArray settingsBefore = contents(settings);

    EXPECT_EQ(run({QStringLiteral("report"), QStringLiteral("--interval"), QStringLiteral("year")}), 0)
        << err.toStdString();
    EXPECT_EQ(run({QStringLiteral("export"), QStringLiteral("--out"), scratch.file(QStringLiteral("e.csv"))}),
              0);
    EXPECT_EQ(contents(defaultConfig), configBefore);
    EXPECT_EQ(contents(settings), settingsBefore);
    EXPECT_EQ(QDir(scratch.file(QStringLiteral("config/Qualdern"))).entryList(QDir::Files).size(), 1);

    QFile::remove(defaultConfig);
    EXPECT_EQ(run({QStringLiteral("report")}), 1);
    EXPECT_TRUE(err.startsWith(QStringLiteral("cannot read configuration <") + defaultConfig))
        << err.toStdString();
    EXPECT_EQ(HXStandardConfigurationPath(), defaultConfig);
}

TEST_F(CommandLine, ExportNeverWritesOverTheTrackersOwnFiles) {
    const QString defaultConfig = scratch.file(QStringLiteral("data/Qualdern/Configurations/Default.plist"));
    ASSERT_TRUE(QFile::copy(configPath, defaultConfig));
    setDefault(QStringLiteral("Sort"), 2);
    const QString settings = HXUserDefaults::standardPath();
    const QString linkToConfig = scratch.file(QStringLiteral("config-link.csv"));
    const QString linkToSettings = scratch.file(QStringLiteral("settings-link.csv"));
    const QString hardLink = scratch.file(QStringLiteral("hard.csv"));
    ASSERT_TRUE(QFile::link(defaultConfig, linkToConfig));
    ASSERT_TRUE(QFile::link(settings, linkToSettings));
    ASSERT_EQ(::link(QFile::encodeName(configPath).constData(), QFile::encodeName(hardLink).constData()), 0);
    const QByteArray configBefore = contents(defaultConfig);
    const QByteArray settingsBefore = contents(settings);
    const QByteArray storedBefore = contents(configPath);

    for (const QString& target : {defaultConfig, settings, linkToConfig, linkToSettings}) {
        EXPECT_EQ(run({QStringLiteral("export"), QStringLiteral("--out"), target}), 2)
            << target.toStdString();
        EXPECT_EQ(err.count(u'\n'), 1) << err.toStdString();
        EXPECT_TRUE(err.contains(QStringLiteral("the tracker's own data or settings"))) << err.toStdString();
    }
    // The configuration named with --config, directly or through a second name.
    for (const QString& target : {configPath, hardLink}) {
        EXPECT_EQ(run({QStringLiteral("export"), QStringLiteral("--config"), configPath,
                       QStringLiteral("--out"), target}),
                  2);
    }
    EXPECT_EQ(contents(defaultConfig), configBefore);
    EXPECT_EQ(contents(settings), settingsBefore);
    EXPECT_EQ(contents(configPath), storedBefore);
    EXPECT_TRUE(QFileInfo(linkToConfig).isSymLink());
    EXPECT_EQ(run({QStringLiteral("report")}), 0) << err.toStdString();
}

TEST_F(CommandLine, ExportStreamsIntoPipesDevicesAndStandardOutput) {
    // "-" is standard output.
    ASSERT_EQ(run({QStringLiteral("export"), QStringLiteral("--out"), QStringLiteral("-"),
                   QStringLiteral("--config"), configPath}),
              0)
        << err.toStdString();
    EXPECT_TRUE(out.startsWith(QStringLiteral("Pool,Application,Window,"))) << out.toStdString();
    const QString csv = out;
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("-")));

    // A named pipe stays a pipe, and what is read from it is the export.
    const QString fifo = scratch.file(QStringLiteral("pipe.csv"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_EQ(run({QStringLiteral("export"), QStringLiteral("--out"), fifo, QStringLiteral("--config"),
                   configPath}),
              0)
        << err.toStdString();
    QByteArray piped(1 << 16, '\0');
    const ssize_t n = ::read(reader, piped.data(), static_cast<size_t>(piped.size()));
    ::close(reader);
    ASSERT_GT(n, 0);
    piped.truncate(n);
    EXPECT_EQ(QString::fromUtf8(piped), csv);
    EXPECT_TRUE(QFileInfo(fifo).isFile() == false && QFileInfo::exists(fifo));
    struct stat s {};
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &s), 0);
    EXPECT_TRUE(S_ISFIFO(s.st_mode));

    // A device that cannot take the data is a failure, and stays the device.
    EXPECT_EQ(run({QStringLiteral("export"), QStringLiteral("--out"), QStringLiteral("/dev/full"),
                   QStringLiteral("--config"), configPath}),
              1);
    EXPECT_TRUE(err.startsWith(QStringLiteral("cannot export to </dev/full>: No space left")))
        << err.toStdString();
    ASSERT_EQ(::stat("/dev/full", &s), 0);
    EXPECT_TRUE(S_ISCHR(s.st_mode));
    EXPECT_EQ(run({QStringLiteral("export"), QStringLiteral("--out"), QStringLiteral("/dev/null"),
                   QStringLiteral("--config"), configPath}),
              0);
    ASSERT_EQ(::stat("/dev/null", &s), 0);
    EXPECT_TRUE(S_ISCHR(s.st_mode));

    EXPECT_EQ(run({QStringLiteral("export"), QStringLiteral("--out"), scratch.path(),
                   QStringLiteral("--config"), configPath}),
              1);
    EXPECT_TRUE(err.contains(QStringLiteral("is a folder"))) << err.toStdString();
}

TEST_F(CommandLine, AnEndBeforeTheBeginIsRefused) {
    for (const QString& verb : {QStringLiteral("report"), QStringLiteral("export")}) {
        QStringList arguments{verb,
                              QStringLiteral("--from"),
                              QStringLiteral("2030-01-01"),
                              QStringLiteral("--to"),
                              QStringLiteral("2020-01-01"),
                              QStringLiteral("--config"),
                              configPath};
        if (verb == u"export")
            arguments << QStringLiteral("--out") << scratch.file(QStringLiteral("never.csv"));
        EXPECT_EQ(run(arguments), 2);
        EXPECT_TRUE(err.contains(QStringLiteral("lies before the begin"))) << err.toStdString();
        EXPECT_TRUE(out.isEmpty()) << out.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(scratch.file(QStringLiteral("never.csv"))));
    // A begin in the future, with the end now.
    EXPECT_EQ(run({QStringLiteral("report"), QStringLiteral("--from"), QStringLiteral("2999-01-01"),
                   QStringLiteral("--config"), configPath}),
              2);
    EXPECT_EQ(
        run({QStringLiteral("report"), QStringLiteral("--from"), QStringLiteral("2020-01-01"),
             QStringLiteral("--to"), QStringLiteral("2020-01-01"), QStringLiteral("--config"), configPath}),
        0)
        << err.toStdString();
}

TEST_F(CommandLine, ReadsOnlyRegularFilesAndSaysWhatIsWrong) {
    const QString fifo = scratch.file(QStringLiteral("pipe.plist"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const std::vector<std::pair<QString, QString>> cases{
        {QStringLiteral("/dev/zero"), QStringLiteral("is a device")},
        {fifo, QStringLiteral("is a named pipe")},
        {scratch.path(), QStringLiteral("is a folder")},
        {scratch.file(QStringLiteral("none.plist")), QStringLiteral("No such file")},
    };
    for (const auto& [path, reason] : cases) {
        EXPECT_EQ(run({QStringLiteral("report"), QStringLiteral("--config"), path}), 1);
        EXPECT_TRUE(err.startsWith(QStringLiteral("cannot read configuration <%1>: %2").arg(path, reason)))
            << err.toStdString();
        EXPECT_EQ(run({QStringLiteral("snapshot"), path}), 1);
        EXPECT_TRUE(err.startsWith(QStringLiteral("Cannot open file: ") + reason)) << err.toStdString();
    }
    // Settings that are a device read as none.
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), HXUserDefaults::standardPath()));
    EXPECT_EQ(run({QStringLiteral("report"), QStringLiteral("--config"), configPath}), 0)
        << err.toStdString();
}

TEST_F(CommandLine, TimesThatAreNotFiniteReadAsMissing) {
    HXDictionaryRef configuration = sampleConfiguration();
    const double inf = std::numeric_limits<double>::infinity();
    configuration->setValue(u"Last Timestamp", inf);
    const HXDictionaryRef mail = application(*configuration, QStringLiteral("com.mail"));
    ASSERT_TRUE(mail);
    mail->setValue(HXKeys::ActiveLog, HXArray::createWithDoubles({100, -200, 300, -inf}));
    mail->setValue(HXKeys::Time, std::numeric_limits<double>::quiet_NaN());
    ASSERT_TRUE(writeToBinaryFile(HXValue(configuration), configPath, true));
    for (const QString& format : {QStringLiteral("text"), QStringLiteral("json")}) {
        for (const QStringList& interval :
             {QStringList{QStringLiteral("--interval"), QStringLiteral("all")},
              QStringList{QStringLiteral("--from"), QStringLiteral("1970-01-01"), QStringLiteral("--to"),
                          QStringLiteral("2100-01-01")}}) {
            ASSERT_EQ(run(QStringList{QStringLiteral("report"), QStringLiteral("--config"), configPath,
                                      QStringLiteral("--format"), format} +
                          interval),
                      0)
                << err.toStdString();
            EXPECT_FALSE(out.contains(QStringLiteral("922337"))) << out.toStdString();
            EXPECT_FALSE(out.contains(QStringLiteral("inf"), Qt::CaseInsensitive)) << out.toStdString();
            EXPECT_FALSE(out.contains(QStringLiteral("nan"), Qt::CaseInsensitive)) << out.toStdString();
        }
    }
    // The log's finite stretch is still there.
    const QJsonArray records =
        reportRecords({QStringLiteral("report"), QStringLiteral("--config"), configPath,
                       QStringLiteral("--format"), QStringLiteral("json"), QStringLiteral("--from"),
                       QStringLiteral("1970-01-01"), QStringLiteral("--to"), QStringLiteral("1970-01-02")});
    bool found = false;
    for (const QJsonValue& r : records) {
        if (r.toObject().value(QStringLiteral("name")).toString() == u"Mail") {
            found = true;
            EXPECT_GE(r.toObject().value(QStringLiteral("time")).toDouble(), 100.0);
        }
    }
    EXPECT_TRUE(found);
}

TEST_F(CommandLine, SnapshotTimesBeyondAnyDateReadOutOfRange) {
    const QString csv = scratch.file(QStringLiteral("far.csv"));
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Application,Total Begin (Unix Time),Total End (Unix Time)\n"
               "Mail,1700000000.00,100000000000000000000000000000000000000000000.00\n");
    file.close();
    ASSERT_EQ(run({QStringLiteral("snapshot"), csv}), 0) << err.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("out of range"))) << out.toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("days"))) << out.toStdString();
}
