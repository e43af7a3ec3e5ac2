#include "reports/HXEventLogClipper.h"

#include "reports/HXClippedLogStorage.h"
#include "reports/HXEventStream.h"

#include <array>

using namespace HXKeys;

namespace {

constexpr unsigned kType = 1;
constexpr unsigned kName = 2;
constexpr unsigned kPath = 4;
constexpr unsigned kActive = 8;
constexpr unsigned kFront = 16;

// Records of one shape copied from a prototype share its key strings instead of allocating their own.
const HXDictionary& prototype(unsigned shape) {
    thread_local std::array<HXDictionaryRef, 32> prototypes;
    HXDictionaryRef& p = prototypes[shape];
    if (!p) {
        p = HXDictionary::create();
        if (shape & kType)
            p->setValue(Type, HXValue());
        if (shape & kName)
            p->setValue(Name, HXValue());
        if (shape & kPath)
            p->setValue(Path, HXValue());
        if (shape & kActive) {
            p->setValue(ActiveLog, HXValue());
            p->setValue(Time, HXValue());
        }
        if (shape & kFront) {
            p->setValue(FrontActiveLog, HXValue());
            p->setValue(FrontTime, HXValue());
        }
        p->setValue(Source, HXValue());
    }
    return *p;
}

// Most records' path and type are one of a few texts shared by every window, pool or pool item: a copy of
// those would touch a reference count far away in memory, from every clipping thread, the literal none.
HXValue wellKnownTextOr(const HXValue& value) {
    static const std::array<QString, 3> texts{
        HXStringOverLiteral(kWindowPath), HXStringOverLiteral(kPoolPath), HXStringOverLiteral(kPoolItemType)};
    if (value.isString()) {
        for (const QString& text : texts) {
            if (value.toString() == text)
                return text;
        }
    }
    return value;
}

double clipLog(const HXDictionary& source, HXKey key, std::vector<double>& out, bool& sorted, double a,
               double b) {
    out.clear();
    const HXValue* log = source.find(key);
    if (!log || !log->isArray())
        return 0;
    sorted = log->toArray()->isSortedByMagnitude();
    return recordEventStream(*log->toArray(), out, a, b);
}

} // namespace

bool HXEventLogClipper::clip(const HXDictionaryRef& source, double a, double b) {
    m_source = &source;
    if (!source) {
        m_active.clear();
        m_front.clear();
        return false;
    }
    m_time = clipLog(*source, ActiveLog, m_active, m_activeFromSorted, a, b);
    m_frontTime = clipLog(*source, FrontActiveLog, m_front, m_frontFromSorted, a, b);
    return !m_active.empty() || !m_front.empty();
}

HXDictionaryRef HXEventLogClipper::record() {
    if (!m_source || !*m_source) {
        HXDictionaryRef empty = HXDictionary::create();
        empty->setValue(Source, HXValue(HXDictionaryRef()));
        return empty;
    }
    const HXDictionary& source = **m_source;
    const HXValue* type = source.find(Type);
    const QString name = source.itemName();
    const HXValue* path = source.find(Path);
    const unsigned shape = (type ? kType : 0) | (name.isNull() ? 0 : kName) | (path ? kPath : 0) |
                           (m_active.empty() ? 0 : kActive) | (m_front.empty() ? 0 : kFront);
    HXDictionaryRef record = prototype(shape).shallowCopy();
    if (type)
        record->setValue(Type, wellKnownTextOr(*type));
    if (!name.isNull())
        record->setValue(Name, name);
    if (path)
        record->setValue(Path, wellKnownTextOr(*path));
    if (!m_active.empty()) {
        record->setValue(ActiveLog, logWithNumbers(m_active, m_activeFromSorted));
        record->setValue(Time, m_time);
    }
    if (!m_front.empty()) {
        record->setValue(FrontActiveLog, logWithNumbers(m_front, m_frontFromSorted));
        record->setValue(FrontTime, m_frontTime);
    }
    m_active.clear();
    m_front.clear();
    record->setValue(Source, HXValue(*m_source));
    m_source = nullptr;
    return record;
}

HXArrayRef HXEventLogClipper::logWithNumbers(std::vector<double>& numbers, bool fromSorted) {
    // Copied into the storage, the buffer keeps its room for the next clip; without one, the buffer was
    // sized by the clip and moves into the record.
    if (m_storage)
        return m_storage->arrayWithNumbers(numbers, isClipSortedByMagnitude(numbers, fromSorted));
    return HXArray::createWithDoubles(std::move(numbers));
}
