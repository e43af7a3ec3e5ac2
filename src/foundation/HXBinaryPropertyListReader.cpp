#include "foundation/HXPropertyList.h"

#include "foundation/HXArray.h"
#include "foundation/HXBinaryPropertyListFormat.h"
#include "foundation/HXDictionary.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <unordered_map>
#include <vector>

// The reader trusts nothing in the data: every offset, count and reference is checked before use, the
// containers on the path being decoded are tracked so that an object containing itself is refused, and
// the total number of elements visited is bounded by the size of the input, so that shared containers
// cannot expand without limit. Strings and data referenced several times are decoded once and shared.
// A dictionary that repeats a key keeps the later value. UIDs and sets have no place in this program's
// value model and are refused.

namespace {

using namespace HXBinaryPropertyList;

// Collects finished byte ranges that follow one another and passes them on a megabyte or more at a time:
// one call per event log would cost more than the memory it gives back. Small gaps between the ranges
// (a record's keys and names, already decoded) are passed on with them.
class ConsumedRanges {
public:
    explicit ConsumedRanges(const HXPropertyList::Consumed& consumed) : m_consumed(consumed) {}

    void add(quint64 from, quint64 to) {
        if (!m_consumed)
            return;
        if (m_to > m_from && from >= m_from && from <= m_to + kGap) {
            m_to = std::max(m_to, to);
        } else {
            m_from = from;
            m_to = to;
        }
        if (m_to - m_from >= kPiece) {
            m_consumed(m_from, m_to);
            m_from = m_to;
        }
    }

private:
    static constexpr quint64 kGap = 4096;
    static constexpr quint64 kPiece = 1 << 20;

    const HXPropertyList::Consumed& m_consumed;
    quint64 m_from = 0;
    quint64 m_to = 0;
};

class BinaryReader {
public:
    BinaryReader(QByteArrayView data, const HXPropertyList::Consumed& consumed)
        : m_bytes(reinterpret_cast<const uchar*>(data.data())), m_size(static_cast<quint64>(data.size())),
          m_consumedObjects(consumed), m_consumedOffsets(consumed) {}

    HXPropertyListResult read() {
        HXPropertyListResult result;
        result.format = HXPropertyListFormat::Binary;
        HXValue root;
        if (readTrailer() && readObject(m_topObject, 0, root))
            result.value = std::move(root);
        result.error = m_error;
        return result;
    }

private:
    bool fail(const QString& text) {
        if (m_error.isEmpty())
            m_error = text;
        return false;
    }

    bool failAt(quint64 offset, const QString& text) {
        return fail(QStringLiteral("object at offset %1: %2").arg(offset).arg(text));
    }

    bool failMarker(quint64 offset) {
        return failAt(offset, QStringLiteral("unknown object marker 0x%1")
                                  .arg(static_cast<uint>(m_bytes[offset]), 2, 16, QLatin1Char('0')));
    }

    bool readTrailer() {
        if (m_size < static_cast<quint64>(kHeaderSize + kTrailerSize + 1))
            return fail(QStringLiteral("truncated binary property list (%1 bytes)").arg(m_size));
        if (std::memcmp(m_bytes, kMagic, kHeaderSize) != 0)
            return fail(QStringLiteral("not a binary property list (bad header)"));
        const uchar* trailer = m_bytes + m_size - kTrailerSize;
        m_offsetSize = trailer[6];
        m_refSize = trailer[7];
        m_objectCount = readBigEndian(trailer + 8, 8);
        m_topObject = readBigEndian(trailer + 16, 8);
        m_tableOffset = readBigEndian(trailer + 24, 8);
        if (m_offsetSize < 1 || m_offsetSize > 8)
            return fail(QStringLiteral("bad trailer: offset size %1").arg(m_offsetSize));
        if (m_refSize < 1 || m_refSize > 8)
            return fail(QStringLiteral("bad trailer: object reference size %1").arg(m_refSize));
        if (m_objectCount == 0)
            return fail(QStringLiteral("bad trailer: no objects"));
        if (m_topObject >= m_objectCount)
            return fail(
                QStringLiteral("bad trailer: top object %1 of %2").arg(m_topObject).arg(m_objectCount));
        const quint64 tableEnd = m_size - kTrailerSize;
        if (m_tableOffset <= static_cast<quint64>(kHeaderSize) || m_tableOffset > tableEnd)
            return fail(
                QStringLiteral("bad trailer: offset table at %1 outside the data").arg(m_tableOffset));
        if (m_objectCount > (tableEnd - m_tableOffset) / static_cast<quint64>(m_offsetSize))
            return fail(
                QStringLiteral("bad trailer: %1 objects do not fit in the offset table").arg(m_objectCount));
        m_table = m_bytes + m_tableOffset;
        m_sharedKnown.resize(m_objectCount);
        m_budget = 2 * m_size + 65536;
        return true;
    }

    // Where object ref begins, checked to lie among the objects.
    bool objectOffset(quint64 ref, quint64& offset) {
        if (ref >= m_objectCount)
            return fail(
                QStringLiteral("object reference %1 out of range (%2 objects)").arg(ref).arg(m_objectCount));
        offset = readBigEndian(m_table + ref * static_cast<quint64>(m_offsetSize), m_offsetSize);
        if (offset < static_cast<quint64>(kHeaderSize) || offset >= m_tableOffset)
            return fail(QStringLiteral("object %1 at offset %2 outside the data").arg(ref).arg(offset));
        return true;
    }

    bool hasBytes(quint64 start, quint64 count) const {
        return start <= m_tableOffset && count <= m_tableOffset - start;
    }

    // Whether count items of itemSize bytes lie between start and the offset table.
    bool fits(quint64 start, quint64 count, quint64 itemSize) const {
        return start <= m_tableOffset && count <= (m_tableOffset - start) / itemSize;
    }

    quint64 refAt(const uchar* refs, quint64 index) const {
        return readBigEndian(refs + index * static_cast<quint64>(m_refSize), m_refSize);
    }

    // The element count of a string, data or container, and where its content starts.
    bool readCount(quint64 offset, quint64& count, quint64& start) {
        count = m_bytes[offset] & 0x0F;
        start = offset + 1;
        if (count != kCountFollows)
            return true;
        if (!hasBytes(start, 1))
            return failAt(offset, QStringLiteral("truncated count"));
        const uchar marker = m_bytes[start];
        if ((marker & 0xF0) != kInteger || (marker & 0x0F) > 3)
            return failAt(offset, QStringLiteral("bad count"));
        const int width = 1 << (marker & 0x0F);
        if (!hasBytes(start + 1, static_cast<quint64>(width)))
            return failAt(offset, QStringLiteral("truncated count"));
        count = readBigEndian(m_bytes + start + 1, width);
        start += 1 + static_cast<quint64>(width);
        return true;
    }

    // Spends part of the work budget on count elements.
    bool spend(quint64 count) {
        if (count > m_budget)
            return fail(QStringLiteral("shared objects expand far beyond the size of the data"));
        m_budget -= count;
        return true;
    }

    bool checkDepth(int depth) {
        if (depth > HXPropertyList::kMaximumDepth)
            return fail(QStringLiteral("nesting deeper than %1 levels").arg(HXPropertyList::kMaximumDepth));
        return true;
    }

    // Marks a container as being decoded; refused when it already is, which means it contains itself.
    bool enter(quint64 ref) {
        if (std::find(m_path.begin(), m_path.end(), ref) != m_path.end())
            return fail(QStringLiteral("object %1 contains itself").arg(ref));
        m_path.push_back(ref);
        return true;
    }

    bool readObject(quint64 ref, int depth, HXValue& out) {
        // A string or data met before is taken as decoded, without touching its bytes or offset again:
        // those may lie far back in data that was already given back.
        if (const HXValue* known = sharedValue(ref)) {
            out = *known;
            return true;
        }
        quint64 offset = 0;
        if (!objectOffset(ref, offset))
            return false;
        const uchar marker = m_bytes[offset];
        switch (marker & 0xF0) {
        case 0x00:
            return readConstant(offset, out);
        case kInteger:
            return readInteger(offset, out);
        case kReal: {
            double number = 0;
            if (!readReal(offset, number))
                return false;
            out = HXValue(number);
            return true;
        }
        case kDate & 0xF0:
            return readDate(offset, out);
        case kData:
        case kASCIIString:
        case kUTF16String:
            return readShared(ref, offset, out);
        case kArray:
            return readArray(ref, offset, depth + 1, out);
        case kDictionary:
            return readDictionary(ref, offset, depth + 1, out);
        case kUID:
            return failAt(offset, QStringLiteral("UIDs (keyed archives) are not supported"));
        case kOrderedSet:
        case kSet:
            return failAt(offset, QStringLiteral("sets are not supported"));
        default:
            return failMarker(offset);
        }
    }

    bool readConstant(quint64 offset, HXValue& out) {
        switch (m_bytes[offset]) {
        case kNull:
            out = HXValue();
            return true;
        case kFalse:
            out = HXValue(false);
            return true;
        case kTrue:
            out = HXValue(true);
            return true;
        default:
            return failMarker(offset);
        }
    }

    bool readInteger(quint64 offset, HXValue& out) {
        const int exponent = m_bytes[offset] & 0x0F;
        if (exponent > 4)
            return failAt(offset, QStringLiteral("integer of unsupported size"));
        const int width = 1 << exponent;
        if (!hasBytes(offset + 1, static_cast<quint64>(width)))
            return failAt(offset, QStringLiteral("truncated integer"));
        const uchar* p = m_bytes + offset + 1;
        if (width < 8) {
            out = HXValue(static_cast<long long>(readBigEndian(p, width)));
        } else if (width == 8) {
            out = HXValue(static_cast<long long>(static_cast<std::int64_t>(readBigEndian(p, 8))));
        } else {
            // 128-bit, signed: only what fits in 64 bits is a value here.
            const std::uint64_t high = readBigEndian(p, 8);
            const std::uint64_t low = readBigEndian(p + 8, 8);
            if (high == 0)
                out = HXValue(static_cast<unsigned long long>(low));
            else if (high == ~std::uint64_t(0) && (low >> 63) != 0)
                out = HXValue(static_cast<long long>(static_cast<std::int64_t>(low)));
            else
                return failAt(offset, QStringLiteral("integer outside the 64-bit range"));
        }
        return true;
    }

    bool readReal(quint64 offset, double& number) {
        const uchar marker = m_bytes[offset];
        if (marker == (kReal | 3)) {
            if (!hasBytes(offset + 1, 8))
                return failAt(offset, QStringLiteral("truncated real"));
            number = std::bit_cast<double>(readBigEndian(m_bytes + offset + 1, 8));
            return true;
        }
        if (marker == (kReal | 2)) {
            if (!hasBytes(offset + 1, 4))
                return failAt(offset, QStringLiteral("truncated real"));
            number = std::bit_cast<float>(static_cast<std::uint32_t>(readBigEndian(m_bytes + offset + 1, 4)));
            return true;
        }
        return failAt(offset, QStringLiteral("real of unsupported size"));
    }

    bool readDate(quint64 offset, HXValue& out) {
        if (m_bytes[offset] != kDate)
            return failMarker(offset);
        if (!hasBytes(offset + 1, 8))
            return failAt(offset, QStringLiteral("truncated date"));
        out = HXValue(HXDate{std::bit_cast<double>(readBigEndian(m_bytes + offset + 1, 8))});
        return true;
    }

    // Strings and data, decoded once per object and shared by every reference to it: the callers look in
    // sharedValue() first.
    bool readShared(quint64 ref, quint64 offset, HXValue& out) {
        quint64 count = 0;
        quint64 start = 0;
        if (!readCount(offset, count, start))
            return false;
        const uchar* p = m_bytes + start;
        switch (m_bytes[offset] & 0xF0) {
        case kData:
            if (!fits(start, count, 1))
                return failAt(offset, QStringLiteral("data of %1 bytes overruns the data").arg(count));
            out = HXValue(QByteArray(reinterpret_cast<const char*>(p), static_cast<qsizetype>(count)));
            break;
        case kASCIIString:
            if (!fits(start, count, 1))
                return failAt(offset, QStringLiteral("string of %1 characters overruns the data").arg(count));
            if (std::any_of(p, p + count, [](uchar c) { return c >= 0x80; }))
                return failAt(offset, QStringLiteral("non-ASCII byte in an ASCII string"));
            out =
                HXValue(QString::fromLatin1(reinterpret_cast<const char*>(p), static_cast<qsizetype>(count)));
            break;
        default: {
            if (!fits(start, count, 2))
                return failAt(offset, QStringLiteral("string of %1 characters overruns the data").arg(count));
            QString text;
            if (!decodeUTF16(p, count, text))
                return failAt(offset, QStringLiteral("invalid UTF-16 string (unpaired surrogate)"));
            out = HXValue(std::move(text));
        }
        }
        m_shared.emplace(ref, out);
        m_sharedKnown[ref] = true;
        return true;
    }

    // The string or data decoded for ref before, or nullptr; the bit vector spares most objects a lookup.
    const HXValue* sharedValue(quint64 ref) const {
        if (ref >= m_sharedKnown.size() || !m_sharedKnown[ref])
            return nullptr;
        return &m_shared.find(ref)->second;
    }

    static bool decodeUTF16(const uchar* p, quint64 count, QString& text) {
        text.resize(static_cast<qsizetype>(count));
        char16_t* units = reinterpret_cast<char16_t*>(text.data());
        for (quint64 i = 0; i < count; ++i)
            units[i] = static_cast<char16_t>((p[2 * i] << 8) | p[2 * i + 1]);
        for (quint64 i = 0; i < count; ++i) {
            if (QChar::isHighSurrogate(units[i])) {
                if (i + 1 == count || !QChar::isLowSurrogate(units[i + 1]))
                    return false;
                ++i;
            } else if (QChar::isLowSurrogate(units[i])) {
                return false;
            }
        }
        return true;
    }

    // The element as a number when it is a real; false without an error when it is something else.
    bool realElement(quint64 ref, double& number, quint64& offset) {
        if (!objectOffset(ref, offset))
            return false;
        const uchar marker = m_bytes[offset];
        if (marker == (kReal | 3) && hasBytes(offset + 1, 8)) {
            number = std::bit_cast<double>(readBigEndian(m_bytes + offset + 1, 8));
            return true;
        }
        if ((marker & 0xF0) != kReal)
            return false;
        return readReal(offset, number);
    }

    bool readArray(quint64 ref, quint64 offset, int depth, HXValue& out) {
        if (!checkDepth(depth))
            return false;
        quint64 count = 0;
        quint64 start = 0;
        if (!readCount(offset, count, start))
            return false;
        if (!fits(start, count, static_cast<quint64>(m_refSize)))
            return failAt(offset, QStringLiteral("array of %1 elements overruns the data").arg(count));
        if (!spend(count))
            return false;
        const uchar* refs = m_bytes + start;
        // Event logs: an array made only of reals goes straight into doubles.
        std::vector<double> numbers;
        numbers.reserve(static_cast<std::size_t>(count));
        quint64 i = 0;
        Extent objects{offset, start + count * static_cast<quint64>(m_refSize)};
        Extent refsUsed{ref, ref + 1};
        for (double number = 0; i < count; ++i) {
            const quint64 element = refAt(refs, i);
            quint64 elementOffset = 0;
            if (!realElement(element, number, elementOffset))
                break;
            numbers.push_back(number);
            objects.include(elementOffset, elementOffset + 9);
            refsUsed.include(element, element + 1);
        }
        if (!m_error.isEmpty())
            return false;
        if (i == count) {
            out = HXValue(HXArray::createWithDoubles(std::move(numbers)));
            const auto offsetSize = static_cast<quint64>(m_offsetSize);
            m_consumedObjects.add(objects.from, objects.to);
            m_consumedOffsets.add(m_tableOffset + refsUsed.from * offsetSize,
                                  m_tableOffset + refsUsed.to * offsetSize);
            return true;
        }
        if (!enter(ref))
            return false;
        std::vector<HXValue> values;
        values.reserve(static_cast<std::size_t>(count));
        for (double number : numbers)
            values.emplace_back(number);
        for (; i < count; ++i) {
            HXValue element;
            if (!readObject(refAt(refs, i), depth, element))
                return false;
            values.push_back(std::move(element));
        }
        m_path.pop_back();
        out = HXValue(HXArray::createWithValues(std::move(values)));
        return true;
    }

    bool readKey(quint64 ref, QString& key) {
        if (const HXValue* known = sharedValue(ref); known && known->isString()) {
            key = known->toString();
            return true;
        }
        quint64 offset = 0;
        if (!objectOffset(ref, offset))
            return false;
        const uchar type = m_bytes[offset] & 0xF0;
        if (type != kASCIIString && type != kUTF16String)
            return failAt(offset, QStringLiteral("dictionary key is not a string"));
        HXValue value;
        if (!readShared(ref, offset, value))
            return false;
        key = value.toString();
        return true;
    }

    bool readDictionary(quint64 ref, quint64 offset, int depth, HXValue& out) {
        if (!checkDepth(depth))
            return false;
        quint64 count = 0;
        quint64 start = 0;
        if (!readCount(offset, count, start))
            return false;
        if (!fits(start, count, 2 * static_cast<quint64>(m_refSize)))
            return failAt(offset, QStringLiteral("dictionary of %1 entries overruns the data").arg(count));
        if (!spend(count) || !enter(ref))
            return false;
        const uchar* keys = m_bytes + start;
        const uchar* values = keys + count * static_cast<quint64>(m_refSize);
        auto dictionary = HXDictionary::create();
        QString key;
        for (quint64 i = 0; i < count; ++i) {
            HXValue value;
            if (!readKey(refAt(keys, i), key) || !readObject(refAt(values, i), depth, value))
                return false;
            dictionary->setValue(HXKey(key), std::move(value));
        }
        m_path.pop_back();
        out = HXValue(std::move(dictionary));
        return true;
    }

    struct Extent {
        quint64 from;
        quint64 to;
        void include(quint64 a, quint64 b) {
            from = std::min(from, a);
            to = std::max(to, b);
        }
    };

    const uchar* m_bytes;
    quint64 m_size;
    ConsumedRanges m_consumedObjects;
    ConsumedRanges m_consumedOffsets;
    const uchar* m_table = nullptr;
    int m_offsetSize = 0;
    int m_refSize = 0;
    quint64 m_objectCount = 0;
    quint64 m_topObject = 0;
    quint64 m_tableOffset = 0;
    quint64 m_budget = 0;
    std::vector<quint64> m_path;
    std::unordered_map<quint64, HXValue> m_shared;
    std::vector<bool> m_sharedKnown;
    QString m_error;
};

} // namespace

HXPropertyListResult HXPropertyList::readBinary(QByteArrayView data, const Consumed& consumed) {
    return BinaryReader(data, consumed).read();
}
