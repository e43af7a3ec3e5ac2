#include "hotkeys/widgets/HXHotKeyShortcut.h"

#include "hotkeys/HXHotKey.h"
#include "hotkeys/HXModifierFlags.h"
#include "hotkeys/widgets/HXQtKeyEvents.h"

#include <QAction>

namespace {

constexpr int kLastFunctionKey = 35;

int qtKeyForText(const QString& text) {
    if (text.isEmpty())
        return 0;
    if (text.size() > 1) {
        for (int n = 1; n <= kLastFunctionKey; ++n) {
            if (text == QStringLiteral("F%1").arg(n))
                return Qt::Key_F1 + n - 1;
        }
        return 0;
    }
    const QChar c = text[0];
    if (c == u'\t')
        return Qt::Key_Tab;
    if (c == u'\n' || c == u'\r')
        return Qt::Key_Return;
    if (c == u' ')
        return Qt::Key_Space;
    if (!c.isPrint())
        return 0;
    // Qt names printable keys by their upper-case character.
    return c.toUpper().unicode();
}

} // namespace

QKeySequence HXKeySequenceFromKeyEquivalentCharacter(const QString& text, std::uint64_t modifierFlags) {
    const int key = qtKeyForText(text);
    if (!key)
        return QKeySequence();
    return QKeySequence(
        QKeyCombination(HXQtModifiersFromModifierFlags(modifierFlags & HXModifierFlags::Modifiers),
                        static_cast<Qt::Key>(key)));
}

bool HXSetShortcutFromHotKey(QAction& action, const HXHotKey* hotKey) {
    QKeySequence sequence;
    if (hotKey && hotKey->isRegistered())
        sequence = HXKeySequenceFromKeyEquivalentCharacter(hotKey->keyEquivalentCharacter(),
                                                           hotKey->modifierFlags());
    action.setShortcutContext(Qt::WidgetShortcut);
    action.setShortcut(sequence);
    return !sequence.isEmpty();
}
