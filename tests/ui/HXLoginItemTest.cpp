// The autostart entry: reading desktop entries and their Exec quoting, switching the entry on and off,
// stale entries for another copy of the program, system entries of the same name, and the switch.
#include "ui/HXLoginItem.h"
#include "ui/HXAutostartEntry.h"
#include "ui/HXLoginItemSwitch.h"

#include "foundation/HXLog.h"
#include "foundation/HXVirtualTime.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// Private XDG folders for one test; the previous environment comes back afterwards.
class LoginItemFolders : public testing::Test {
protected:
    LoginItemFolders()
        : m_oldConfigHome(qgetenv("XDG_CONFIG_HOME")), m_oldConfigDirs(qgetenv("XDG_CONFIG_DIRS")) {
        qputenv("XDG_CONFIG_HOME", folder.file(QStringLiteral("config")).toUtf8());
        qputenv("XDG_CONFIG_DIRS", folder.file(QStringLiteral("system")).toUtf8());
        program = folder.file(QStringLiteral("bin with space/qualdern"));
        QDir().mkpath(QFileInfo(program).absolutePath());
        writeFile(program, "#!/bin/sh\n");
    }
    ~LoginItemFolders() override {
        qputenv("XDG_CONFIG_HOME", m_oldConfigHome);
        qputenv("XDG_CONFIG_DIRS", m_oldConfigDirs);
    }
    static void writeFile(const QString& path, const QByteArray& text) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    static QByteArray readFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString userEntry() const {
        return folder.file(QStringLiteral("config/autostart/com.corvella.Qualdern.desktop"));
    }
    QString systemEntry() const {
        return folder.file(QStringLiteral("system/autostart/com.corvella.Qualdern.desktop"));
    }

    ScratchFolder folder;
    QString program;

private:
    QByteArray m_oldConfigHome;
    QByteArray m_oldConfigDirs;
};

using LoginItem = LoginItemFolders;
using LoginItemSwitch = LoginItemFolders;

} // namespace

TEST(HXAutostartEntry, ReadsTheDesktopEntryGroupOnlyAndResolvesStringEscapes) {
    const HXAutostartEntry entry = HXAutostartEntry::fromText(
        "# comment\n[Desktop Entry]\nName=Tracker\nName[de]=Zeiterfassung\nComment = a\\sb\\\\c\n"
        "Exec=/usr/bin/tracker %U\n[Desktop Action Other]\nExec=/usr/bin/other\n"
        "[Desktop Entry]\nName=Second group ignored\n");
    EXPECT_TRUE(entry.isValid());
    EXPECT_EQ(entry.value(QStringLiteral("Name")), QStringLiteral("Tracker"));
    EXPECT_EQ(entry.value(QStringLiteral("Comment")), QStringLiteral("a b\\c"));
    EXPECT_EQ(entry.execArguments(), QStringList{QStringLiteral("/usr/bin/tracker")});
    EXPECT_EQ(entry.program(), QStringLiteral("/usr/bin/tracker"));
    EXPECT_FALSE(HXAutostartEntry::fromText("Exec=/bin/x\n").isValid());
    EXPECT_FALSE(HXAutostartEntry::fromFile(QStringLiteral("/nonexistent/x.desktop")).isValid());
}

TEST(HXAutostartEntry, HiddenOrGnomeDisabledEntriesAreOff) {
    EXPECT_FALSE(HXAutostartEntry::fromText("[Desktop Entry]\nExec=/bin/x\n").isDisabled());
    EXPECT_TRUE(HXAutostartEntry::fromText("[Desktop Entry]\nHidden=true\n").isDisabled());
    EXPECT_TRUE(
        HXAutostartEntry::fromText("[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n").isDisabled());
    EXPECT_FALSE(HXAutostartEntry::fromText("[Desktop Entry]\nHidden=false\nX-GNOME-Autostart-enabled=true\n")
                     .isDisabled());
}

TEST(HXAutostartEntry, ExecValuesRoundTripPathsWithReservedCharacters) {
    for (const QString& path :
         {QStringLiteral("/usr/bin/qualdern"), QStringLiteral("/home/a b/bin/qualdern"),
          QStringLiteral("/opt/50%/q\"u$a`l\\dern"), QStringLiteral("/tmp/it's/(x);y")}) {
        const QString value = HXExecValueForProgram(path);
        const QStringList arguments =
            HXAutostartEntry::fromText(QStringLiteral("[Desktop Entry]\nExec=%1\n").arg(value).toUtf8())
                .execArguments();
        EXPECT_EQ(arguments, QStringList{path}) << value.toStdString();
    }
    EXPECT_EQ(HXExecValueForProgram(QStringLiteral("/usr/bin/qualdern")),
              QStringLiteral("/usr/bin/qualdern"));
    EXPECT_EQ(HXExecValueForProgram(QStringLiteral("/a b/q")), QStringLiteral("\"/a b/q\""));
    // Quoted backslash: escaped for the quoting, then again as a string value.
    EXPECT_EQ(HXExecValueForProgram(QStringLiteral("/a\\b")), QStringLiteral("\"/a\\\\\\\\b\""));
    EXPECT_EQ(HXSplitExecValue(QStringLiteral("  a  \"b c\" d\"e f\"g ")),
              (QStringList{QStringLiteral("a"), QStringLiteral("b c"), QStringLiteral("de fg")}));
}

TEST_F(LoginItem, EnablingWritesAnEntryThatStartsTheProgramAndDisablingRemovesIt) {
    EXPECT_FALSE(HXIsLoginItemViaBundle(program));
    EXPECT_FALSE(HXSetLoginItemViaBundle(false, program)) << "nothing to remove";
    EXPECT_TRUE(HXSetLoginItemViaBundle(true, program));
    ASSERT_TRUE(QFileInfo::exists(userEntry()));
    EXPECT_TRUE(HXIsLoginItemViaBundle(program));
    const HXAutostartEntry entry = HXAutostartEntry::fromFile(userEntry());
    EXPECT_EQ(entry.value(QStringLiteral("Type")), QStringLiteral("Application"));
    EXPECT_EQ(entry.program(), program);
    EXPECT_FALSE(entry.isDisabled());
    // Private like everything the program writes.
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(userEntry()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0077, 0u);

    const QByteArray before = readFile(userEntry());
    EXPECT_TRUE(HXSetLoginItemViaBundle(true, program)) << "already there";
    EXPECT_EQ(readFile(userEntry()), before);

    EXPECT_TRUE(HXSetLoginItemViaBundle(false, program));
    EXPECT_FALSE(QFileInfo::exists(userEntry()));
    EXPECT_FALSE(HXIsLoginItemViaBundle(program));
}

TEST_F(LoginItem, AStaleEntryForAnotherCopyIsReplacedAndADisabledOneCountsAsOff) {
    writeFile(userEntry(), "[Desktop Entry]\nType=Application\nExec=/old/place/qualdern\n");
    EXPECT_FALSE(HXIsLoginItemViaBundle(program));
    EXPECT_TRUE(HXSetLoginItemViaBundle(true, program));
    EXPECT_EQ(HXAutostartEntry::fromFile(userEntry()).program(), program);
    EXPECT_TRUE(HXIsLoginItemViaBundle(program));

    // Switched off by the desktop's session settings: off, and switching on writes it enabled again.
    writeFile(userEntry(), HXLoginItemEntryText(program).replace("X-GNOME-Autostart-enabled=true",
                                                                 "X-GNOME-Autostart-enabled=false"));
    EXPECT_FALSE(HXIsLoginItemViaBundle(program));
    EXPECT_TRUE(HXSetLoginItemViaBundle(true, program));
    EXPECT_TRUE(HXIsLoginItemViaBundle(program));

    // A stale copy goes when disabling, too.
    writeFile(userEntry(), "[Desktop Entry]\nExec=/old/place/qualdern\n");
    EXPECT_TRUE(HXSetLoginItemViaBundle(false, program));
    EXPECT_FALSE(QFileInfo::exists(userEntry()));
}

TEST_F(LoginItem, ASystemEntryCountsUntilTheUserHidesIt) {
    writeFile(systemEntry(),
              QByteArray("[Desktop Entry]\nExec=") + HXExecValueForProgram(program).toUtf8() + "\n");
    EXPECT_TRUE(HXIsLoginItemViaBundle(program));
    EXPECT_TRUE(HXSetLoginItemViaBundle(false, program));
    EXPECT_TRUE(QFileInfo::exists(systemEntry())) << "system files are not the user's to delete";
    EXPECT_TRUE(HXAutostartEntry::fromFile(userEntry()).isDisabled());
    EXPECT_FALSE(HXIsLoginItemViaBundle(program));
    EXPECT_TRUE(HXSetLoginItemViaBundle(true, program));
    EXPECT_TRUE(HXIsLoginItemViaBundle(program));
}

TEST_F(LoginItem, UsableOnlyWhereTheAutostartFolderCanBeMade) {
    bool usable = false;
    HXIsLoginItem(&usable);
    EXPECT_TRUE(usable) << "a missing folder under a writable one can be made";
    // A file where the settings folder should be: nothing can be written below it.
    writeFile(folder.file(QStringLiteral("plain-file")), "x");
    qputenv("XDG_CONFIG_HOME", folder.file(QStringLiteral("plain-file/config")).toUtf8());
    HXLogging::Capture log;
    HXIsLoginItem(&usable);
    EXPECT_FALSE(usable);
    EXPECT_FALSE(HXSetLoginItem(true));
    EXPECT_TRUE(log.contains(QStringLiteral("[HXLoginItem] cannot insert login item")));
}

TEST_F(LoginItemSwitch, ShowsTheStateChangesItAndLooksAgainAtMostEveryTwoSeconds) {
    HXVirtualTime time(1000.5);
    QWidget window;
    auto* toggle = new HXLoginItemSwitch(QStringLiteral("Start with the session"), time, &window);
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_TRUE(toggle->isEnabled());
    const int first = toggle->updateCount();

    toggle->click();
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_TRUE(HXIsLoginItem());
    EXPECT_EQ(HXAutostartEntry::fromFile(userEntry()).program(), HXLoginItemProgramPath());

    // Two activations in quick succession look once; the entry removed meanwhile shows after 2 s.
    QFile::remove(userEntry());
    const int afterClick = toggle->updateCount();
    time.setNow(1003.0);
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&window, &activate);
    QCoreApplication::sendEvent(&window, &activate);
    EXPECT_EQ(toggle->updateCount(), afterClick + 1);
    EXPECT_FALSE(toggle->isChecked());
    time.setNow(1004.9);
    QCoreApplication::sendEvent(&window, &activate);
    EXPECT_EQ(toggle->updateCount(), afterClick + 1);
    time.setNow(1005.0);
    QCoreApplication::sendEvent(&window, &activate);
    EXPECT_EQ(toggle->updateCount(), afterClick + 2);
    EXPECT_GT(afterClick, first);
}

TEST_F(LoginItemSwitch, AToggleWithoutAClickChangesTheLoginItemToo) {
    HXVirtualTime time(1000.5);
    QWidget window;
    auto* toggle = new HXLoginItemSwitch(QStringLiteral("Start with the session"), time, &window);
    // As assistive tools do.
    toggle->toggle();
    EXPECT_TRUE(HXIsLoginItem());
    toggle->toggle();
    EXPECT_FALSE(HXIsLoginItem());
    EXPECT_FALSE(toggle->isChecked());
}
