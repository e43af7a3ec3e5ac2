// "qualdern render": exact sizes, the stored settings as defaults and the options over them, the ribbon,
// renderings without labels, snapshots, and one-line errors with their exit status; nothing is written
// but the picture.
#include "ReportViewTestSupport.h"

#include "reports/cli/HXRenderCommand.h"

#include "foundation/HXPropertyList.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

namespace {

class RenderCommand : public testing::Test {
protected:
    void SetUp() override {
        qputenv("XDG_CONFIG_HOME", folder.file(QStringLiteral("config")).toUtf8());
        qputenv("XDG_DATA_HOME", folder.file(QStringLiteral("data")).toUtf8());
        HXDictionaryRef app = reportRecord(QStringLiteral("Editor"), {localTime(9, 0), -localTime(10, 0)},
                                           {localTime(8, 0), -localTime(12, 0)});
        app->setValue(HXKeys::ApplicationID, QStringLiteral("editor"));
        app->setBool(true, HXKeys::Active);
        HXDictionaryRef applications = HXDictionary::create();
        applications->setValue(QStringLiteral("editor"), app);
        HXDictionaryRef configuration =
            makeDictionary({{QStringLiteral("Applications"), applications},
                            {QStringLiteral("First Timestamp"), localTime(8, 0)},
                            {QStringLiteral("First Pool Timestamp"), localTime(8, 0)},
                            {QStringLiteral("Last Timestamp"), localTime(12, 0)}});
        config = folder.file(QStringLiteral("Default.plist"));
        ASSERT_TRUE(writeToBinaryFile(HXValue(configuration), config, true));
    }
    void TearDown() override {
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
    }
    int run(QStringList arguments) {
        out.clear();
        err.clear();
        QTextStream o(&out);
        QTextStream e(&err);
        arguments.prepend(QStringLiteral("render"));
        return HXRunRenderCommand(arguments, o, e);
    }
    QString png(const QString& name) const { return folder.file(name + QStringLiteral(".png")); }

    ScratchFolder folder;
    QString config;
    QString out;
    QString err;
};

} // namespace

TEST_F(RenderCommand, DrawsAPictureOfExactlyTheRequestedSize) {
    ASSERT_EQ(run({QStringLiteral("--config"), config, QStringLiteral("--out"), png(QStringLiteral("a"))}), 0)
        << err.toStdString();
    EXPECT_EQ(QImage(png(QStringLiteral("a"))).size(), QSize(800, 600));
    ASSERT_EQ(run({QStringLiteral("--config"), config, QStringLiteral("--out"), png(QStringLiteral("b")),
                   QStringLiteral("--size"), QStringLiteral("321x123"), QStringLiteral("--interval"),
                   QStringLiteral("all")}),
              0);
    const QImage all(png(QStringLiteral("b")));
    EXPECT_EQ(all.size(), QSize(321, 123));
    // One row over the whole picture: the front bar (9:00 to 10:00 of 8:00 to 12:00) in the front colour.
    EXPECT_EQ(all.pixelColor(120, 100), all.pixelColor(100, 100));
    EXPECT_NE(all.pixelColor(40, 100), all.pixelColor(120, 100));
    // Not all the data: the ribbon is along the bottom.
    ASSERT_EQ(
        run({QStringLiteral("--config"), config, QStringLiteral("--out"), png(QStringLiteral("c")),
             QStringLiteral("--size"), QStringLiteral("321x123"), QStringLiteral("--from"),
             QStringLiteral("1970-01-01"), QStringLiteral("--to"),
             QDateTime::fromSecsSinceEpoch(static_cast<qint64>(localTime(11, 0))).toString(Qt::ISODate)}),
        0)
        << err.toStdString();
    const QImage part(png(QStringLiteral("c")));
    // The knob from the first data (x = 0) to 11:00, then the strip.
    EXPECT_NE(part.pixelColor(5, 116), all.pixelColor(5, 116));
    EXPECT_NE(part.pixelColor(300, 116), all.pixelColor(300, 116));
    EXPECT_NE(part.pixelColor(5, 116), part.pixelColor(300, 116));
}

TEST_F(RenderCommand, OptionsOverTheStoredSettingsWhichStayAsTheyWere) {
    const QString settings = folder.file(QStringLiteral("config/Qualdern/Defaults.plist"));
    {
        HXUserDefaults defaults(settings);
        defaults.setInteger(u"Color Scheme", 2);
        defaults.setInteger(u"Report: Default: Interval", 0);
        ASSERT_TRUE(defaults.synchronize());
    }
    QFile file(settings);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    ASSERT_EQ(
        run({QStringLiteral("--config"), config, QStringLiteral("--out"), png(QStringLiteral("light"))}), 0);
    ASSERT_EQ(run({QStringLiteral("--config"), config, QStringLiteral("--out"), png(QStringLiteral("dark")),
                   QStringLiteral("--scheme"), QStringLiteral("dark"), QStringLiteral("--format"),
                   QStringLiteral("portions"), QStringLiteral("--activity"), QStringLiteral("total")}),
              0);
    const QImage light(png(QStringLiteral("light")));
    const QImage dark(png(QStringLiteral("dark")));
    EXPECT_GT(light.pixelColor(790, 590).lightness(), 200);
    EXPECT_LT(dark.pixelColor(790, 590).lightness(), 60);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_FALSE(QFileInfo::exists(folder.file(QStringLiteral("data/Qualdern"))));
}

TEST_F(RenderCommand, WithoutLabelsNothingButBarsIsDrawn) {
    ASSERT_EQ(run({QStringLiteral("--config"), config, QStringLiteral("--out"), png(QStringLiteral("bare")),
                   QStringLiteral("--no-labels"), QStringLiteral("--interval"), QStringLiteral("all"),
                   QStringLiteral("--size"), QStringLiteral("400x100")}),
              0);
    const QImage bare(png(QStringLiteral("bare")));
    // Where a label would be (the top left of the row) there is only the total activity.
    EXPECT_EQ(bare.pixelColor(12, 10), bare.pixelColor(60, 90));
}

TEST_F(RenderCommand, SnapshotsAndErrors) {
    const QString csv = folder.file(QStringLiteral("week.csv"));
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Application,Foreground Begin (Unix Time),Foreground End (Unix "
               "Time)\nEditor,1773651600.00,1773655200.00\n");
    file.close();
    EXPECT_EQ(run({QStringLiteral("--snapshot"), csv, QStringLiteral("--out"), png(QStringLiteral("s")),
                   QStringLiteral("--size"), QStringLiteral("200x100")}),
              0)
        << err.toStdString();
    EXPECT_EQ(QImage(png(QStringLiteral("s"))).size(), QSize(200, 100));

    const auto fails = [&](QStringList arguments, int status) {
        EXPECT_EQ(run(arguments), status) << arguments.join(u' ').toStdString();
        EXPECT_EQ(err.count(u'\n'), 1) << err.toStdString();
        EXPECT_TRUE(err.startsWith(QStringLiteral("qualdern render: "))) << err.toStdString();
    };
    fails({QStringLiteral("--config"), config}, 2);
    fails(
        {QStringLiteral("--out"), png(QStringLiteral("x")), QStringLiteral("--size"), QStringLiteral("0x10")},
        2);
    fails(
        {QStringLiteral("--out"), png(QStringLiteral("x")), QStringLiteral("--size"), QStringLiteral("big")},
        2);
    fails({QStringLiteral("--out"), png(QStringLiteral("x")), QStringLiteral("--scheme"),
           QStringLiteral("pink")},
          2);
    fails({QStringLiteral("--out"), png(QStringLiteral("x")), QStringLiteral("--interval"),
           QStringLiteral("week"), QStringLiteral("--from"), QStringLiteral("2026-01-01")},
          2);
    fails({QStringLiteral("--out"), png(QStringLiteral("x")), QStringLiteral("--config"),
           folder.file(QStringLiteral("missing.plist"))},
          1);
    fails({QStringLiteral("--out"), png(QStringLiteral("x")), QStringLiteral("--snapshot"),
           folder.file(QStringLiteral("missing.csv"))},
          1);
    fails({QStringLiteral("--out"), folder.file(QStringLiteral("no/such/folder.png")),
           QStringLiteral("--config"), config},
          1);
    fails({QStringLiteral("--out"), png(QStringLiteral("x")), QStringLiteral("--config"), config,
           QStringLiteral("--from"), QStringLiteral("2001-01-01"), QStringLiteral("--to"),
           QStringLiteral("2001-01-02")},
          1);
    EXPECT_FALSE(QFileInfo::exists(png(QStringLiteral("x"))));
    EXPECT_EQ(run({QStringLiteral("--help")}), 0);
    EXPECT_TRUE(out.contains(QStringLiteral("--no-labels")));
}
