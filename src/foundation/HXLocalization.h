#pragma once

#include <QCoreApplication>
#include <QString>

// User-visible texts are looked up with the English text as the key.
inline QString HXLocalized(const char* englishText) {
    return QCoreApplication::translate("Qualdern", englishText);
}
