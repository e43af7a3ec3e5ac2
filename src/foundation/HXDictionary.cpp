#include "foundation/HXDictionary.h"

#include "foundation/HXPropertyList.h"
#include "foundation/HXRegularFile.h"

#include <QHashFunctions>

namespace {

constexpr qsizetype kIndexThreshold = 16;

std::size_t hashOf(QStringView key) {
    return qHash(key, 0);
}

// A well-known key's text is a literal that lives as long as the program: its entries use it in place,
// so that the records copied and freed by the thousand (clipped records) touch no shared reference count.
QString keyString(HXKey key, int slot) {
    if (slot < 0)
        return key.text.toString();
    return HXStringOverLiteral(HXKeys::kWellKnown[static_cast<std::size_t>(slot)].text);
}

} // namespace

HXDictionary::HXDictionary() {
    m_slots.fill(-1);
}

HXDictionary::~HXDictionary() {
    // The values' referents are freed one after the other below; asked for at once, their loads overlap.
    prefetchReferents();
}

QStringList HXDictionary::keys() const {
    QStringList list;
    list.reserve(count());
    for (const Entry& e : m_entries)
        list.append(e.key);
    return list;
}

qsizetype HXDictionary::indexOf(HXKey key) const {
    if (key.slot >= 0)
        return m_slots[static_cast<std::size_t>(key.slot)];
    return indexOfText(key.text);
}

qsizetype HXDictionary::indexOfText(QStringView text) const {
    if (!m_index.empty()) {
        const std::size_t mask = m_index.size() - 1;
        for (std::size_t i = hashOf(text) & mask;; i = (i + 1) & mask) {
            const std::int32_t position = m_index[i];
            if (position < 0)
                return -1;
            if (m_entries[static_cast<std::size_t>(position)].key == text)
                return position;
        }
    }
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const QString& k = m_entries[i].key;
        if (k.size() == text.size() && k == text)
            return static_cast<qsizetype>(i);
    }
    return -1;
}

HXValue HXDictionary::value(HXKey key) const {
    const HXValue* v = find(key);
    return v ? *v : HXValue();
}

void HXDictionary::insertIntoIndex(qsizetype position) {
    const std::size_t mask = m_index.size() - 1;
    std::size_t i = hashOf(m_entries[static_cast<std::size_t>(position)].key) & mask;
    while (m_index[i] >= 0)
        i = (i + 1) & mask;
    m_index[i] = static_cast<std::int32_t>(position);
}

void HXDictionary::rebuildIndex() {
    m_index.clear();
    if (count() <= kIndexThreshold)
        return;
    std::size_t capacity = 32;
    while (capacity < static_cast<std::size_t>(count()) * 2)
        capacity *= 2;
    m_index.assign(capacity, -1);
    for (qsizetype p = 0; p < count(); ++p)
        insertIntoIndex(p);
}

void HXDictionary::setValue(HXKey key, HXValue value) {
    const qsizetype existing = indexOf(key);
    if (existing >= 0) {
        m_entries[static_cast<std::size_t>(existing)].value = std::move(value);
        return;
    }
    const auto position = static_cast<std::int32_t>(m_entries.size());
    const int slot = key.slot >= 0 ? key.slot : HXKeys::wellKnownSlot(key.text);
    m_entries.push_back(Entry{keyString(key, slot), std::move(value)});
    if (slot >= 0)
        m_slots[static_cast<std::size_t>(slot)] = position;
    if (m_index.empty()) {
        if (count() > kIndexThreshold)
            rebuildIndex();
    } else if (static_cast<std::size_t>(count()) * 2 > m_index.size()) {
        rebuildIndex();
    } else {
        insertIntoIndex(position);
    }
}

bool HXDictionary::remove(HXKey key) {
    const qsizetype position = indexOf(key);
    if (position < 0)
        return false;
    m_entries.erase(m_entries.begin() + position);
    for (std::int32_t& slot : m_slots) {
        if (slot == position)
            slot = -1;
        else if (slot > position)
            --slot;
    }
    if (!m_index.empty())
        rebuildIndex();
    return true;
}

void HXDictionary::clear() {
    m_entries.clear();
    m_slots.fill(-1);
    m_index.clear();
}

std::int64_t HXDictionary::integerForKey(HXKey key) const {
    const HXValue* v = find(key);
    return v ? v->toInteger() : 0;
}

std::uint64_t HXDictionary::unsignedIntegerForKey(HXKey key) const {
    const HXValue* v = find(key);
    return v ? v->toUnsignedInteger() : 0;
}

const QString& HXDictionary::stringForKey(HXKey key) const {
    static const QString empty;
    const HXValue* v = find(key);
    return v ? v->toString() : empty;
}

HXArrayRef HXDictionary::arrayForKey(HXKey key) const {
    const HXValue* v = find(key);
    return v ? v->toArray() : nullptr;
}

HXDictionaryRef HXDictionary::dictionaryForKey(HXKey key) const {
    const HXValue* v = find(key);
    return v ? v->toDictionary() : nullptr;
}

void HXDictionary::setInteger(std::int64_t integer, HXKey key) {
    if (integer == 0)
        remove(key);
    else
        setValue(key, static_cast<long long>(integer));
}

void HXDictionary::setBool(bool flag, HXKey key) {
    if (flag)
        setValue(key, true);
    else
        remove(key);
}

void HXDictionary::setOrRemoveObject(const HXValue& object, HXKey key) {
    if (object.isNull())
        remove(key);
    else
        setValue(key, object);
}

void HXDictionary::tryToSetObject(const HXValue& object, std::optional<HXKey> key) {
    if (!object.isNull() && key)
        setValue(*key, object);
}

std::shared_ptr<void> HXDictionary::associatedObject(const void* tag) const {
    if (!m_associated)
        return nullptr;
    for (const auto& [t, object] : *m_associated) {
        if (t == tag)
            return object;
    }
    return nullptr;
}

void HXDictionary::setAssociatedObject(const void* tag, std::shared_ptr<void> object) {
    if (!m_associated)
        m_associated = std::make_unique<std::vector<std::pair<const void*, std::shared_ptr<void>>>>();
    for (auto it = m_associated->begin(); it != m_associated->end(); ++it) {
        if (it->first == tag) {
            if (object)
                it->second = std::move(object);
            else
                m_associated->erase(it);
            return;
        }
    }
    if (object)
        m_associated->emplace_back(tag, std::move(object));
}

HXDictionaryRef HXDictionary::deeplyMutableDictionaryWithData(QByteArrayView data) {
    if (data.isNull())
        return nullptr;
    HXPropertyListResult result = HXPropertyList::read(data);
    return result.value.toDictionary();
}

HXDictionaryRef HXDictionary::deeplyMutableDictionaryWithContentsOfFile(const QString& path) {
    const std::optional<QByteArray> data = HXReadRegularFile(path);
    return data ? deeplyMutableDictionaryWithData(*data) : nullptr;
}

HXDictionaryRef HXDictionary::shallowCopy() const {
    auto copy = create();
    copy->m_entries = m_entries;
    copy->m_slots = m_slots;
    copy->m_index = m_index;
    return copy;
}

HXDictionaryRef HXDictionary::deepCopy() const {
    auto copy = create();
    copy->m_entries.reserve(m_entries.size());
    for (const Entry& e : m_entries)
        copy->m_entries.push_back(Entry{e.key, e.value.deepCopy()});
    copy->m_slots = m_slots;
    copy->m_index = m_index;
    return copy;
}

bool operator==(const HXDictionary& a, const HXDictionary& b) {
    if (a.count() != b.count())
        return false;
    for (const HXDictionary::Entry& e : a.m_entries) {
        const HXValue* other = b.find(HXKey(e.key));
        if (!other || !(e.value == *other))
            return false;
    }
    return true;
}
