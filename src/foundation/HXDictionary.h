#pragma once

#include "foundation/HXArray.h"
#include "foundation/HXKeys.h"
#include "foundation/HXValue.h"

#include <QByteArrayView>
#include <QStringList>

#include <array>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

// A shared, mutable property-list dictionary with string keys, kept in insertion order. Item records,
// the configuration, filter records and clipped records are all of this class; records are found by
// identity. Reading never fails: a missing key or a value of the wrong type reads as false, 0 or empty.
class HXDictionary {
public:
    struct Entry {
        QString key;
        HXValue value;
    };

    HXDictionary();
    HXDictionary(const HXDictionary&) = delete;
    HXDictionary& operator=(const HXDictionary&) = delete;
    ~HXDictionary();

    static HXDictionaryRef create() { return std::make_shared<HXDictionary>(); }

    qsizetype count() const { return static_cast<qsizetype>(m_entries.size()); }
    bool isEmpty() const { return m_entries.empty(); }
    const std::vector<Entry>& entries() const { return m_entries; }
    QStringList keys() const;

    // The stored value, or nullptr; never allocates. Well-known keys are found through their slot.
    const HXValue* find(HXKey key) const {
        if (key.slot >= 0) {
            const std::int32_t position = m_slots[static_cast<std::size_t>(key.slot)];
            return position < 0 ? nullptr : &m_entries[static_cast<std::size_t>(position)].value;
        }
        const qsizetype position = indexOfText(key.text);
        return position < 0 ? nullptr : &m_entries[static_cast<std::size_t>(position)].value;
    }
    HXValue value(HXKey key) const;
    bool contains(HXKey key) const { return find(key) != nullptr; }

    void setValue(HXKey key, HXValue value);
    bool remove(HXKey key);
    void clear();

    // Typed reads. A time that is not finite (a damaged file) reads as missing.
    double timeIntervalForKey(HXKey key) const {
        const HXValue* v = find(key);
        const double seconds = v ? v->toDouble() : 0.0;
        return std::isfinite(seconds) ? seconds : 0.0;
    }
    std::int64_t integerForKey(HXKey key) const;
    std::uint64_t unsignedIntegerForKey(HXKey key) const;
    bool boolForKey(HXKey key) const {
        const HXValue* v = find(key);
        return v && v->toBool();
    }
    const QString& stringForKey(HXKey key) const;
    // The array itself, without touching its reference count; nullptr when absent or not an array.
    HXArray* arrayPointerForKey(HXKey key) const {
        const HXValue* v = find(key);
        return v ? v->toArray().get() : nullptr;
    }
    HXArrayRef arrayForKey(HXKey key) const;
    HXDictionaryRef dictionaryForKey(HXKey key) const;

    // Mutators: false booleans and zero integers are never stored.
    void setTimeInterval(double seconds, HXKey key) { setValue(key, seconds); }
    void addTimeInterval(double seconds, HXKey key) { setValue(key, timeIntervalForKey(key) + seconds); }
    void setInteger(std::int64_t integer, HXKey key);
    void setBool(bool flag, HXKey key);
    void setOrRemoveObject(const HXValue& object, HXKey key);
    void tryToSetObject(const HXValue& object, std::optional<HXKey> key);

    // Item records: names and kinds.
    QString itemName() const { return itemNameOrAnyApplicationSpecifier(true); }
    QString itemNameOrAnyApplicationSpecifier(bool any) const;
    bool isPoolOrPoolItem() const;
    bool isWindowTitleFilterEligibleItem() const;

    // Item records: removes times, states and event logs, of the record and everything below it.
    void resetTimersRecursively();

    // Unsaved associated values: an application's list windows; a pool's items or a pool item's window
    // items in the organizer's order (the stored "Children" keep the user's order); an organizer proxy.
    const HXArrayRef& listWindows() const { return m_listWindows; }
    void setListWindows(HXArrayRef windows) { m_listWindows = std::move(windows); }
    const HXArrayRef& listChildren() const { return m_listChildren; }
    void setListChildren(HXArrayRef children) { m_listChildren = std::move(children); }
    std::shared_ptr<void> associatedObject(const void* tag) const;
    void setAssociatedObject(const void* tag, std::shared_ptr<void> object);

    // Parsing property-list data (binary or XML); nil unless the top level is a dictionary.
    static HXDictionaryRef deeplyMutableDictionaryWithData(QByteArrayView data);
    static HXDictionaryRef deeplyMutableDictionaryWithContentsOfFile(const QString& path);

    HXDictionaryRef shallowCopy() const;
    HXDictionaryRef deepCopy() const;

    // For loops over many records: ask the processor for the entries, or for what their values refer to.
    void prefetchEntries() const { __builtin_prefetch(m_entries.data()); }
    void prefetchReferents() const {
        for (const Entry& e : m_entries)
            e.value.prefetchReferent();
    }

    friend bool operator==(const HXDictionary& a, const HXDictionary& b);

private:
    qsizetype indexOf(HXKey key) const;
    qsizetype indexOfText(QStringView text) const;
    void rebuildIndex();
    void insertIntoIndex(qsizetype position);

    std::vector<Entry> m_entries;
    // Position of each well-known key, -1 when absent.
    std::array<std::int32_t, HXKeys::kWellKnownCount> m_slots;
    // Open-addressing table of positions for large dictionaries; empty while small.
    std::vector<std::int32_t> m_index;
    HXArrayRef m_listWindows;
    HXArrayRef m_listChildren;
    std::unique_ptr<std::vector<std::pair<const void*, std::shared_ptr<void>>>> m_associated;
};
