#include "reports/HXFixedPointText.h"
#include "reports/HXSnapshotNumberReader.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>

namespace {

std::string reference(double value, int digits) {
    char buffer[400];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, digits);
    return std::string(buffer, r.ptr);
}

std::string fast(double value, int digits) {
    QByteArray out;
    HXAppendFixedPoint(out, value, digits, ".");
    return out.toStdString();
}

} // namespace

TEST(FixedPointText, AgreesWithTheGeneralConversion) {
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> timestamps(0, 2e9);
    std::uniform_int_distribution<int> cents(0, 1999999999);
    for (int i = 0; i < 200000; ++i) {
        const int digits = i % 7;
        // Arbitrary doubles, and values on or next to a rounding tie of the last digit.
        const double tie = (static_cast<double>(cents(random)) + 0.5) / 100.0;
        for (double v : {timestamps(random), tie, std::nextafter(tie, 0.0), std::nextafter(tie, 1e300), -tie,
                         static_cast<double>(cents(random)) / 100.0}) {
            ASSERT_EQ(fast(v, digits), reference(v, digits)) << v << " " << digits;
        }
    }
    for (double v : {0.0, -0.0, 0.005, 0.015, 0.125, 1.005, 2.675, 1e15, 1e300, -1e-300}) {
        for (int digits : {0, 1, 2, 3, 7})
            EXPECT_EQ(fast(v, digits), reference(v, digits)) << v << " " << digits;
    }
    QByteArray comma;
    HXAppendFixedPoint(comma, 1700000000.5, 2, ",");
    EXPECT_EQ(comma, "1700000000,50");
    QByteArray inf;
    HXAppendFixedPoint(inf, INFINITY, 2, ",");
    EXPECT_EQ(inf, "inf");
}

TEST(SnapshotNumberReader, AgreesWithFromChars) {
    const HXSnapshotNumberReader reader(u"1700000000.00");
    std::mt19937_64 random(5);
    std::uniform_int_distribution<std::int64_t> cents(0, 999999999999999);
    for (int i = 0; i < 100000; ++i) {
        const std::int64_t n = cents(random);
        for (int digits : {0, 1, 2, 3, 6}) {
            std::string text = std::to_string(n);
            if (digits > 0 && static_cast<int>(text.size()) > digits)
                text.insert(text.size() - static_cast<std::size_t>(digits), ".");
            double expected = 0;
            std::from_chars(text.data(), text.data() + text.size(), expected);
            ASSERT_EQ(reader.read(QString::fromStdString(text)), expected) << text;
        }
    }
    // Long texts, grouping, signs and garbage.
    EXPECT_EQ(reader.read(u"12345678901234567.5"), 12345678901234567.5);
    EXPECT_EQ(reader.read(u"1,700,000,000.25"), 1700000000.25);
    EXPECT_EQ(reader.read(u"-12.5"), -12.5);
    EXPECT_EQ(reader.read(u"+12.5"), 12.5);
    EXPECT_EQ(reader.read(u"12.5.1"), 0);
    EXPECT_EQ(reader.read(u",12"), 0);
    EXPECT_EQ(reader.read(u""), 0);
    EXPECT_EQ(reader.read(u"."), 0);
}
