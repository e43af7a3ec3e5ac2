#include "engine/HXTickShortcut.h"
#include "foundation/HXDictionary.h"

#include <gtest/gtest.h>

// When the ticks between full passes may skip records: the equivalence with full passes themselves is
// the random scenario tests' business.
TEST(HXTickShortcut, FullPassesComeAfterChangesOutsideTicksAndEvery600Ticks) {
    HXTickShortcut shortcut;
    const auto configuration = HXDictionary::create();
    EXPECT_TRUE(shortcut.beginTick(configuration.get(), true, true)) << "the first tick";
    EXPECT_FALSE(shortcut.beginTick(configuration.get(), true, true));

    shortcut.requestFullPass();
    EXPECT_TRUE(shortcut.beginTick(configuration.get(), true, true));
    EXPECT_FALSE(shortcut.beginTick(configuration.get(), true, true));

    const auto replaced = HXDictionary::create();
    EXPECT_TRUE(shortcut.beginTick(replaced.get(), true, true));
    EXPECT_TRUE(shortcut.beginTick(replaced.get(), false, true));
    EXPECT_TRUE(shortcut.beginTick(replaced.get(), false, false));
    int skipping = 0;
    while (!shortcut.beginTick(replaced.get(), false, false))
        ++skipping;
    EXPECT_EQ(skipping, 599);
}

TEST(HXTickShortcut, RemembersWhatTheLastTickLeftActiveUntilTheNextFullPass) {
    HXTickShortcut shortcut;
    const auto configuration = HXDictionary::create();
    const auto editor = HXDictionary::create();
    const auto mail = HXDictionary::create();
    const auto draft = HXDictionary::create();
    const auto pool = HXDictionary::create();

    shortcut.beginTick(configuration.get(), true, true);
    EXPECT_EQ(shortcut.activeWindows(editor.get()), nullptr) << "every window needs a look";
    shortcut.noteActiveApplication(editor.get());
    HXDictionary* windows[] = {draft.get()};
    shortcut.noteActiveWindows(editor.get(), windows);
    shortcut.noteActiveWindows(mail.get(), {});
    shortcut.noteActivePoolRecord(pool.get());
    shortcut.endTick();

    shortcut.beginTick(configuration.get(), true, true);
    EXPECT_TRUE(shortcut.applicationWasActive(editor.get()));
    EXPECT_FALSE(shortcut.applicationWasActive(mail.get()));
    ASSERT_NE(shortcut.activeWindows(editor.get()), nullptr);
    EXPECT_EQ(*shortcut.activeWindows(editor.get()), std::vector<const HXDictionary*>{draft.get()});
    ASSERT_NE(shortcut.activeWindows(mail.get()), nullptr);
    EXPECT_TRUE(shortcut.activeWindows(mail.get())->empty());
    EXPECT_TRUE(shortcut.poolRecordWasActive(pool.get()));
    shortcut.endTick();

    // Nothing noted in that tick: the one after knows nothing active, and a full pass forgets the windows.
    shortcut.beginTick(configuration.get(), true, true);
    EXPECT_FALSE(shortcut.applicationWasActive(editor.get()));
    EXPECT_FALSE(shortcut.poolRecordWasActive(pool.get()));
    shortcut.endTick();
    shortcut.requestFullPass();
    shortcut.beginTick(configuration.get(), true, true);
    EXPECT_EQ(shortcut.activeWindows(editor.get()), nullptr);
}
