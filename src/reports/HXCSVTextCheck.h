#pragma once

#include <QByteArrayView>
#include <QString>

// Why bytes cannot be read as the text of an exported file, for the user: "Not a text file" when they hold
// a NUL byte, "Not UTF-8 at line %1" (counting from 1) at the first ill-formed sequence. Empty when the
// bytes are UTF-8 text.
QString HXCSVTextProblem(QByteArrayView data);
