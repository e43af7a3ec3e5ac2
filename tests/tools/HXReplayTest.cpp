#include "foundation/HXPropertyList.h"
#include "support/TestSupport.h"
#include "tools/replay/HXReplayRunner.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>

using namespace HXKeys;

namespace {

QByteArray tickJson(double at, const char* extra = "") {
    return QByteArray("{\"at\": ") + QByteArray::number(at, 'f', 3) + extra +
           ", \"front\": 7, \"applications\": [{\"pid\": 7, \"bundleIdentifier\": \"org.example.Editor\", "
           "\"bundlePath\": \"/usr/share/applications/org.example.Editor.desktop\", \"name\": \"Editor\", "
           "\"windows\": [{\"number\": 70, \"title\": \"Draft\"}, {\"title\": \"  \"}, {\"title\": null}]}]}";
}

QString errorOf(const QByteArray& json) {
    QString error;
    EXPECT_FALSE(HXParseReplayScript(json, &error));
    return error;
}

} // namespace

TEST(HXReplayScript, ErrorsNameThePlace) {
    EXPECT_TRUE(errorOf("{\"ticks\": [").startsWith(QStringLiteral("line 1, column 12: not JSON")));
    EXPECT_EQ(errorOf("{\"ticks\": [{\"gap\": true}]}"), QStringLiteral("ticks[0]: missing \"at\""));
    EXPECT_EQ(errorOf("{\"ticks\": [{\"at\": 2}, {\"at\": 1}]}"),
              QStringLiteral("ticks[1].at: time goes backwards (1.000 after 2.000)"));
    EXPECT_EQ(errorOf("{\"ticks\": [{\"at\": 1, \"applications\": [{\"pid\": \"x\"}]}]}"),
              QStringLiteral("ticks[0].applications[0].pid: expected a number"));
    EXPECT_EQ(
        errorOf("{\"ticks\": [{\"at\": 1, \"applications\": [{\"pid\": 1, \"activationPolicy\": 5}]}]}"),
        QStringLiteral("ticks[0].applications[0].activationPolicy: expected 0, 1 or 2"));
    EXPECT_EQ(errorOf("{\"defaults\": {\"x\": {}}, \"ticks\": []}"),
              QStringLiteral("defaults.x: expected true, false, a number, a string or an array of strings"));
    EXPECT_EQ(errorOf("[1]"), QStringLiteral("script: expected an object"));
}

TEST(HXReplayScript, DefaultsKeepTheirKinds) {
    QString error;
    const auto script = HXParseReplayScript("{\"defaults\": {\"a\": true, \"b\": 2, \"c\": 2.5, \"d\": "
                                            "\"s\", \"e\": [\"x\", \"y\"]}, \"ticks\": []}",
                                            &error);
    ASSERT_TRUE(script) << error.toStdString();
    EXPECT_EQ(script->defaults->value(u"a").type(), HXValueType::Bool);
    EXPECT_EQ(script->defaults->value(u"b").type(), HXValueType::Integer);
    EXPECT_EQ(script->defaults->value(u"c").type(), HXValueType::Real);
    EXPECT_EQ(script->defaults->arrayForKey(u"e")->count(), 2);
}

TEST(HXReplay, RunsTheTickOverTheSamples) {
    QString error;
    const auto script =
        HXParseReplayScript("{\"ticks\": [" + tickJson(1000) + "," + tickJson(1000.5) + "," +
                                tickJson(1010, ", \"gap\": true") + "," + tickJson(1011) + "]}",
                            &error);
    ASSERT_TRUE(script) << error.toStdString();
    const HXDictionaryRef result = HXRunReplay(*script, nullptr);
    const HXDictionaryRef editor =
        result->dictionaryForKey(u"Applications")->dictionaryForKey(u"org.example.Editor");
    ASSERT_TRUE(editor);
    EXPECT_DOUBLE_EQ(editor->timeIntervalForKey(Time), 1.5);
    EXPECT_DOUBLE_EQ(editor->timeIntervalForKey(FrontTime), 1.5);
    EXPECT_EQ(logValues(editor->arrayForKey(ActiveLog)), std::vector<double>({1000, -1000.5, 1010}));
    EXPECT_EQ(editor->dictionaryForKey(WindowsByName)->keys(), QStringList({QStringLiteral("Draft")}));
    EXPECT_DOUBLE_EQ(result->timeIntervalForKey(u"Overall Time"), 1.5);

    // Starting from a configuration continues it; the first tick of a run is a gap.
    const auto more =
        HXParseReplayScript("{\"ticks\": [" + tickJson(2000) + "," + tickJson(2002) + "]}", &error);
    const HXDictionaryRef continued = HXRunReplay(*more, result);
    const HXDictionaryRef again =
        continued->dictionaryForKey(u"Applications")->dictionaryForKey(u"org.example.Editor");
    EXPECT_DOUBLE_EQ(again->timeIntervalForKey(Time), 3.5);
    EXPECT_EQ(logValues(again->arrayForKey(ActiveLog)),
              std::vector<double>({1000, -1000.5, 1010, -1011, 2000}));
}

TEST(HXReplay, CommandLineWritesOnlyOnSuccess) {
    ScratchFolder scratch;
    const QString tool = QStringLiteral(QD_REPLAY_TOOL);
    const auto write = [&](const QString& name, const QByteArray& data) {
        QFile f(scratch.file(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
        return f.fileName();
    };
    const QString good = write(QStringLiteral("good.json"), "{\"ticks\": [" + tickJson(1000) + "]}");
    const QString bad = write(QStringLiteral("bad.json"), "{\"ticks\": [{\"at\": 3}, {\"at\": 2}]}");
    const QString out = scratch.file(QStringLiteral("out.plist"));

    QProcess p;
    p.start(tool, {bad, QStringLiteral("--out"), out});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("ticks[1].at")));
    EXPECT_FALSE(QFileInfo::exists(out));

    p.start(tool, {good});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 2);

    p.start(tool, {good, QStringLiteral("--out"), out});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const HXDictionaryRef written = HXDictionary::deeplyMutableDictionaryWithContentsOfFile(out);
    ASSERT_TRUE(written);
    EXPECT_TRUE(written->dictionaryForKey(u"Applications")->contains(u"org.example.Editor"));

    p.start(tool, {good, QStringLiteral("--out"), out, QStringLiteral("--configuration"), bad});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 2);
}
