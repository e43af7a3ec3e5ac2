#include "support/TestSupport.h"

#include <gtest/gtest.h>

HXDictionaryRef makeDictionary(std::initializer_list<std::pair<QString, HXValue>> entries) {
    auto d = HXDictionary::create();
    for (const auto& [key, value] : entries)
        d->setValue(HXKey(key), value);
    return d;
}

HXArrayRef makeArray(std::initializer_list<HXValue> values) {
    return HXArray::createWithValues(std::vector<HXValue>(values));
}

HXArrayRef makeLog(std::initializer_list<double> numbers) {
    return HXArray::createWithDoubles(std::vector<double>(numbers));
}

std::vector<double> logValues(const HXArrayRef& log) {
    std::vector<double> out;
    if (!log)
        return out;
    for (qsizetype i = 0; i < log->count(); ++i)
        out.push_back(log->numberAt(i));
    return out;
}

ScratchFolder::ScratchFolder() {
    EXPECT_TRUE(m_dir.isValid());
}
