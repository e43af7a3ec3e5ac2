#include "platform/x11/HXDesktopEntryMatcher.h"
#include "QtTypePrinting.h"
#include "platform/x11/HXProgramKey.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>

using namespace std::chrono_literals;

namespace {

const QString kFixtures = QStringLiteral(QD_PLATFORM_FIXTURES "/desktop");

QStringList fixtureFolders() {
    return {kFixtures + QStringLiteral("/home/applications"),
            kFixtures + QStringLiteral("/dirs1/applications"),
            kFixtures + QStringLiteral("/dirs2/applications")};
}

QString searchPath() {
    return kFixtures + QStringLiteral("/bin:") + qEnvironmentVariable("PATH");
}

HXDesktopEntryMatcher fixtureMatcher(const char* locale = "C", QStringList extraFolders = {}) {
    return HXDesktopEntryMatcher(HXDesktopEntryIndex(
        fixtureFolders() + extraFolders, HXDesktopLocale(QString::fromLatin1(locale)), searchPath()));
}

QString idOf(const HXDesktopEntryIndex::Entry& entry) {
    return entry ? entry->id : QStringLiteral("(none)");
}

// A process that lives as long as the object.
class Running {
public:
    Running(const QString& program, const QStringList& arguments) {
        m_process.start(program, arguments);
        EXPECT_TRUE(m_process.waitForStarted()) << program.toStdString();
        // Started can be told a moment before the child has become the program, and the kernel shows
        // the new executable a moment before the new command line.
        const QString ours = HXProgramKey::executableOf(QCoreApplication::applicationPid());
        for (int i = 0; i < 250 && (HXProgramKey::executableOf(pid()) == ours || commandLine().isEmpty());
             ++i)
            QThread::msleep(20);
    }
    ~Running() {
        m_process.kill();
        m_process.waitForFinished();
    }
    std::int64_t pid() const { return m_process.processId(); }
    QByteArray commandLine() const {
        QFile file(QStringLiteral("/proc/%1/cmdline").arg(pid()));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Launchers such as pyenv's shims run a while before the real program replaces them.
    bool waitForExecutable(const QString& fileNamePrefix) const {
        for (int i = 0; i < 250; ++i) {
            if (QFileInfo(HXProgramKey::executableOf(pid())).fileName().startsWith(fileNamePrefix) &&
                !commandLine().isEmpty())
                return true;
            QThread::msleep(20);
        }
        return false;
    }

private:
    QProcess m_process;
};

bool writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

TEST(HXDesktopEntryMatcherTest, StartupWMClassExactlyThenIgnoringCase) {
    HXDesktopEntryMatcher matcher = fixtureMatcher();
    // a-lower.desktop comes first, but b-mixed.desktop has the class exactly.
    EXPECT_EQ(idOf(matcher.match(-1, QString(), QStringLiteral("MixedCase"))),
              QStringLiteral("b-mixed.desktop"));
    EXPECT_EQ(idOf(matcher.match(-1, QString(), QStringLiteral("mixedcase"))),
              QStringLiteral("a-lower.desktop"));
    EXPECT_EQ(idOf(matcher.match(-1, QString(), QStringLiteral("MIXEDCASE"))),
              QStringLiteral("a-lower.desktop"));
    // The instance counts when the class does not.
    EXPECT_EQ(idOf(matcher.match(-1, QStringLiteral("QdNoDisplay"), QStringLiteral("Unknown"))),
              QStringLiteral("qdfix-nodisplay.desktop"));
    // The class wins over the instance.
    EXPECT_EQ(idOf(matcher.match(-1, QStringLiteral("MixedCase"), QStringLiteral("QdNoDisplay"))),
              QStringLiteral("qdfix-nodisplay.desktop"));
    EXPECT_EQ(idOf(matcher.match(-1, QStringLiteral("nothing"), QStringLiteral("Nothing"))),
              QStringLiteral("(none)"));
}

TEST(HXDesktopEntryMatcherTest, FirstIdWinsHiddenDeletesOtherTypesNeverMatch) {
    HXDesktopEntryMatcher matcher = fixtureMatcher();
    const auto editor = matcher.match(-1, QString(), QStringLiteral("QdEditor"));
    ASSERT_TRUE(editor);
    // home/applications/vendor/editor.desktop has the ID vendor-editor.desktop and hides the system one.
    EXPECT_EQ(editor->id, QStringLiteral("vendor-editor.desktop"));
    EXPECT_EQ(editor->name, QStringLiteral("Home Editor"));
    EXPECT_EQ(editor->path, kFixtures + QStringLiteral("/home/applications/vendor/editor.desktop"));

    EXPECT_FALSE(matcher.match(-1, QString(), QStringLiteral("QdHidden")));
    EXPECT_FALSE(matcher.match(-1, QString(), QStringLiteral("QdLink")));
    EXPECT_EQ(idOf(matcher.match(-1, QString(), QStringLiteral("QdOnlySecond"))),
              QStringLiteral("qdfix-only2.desktop"));
}

TEST(HXDesktopEntryMatcherTest, IdentifierOrItsLastDottedPartIgnoringCase) {
    HXDesktopEntryMatcher matcher = fixtureMatcher("de_CH.UTF-8");
    const auto viewer = matcher.match(-1, QString(), QStringLiteral("viewer"));
    ASSERT_TRUE(viewer);
    EXPECT_EQ(viewer->path, kFixtures + QStringLiteral("/dirs1/applications/org.example.Viewer.desktop"));
    EXPECT_EQ(viewer->name, QStringLiteral("Bildbetrachter"));
    EXPECT_EQ(idOf(matcher.match(-1, QString(), QStringLiteral("ORG.EXAMPLE.VIEWER"))),
              QStringLiteral("org.example.Viewer.desktop"));
    EXPECT_FALSE(matcher.match(-1, QString(), QStringLiteral("example")));
    EXPECT_EQ(idOf(matcher.match(-1, QString(), QStringLiteral("qdfix-only2"))),
              QStringLiteral("qdfix-only2.desktop"));
}

TEST(HXDesktopEntryMatcherTest, ProgramsAndInterpretedScripts) {
    ScratchFolder scratch;
    const QString script = scratch.file(QStringLiteral("tool.py"));
    ASSERT_TRUE(writeFile(script, "import time\nwhile True:\n    time.sleep(1)\n"));
    const QString extra = scratch.file(QStringLiteral("applications"));
    ASSERT_TRUE(writeFile(extra + QStringLiteral("/qdfix-python.desktop"),
                          "[Desktop Entry]\nType=Application\nName=Python Tool\nExec=python3 -u " +
                              QFile::encodeName(script) + " %f\n"));
    // Were an interpreter keyed by itself, this entry would claim every shell.
    ASSERT_TRUE(writeFile(extra + QStringLiteral("/qdfix-shell.desktop"),
                          "[Desktop Entry]\nType=Application\nName=Shell Thing\nExec=sh -c \"exit 0\"\n"));
    HXDesktopEntryMatcher matcher = fixtureMatcher("C", {extra});

    Running sleeper(QStringLiteral("sleep"), {QStringLiteral("30")});
    EXPECT_EQ(idOf(matcher.match(sleeper.pid(), QString(), QString())),
              QStringLiteral("qdfix-sleeper.desktop"));

    Running shellScript(kFixtures + QStringLiteral("/bin/qd-fixture-script"), {});
    EXPECT_EQ(idOf(matcher.match(shellScript.pid(), QStringLiteral("x"), QStringLiteral("Y"))),
              QStringLiteral("sub-script.desktop"));

    Running python(QStringLiteral("python3"), {QStringLiteral("-u"), script});
    ASSERT_TRUE(python.waitForExecutable(QStringLiteral("python")));
    EXPECT_EQ(idOf(matcher.match(python.pid(), QString(), QString())),
              QStringLiteral("qdfix-python.desktop"));

    Running shell(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("while :; do sleep 1; done")});
    EXPECT_EQ(idOf(matcher.match(shell.pid(), QString(), QString())), QStringLiteral("(none)"));
}

TEST(HXDesktopEntryMatcherTest, IndexFollowsFolderChanges) {
    ScratchFolder scratch;
    const QString folder = scratch.file(QStringLiteral("applications"));
    const QString later = folder + QStringLiteral("/new/later.desktop");
    HXDesktopEntryMatcher matcher(HXDesktopEntryIndex({folder, scratch.file(QStringLiteral("not-yet"))},
                                                      HXDesktopLocale(QStringLiteral("C")), searchPath()),
                                  0ms);
    EXPECT_FALSE(matcher.match(-1, QString(), QStringLiteral("QdLater")));

    // The folder does not exist yet; the new subfolder changes it.
    ASSERT_TRUE(writeFile(later, "[Desktop Entry]\nType=Application\nName=Later\nStartupWMClass=QdLater\n"));
    EXPECT_EQ(idOf(matcher.match(-1, QString(), QStringLiteral("QdLater"))),
              QStringLiteral("new-later.desktop"));

    ASSERT_TRUE(writeFile(scratch.file(QStringLiteral("not-yet/early.desktop")),
                          "[Desktop Entry]\nType=Application\nName=Early\nStartupWMClass=QdEarly\n"));
    EXPECT_EQ(idOf(matcher.match(-1, QString(), QStringLiteral("QdEarly"))), QStringLiteral("early.desktop"));

    ASSERT_TRUE(QFile::remove(later));
    EXPECT_FALSE(matcher.match(-1, QString(), QStringLiteral("QdLater")));
}

TEST(HXDesktopEntryMatcherTest, StandardFoldersFromTheEnvironment) {
    qputenv("XDG_DATA_HOME", "/home/someone/data");
    qputenv("XDG_DATA_DIRS", "/opt/share:/usr/share/");
    EXPECT_EQ(
        HXDesktopEntryIndex::standardFolders(),
        QStringList({QStringLiteral("/home/someone/data/applications"),
                     QStringLiteral("/opt/share/applications"), QStringLiteral("/usr/share/applications")}));
    qunsetenv("XDG_DATA_DIRS");
    EXPECT_EQ(HXDesktopEntryIndex::standardFolders().mid(1),
              QStringList({QStringLiteral("/usr/local/share/applications"),
                           QStringLiteral("/usr/share/applications")}));
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(HXDesktopEntryIndex::standardFolders().front(),
              QDir::homePath() + QStringLiteral("/.local/share/applications"));
}

} // namespace
