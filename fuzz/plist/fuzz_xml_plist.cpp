#include "PlistFuzzSupport.h"

#include "foundation/HXPropertyList.h"

// Any input: the XML reader either refuses it or yields a value that the XML writer writes and the reader
// reads back unchanged, and that survives the binary format as well.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const HXPropertyListResult result = HXPropertyList::readXML(
        QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!result.ok()) {
        require(!result.error.isEmpty() && result.value.isNull());
        return 0;
    }
    const std::optional<QByteArray> xml = HXPropertyList::writeXML(result.value);
    require(xml.has_value());
    const HXPropertyListResult again = HXPropertyList::readXML(*xml);
    require(again.ok() && sameValue(again.value, result.value));
    const std::optional<QByteArray> binary = HXPropertyList::writeBinary(result.value);
    require(binary.has_value());
    const HXPropertyListResult fromBinary = HXPropertyList::readBinary(*binary);
    require(fromBinary.ok() && sameValue(fromBinary.value, result.value));
    return 0;
}
