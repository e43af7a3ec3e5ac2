#include "HotKeyTestSupport.h"

#include "foundation/HXVirtualTime.h"
#include "hotkeys/HXModifierFlags.h"
#include "hotkeys/widgets/HXHotKeyClearButton.h"
#include "hotkeys/widgets/HXHotKeyShortcut.h"
#include "hotkeys/widgets/HXHotKeyTextView.h"
#include "hotkeys/widgets/HXQtKeyEvents.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace HXModifierFlags;

namespace {

struct Asked {
    QString title, message, defaultButton, otherButton;
};

// A recorder with its clear button in a window of its own, next to a line edit to move the focus to.
struct Recorder : HotKeyWorld {
    Recorder() : view(context(), time, &window), button(&window), other(&window) {
        layout.setKey(Keys::Return, QStringLiteral("\r"));
        auto* row = new QHBoxLayout(&window);
        row->addWidget(&other);
        row->addWidget(&view);
        row->addWidget(&button);
        view.setDeleteButton(&button);
        view.setHotKeyDelegate(&delegate);
        view.setConfirmation(
            [this](const QString& title, const QString& message, const QString& yes, const QString& no) {
                asked.push_back(Asked{title, message, yes, no});
                return confirm;
            });
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void click() { QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, view.rect().center()); }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
        QCoreApplication::sendEvent(&view, &event);
    }
    QColor backgroundColour() {
        const QImage image = view.grab().toImage();
        return image.pixelColor(4, image.height() / 2);
    }

    HXVirtualTime time;
    QWidget window;
    HXHotKeyTextView view;
    HXHotKeyClearButton button;
    QLineEdit other;
    ScriptedDelegate delegate;
    std::vector<Asked> asked;
    bool confirm = true;
};

} // namespace

TEST(HXHotKeyTextView, ClickRecordsTheNextCombination) {
    Recorder r;
    EXPECT_EQ(r.view.displayText(), u"None");
    EXPECT_EQ(r.view.accessibleName(), u"None");
    EXPECT_FALSE(r.view.isRecording());
    // Keys reach it only while recording.
    r.press(Qt::Key_K, Qt::ControlModifier | Qt::AltModifier, QStringLiteral("k"));
    EXPECT_FALSE(r.view.hotKey());

    r.click();
    ASSERT_TRUE(r.view.isRecording());
    EXPECT_EQ(r.view.displayText(), u" ");
    EXPECT_EQ(r.button.accessibleName(), u"Clear Hot Key");
    // Modifier keys alone record nothing.
    r.press(Qt::Key_Control, Qt::ControlModifier);
    EXPECT_TRUE(r.view.isRecording());
    r.press(Qt::Key_K, Qt::ControlModifier | Qt::AltModifier, QStringLiteral("k"));
    EXPECT_FALSE(r.view.isRecording());
    ASSERT_TRUE(r.view.hotKey());
    EXPECT_EQ(r.view.hotKey()->keyCode(), Keys::K);
    EXPECT_EQ(r.view.hotKey()->modifierFlags(), Control | Option);
    EXPECT_EQ(r.view.hotKey()->identifier(), u"Test");
    EXPECT_EQ(r.view.displayText(), u"\u2303\u2325K");
    EXPECT_EQ(r.view.accessibleName(), u"\u2303\u2325K");
    EXPECT_TRUE(r.asked.empty()) << "control and option need no question";
    ASSERT_EQ(r.delegate.asked.size(), 1u);
    EXPECT_EQ(r.delegate.set, r.view.hotKey());
}

TEST(HXHotKeyTextView, CombinationsWithoutShiftControlOrOptionAreQuestioned) {
    Recorder r;
    r.click();
    r.press(Qt::Key_F5);
    ASSERT_EQ(r.asked.size(), 1u);
    EXPECT_EQ(r.asked[0].title, u"Use \"F5\"?");
    EXPECT_EQ(r.asked[0].message, u"Some applications might not respond properly to your input with the key "
                                  u"combination \"F5\" being reserved as a hot key.");
    EXPECT_EQ(r.asked[0].defaultButton, u"Use \"F5\"");
    EXPECT_EQ(r.asked[0].otherButton, u"Cancel");
    EXPECT_EQ(r.view.displayText(), u"F5");

    // Command alone counts as none; "Cancel" keeps the hot key there was.
    r.confirm = false;
    r.click();
    r.press(Qt::Key_K, Qt::MetaModifier, QStringLiteral("k"));
    ASSERT_EQ(r.asked.size(), 2u);
    EXPECT_EQ(r.asked[1].title, u"Use \"\u2318K\"?");
    EXPECT_EQ(r.view.displayText(), u"F5");
    EXPECT_FALSE(r.view.isRecording());

    // A local hot key is not questioned, and shows on a pale background.
    r.delegate.canBeLocal = true;
    r.defaults.setBool(u"Non-Modifier Hot Keys Are Local", true);
    const QColor plain = r.backgroundColour();
    r.click();
    r.press(Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    EXPECT_EQ(r.asked.size(), 2u);
    ASSERT_TRUE(r.view.hotKey());
    EXPECT_TRUE(r.view.hotKey()->isLocal());
    EXPECT_EQ(r.view.displayText(), u"A");
    EXPECT_EQ(r.backgroundColour().rgb(), QColor::fromRgbF(1.0, 0.9, 0.63).rgb());
    EXPECT_NE(plain, r.backgroundColour());
}

TEST(HXHotKeyTextView, NamesOfSpecialKeysAndSides) {
    Recorder r;
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        QString text;
        const char16_t* shown;
    };
    const Case cases[] = {
        {Qt::Key_5, Qt::KeypadModifier | Qt::ControlModifier, QStringLiteral("5"), u"\u2303#5"},
        {Qt::Key_Return, Qt::ShiftModifier, QStringLiteral("\r"), u"\u21E7\u21B5"},
        {Qt::Key_A, Qt::ShiftModifier, QStringLiteral("A"), u"\u21E7A"},
        {Qt::Key_1, Qt::ShiftModifier | Qt::ControlModifier, QStringLiteral("!"), u"\u2303\u21E71"},
    };
    for (const Case& c : cases) {
        r.click();
        r.press(c.key, c.modifiers, c.text);
        EXPECT_EQ(r.view.displayText(), QString::fromUtf16(c.shown));
    }
    // With exact matching, the right command key shows as such.
    r.defaults.setBool(u"Hot Keys Require Exact Modifier Key Matches", true);
    r.registrar.setHeldModifierSides(RightCommand);
    r.click();
    r.press(Qt::Key_K, Qt::MetaModifier | Qt::ShiftModifier, QStringLiteral("K"));
    EXPECT_EQ(r.view.displayText(), u"\u21E7\u24C7\u2318K");
    EXPECT_EQ(r.view.hotKey()->modifierFlags(), Shift | Command | RightCommand);
}

TEST(HXHotKeyTextView, TabIsRecordedEscapeEndsAndTheTimeOutGivesUp) {
    Recorder r;
    r.click();
    QTest::keyClick(&r.view, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_TRUE(r.view.hotKey());
    EXPECT_EQ(r.view.displayText(), u"\u2303\u21E5");
    EXPECT_FALSE(r.other.hasFocus());

    // A bare Escape ends recording and keeps what there was.
    r.click();
    r.press(Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
    EXPECT_FALSE(r.view.isRecording());
    EXPECT_EQ(r.view.displayText(), u"\u2303\u21E5");
    // Unless the setting says Escape is a key like any other.
    r.defaults.setBool(u"HXHotKeyTextView: Ignore Meta Keys", true);
    r.click();
    r.press(Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
    EXPECT_EQ(r.view.displayText(), u"Escape");

    r.click();
    r.time.advance(29.9);
    EXPECT_TRUE(r.view.isRecording());
    r.time.advance(0.2);
    EXPECT_FALSE(r.view.isRecording());
    EXPECT_FALSE(r.view.hasFocus());

    // A click elsewhere ends recording too.
    r.click();
    QTest::mouseClick(&r.other, Qt::LeftButton);
    EXPECT_FALSE(r.view.isRecording());
    EXPECT_EQ(r.time.pendingCount(), 0u);
}

TEST(HXHotKeyTextView, RefusedCombinationsKeepRecordingAndTheClearButtonClears) {
    Recorder r;
    r.registrar.refuse(Keys::K, 0x1000 | 0x800);
    r.click();
    r.press(Qt::Key_K, Qt::ControlModifier | Qt::AltModifier, QStringLiteral("k"));
    EXPECT_TRUE(r.view.isRecording()) << "refused: recording goes on";
    EXPECT_FALSE(r.view.hotKey());
    r.delegate.answer = false;
    r.press(Qt::Key_H, Qt::ControlModifier | Qt::AltModifier, QStringLiteral("h"));
    EXPECT_FALSE(r.view.isRecording());
    EXPECT_FALSE(r.view.hotKey()) << "the delegate said no";
    EXPECT_TRUE(r.registrar.registrations().empty());

    // With no hot key, the clear button starts recording.
    EXPECT_EQ(r.button.accessibleName(), u"Record Hot Key");
    QTest::mouseClick(&r.button, Qt::LeftButton);
    EXPECT_TRUE(r.view.isRecording());
    r.delegate.answer = true;
    r.press(Qt::Key_H, Qt::ControlModifier | Qt::AltModifier, QStringLiteral("h"));
    ASSERT_TRUE(r.view.hotKey());
    // With one, it clears it (when the delegate agrees).
    const std::size_t before = r.delegate.asked.size();
    QTest::mouseClick(&r.button, Qt::LeftButton);
    EXPECT_FALSE(r.view.hotKey());
    ASSERT_EQ(r.delegate.asked.size(), before + 1);
    EXPECT_FALSE(r.delegate.asked.back());
    EXPECT_EQ(r.view.displayText(), u"None");
    EXPECT_FALSE(r.view.isRecording());

    r.view.setVisible(false);
    EXPECT_FALSE(r.button.isVisible());
}

TEST(HXHotKeyShortcut, MenuShortcutFromARegisteredHotKey) {
    HotKeyWorld w;
    ScriptedDelegate delegate;
    QAction action;
    auto hotKey = w.hotKey(Keys::H, Control | Option);
    EXPECT_FALSE(HXSetShortcutFromHotKey(action, hotKey.get())) << "not registered";
    EXPECT_TRUE(action.shortcut().isEmpty());
    ASSERT_TRUE(hotKey->registerForDelegate(delegate));
    EXPECT_TRUE(HXSetShortcutFromHotKey(action, hotKey.get()));
    EXPECT_EQ(action.shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_H));
    EXPECT_EQ(action.shortcutContext(), Qt::WidgetShortcut);
    EXPECT_FALSE(HXSetShortcutFromHotKey(action, nullptr));
    EXPECT_TRUE(action.shortcut().isEmpty());

    EXPECT_EQ(HXKeySequenceFromKeyEquivalentCharacter(QStringLiteral("F5"), Shift | CapsLock),
              QKeySequence(Qt::SHIFT | Qt::Key_F5));
    EXPECT_EQ(HXKeySequenceFromKeyEquivalentCharacter(QStringLiteral("F35"), Command),
              QKeySequence(Qt::META | Qt::Key_F35));
    EXPECT_EQ(HXKeySequenceFromKeyEquivalentCharacter(QStringLiteral(" "), Command),
              QKeySequence(Qt::META | Qt::Key_Space));
    EXPECT_EQ(HXKeySequenceFromKeyEquivalentCharacter(QStringLiteral("\n"), Control),
              QKeySequence(Qt::CTRL | Qt::Key_Return));
    EXPECT_TRUE(HXKeySequenceFromKeyEquivalentCharacter(QStringLiteral("F36"), 0).isEmpty());
    EXPECT_TRUE(HXKeySequenceFromKeyEquivalentCharacter(QStringLiteral("Escape"), 0).isEmpty());
    EXPECT_TRUE(HXKeySequenceFromKeyEquivalentCharacter(QString(), 0).isEmpty());
}

TEST(HXQtKeyEvents, KeyCodesFromTheLayoutOrTheQtKey) {
    HXFakeKeyboardLayout layout;
    layout.setKey(Keys::K, QStringLiteral("k"));
    layout.setNativeKeyCode(45, Keys::K);
    QKeyEvent native(QEvent::KeyPress, Qt::Key_K, Qt::ControlModifier, 45, 0, 0x2, QStringLiteral("\x0b"));
    const HXKeyboardEvent fromNative = HXKeyboardEventFromQKeyEvent(native, &layout, LeftControl);
    EXPECT_EQ(fromNative.keyCode, Keys::K);
    EXPECT_EQ(fromNative.modifierFlags, Control | CapsLock | LeftControl);
    EXPECT_EQ(fromNative.charactersIgnoringModifiers, u"k");
    // Without a key code of the window system: the layout's character, then the Qt key.
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_K, Qt::NoModifier, QStringLiteral("k"));
    EXPECT_EQ(HXKeyboardEventFromQKeyEvent(typed, &layout, 0).keyCode, Keys::K);
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_Z, Qt::AltModifier);
    EXPECT_EQ(HXKeyboardEventFromQKeyEvent(letter, nullptr, 0).keyCode, 6);
    QKeyEvent function(QEvent::KeyPress, Qt::Key_F12, Qt::MetaModifier | Qt::ShiftModifier);
    const HXKeyboardEvent f12 = HXKeyboardEventFromQKeyEvent(function, nullptr, 0);
    EXPECT_EQ(f12.keyCode, 111);
    EXPECT_EQ(f12.modifierFlags, Command | Shift);
    QKeyEvent keypad(QEvent::KeyPress, Qt::Key_7, Qt::KeypadModifier, QStringLiteral("7"));
    EXPECT_EQ(HXKeyboardEventFromQKeyEvent(keypad, nullptr, 0).keyCode, 89);
    QKeyEvent unknown(QEvent::KeyPress, Qt::Key_Launch0, Qt::NoModifier);
    EXPECT_EQ(HXKeyboardEventFromQKeyEvent(unknown, nullptr, 0).keyCode, 0xFFFF);
    EXPECT_TRUE(HXIsModifierKey(Qt::Key_Shift));
    EXPECT_FALSE(HXIsModifierKey(Qt::Key_A));
}
