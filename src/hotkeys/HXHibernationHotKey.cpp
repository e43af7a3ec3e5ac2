#include "hotkeys/HXHibernationHotKey.h"

#include "foundation/HXLog.h"
#include "foundation/HXUserDefaults.h"
#include "hotkeys/HXHotKey.h"

HXHibernationHotKey::HXHibernationHotKey(const HXHotKeyContext& context,
                                         std::function<void()> toggleHibernation, QObject* parent)
    : QObject(parent), m_context(context), m_toggleHibernation(std::move(toggleHibernation)) {}

HXHibernationHotKey::~HXHibernationHotKey() = default;

bool HXHibernationHotKey::registerAtLaunch() {
    const QString key = identifierForHotKeyTextView(nullptr);
    const HXDictionaryRef stored = m_context.defaults.dictionaryForKey(key);
    std::shared_ptr<HXHotKey> hotKey = HXHotKey::hotKeyWithDictionaryRepresentation(m_context, stored.get());
    if (!hotKey)
        return true;
    // Where the session offers no hot keys at all, the stored one waits for a session that does.
    if (!m_context.registrar) {
        HXSystemLog(QStringLiteral("hot keys are not available in this session"));
        return true;
    }
    if (!hotKey->registerForDelegate(*this)) {
        m_context.defaults.removeObject(key);
        didSetHotKey(nullptr, key);
        return false;
    }
    didSetHotKey(hotKey, key);
    return true;
}

std::vector<HXHotKey*> HXHibernationHotKey::hotKeys() {
    if (!m_hotKey)
        return {};
    return {m_hotKey.get()};
}

QString HXHibernationHotKey::identifierForHotKeyTextView(const QObject* view) {
    static_cast<void>(view);
    return identifier();
}

bool HXHibernationHotKey::shouldSetHotKey(const std::shared_ptr<HXHotKey>& hotKey,
                                          const QString& identifier) {
    if (identifier.isEmpty())
        return false;
    if (hotKey) {
        if (!hotKey->registerForDelegate(*this))
            return false;
        m_context.defaults.setObject(identifier, hotKey->dictionaryRepresentation());
    } else {
        m_context.defaults.removeObject(identifier);
    }
    return true;
}

void HXHibernationHotKey::didSetHotKey(const std::shared_ptr<HXHotKey>& hotKey, const QString& identifier) {
    static_cast<void>(identifier);
    if (hotKey == m_hotKey)
        return;
    m_hotKey = hotKey;
    Q_EMIT hotKeyChanged();
}

std::optional<double> HXHibernationHotKey::fontSizeForHotKeyTextView(const QObject* view) {
    static_cast<void>(view);
    if (m_controlFontSize <= 0)
        return std::nullopt;
    return m_controlFontSize;
}

bool HXHibernationHotKey::handleKeyDownEvent(const HXKeyboardEvent& event, bool* repeat) {
    static_cast<void>(repeat);
    if (!m_hotKey || !m_hotKey->matchesEvent(&event))
        return false;
    if (m_toggleHibernation)
        m_toggleHibernation();
    return true;
}
