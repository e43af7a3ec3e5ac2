#include "foundation/HXSorting.h"

#include "foundation/HXDictionary.h"

#include <QCollator>
#include <QLocale>

#include <QCollatorSortKey>

#include <algorithm>
#include <limits>
#include <optional>

namespace {

int sign(int c) {
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

const QCollator& standardCollator() {
    // Building a collator is costly; each thread keeps one for the locale in force when it was made.
    thread_local const QCollator collator = [] {
        // The C locale has no collation of its own (and no numeric ordering); English rules stand in.
        const QLocale locale =
            QLocale().language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : QLocale();
        QCollator c{locale};
        c.setNumericMode(true);
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

// Descending by a number; a record holding one sorts before one without.
int compareTimesDescending(const HXDictionary& a, const HXDictionary& b, HXKey key) {
    const HXValue* va = a.find(key);
    const HXValue* vb = b.find(key);
    const bool ha = va && va->isNumber();
    const bool hb = vb && vb->isNumber();
    if (ha && hb) {
        const double da = va->toDouble();
        const double db = vb->toDouble();
        if (da > db)
            return -1;
        if (da < db)
            return 1;
        return 0;
    }
    if (ha != hb)
        return ha ? -1 : 1;
    return 0;
}

} // namespace

int HXLocalizedStandardCompare(const QString& a, const QString& b) {
    return sign(standardCollator().compare(a, b));
}

int HXSortStrings(const QString& a, const QString& b) {
    if (a.isEmpty() != b.isEmpty())
        return a.isEmpty() ? 1 : -1;
    return HXLocalizedStandardCompare(a, b);
}

int HXSortItemsByName(const HXDictionary& a, const HXDictionary& b) {
    const int byName = HXSortStrings(a.itemName(), b.itemName());
    if (byName != 0)
        return byName;
    return HXLocalizedStandardCompare(a.stringForKey(HXKeys::Path), b.stringForKey(HXKeys::Path));
}

int HXSortItems(const HXDictionary& a, const HXDictionary& b, int sortColumn) {
    if (sortColumn >= 2) {
        if (const int c = compareTimesDescending(a, b, HXKeys::Time))
            return c;
    }
    if (sortColumn >= 1) {
        if (const int c = compareTimesDescending(a, b, HXKeys::FrontTime))
            return c;
    }
    return HXSortItemsByName(a, b);
}

int HXSortItemValues(const HXValue& a, const HXValue& b, int sortColumn) {
    const HXDictionaryRef& da = a.toDictionary();
    const HXDictionaryRef& db = b.toDictionary();
    if (!da || !db)
        return da ? -1 : (db ? 1 : 0);
    return HXSortItems(*da, *db, sortColumn);
}

int HXSortDictionaryNumberValuesByKey(const HXDictionary& a, const HXDictionary& b, HXKey key) {
    const auto number = [&](const HXDictionary& d) {
        const HXValue* v = d.find(key);
        return v && v->isNumber() ? v->toDouble() : std::numeric_limits<double>::max();
    };
    const double na = number(a);
    const double nb = number(b);
    return na < nb ? -1 : (na > nb ? 1 : 0);
}

namespace {

// A record's display name with its collation key, kept until the name changes.
struct CollationKey {
    QString name;
    QCollatorSortKey key;
};

const int kCollationKeyTag = 0;

struct SortEntry {
    HXValue value;
    HXDictionary* record = nullptr;
    std::optional<double> time;
    std::optional<double> frontTime;
    QString name;
    // Computed on the first tie that needs it.
    mutable const QCollatorSortKey* key = nullptr;
};

std::optional<double> numberFor(const HXDictionary& record, HXKey key) {
    const HXValue* v = record.find(key);
    if (v && v->isNumber())
        return v->toDouble();
    return std::nullopt;
}

int compareDescending(const std::optional<double>& a, const std::optional<double>& b) {
    if (a && b)
        return *a > *b ? -1 : (*a < *b ? 1 : 0);
    if (a.has_value() != b.has_value())
        return a ? -1 : 1;
    return 0;
}

int compareNames(const SortEntry& a, const SortEntry& b) {
    if (a.name.isEmpty() != b.name.isEmpty())
        return a.name.isEmpty() ? 1 : -1;
    if (!a.name.isEmpty()) {
        if (!a.key)
            a.key = &HXItemNameCollationKey(*a.record, a.name);
        if (!b.key)
            b.key = &HXItemNameCollationKey(*b.record, b.name);
        if (const int c = sign(a.key->compare(*b.key)))
            return c;
    }
    return HXLocalizedStandardCompare(a.record->stringForKey(HXKeys::Path),
                                      b.record->stringForKey(HXKeys::Path));
}

} // namespace

const QCollatorSortKey& HXItemNameCollationKey(HXDictionary& record, const QString& name) {
    auto cached = std::static_pointer_cast<CollationKey>(record.associatedObject(&kCollationKeyTag));
    if (!cached || cached->name != name) {
        cached = std::make_shared<CollationKey>(CollationKey{name, standardCollator().sortKey(name)});
        record.setAssociatedObject(&kCollationKeyTag, cached);
    }
    return cached->key;
}

int HXCompareItems(HXDictionary& a, HXDictionary& b, int sortColumn) {
    if (sortColumn >= 2) {
        if (const int c = compareDescending(numberFor(a, HXKeys::Time), numberFor(b, HXKeys::Time)))
            return c;
    }
    if (sortColumn >= 1) {
        if (const int c = compareDescending(numberFor(a, HXKeys::FrontTime), numberFor(b, HXKeys::FrontTime)))
            return c;
    }
    SortEntry ea;
    ea.record = &a;
    ea.name = a.itemName();
    SortEntry eb;
    eb.record = &b;
    eb.name = b.itemName();
    return compareNames(ea, eb);
}

void HXSortItemsInArray(HXArray& items, int sortColumn) {
    if (items.isPacked() || items.count() < 2)
        return;
    // Lists mostly keep their order from tick to tick; a stable sort leaves an ordered list as it is.
    const std::vector<HXValue>& values = items.values();
    bool ordered = true;
    for (std::size_t i = 1; ordered && i < values.size(); ++i) {
        HXDictionary* previous = values[i - 1].toDictionary().get();
        HXDictionary* current = values[i].toDictionary().get();
        ordered = previous && current && HXCompareItems(*previous, *current, sortColumn) <= 0;
    }
    if (ordered)
        return;
    std::vector<SortEntry> entries;
    entries.reserve(static_cast<std::size_t>(items.count()));
    for (const HXValue& value : items.values()) {
        SortEntry entry;
        entry.value = value;
        entry.record = value.toDictionary().get();
        if (entry.record) {
            if (sortColumn >= 2)
                entry.time = numberFor(*entry.record, HXKeys::Time);
            if (sortColumn >= 1)
                entry.frontTime = numberFor(*entry.record, HXKeys::FrontTime);
            entry.name = entry.record->itemName();
        }
        entries.push_back(std::move(entry));
    }
    std::stable_sort(entries.begin(), entries.end(), [sortColumn](const SortEntry& a, const SortEntry& b) {
        if (!a.record || !b.record)
            return a.record && !b.record;
        if (sortColumn >= 2) {
            if (const int c = compareDescending(a.time, b.time))
                return c < 0;
        }
        if (sortColumn >= 1) {
            if (const int c = compareDescending(a.frontTime, b.frontTime))
                return c < 0;
        }
        return compareNames(a, b) < 0;
    });
    std::vector<HXValue> sorted;
    sorted.reserve(entries.size());
    for (SortEntry& entry : entries)
        sorted.push_back(std::move(entry.value));
    items.assignValues(std::move(sorted));
}
