#pragma once

#include <QStringView>

#include <unicode/unistr.h>

#include <cstdint>

// A read-only ICU view of UTF-16 text that stays owned by Qt: no copy is made, so the text must outlive
// the returned string and everything that reads it.
inline icu::UnicodeString HXUnicodeStringAlias(QStringView text) {
    return icu::UnicodeString(false, icu::ConstChar16Ptr(text.utf16()), static_cast<int32_t>(text.size()));
}

// Qt strings may be longer than ICU can index.
inline bool HXFitsICU(QStringView text) {
    return text.size() <= INT32_MAX;
}
