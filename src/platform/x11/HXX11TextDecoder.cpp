#include "platform/x11/HXX11TextDecoder.h"

#include "platform/x11/HXX11CompoundText.h"

#include <QStringDecoder>

QString HXX11TextDecoder::decode(xcb_atom_t type, QByteArray bytes) const {
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    if (type == m_utf8String && type != XCB_ATOM_NONE)
        return QString::fromUtf8(bytes);
    if (type == m_compoundText && type != XCB_ATOM_NONE)
        return HXX11CompoundText::decode(bytes);
    if (type == XCB_ATOM_STRING)
        return QString::fromLatin1(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}
