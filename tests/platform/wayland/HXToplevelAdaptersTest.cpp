// The window server and workspace made from a toplevel list: how windows become applications (by
// process, or by identifier where there is none), how identifiers find desktop entries, and what is on
// screen, at which level and in front.
#include "platform/wayland/HXToplevelOwners.h"
#include "platform/wayland/HXToplevelWindowServer.h"
#include "platform/wayland/HXToplevelWorkspace.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

HXToplevel toplevel(std::uint64_t number, const QString& title, const QString& identifier,
                    std::optional<std::int64_t> pid = std::nullopt) {
    HXToplevel t;
    t.number = number;
    t.title = title;
    t.identifier = identifier;
    t.processIdentifier = pid;
    return t;
}

class ToplevelAdapters : public testing::Test {
protected:
    ToplevelAdapters() {
        const QString folder = m_scratch.file(QStringLiteral("applications"));
        QDir().mkpath(folder);
        write(folder + QStringLiteral("/org.example.Editor.desktop"),
              "[Desktop Entry]\nType=Application\nName=Editor\nExec=editor %F\n");
        write(folder + QStringLiteral("/terminal.desktop"),
              "[Desktop Entry]\nType=Application\nName=Terminal\nStartupWMClass=TermClass\nExec=term\n");
        m_workspace.emplace(m_list, m_owners,
                            HXDesktopEntryMatcher(HXDesktopEntryIndex(
                                {folder}, HXDesktopLocale(QStringLiteral("C")), m_scratch.path())));
        m_list.answering = true;
    }
    static void write(const QString& path, const QByteArray& content) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    void set(std::vector<HXToplevel> toplevels) {
        m_list.toplevels = std::move(toplevels);
        ++m_list.generation;
    }
    std::vector<HXWindowDescription> onScreen() { return m_windowServer.onScreenWindows().value(); }
    std::vector<HXWindowDescription> all() { return m_windowServer.allWindows().value(); }

    ScratchFolder m_scratch;
    HXToplevelList m_list;
    HXToplevelOwners m_owners;
    HXToplevelWindowServer m_windowServer{m_list, m_owners};
    std::optional<HXToplevelWorkspace> m_workspace;
};

} // namespace

TEST_F(ToplevelAdapters, WithoutProcessesWindowsOfOneIdentifierAreOneApplication) {
    set({toplevel(1, QStringLiteral("Notes"), QStringLiteral("org.example.Editor")),
         toplevel(2, QStringLiteral("Shell"), QStringLiteral("TermClass")),
         toplevel(3, QStringLiteral("Draft"), QStringLiteral("org.example.Editor"))});
    const std::vector<HXRunningApplication> apps = m_workspace->runningApplications();
    ASSERT_EQ(apps.size(), 2u);
    // Front to back by each application's front-most window.
    EXPECT_EQ(apps[0].bundleIdentifier, QStringLiteral("org.example.Editor"));
    EXPECT_EQ(apps[0].localizedName, QStringLiteral("Editor"));
    EXPECT_EQ(apps[0].bundlePath, m_scratch.file(QStringLiteral("applications/org.example.Editor.desktop")));
    EXPECT_EQ(apps[0].activationPolicy, HXActivationPolicy::Regular);
    // The identifier matches StartupWMClass as a WM_CLASS class would.
    EXPECT_EQ(apps[1].bundleIdentifier, QStringLiteral("terminal"));
    EXPECT_EQ(apps[1].localizedName, QStringLiteral("Terminal"));
    EXPECT_GE(apps[0].processIdentifier, HXToplevelOwners::kFirstIdentifierOwner);
    EXPECT_NE(apps[0].processIdentifier, apps[1].processIdentifier);

    // The window list names the same owners, so that the engine finds each application's windows.
    const std::vector<HXWindowDescription> windows = onScreen();
    ASSERT_EQ(windows.size(), 3u);
    EXPECT_EQ(windows[0].ownerProcessIdentifier, apps[0].processIdentifier);
    EXPECT_EQ(windows[2].ownerProcessIdentifier, apps[0].processIdentifier);
    EXPECT_EQ(windows[1].ownerProcessIdentifier, apps[1].processIdentifier);
    EXPECT_EQ(windows[0].name, QStringLiteral("Notes"));
    EXPECT_EQ(windows[2].number, 3u);

    // An owner stays the same for the run, also after its windows were gone for a while.
    const std::int64_t editor = apps[0].processIdentifier;
    set({toplevel(2, QStringLiteral("Shell"), QStringLiteral("TermClass"))});
    ASSERT_EQ(m_workspace->runningApplications().size(), 1u);
    set({toplevel(4, QStringLiteral("Later"), QStringLiteral("org.example.Editor"))});
    EXPECT_EQ(m_workspace->runningApplications().front().processIdentifier, editor);
}

TEST_F(ToplevelAdapters, WithProcessesWindowsAreGroupedByProcessAsOnX11) {
    const std::int64_t self = QCoreApplication::applicationPid();
    set({toplevel(1, QStringLiteral("One"), QStringLiteral("TermClass"), self),
         toplevel(2, QStringLiteral("Two"), QStringLiteral("TermClass"), 999999999),
         toplevel(3, QStringLiteral("Three"), QStringLiteral("TermClass"), self)});
    const std::vector<HXRunningApplication> apps = m_workspace->runningApplications();
    ASSERT_EQ(apps.size(), 2u);
    EXPECT_EQ(apps[0].processIdentifier, self);
    EXPECT_EQ(apps[1].processIdentifier, 999999999);
    EXPECT_EQ(apps[0].bundleIdentifier, QStringLiteral("terminal"));
    const std::vector<HXWindowDescription> windows = onScreen();
    EXPECT_EQ(windows[0].ownerProcessIdentifier, self);
    EXPECT_EQ(windows[1].ownerProcessIdentifier, 999999999);
}

TEST_F(ToplevelAdapters, AnIdentifierWithoutEntryIsKnownByItsProgramOrItself) {
    set({toplevel(1, QStringLiteral("Prompt"), QStringLiteral("sh")),
         toplevel(2, QStringLiteral("Odd"), QStringLiteral("org.example.NoSuchThing")),
         toplevel(3, QStringLiteral("Nobody's"), QString())});
    const std::vector<HXRunningApplication> apps = m_workspace->runningApplications();
    ASSERT_EQ(apps.size(), 2u) << "a window with neither process nor identifier belongs to no application";
    EXPECT_TRUE(apps[0].bundleIdentifier.isEmpty());
    ASSERT_TRUE(apps[0].bundlePath);
    EXPECT_TRUE(apps[0].bundlePath->endsWith(QStringLiteral("/sh"))) << apps[0].bundlePath->toStdString();
    EXPECT_EQ(apps[0].localizedName, QStringLiteral("sh"));
    EXPECT_EQ(apps[1].bundlePath, QStringLiteral("org.example.NoSuchThing"));
    EXPECT_EQ(apps[1].localizedName, QStringLiteral("org.example.NoSuchThing"));
    EXPECT_FALSE(onScreen()[2].ownerProcessIdentifier);
}

TEST_F(ToplevelAdapters, WindowListLeavesOutDesktopsAndHiddenWindowsAndGivesLevels) {
    std::vector<HXToplevel> list;
    for (int i = 1; i <= 8; ++i)
        list.push_back(
            toplevel(static_cast<std::uint64_t>(i), QStringLiteral("W%1").arg(i), QStringLiteral("app")));
    list[1].minimized = true;
    list[2].onCurrentDesktop = false;
    list[3].kind = HXToplevelKind::Desktop;
    list[4].kind = HXToplevelKind::Utility;
    list[5].kind = HXToplevelKind::Transient;
    list[6].above = true;
    list[7].kind = HXToplevelKind::Dock;
    list[0].title.clear();
    set(std::move(list));
    const std::vector<HXWindowDescription> screen = onScreen();
    std::vector<std::uint64_t> numbers;
    for (const HXWindowDescription& d : screen)
        numbers.push_back(d.number);
    EXPECT_EQ(numbers, (std::vector<std::uint64_t>{1, 5, 6, 7, 8}));
    EXPECT_FALSE(screen[0].name) << "untitled";
    EXPECT_EQ(screen[1].layer, HXWindowServer::kFloatingLevel);
    EXPECT_EQ(screen[2].layer, HXWindowServer::kPopUpMenuLevel);
    EXPECT_EQ(screen[3].layer, HXWindowServer::kFloatingLevel);
    EXPECT_EQ(screen[4].layer, HXWindowServer::kDockLevel);
    EXPECT_EQ(all().size(), 7u) << "minimized windows and those of other desktops, not the desktop";
    EXPECT_FALSE(m_windowServer.isOrderedIn(2));
    EXPECT_TRUE(m_windowServer.isOrderedIn(3));
    EXPECT_FALSE(m_windowServer.isOrderedIn(42));

    m_list.answering = false;
    EXPECT_FALSE(m_windowServer.onScreenWindows());
    EXPECT_FALSE(m_windowServer.allWindows());
}

TEST_F(ToplevelAdapters, ActivationPolicyFollowsTheKindsOfWindows) {
    HXToplevel tool = toplevel(1, QStringLiteral("Palette"), QStringLiteral("tools"));
    tool.kind = HXToplevelKind::Utility;
    HXToplevel tip = toplevel(2, QStringLiteral("Tip"), QStringLiteral("tips"));
    tip.kind = HXToplevelKind::Transient;
    HXToplevel hidden = toplevel(3, QStringLiteral("Tray"), QStringLiteral("tray"));
    hidden.skipTaskbar = true;
    set({tool, tip, hidden});
    const std::vector<HXRunningApplication> apps = m_workspace->runningApplications();
    ASSERT_EQ(apps.size(), 3u);
    EXPECT_EQ(apps[0].activationPolicy, HXActivationPolicy::Accessory);
    EXPECT_EQ(apps[1].activationPolicy, HXActivationPolicy::Prohibited);
    EXPECT_EQ(apps[2].activationPolicy, HXActivationPolicy::Accessory);
}

TEST_F(ToplevelAdapters, TheApplicationOfTheActivatedWindowIsInFrontAndStaysThereWhileFocusMoves) {
    HXToplevel notes = toplevel(1, QStringLiteral("Notes"), QStringLiteral("org.example.Editor"));
    HXToplevel shell = toplevel(2, QStringLiteral("Shell"), QStringLiteral("TermClass"));
    shell.activated = true;
    set({shell, notes});
    ASSERT_TRUE(m_workspace->menuBarOwner());
    EXPECT_EQ(m_workspace->menuBarOwner()->localizedName, QStringLiteral("Terminal"));
    // The old window lets go first: for a moment nothing is activated.
    shell.activated = false;
    set({shell, notes});
    ASSERT_TRUE(m_workspace->menuBarOwner());
    EXPECT_EQ(m_workspace->menuBarOwner()->localizedName, QStringLiteral("Terminal"));
    notes.activated = true;
    set({notes, shell});
    EXPECT_EQ(m_workspace->menuBarOwner()->localizedName, QStringLiteral("Editor"));
    m_list.answering = false;
    ++m_list.generation;
    EXPECT_FALSE(m_workspace->menuBarOwner());
    EXPECT_TRUE(m_workspace->runningApplications().empty());
}
