#include "foundation/HXPropertyList.h"

#include "foundation/HXArray.h"
#include "foundation/HXAtomicFile.h"
#include "foundation/HXLog.h"

HXPropertyListResult HXPropertyList::read(QByteArrayView data, const Consumed& consumed) {
    if (data.startsWith(QByteArrayView("bplist")))
        return readBinary(data, consumed);
    return readXML(data);
}

QByteArray propertyListData(const HXValue& value) {
    std::optional<QByteArray> data = HXPropertyList::writeBinary(value);
    return data ? std::move(*data) : QByteArray();
}

bool writeToBinaryFile(const HXValue& value, const QString& path, bool atomically) {
    QString error;
    const std::optional<QByteArray> data = HXPropertyList::writeBinary(value, &error);
    if (!data) {
        HXSystemLog(QStringLiteral("cannot encode property list for <%1>: %2").arg(path, error));
        return false;
    }
    return HXAtomicFile::write(path, *data, atomically, &error);
}

HXArrayRef HXArray::deeplyMutableArrayWithData(QByteArrayView data) {
    if (data.isNull())
        return nullptr;
    return HXPropertyList::read(data).value.toArray();
}
