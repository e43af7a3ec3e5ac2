#include "PlistFuzzSupport.h"

#include "foundation/HXPropertyList.h"

// Any input: the binary reader either refuses it or yields a value that the writer writes and the reader
// reads back unchanged. A value that XML can hold must also survive the XML writer and reader.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const HXPropertyListResult result = HXPropertyList::readBinary(
        QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!result.ok()) {
        require(!result.error.isEmpty() && result.value.isNull());
        return 0;
    }
    const std::optional<QByteArray> binary = HXPropertyList::writeBinary(result.value);
    require(binary.has_value());
    const HXPropertyListResult again = HXPropertyList::readBinary(*binary);
    require(again.ok() && sameValue(again.value, result.value));
    if (const std::optional<QByteArray> xml = HXPropertyList::writeXML(result.value))
        require(HXPropertyList::readXML(*xml).ok());
    return 0;
}
