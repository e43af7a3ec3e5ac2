#include "foundation/HXPropertyList.h"

#include "foundation/HXArray.h"
#include "foundation/HXBinaryPropertyListFormat.h"
#include "foundation/HXBinaryPropertyListObjectTable.h"
#include "foundation/HXDictionary.h"

#include <QHashFunctions>
#include <QtEndian>

#include <bit>
#include <cstring>
#include <vector>

// Two passes: the first numbers every object and sizes it, so that the second writes the whole file into
// one buffer of the exact size. Strings, data and the other scalars are written once and shared by
// reference; containers are written where they occur. The reals of an event log take consecutive object
// numbers right after their array, so they are written straight from the packed doubles. A string with an
// unpaired surrogate (which no reader accepts) is written with U+FFFD in its place.

namespace {

using namespace HXBinaryPropertyList;

enum class Kind : std::uint8_t { Scalar, String, Array, PackedArray, Dictionary };

struct Object {
    Kind kind = Kind::Scalar;
    bool ascii = false;
    quint64 count = 0;
    // Array and dictionary: position of the element references in the reference list.
    quint64 first = 0;
    // Scalar: an HXValue; string: a QString; packed array: an HXArray.
    const void* source = nullptr;
    // The object's number, which references use.
    quint64 index = 0;
};

// The bits that tell scalars of one type apart.
std::uint64_t scalarBits(const HXValue& value) {
    switch (value.type()) {
    case HXValueType::Bool:
        return value.boolValue() ? 1 : 0;
    case HXValueType::Integer:
        return static_cast<std::uint64_t>(value.integerValue());
    case HXValueType::UnsignedInteger:
        return value.unsignedValue();
    case HXValueType::Real:
        return std::bit_cast<std::uint64_t>(value.realValue());
    case HXValueType::Date:
        return std::bit_cast<std::uint64_t>(value.toDate().absoluteTime);
    default:
        return 0;
    }
}

// A finaliser that spreads every input bit over the low bits the table indexes with.
std::uint64_t mixBits(std::uint64_t bits) {
    bits ^= bits >> 33;
    bits *= 0xff51afd7ed558ccdULL;
    bits ^= bits >> 33;
    bits *= 0xc4ceb9fe1a85ec53ULL;
    return bits ^ (bits >> 33);
}

int exponentOf(int width) {
    return std::countr_zero(static_cast<unsigned>(width));
}

quint64 countHeaderSize(quint64 count) {
    return count < kCountFollows ? 1 : 2 + static_cast<quint64>(bytesNeeded(count));
}

bool isASCII(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

class BinaryWriter {
public:
    std::optional<QByteArray> write(const HXValue& root, QString* error) {
        flatten(root, 0);
        if (!m_error.isEmpty()) {
            if (error)
                *error = m_error;
            return std::nullopt;
        }
        const quint64 objectCount = m_nextIndex;
        m_refSize = bytesNeeded(objectCount - 1);
        quint64 objectsSize = 0;
        for (const Object& object : m_objects)
            objectsSize += sizeOf(object);
        const quint64 tableOffset = kHeaderSize + objectsSize;
        m_offsetSize = bytesNeeded(tableOffset);
        const quint64 total = tableOffset + objectCount * static_cast<quint64>(m_offsetSize) + kTrailerSize;

        QByteArray out(static_cast<qsizetype>(total), Qt::Uninitialized);
        m_begin = reinterpret_cast<uchar*>(out.data());
        m_p = m_begin;
        m_table = m_begin + tableOffset;
        std::memcpy(m_p, kMagic, kHeaderSize);
        m_p += kHeaderSize;
        for (const Object& object : m_objects)
            writeObject(object);

        uchar* trailer = m_begin + total - kTrailerSize;
        std::memset(trailer, 0, 6);
        trailer[6] = static_cast<uchar>(m_offsetSize);
        trailer[7] = static_cast<uchar>(m_refSize);
        writeBigEndian(trailer + 8, objectCount, 8);
        writeBigEndian(trailer + 16, 0, 8);
        writeBigEndian(trailer + 24, tableOffset, 8);
        return out;
    }

private:
    quint64 add(const Object& object) {
        m_objects.push_back(object);
        m_objects.back().index = m_nextIndex;
        return m_nextIndex++;
    }

    quint64 flatten(const HXValue& value, int depth) {
        switch (value.type()) {
        case HXValueType::String:
            return flattenString(value.toString());
        case HXValueType::Data: {
            const QByteArray& data = value.toData();
            return unique(m_data, qHash(QByteArrayView(data), 0), Object{Kind::Scalar, false, 0, 0, &value},
                          [&](const Object& object) {
                              return static_cast<const HXValue*>(object.source)->toData() == data;
                          });
        }
        case HXValueType::Array:
            return flattenArray(*value.toArray(), depth + 1);
        case HXValueType::Dictionary:
            return flattenDictionary(*value.toDictionary(), depth + 1);
        default:
            return flattenScalar(value);
        }
    }

    // The number of an equal object written before, or of this one, added now.
    template <typename Equal>
    quint64 unique(HXBinaryPropertyListObjectTable& table, std::uint64_t hash, const Object& object,
                   Equal equal) {
        const quint64 position = table.findOrAdd(
            hash, [&](quint64 candidate) { return equal(m_objects[candidate]); }, m_objects.size());
        return position == m_objects.size() ? add(object) : m_objects[position].index;
    }

    quint64 flattenScalar(const HXValue& value) {
        const HXValueType type = value.type();
        const std::uint64_t bits = scalarBits(value);
        return unique(m_scalars, mixBits(bits) ^ static_cast<std::uint64_t>(type),
                      Object{Kind::Scalar, false, 0, 0, &value}, [&](const Object& object) {
                          const auto* other = static_cast<const HXValue*>(object.source);
                          return other->type() == type && scalarBits(*other) == bits;
                      });
    }

    quint64 flattenString(const QString& text) {
        return unique(
            m_strings, qHash(QStringView(text), 0),
            Object{Kind::String, isASCII(text), static_cast<quint64>(text.size()), 0, &text},
            [&](const Object& object) { return *static_cast<const QString*>(object.source) == text; });
    }

    bool checkDepth(int depth) {
        if (depth <= HXPropertyList::kMaximumDepth)
            return true;
        if (m_error.isEmpty())
            m_error = QStringLiteral("nesting deeper than %1 levels").arg(HXPropertyList::kMaximumDepth);
        return false;
    }

    quint64 flattenArray(const HXArray& array, int depth) {
        if (!checkDepth(depth))
            return 0;
        const auto count = static_cast<quint64>(array.count());
        if (array.isPacked()) {
            const quint64 index = add(Object{Kind::PackedArray, false, count, 0, &array});
            m_nextIndex += count;
            return index;
        }
        const quint64 first = m_refs.size();
        const quint64 index = add(Object{Kind::Array, false, count, first, nullptr});
        m_refs.resize(first + count);
        const std::vector<HXValue>& values = array.values();
        for (quint64 i = 0; i < count && m_error.isEmpty(); ++i)
            m_refs[first + i] = flatten(values[i], depth);
        return index;
    }

    quint64 flattenDictionary(const HXDictionary& dictionary, int depth) {
        if (!checkDepth(depth))
            return 0;
        const auto count = static_cast<quint64>(dictionary.count());
        const quint64 first = m_refs.size();
        const quint64 index = add(Object{Kind::Dictionary, false, count, first, nullptr});
        m_refs.resize(first + 2 * count);
        const std::vector<HXDictionary::Entry>& entries = dictionary.entries();
        for (quint64 i = 0; i < count && m_error.isEmpty(); ++i) {
            m_refs[first + i] = flattenString(entries[i].key);
            m_refs[first + count + i] = flatten(entries[i].value, depth);
        }
        return index;
    }

    static quint64 scalarSize(const HXValue& value) {
        switch (value.type()) {
        case HXValueType::Integer: {
            const std::int64_t integer = value.integerValue();
            return integer < 0 ? 9
                               : 1 + static_cast<quint64>(bytesNeeded(static_cast<std::uint64_t>(integer)));
        }
        case HXValueType::UnsignedInteger:
            return 17;
        case HXValueType::Real:
        case HXValueType::Date:
            return 9;
        case HXValueType::Data: {
            const auto size = static_cast<quint64>(value.toData().size());
            return countHeaderSize(size) + size;
        }
        default:
            return 1;
        }
    }

    quint64 sizeOf(const Object& object) const {
        const auto refSize = static_cast<quint64>(m_refSize);
        switch (object.kind) {
        case Kind::Scalar:
            return scalarSize(*static_cast<const HXValue*>(object.source));
        case Kind::String:
            return countHeaderSize(object.count) + (object.ascii ? object.count : 2 * object.count);
        case Kind::Array:
            return countHeaderSize(object.count) + object.count * refSize;
        case Kind::PackedArray:
            return countHeaderSize(object.count) + object.count * (refSize + 9);
        case Kind::Dictionary:
            return countHeaderSize(object.count) + 2 * object.count * refSize;
        }
        return 0;
    }

    void beginObject() {
        writeBigEndian(m_table, static_cast<std::uint64_t>(m_p - m_begin), m_offsetSize);
        m_table += m_offsetSize;
    }

    void writeCountHeader(std::uint8_t type, quint64 count) {
        if (count < kCountFollows) {
            *m_p++ = static_cast<uchar>(type | count);
            return;
        }
        const int width = bytesNeeded(count);
        *m_p++ = static_cast<uchar>(type | kCountFollows);
        *m_p++ = static_cast<uchar>(kInteger | exponentOf(width));
        writeBigEndian(m_p, count, width);
        m_p += width;
    }

    void writeRef(quint64 ref) {
        writeBigEndian(m_p, ref, m_refSize);
        m_p += m_refSize;
    }

    void writeEightBytes(std::uint8_t marker, std::uint64_t bits) {
        *m_p++ = marker;
        qToBigEndian(bits, m_p);
        m_p += 8;
    }

    void writeObject(const Object& object) {
        beginObject();
        const quint64 index = m_writtenIndex++;
        switch (object.kind) {
        case Kind::Scalar:
            writeScalar(*static_cast<const HXValue*>(object.source));
            break;
        case Kind::String:
            writeString(*static_cast<const QString*>(object.source), object.ascii);
            break;
        case Kind::Array:
            writeCountHeader(kArray, object.count);
            for (quint64 i = 0; i < object.count; ++i)
                writeRef(m_refs[object.first + i]);
            break;
        case Kind::Dictionary:
            writeCountHeader(kDictionary, object.count);
            for (quint64 i = 0; i < 2 * object.count; ++i)
                writeRef(m_refs[object.first + i]);
            break;
        case Kind::PackedArray:
            writePackedArray(*static_cast<const HXArray*>(object.source), index);
            break;
        }
    }

    // The array and then its reals, numbered consecutively after it.
    void writePackedArray(const HXArray& array, quint64 arrayIndex) {
        const std::span<const double> numbers = array.doubles();
        writeCountHeader(kArray, numbers.size());
        for (quint64 i = 0; i < numbers.size(); ++i)
            writeRef(arrayIndex + 1 + i);
        for (double number : numbers) {
            beginObject();
            writeEightBytes(kReal | 3, std::bit_cast<std::uint64_t>(number));
        }
        m_writtenIndex += numbers.size();
    }

    void writeScalar(const HXValue& value) {
        switch (value.type()) {
        case HXValueType::Null:
            *m_p++ = kNull;
            break;
        case HXValueType::Bool:
            *m_p++ = value.boolValue() ? kTrue : kFalse;
            break;
        case HXValueType::Integer: {
            const std::int64_t integer = value.integerValue();
            if (integer < 0) {
                writeEightBytes(kInteger | 3, static_cast<std::uint64_t>(integer));
                break;
            }
            const int width = bytesNeeded(static_cast<std::uint64_t>(integer));
            *m_p++ = static_cast<uchar>(kInteger | exponentOf(width));
            writeBigEndian(m_p, static_cast<std::uint64_t>(integer), width);
            m_p += width;
            break;
        }
        case HXValueType::UnsignedInteger:
            writeEightBytes(kInteger | 4, 0);
            qToBigEndian(value.unsignedValue(), m_p);
            m_p += 8;
            break;
        case HXValueType::Real:
            writeEightBytes(kReal | 3, std::bit_cast<std::uint64_t>(value.realValue()));
            break;
        case HXValueType::Date:
            writeEightBytes(kDate, std::bit_cast<std::uint64_t>(value.toDate().absoluteTime));
            break;
        case HXValueType::Data: {
            const QByteArray& data = value.toData();
            writeCountHeader(kData, static_cast<quint64>(data.size()));
            std::memcpy(m_p, data.constData(), static_cast<std::size_t>(data.size()));
            m_p += data.size();
            break;
        }
        default:
            break;
        }
    }

    void writeString(const QString& text, bool ascii) {
        const auto count = static_cast<quint64>(text.size());
        const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
        if (ascii) {
            writeCountHeader(kASCIIString, count);
            for (quint64 i = 0; i < count; ++i)
                *m_p++ = static_cast<uchar>(units[i]);
            return;
        }
        writeCountHeader(kUTF16String, count);
        for (quint64 i = 0; i < count; ++i) {
            char16_t unit = units[i];
            if (QChar::isHighSurrogate(unit)) {
                if (i + 1 < count && QChar::isLowSurrogate(units[i + 1])) {
                    qToBigEndian(static_cast<quint16>(unit), m_p);
                    m_p += 2;
                    unit = units[++i];
                } else {
                    unit = QChar::ReplacementCharacter;
                }
            } else if (QChar::isLowSurrogate(unit)) {
                unit = QChar::ReplacementCharacter;
            }
            qToBigEndian(static_cast<quint16>(unit), m_p);
            m_p += 2;
        }
    }

    std::vector<Object> m_objects;
    std::vector<quint64> m_refs;
    quint64 m_nextIndex = 0;
    HXBinaryPropertyListObjectTable m_strings;
    HXBinaryPropertyListObjectTable m_data;
    HXBinaryPropertyListObjectTable m_scalars;
    QString m_error;

    int m_refSize = 1;
    int m_offsetSize = 1;
    uchar* m_begin = nullptr;
    uchar* m_p = nullptr;
    uchar* m_table = nullptr;
    quint64 m_writtenIndex = 0;
};

} // namespace

std::optional<QByteArray> HXPropertyList::writeBinary(const HXValue& root, QString* error) {
    return BinaryWriter().write(root, error);
}
