#pragma once

#include <QByteArray>
#include <QString>

#include <xcb/xproto.h>

// Turns a text property (a title, a class name) into a string according to its type: UTF8_STRING,
// STRING (Latin-1) or COMPOUND_TEXT; text of another type is read as UTF-8 when it is valid UTF-8, else
// as Latin-1. A property holding a list yields its first element.
class HXX11TextDecoder {
public:
    HXX11TextDecoder(xcb_atom_t utf8String, xcb_atom_t compoundText)
        : m_utf8String(utf8String), m_compoundText(compoundText) {}

    QString decode(xcb_atom_t type, QByteArray bytes) const;

private:
    xcb_atom_t m_utf8String;
    xcb_atom_t m_compoundText;
};
