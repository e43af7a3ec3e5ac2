#include "foundation/HXNonFiniteTimes.h"

#include "foundation/HXDictionary.h"
#include "foundation/HXPropertyList.h"

namespace {

std::size_t removeBelow(const HXValue& value, int depth);

std::size_t removeInDictionary(const HXDictionary& dictionary, int depth) {
    std::size_t removed = 0;
    for (const HXKey key : {HXKeys::ActiveLog, HXKeys::FrontActiveLog}) {
        if (HXArray* log = dictionary.arrayPointerForKey(key))
            removed += static_cast<std::size_t>(log->removeNonFiniteNumbers());
    }
    for (const HXDictionary::Entry& entry : dictionary.entries())
        removed += removeBelow(entry.value, depth + 1);
    return removed;
}

// Records lie in dictionaries ("Applications", "Windows By Name") and arrays ("Pools", "Children").
std::size_t removeBelow(const HXValue& value, int depth) {
    if (depth > HXPropertyList::kMaximumDepth)
        return 0;
    if (const HXDictionaryRef& dictionary = value.toDictionary())
        return removeInDictionary(*dictionary, depth);
    std::size_t removed = 0;
    if (const HXArrayRef& array = value.toArray()) {
        for (const HXValue& element : array->values())
            removed += removeBelow(element, depth + 1);
    }
    return removed;
}

} // namespace

std::size_t HXRemoveNonFiniteLogEntries(HXDictionary& configuration) {
    return removeInDictionary(configuration, 0);
}
