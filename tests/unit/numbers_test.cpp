#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/numbers.h"

using namespace maclab;

TEST(Numbers, RoundingGoesHalfToEvenAndSaturates) {
    EXPECT_EQ(CInt(2.5), 2);
    EXPECT_EQ(CInt(3.5), 4);
    EXPECT_EQ(CInt(-2.5), -2);
    EXPECT_EQ(CInt(6.5), 6);
    EXPECT_EQ(CInt(7.4999), 7);
    EXPECT_EQ(CInt(1e9), 32767);
    EXPECT_EQ(CInt(-1e9), -32768);
    EXPECT_EQ(CLng(1e12), std::numeric_limits<Long>::max());
    EXPECT_EQ(CLng(2.5), 2);
    EXPECT_EQ(CInt(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(Numbers, IntModAndStrFollowTheClassicRules) {
    EXPECT_EQ(Int(-0.5), -1);
    EXPECT_EQ(Int(2.9), 2);
    EXPECT_EQ(Mod(7, 3), 1);
    EXPECT_EQ(Mod(-7, 3), -1); // sign of the dividend
    EXPECT_EQ(Mod(36, 36), 0);
    EXPECT_EQ(Mod(10.5, 4), 2);   // 10.5 rounds to 10
    EXPECT_EQ(Mod(11.5, 4.5), 0); // 12 Mod 4
    EXPECT_EQ(Mod(5, 0.4), 0);    // no divisor: no remainder, no trap
    EXPECT_EQ(Str(12), " 12");
    EXPECT_EQ(Str(0), " 0");
    EXPECT_EQ(Str(-3), "-3");
    EXPECT_EQ(WholeText(40), "40");
}

// The rounding, Int() and the saturating conversion give exactly what the
// library functions give, bit for bit (signed zeros too), over halves, tiny,
// huge and random values.
TEST(Numbers, RoundingAndIntMatchTheLibraryBitForBit) {
    std::vector<double> values = {0.0,
                                  -0.0,
                                  0.5,
                                  -0.5,
                                  1.5,
                                  -1.5,
                                  2.5,
                                  -2.5,
                                  0.49999,
                                  1e-300,
                                  -1e-300,
                                  4503599627370495.5,
                                  -4503599627370495.5,
                                  4503599627370497.0,
                                  1e300,
                                  -1e300,
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  2147483646.5,
                                  2147483647.4,
                                  2147483647.5,
                                  -2147483648.4,
                                  -2147483648.5};
    std::mt19937_64 random(7);
    for (int k = 0; k < 20000; ++k) {
        const double scale = std::ldexp(1.0, static_cast<int>(random() % 70) - 10);
        values.push_back((static_cast<double>(random() % 2000001) / 1000000 - 1) * scale);
        values.push_back(std::floor(values.back()) + 0.5);
    }
    const auto bits = [](double x) {
        std::uint64_t b;
        std::memcpy(&b, &x, sizeof b);
        return b;
    };
    const auto saturated = [](double x) {
        if (std::isnan(x)) return Long{0};
        const double r = std::nearbyint(x);
        if (r <= std::numeric_limits<Long>::min()) return std::numeric_limits<Long>::min();
        if (r >= std::numeric_limits<Long>::max()) return std::numeric_limits<Long>::max();
        return static_cast<Long>(r);
    };
    for (const double x : values) {
        ASSERT_EQ(bits(RoundHalfEven(x)), bits(std::nearbyint(x))) << x;
        ASSERT_EQ(bits(Int(x)), bits(std::floor(x))) << x;
        ASSERT_EQ(CLng(x), saturated(x)) << x;
    }
    EXPECT_TRUE(std::isnan(RoundHalfEven(std::nan(""))));
    EXPECT_TRUE(std::isnan(Int(std::nan(""))));
}

TEST(Numbers, LeadingNumberReadsTypedText) {
    EXPECT_DOUBLE_EQ(LeadingNumber(" 7"), 7);
    EXPECT_DOUBLE_EQ(LeadingNumber("1 0"), 10);
    EXPECT_DOUBLE_EQ(LeadingNumber("\t1\n2"), 12);
    EXPECT_DOUBLE_EQ(LeadingNumber("12abc"), 12);
    EXPECT_DOUBLE_EQ(LeadingNumber(""), 0);
    EXPECT_DOUBLE_EQ(LeadingNumber("   "), 0);
    EXPECT_DOUBLE_EQ(LeadingNumber("abc"), 0);
    EXPECT_DOUBLE_EQ(LeadingNumber("-5"), -5);
    EXPECT_DOUBLE_EQ(LeadingNumber("+5"), 5);
    EXPECT_DOUBLE_EQ(LeadingNumber(".5"), 0.5);
    EXPECT_DOUBLE_EQ(LeadingNumber("5."), 5);
    EXPECT_DOUBLE_EQ(LeadingNumber("0.5"), 0.5);
    EXPECT_DOUBLE_EQ(LeadingNumber("1e3"), 1000);
    EXPECT_DOUBLE_EQ(LeadingNumber("1D2"), 100);
    EXPECT_DOUBLE_EQ(LeadingNumber("2d-1"), 0.2);
    EXPECT_DOUBLE_EQ(LeadingNumber("1e"), 1);
    EXPECT_DOUBLE_EQ(LeadingNumber("1e+"), 1);
    EXPECT_DOUBLE_EQ(LeadingNumber("1.2.3"), 1.2);
    EXPECT_DOUBLE_EQ(LeadingNumber("0x1F"), 0);
    EXPECT_DOUBLE_EQ(LeadingNumber("\r5"), 0); // a carriage return is not skipped
    EXPECT_DOUBLE_EQ(LeadingNumber("-"), 0);
    EXPECT_DOUBLE_EQ(LeadingNumber("."), 0);
}

TEST(Numbers, LeadingNumberIsAlwaysFinite) {
    const double big = std::numeric_limits<double>::max();
    EXPECT_EQ(LeadingNumber("1e999"), big);
    EXPECT_EQ(LeadingNumber("-1e999"), -big);
    EXPECT_EQ(LeadingNumber(std::string(1000, '9')), big);
    EXPECT_EQ(LeadingNumber("1e-999"), 0);
    EXPECT_EQ(LeadingNumber("0.000" + std::string(500, '0') + "1"), 0);
    EXPECT_DOUBLE_EQ(LeadingNumber(std::string(300, '0') + "25"), 25);
}
