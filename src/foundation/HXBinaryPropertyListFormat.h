#pragma once

#include <QtEndian>
#include <QtGlobal>

#include <cstdint>

// Layout of binary property lists ("bplist00"), shared by the reader and the writer: an 8-byte header,
// the objects, a table of object offsets and a 32-byte trailer that says where the table is.
namespace HXBinaryPropertyList {

inline constexpr char kMagic[] = "bplist00";
inline constexpr qsizetype kHeaderSize = 8;
inline constexpr qsizetype kTrailerSize = 32;

// High nibble of an object's marker byte; the low nibble holds a size or a count.
enum Marker : std::uint8_t {
    kNull = 0x00,
    kFalse = 0x08,
    kTrue = 0x09,
    kInteger = 0x10,
    kReal = 0x20,
    kDate = 0x33,
    kData = 0x40,
    kASCIIString = 0x50,
    kUTF16String = 0x60,
    kUID = 0x80,
    kArray = 0xA0,
    kOrderedSet = 0xB0,
    kSet = 0xC0,
    kDictionary = 0xD0,
};

// A low nibble of 0xF means the count follows as an integer object.
inline constexpr std::uint8_t kCountFollows = 0x0F;

// Sizes of offsets and references are 1, 2, 4 or 8 bytes in practice; other sizes up to 8 are legal.
inline std::uint64_t readBigEndian(const uchar* p, int size) {
    switch (size) {
    case 1:
        return *p;
    case 2:
        return qFromBigEndian<quint16>(p);
    case 4:
        return qFromBigEndian<quint32>(p);
    case 8:
        return qFromBigEndian<quint64>(p);
    default: {
        std::uint64_t value = 0;
        for (int i = 0; i < size; ++i)
            value = (value << 8) | p[i];
        return value;
    }
    }
}

inline void writeBigEndian(uchar* p, std::uint64_t value, int size) {
    switch (size) {
    case 1:
        *p = static_cast<uchar>(value);
        return;
    case 2:
        qToBigEndian(static_cast<quint16>(value), p);
        return;
    case 4:
        qToBigEndian(static_cast<quint32>(value), p);
        return;
    case 8:
        qToBigEndian(static_cast<quint64>(value), p);
        return;
    default:
        for (int i = size - 1; i >= 0; --i) {
            p[i] = static_cast<uchar>(value);
            value >>= 8;
        }
    }
}

// The width (1, 2, 4 or 8 bytes) that holds every value up to max; readers everywhere accept these.
inline int bytesNeeded(std::uint64_t max) {
    if (max <= 0xFF)
        return 1;
    if (max <= 0xFFFF)
        return 2;
    if (max <= 0xFFFFFFFF)
        return 4;
    return 8;
}

} // namespace HXBinaryPropertyList
