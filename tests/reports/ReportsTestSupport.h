#pragma once

#include "support/TestSupport.h"

#include <initializer_list>
#include <utility>

// Records written with u"" keys, which read like the stored configuration.
inline HXDictionaryRef record(std::initializer_list<std::pair<const char16_t*, HXValue>> entries) {
    auto d = HXDictionary::create();
    for (const auto& [key, value] : entries)
        d->setValue(HXKey(QString::fromUtf16(key)), value);
    return d;
}
