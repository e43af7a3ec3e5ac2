// The project's replay scenarios: each replay-scenarios/NAME.json, started from NAME.configuration.plist
// when there is one, must leave exactly the configuration in NAME.expected.plist (XML). A deliberate change
// of what the tick records is accepted by writing the new result there:
//   qualdern-replay NAME.json [--configuration NAME.configuration.plist] --out out.plist
//   qualdern-plist convert --xml out.plist NAME.expected.plist
#include "foundation/HXPropertyList.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>

namespace {

const QString kScenarios = QStringLiteral(QD_REPLAY_SCENARIO_DIR);

std::vector<std::string> scenarioNames() {
    std::vector<std::string> names;
    for (const QString& file :
         QDir(kScenarios).entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name))
        names.push_back(QFileInfo(file).completeBaseName().toStdString());
    return names;
}

QByteArray canonical(const QString& path) {
    const HXDictionaryRef configuration = HXDictionary::deeplyMutableDictionaryWithContentsOfFile(path);
    return configuration ? propertyListData(HXValue(configuration)) : QByteArray();
}

} // namespace

class HXReplayScenario : public ::testing::TestWithParam<std::string> {};

TEST_P(HXReplayScenario, LeavesTheExpectedConfiguration) {
    const QString name = QString::fromStdString(GetParam());
    const QString base = QDir(kScenarios).filePath(name);
    ScratchFolder scratch;
    const QString out = scratch.file(QStringLiteral("out.plist"));
    QStringList arguments{base + QStringLiteral(".json"), QStringLiteral("--out"), out};
    if (QFileInfo::exists(base + QStringLiteral(".configuration.plist")))
        arguments << QStringLiteral("--configuration") << base + QStringLiteral(".configuration.plist");

    QProcess replay;
    replay.start(QStringLiteral(QD_REPLAY_TOOL), arguments);
    ASSERT_TRUE(replay.waitForFinished(60000));
    ASSERT_EQ(replay.exitCode(), 0) << replay.readAllStandardError().toStdString();

    const QByteArray expected = canonical(base + QStringLiteral(".expected.plist"));
    ASSERT_FALSE(expected.isEmpty()) << "no readable " << name.toStdString() << ".expected.plist";
    const QByteArray actual = canonical(out);
    if (actual != expected) {
        // Kept for a diff against the expected file.
        const QString kept = QDir::current().filePath(name + QStringLiteral(".actual.plist"));
        const std::optional<QByteArray> xml =
            HXPropertyList::writeXML(HXValue(HXDictionary::deeplyMutableDictionaryWithContentsOfFile(out)));
        QFile file(kept);
        if (xml && file.open(QIODevice::WriteOnly))
            file.write(*xml);
        ADD_FAILURE() << name.toStdString() << ": the replay left another configuration; see "
                      << kept.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, HXReplayScenario, ::testing::ValuesIn(scenarioNames()),
                         [](const ::testing::TestParamInfo<std::string>& scenario) {
                             std::string name = scenario.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });
