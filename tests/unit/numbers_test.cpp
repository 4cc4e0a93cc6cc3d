#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
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

// The decimal reader against the C library's strtod (the test runs in the "C"
// locale), which rounds exactly: halfway cases, the edges of the subnormal and
// of the whole range, long digit strings, and many random texts.
TEST(Numbers, ReadDecimalRoundsAsStrtodDoes) {
    std::vector<std::string> texts = {"0",
                                      "0.0",
                                      ".5",
                                      "5.",
                                      "1",
                                      "0.1",
                                      "0.3",
                                      "2.5e-1",
                                      "1e22",
                                      "1e23",
                                      "9007199254740992",
                                      "9007199254740993",
                                      "9007199254740994",
                                      "9007199254740995",
                                      "9007199254740993.0000001",
                                      "123456789012345678901234567890",
                                      "2.2250738585072011e-308",
                                      "2.2250738585072012e-308",
                                      "2.2250738585072014e-308",
                                      "4.9406564584124654e-324",
                                      "2.4703282292062327e-324",
                                      "2.4703282292062328e-324",
                                      "7.4109846876186981e-324",
                                      "1e-310",
                                      "3e-324",
                                      "2e-324",
                                      "1.7976931348623157e308",
                                      "1.7976931348623158e308",
                                      "1.7976931348623159e308",
                                      "1.797693134862315807937289714053e308",
                                      "1.797693134862315807937289714054e308",
                                      "1e309",
                                      "1e-400",
                                      "1e400",
                                      "0.000000000000000000000000000000000001e36",
                                      "1448997445238699",
                                      "5e-324",
                                      "1E+2",
                                      "1e-0",
                                      "00000000000000000000.5",
                                      "8.589973e9",
                                      "179769313486231580793728971405301e276",
                                      "0.9999999999999999444888487687421729788184"};
    // A double's exact halfway value to its upper neighbour, written out in full.
    texts.push_back("0.500000000000000027755575615628913510590791702270507812500");
    texts.push_back("0.5000000000000000277555756156289135105907917022705078125");
    texts.push_back("0.500000000000000027755575615628913510590791702270507812499");
    texts.push_back("0.5000000000000000277555756156289135105907917022705078125" +
                    std::string(700, '0') + "1");
    texts.push_back("1" + std::string(400, '0') + "e-400");
    texts.push_back("0." + std::string(350, '0') + "1e340");
    std::uint64_t state = 88172645463325252ull;
    const auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    for (int k = 0; k < 20000; ++k) {
        std::string t;
        const int length = 1 + static_cast<int>(next() % (k % 10 == 0 ? 60 : 20));
        const int point = static_cast<int>(next() % (length + 1));
        for (int d = 0; d < length; ++d) {
            if (d == point) t.push_back('.');
            t.push_back(static_cast<char>('0' + next() % 10));
        }
        if (k % 2 == 0) t += "e" + std::to_string(static_cast<int>(next() % 700) - 350);
        texts.push_back(t);
    }
    for (const std::string& t : texts) {
        double value = -1;
        ASSERT_TRUE(ReadDecimal(t, value)) << t;
        const double expected = std::strtod(t.c_str(), nullptr);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(value), std::bit_cast<std::uint64_t>(expected)) << t;
    }
    for (const char* bad : {"", ".", "-1", "+1", " 1", "1 ", "1e", "1e+", "e5", "1.2.3", "1,5",
                            "0x10", "inf", "nan", "1d5"}) {
        double value = 0;
        EXPECT_FALSE(ReadDecimal(bad, value)) << bad;
    }
}
