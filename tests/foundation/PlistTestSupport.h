#pragma once

#include "foundation/HXValue.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>
#include <vector>

// Helpers shared by the property-list tests.
namespace PlistTest {

// A one-line text of a value that tells every type apart ("int:1" is not "real:1.0"), with dictionary
// entries sorted; tests/foundation/plist_oracle.py prints the same text for what plistlib reads.
// With markPacked, packed arrays print as "packed[...]". UTF-8, so that test failures print readably.
std::string dump(const HXValue& value, bool markPacked = false);

// A binary property list assembled by hand from object bytes (object 0 first), for inputs that no
// writer produces. The trailer fields can be overridden to corrupt them.
struct RawBinaryPlist {
    std::vector<QByteArray> objects;
    int refSize = 1;
    int offsetSize = 1;
    std::uint64_t topObject = 0;
    // Overrides; negative means "the correct value".
    std::int64_t objectCount = -1;
    std::int64_t tableOffset = -1;

    QByteArray bytes() const;
};

// Encoding pieces for hand-made objects.
QByteArray marker(int byte);
QByteArray ref(std::uint64_t object, int refSize = 1);
QByteArray asciiString(const QByteArray& text);

// Arrays nested depth levels deep (the innermost empty) as a hand-made binary property list and as XML.
QByteArray nestedArraysBinary(int depth);
QByteArray nestedArraysXML(int depth);
HXValue nestedArrays(int depth);

struct ProcessResult {
    int exitCode = -1;
    QByteArray standardOutput;
    QByteArray standardError;
};
ProcessResult runProgram(const QString& program, const QStringList& arguments);

// The permission bits of a file, -1 when it does not exist.
int fileMode(const QString& path);

// The python3 on the PATH (empty when there is none) and the plistlib helper script.
QString python3();
QString oracleScript();

// A value using every type the XML format can hold, with non-ASCII text, extreme integers, dates,
// data, nesting, empty containers, packed and mixed arrays; withNull adds a null (binary only).
HXValue variedSample(bool withNull);
// Enough objects for 4-byte references and offsets, and long counts.
HXValue largeSample();

} // namespace PlistTest
