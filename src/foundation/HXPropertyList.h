#pragma once

#include "foundation/HXValue.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

enum class HXPropertyListFormat { Binary, XML };

// The outcome of reading a property list: the value, or an error text saying what was wrong.
struct HXPropertyListResult {
    HXValue value;
    QString error;
    HXPropertyListFormat format = HXPropertyListFormat::Binary;

    bool ok() const { return error.isEmpty(); }
};

namespace HXPropertyList {

// Nesting deeper than this is refused by both readers and both writers.
inline constexpr int kMaximumDepth = 512;

// Told of byte ranges of the data that the binary reader has finished with (event logs, in pieces of a
// megabyte or more), so that memory-mapped data can be released while the rest is decoded. A range may
// still be read again; the data must stay readable until the read returns.
using Consumed = std::function<void(quint64 from, quint64 to)>;

// Reads binary ("bplist00") or XML data, recognised by its first bytes.
HXPropertyListResult read(QByteArrayView data, const Consumed& consumed = {});
HXPropertyListResult readBinary(QByteArrayView data, const Consumed& consumed = {});
HXPropertyListResult readXML(QByteArrayView data);

// Nothing when the value cannot be written (a null value, nesting too deep); error says why.
std::optional<QByteArray> writeBinary(const HXValue& root, QString* error = nullptr);
std::optional<QByteArray> writeXML(const HXValue& root, QString* error = nullptr);

} // namespace HXPropertyList

// Binary property-list data of the value; a null byte array when it cannot be encoded.
QByteArray propertyListData(const HXValue& value);

// Writes the binary property list; atomically through a temporary file in the same folder, synced and
// renamed. New files are private to the user.
bool writeToBinaryFile(const HXValue& value, const QString& path, bool atomically);
