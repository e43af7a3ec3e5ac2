#include "hotkeys/HXHotKey.h"

#include "foundation/HXLog.h"
#include "foundation/HXUserDefaults.h"
#include "hotkeys/HXHotKeyDelegate.h"
#include "hotkeys/HXHotKeyReferencePool.h"
#include "hotkeys/HXKeyCodeConverter.h"
#include "hotkeys/HXModifierFlags.h"
#include "platform/HXHotKeyRegistrar.h"
#include "platform/HXKeyboardEvent.h"

namespace {

const QString kIdentifierKey = QStringLiteral("Identifier");
const QString kVisualRepresentationKey = QStringLiteral("Visual Representation");
const QString kKeyCodeKey = QStringLiteral("Key Code");
const QString kModifierFlagsKey = QStringLiteral("Modifier Flags");

} // namespace

HXHotKey::HXHotKey(const HXHotKeyContext& context, QString identifier, QString visualRepresentation,
                   std::uint16_t keyCode, std::uint64_t modifierFlags)
    : m_context(context), m_identifier(std::move(identifier)),
      m_visualRepresentation(std::move(visualRepresentation)), m_keyCode(keyCode),
      m_modifierFlags(modifierFlags) {}

HXHotKey::~HXHotKey() {
    unregister();
}

std::shared_ptr<HXHotKey> HXHotKey::hotKeyWithIdentifer(const HXHotKeyContext& context, QString identifier,
                                                        QString visualRepresentation, std::uint16_t keyCode,
                                                        std::uint64_t modifierFlags) {
    return std::make_shared<HXHotKey>(context, std::move(identifier), std::move(visualRepresentation),
                                      keyCode, modifierFlags);
}

std::shared_ptr<HXHotKey> HXHotKey::hotKeyWithDictionaryRepresentation(const HXHotKeyContext& context,
                                                                       const HXDictionary* dictionary,
                                                                       const QString& fallbackIdentifier) {
    if (!dictionary)
        return nullptr;
    const HXValue* identifierValue = dictionary->find(kIdentifierKey);
    const QString identifier =
        identifierValue && identifierValue->isString() ? identifierValue->toString() : fallbackIdentifier;
    if (identifier.isEmpty())
        return nullptr;
    const HXValue* visual = dictionary->find(kVisualRepresentationKey);
    if (!visual || !visual->isString())
        return nullptr;
    return hotKeyWithIdentifer(context, identifier, visual->toString(),
                               static_cast<std::uint16_t>(dictionary->unsignedIntegerForKey(kKeyCodeKey)),
                               dictionary->unsignedIntegerForKey(kModifierFlagsKey));
}

HXDictionaryRef HXHotKey::dictionaryRepresentation() const {
    HXDictionaryRef dictionary = HXDictionary::create();
    if (!m_identifier.isNull())
        dictionary->setValue(kIdentifierKey, m_identifier);
    if (!m_visualRepresentation.isNull())
        dictionary->setValue(kVisualRepresentationKey, m_visualRepresentation);
    dictionary->setValue(kKeyCodeKey, static_cast<unsigned int>(m_keyCode));
    dictionary->setValue(kModifierFlagsKey, static_cast<unsigned long long>(m_modifierFlags));
    return dictionary;
}

QString HXHotKey::visualRepresentation() const {
    if (!m_cacheValid) {
        m_cachedCorrectedVisualRepresentation = correctedVisualRepresentation();
        m_cacheValid = true;
    }
    return m_cachedCorrectedVisualRepresentation;
}

void HXHotKey::setVisualRepresentation(const QString& text) {
    m_visualRepresentation = text;
    m_cacheValid = false;
    m_cachedCorrectedVisualRepresentation.clear();
}

QString HXHotKey::correctedVisualRepresentation() const {
    if (m_visualRepresentation.isNull())
        return QString();
    QString key = stringRepresentingKeyCode(m_context.layout, m_keyCode, false);
    if (key.isNull()) {
        key = stringByTrimmingModifierPrefix(m_visualRepresentation);
        if (key.isEmpty())
            return m_visualRepresentation;
    }
    return stringRepresentingModifierFlags(m_modifierFlags, requireExactModifierMatches(m_context.defaults)) +
           key;
}

QString HXHotKey::keyEquivalentCharacter() const {
    const QString key = stringRepresentingKeyCode(m_context.layout, m_keyCode, true);
    if (!key.isNull())
        return key;
    return stringByTrimmingModifierPrefix(m_visualRepresentation).toLower();
}

bool HXHotKey::isLocal() const {
    if (!m_canBeLocal)
        return false;
    const HXUserDefaults& defaults = m_context.defaults;
    if (defaults.boolForKey(u"All Hot Keys Are Local"))
        return true;
    std::int64_t mask = defaults.integerForKey(u"Local Hot Key Filter Mask");
    if (mask < 1)
        mask = static_cast<std::int64_t>(HXModifierFlags::Modifiers);
    if (m_modifierFlags & static_cast<std::uint64_t>(mask))
        return false;
    if (!defaults.boolForKey(u"Non-Modifier Hot Keys Are Local"))
        return false;
    if (defaults.boolForKey(u"Non-Modifier Hot Keys Are Local: Strict"))
        return true;
    const QString name = stringRepresentingKeyCode(m_context.layout, m_keyCode, false);
    if (name.size() <= 1 || !name.startsWith(QLatin1Char('F')))
        return true;
    // F1 to F19 stay global.
    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && name[begin].isDigit() && name[begin].unicode() < 128)
        ++begin;
    while (end > begin && name[end - 1].isDigit() && name[end - 1].unicode() < 128)
        --end;
    return end - begin != 1;
}

bool HXHotKey::isRegistered() const {
    return m_reference != 0 || isLocal();
}

bool HXHotKey::registerForDelegateTestOnly(HXHotKeyDelegate& delegate, bool testOnly) {
    if (const std::optional<bool> canBeLocal = delegate.hotKeyCanBeLocal(*this))
        m_canBeLocal = *canBeLocal;
    const bool local = isLocal();
    if (!local && m_reference) {
        if (testOnly)
            return true;
        unregister();
    }

    std::vector<HXHotKey*> equals;
    for (HXHotKey* other : delegate.hotKeys()) {
        if (other && other != this && other->isEqualToHotKey(this))
            equals.push_back(other);
    }
    if (!equals.empty()) {
        const std::optional<bool> accepted = delegate.acceptNonUniqueHotKey(*this, equals);
        if (!accepted) {
            HXSystemLog(QStringLiteral("the hot key <%1> is already taken").arg(visualRepresentation()));
            return false;
        }
        if (testOnly)
            return true;
        if (local || !*accepted)
            return *accepted;
        const std::uint32_t inherited = equals.front()->m_reference;
        if (!inherited) {
            HXSystemLog(
                QStringLiteral("cannot inherit reference for hot key <%1>").arg(visualRepresentation()));
            return false;
        }
        m_reference = inherited;
        m_context.pool.push(inherited);
        return true;
    }
    if (local)
        return true;

    const std::uint32_t number = m_context.pool.nextRegistrationNumber();
    if (!m_context.registrar)
        return false;
    const std::optional<std::uint32_t> reference = m_context.registrar->registerHotKey(
        m_keyCode, HXCarbonModifierFlagsFromCocoaModifierFlags(m_modifierFlags), delegate.hotKeySignature(),
        number);
    if (!reference || !*reference)
        return false;
    if (testOnly) {
        m_context.registrar->unregisterHotKey(*reference);
        return true;
    }
    m_reference = *reference;
    m_context.pool.push(m_reference);
    return true;
}

void HXHotKey::unregister() {
    if (!m_reference)
        return;
    const std::uint32_t reference = m_reference;
    m_reference = 0;
    if (m_context.pool.pop(reference) && m_context.registrar)
        m_context.registrar->unregisterHotKey(reference);
}

bool HXHotKey::matchesModifierFlags(std::uint64_t flags) const {
    const HXUserDefaults& defaults = m_context.defaults;
    return HXModifierFlagsMatch(flags, m_modifierFlags, ignoreCapsLock(defaults), ignoreFunctionKey(defaults),
                                requireExactModifierMatches(defaults));
}

bool HXHotKey::matchesEvent(const HXKeyboardEvent* event) const {
    if (!event || !matchesModifierFlags(event->modifierFlags))
        return false;
    switch (event->type) {
    case HXKeyboardEvent::Type::KeyDown:
        return event->keyCode == m_keyCode;
    case HXKeyboardEvent::Type::HotKeyPressed:
        return m_reference != 0 && event->hotKeyReference == m_reference;
    default:
        return false;
    }
}

bool HXHotKey::isEqualToHotKey(const HXHotKey* other) const {
    if (other == this)
        return true;
    if (!other)
        return false;
    return other->m_keyCode == m_keyCode && matchesModifierFlags(other->m_modifierFlags);
}

bool HXHotKey::requireExactModifierMatches(const HXUserDefaults& defaults) {
    return defaults.boolForKey(u"Hot Keys Require Exact Modifier Key Matches");
}

bool HXHotKey::ignoreCapsLock(const HXUserDefaults& defaults) {
    return !defaults.boolForKey(u"Hot Keys Account For Caps Lock Status");
}

bool HXHotKey::ignoreFunctionKey(const HXUserDefaults& defaults) {
    return !defaults.boolForKey(u"Hot Keys Account For Function Key Status");
}
