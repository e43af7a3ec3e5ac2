#include "platform/x11/HXDesktopEntry.h"
#include "platform/x11/HXDesktopLocale.h"
#include "platform/x11/HXProgramKey.h"

#include <QFileInfo>

#include "QtTypePrinting.h"

#include <gtest/gtest.h>

namespace {

std::optional<HXDesktopEntry> parse(const char* text, const char* locale = "C") {
    return HXDesktopEntry::parse(QByteArray(text), HXDesktopLocale(QString::fromLatin1(locale)));
}

TEST(HXDesktopLocaleTest, CandidatesFromMostToLeastSpecific) {
    EXPECT_EQ(HXDesktopLocale(QStringLiteral("de_DE.UTF-8@euro")).candidates(),
              QStringList({QStringLiteral("de_DE@euro"), QStringLiteral("de_DE"), QStringLiteral("de@euro"),
                           QStringLiteral("de")}));
    EXPECT_EQ(HXDesktopLocale(QStringLiteral("pt_BR")).candidates(),
              QStringList({QStringLiteral("pt_BR"), QStringLiteral("pt")}));
    EXPECT_EQ(HXDesktopLocale(QStringLiteral("sr@latin")).candidates(),
              QStringList({QStringLiteral("sr@latin"), QStringLiteral("sr")}));
    EXPECT_TRUE(HXDesktopLocale(QStringLiteral("C.UTF-8")).candidates().isEmpty());
    EXPECT_TRUE(HXDesktopLocale(QStringLiteral("POSIX")).candidates().isEmpty());
}

TEST(HXDesktopEntryTest, ReadsOnlyTheDesktopEntryGroup) {
    const auto entry = parse("# a comment\n"
                             "[Desktop Entry]\n"
                             "Type = Application\n"
                             "Name=Mail\\sReader \\\\ Two\n"
                             "Name=Ignored Second Name\n"
                             "StartupWMClass=MailReader\n"
                             "NoDisplay=true\n"
                             "\n"
                             "[Desktop Action compose]\n"
                             "Name=Compose\n"
                             "Exec=mail --compose\n"
                             "[Desktop Entry]\n"
                             "Hidden=true\n");
    ASSERT_TRUE(entry);
    EXPECT_TRUE(entry->isApplication());
    EXPECT_EQ(entry->name, QStringLiteral("Mail Reader \\ Two"));
    EXPECT_EQ(entry->startupWMClass, QStringLiteral("MailReader"));
    EXPECT_TRUE(entry->noDisplay);
    EXPECT_FALSE(entry->hidden);
    EXPECT_TRUE(entry->exec.isEmpty());

    EXPECT_FALSE(parse("[Something Else]\nName=x\n"));
    EXPECT_FALSE(parse("Name=no group at all\n"));
    const auto link = parse("[Desktop Entry]\nType=Link\nName=Site\n");
    ASSERT_TRUE(link);
    EXPECT_FALSE(link->isApplication());
}

TEST(HXDesktopEntryTest, LocalizedNameFollowsTheLocaleFallbacks) {
    const char* text = "[Desktop Entry]\nType=Application\nName=Viewer\nName[de]=Betrachter\n"
                       "Name[de_CH]=Bildbetrachter\nName[sr@latin]=Pregledac\nName[fr]=\n";
    EXPECT_EQ(parse(text, "de_CH.UTF-8")->name, QStringLiteral("Bildbetrachter"));
    EXPECT_EQ(parse(text, "de_AT.UTF-8")->name, QStringLiteral("Betrachter"));
    EXPECT_EQ(parse(text, "de_DE.UTF-8@euro")->name, QStringLiteral("Betrachter"));
    EXPECT_EQ(parse(text, "sr_RS@latin")->name, QStringLiteral("Pregledac"));
    // An empty translation does not hide the untranslated name.
    EXPECT_EQ(parse(text, "fr_FR")->name, QStringLiteral("Viewer"));
    EXPECT_EQ(parse(text, "C")->name, QStringLiteral("Viewer"));
}

TEST(HXDesktopEntryTest, ExecIsSplitByItsQuotingRules) {
    const auto argv = HXDesktopEntry::splitExec(
        QStringLiteral(R"("/opt/My App/bin/app" --title="x y" %U "%f literal" 100%% "a \"b\" \$c \\d" %i)"));
    ASSERT_TRUE(argv);
    EXPECT_EQ(*argv, QStringList({QStringLiteral("/opt/My App/bin/app"), QStringLiteral("--title=x y"),
                                  QStringLiteral("%f literal"), QStringLiteral("100%"),
                                  QStringLiteral(R"(a "b" $c \d)")}));
    EXPECT_FALSE(HXDesktopEntry::splitExec(QStringLiteral(R"(app "unclosed)")));

    // In the file, the string escapes come first: \\ is one backslash, then the quoting applies.
    const auto entry = parse("[Desktop Entry]\nType=Application\nExec=tool \"with \\\\\"quote\\\\\"\" %F\n");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->exec, QStringList({QStringLiteral("tool"), QStringLiteral("with \"quote\"")}));
    EXPECT_TRUE(parse("[Desktop Entry]\nExec=app \"broken\n")->exec.isEmpty());
}

TEST(HXProgramKeyTest, InterpretersAndCommandLines) {
    EXPECT_TRUE(HXProgramKey::isInterpreter(QStringLiteral("python3.11")));
    EXPECT_TRUE(HXProgramKey::isInterpreter(QStringLiteral("perl")));
    EXPECT_TRUE(HXProgramKey::isInterpreter(QStringLiteral("dash")));
    EXPECT_FALSE(HXProgramKey::isInterpreter(QStringLiteral("bashful")));
    EXPECT_FALSE(HXProgramKey::isInterpreter(QStringLiteral("sleep")));

    const QString path = qEnvironmentVariable("PATH");
    const QString sleep =
        QFileInfo(HXProgramKey::findOnPath(QStringLiteral("sleep"), path)).canonicalFilePath();
    ASSERT_FALSE(sleep.isEmpty());
    EXPECT_EQ(HXProgramKey::forCommand({QStringLiteral("sleep"), QStringLiteral("5")}, path), sleep);
    EXPECT_EQ(HXProgramKey::forCommand(
                  {QStringLiteral("env"), QStringLiteral("LANG=C"), QStringLiteral("sleep")}, path),
              sleep);
    // Interpreter code on the command line, or a relative script, tells nothing about the program.
    EXPECT_EQ(HXProgramKey::forCommand({QStringLiteral("sh"), QStringLiteral("-c"), QStringLiteral("exit 0")},
                                       path),
              QString());
    EXPECT_EQ(HXProgramKey::forCommand({QStringLiteral("sh"), QStringLiteral("relative.sh")}, path),
              QString());
    EXPECT_EQ(HXProgramKey::forCommand({QStringLiteral("qd-no-such-program")}, path), QString());
}

} // namespace
