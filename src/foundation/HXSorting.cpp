#include "foundation/HXSorting.h"

#include "foundation/HXDictionary.h"

#include <QCollator>
#include <QLocale>

#include <limits>

namespace {

int sign(int c) {
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

const QCollator& standardCollator() {
    // Building a collator is costly; each thread keeps one for the locale in force when it was made.
    thread_local const QCollator collator = [] {
        // The C locale has no collation of its own (and no numeric ordering); English rules stand in.
        const QLocale locale = QLocale().language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates)
                                                                  : QLocale();
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
