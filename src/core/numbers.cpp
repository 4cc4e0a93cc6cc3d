#include "core/numbers.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace maclab {

namespace {

// An unsigned whole number of any size, in 32-bit limbs, least significant first.
class BigWhole {
  public:
    explicit BigWhole(std::uint64_t v) {
        while (v != 0) {
            limbs_.push_back(static_cast<std::uint32_t>(v));
            v >>= 32;
        }
    }
    void MultiplyAdd(std::uint32_t factor, std::uint32_t addend) {
        std::uint64_t carry = addend;
        for (std::uint32_t& limb : limbs_) {
            const std::uint64_t t = std::uint64_t{limb} * factor + carry;
            limb = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
        if (carry != 0) limbs_.push_back(static_cast<std::uint32_t>(carry));
    }
    void MultiplyByPowerOf5(long n) {
        for (; n >= 13; n -= 13) MultiplyAdd(1220703125u, 0); // 5^13
        std::uint32_t rest = 1;
        for (; n > 0; --n) rest *= 5;
        MultiplyAdd(rest, 0);
    }
    void MultiplyByPowerOf2(long n) {
        if (limbs_.empty() || n <= 0) return;
        const auto whole = static_cast<std::size_t>(n / 32);
        const int bits = static_cast<int>(n % 32);
        if (bits != 0) {
            std::uint32_t carry = 0;
            for (std::uint32_t& limb : limbs_) {
                const std::uint32_t next = limb >> (32 - bits);
                limb = (limb << bits) | carry;
                carry = next;
            }
            if (carry != 0) limbs_.push_back(carry);
        }
        limbs_.insert(limbs_.begin(), whole, 0u);
    }
    void MultiplyByPowerOf10(long n) {
        MultiplyByPowerOf5(n);
        MultiplyByPowerOf2(n);
    }
    // -1, 0 or 1 as a is below, equal to or above b.
    friend int Compare(const BigWhole& a, const BigWhole& b) {
        if (a.limbs_.size() != b.limbs_.size()) return a.limbs_.size() < b.limbs_.size() ? -1 : 1;
        for (std::size_t k = a.limbs_.size(); k-- > 0;)
            if (a.limbs_[k] != b.limbs_[k]) return a.limbs_[k] < b.limbs_[k] ? -1 : 1;
        return 0;
    }

  private:
    std::vector<std::uint32_t> limbs_;
};

// The bits of a double and back (std::bit_cast is missing from some C++ libraries).
std::uint64_t BitsOf(double d) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &d, sizeof bits);
    return bits;
}
double FromBits(std::uint64_t bits) {
    double d = 0;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

// A non-negative double as significand * 2^exponent, both whole.
struct Binary {
    std::uint64_t significand;
    long exponent;
};

Binary Decompose(double d) {
    const std::uint64_t bits = BitsOf(d);
    const auto field = static_cast<long>(bits >> 52);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (field == 0) return {fraction, -1074};
    return {fraction | (std::uint64_t{1} << 52), field - 1075};
}

double Neighbour(double d, int direction) {
    return FromBits(BitsOf(d) + static_cast<std::uint64_t>(static_cast<std::int64_t>(direction)));
}

// The most significant digits kept.  A double is settled by its first 768
// significant digits; a dropped non-zero tail is kept as one more digit 1,
// which lies strictly between the same two halfway points.
constexpr std::size_t KeptDigits = 780;

// The exact number digits * 10^power, compared with halfway points between doubles.
class ExactDecimal {
  public:
    ExactDecimal(const std::string& digits, long power) : digits_(digits), power_(power) {}

    // -1, 0 or 1 as the number lies below, at or above the point halfway
    // between two doubles a < b (b may be 2^1024, given as {1, 1024}).
    int CompareWithHalfway(Binary a, Binary b) const {
        const long low = std::min(a.exponent, b.exponent);
        const std::uint64_t sum =
            (a.significand << (a.exponent - low)) + (b.significand << (b.exponent - low));
        // halfway = sum * 2^(low - 1)
        BigWhole left(0);
        for (std::size_t k = 0; k < digits_.size(); k += 9) {
            std::uint32_t chunk = 0, scale = 1;
            for (std::size_t j = k; j < std::min(k + 9, digits_.size()); ++j) {
                chunk = chunk * 10 + static_cast<std::uint32_t>(digits_[j] - '0');
                scale *= 10;
            }
            left.MultiplyAdd(scale, chunk);
        }
        BigWhole right(sum);
        if (power_ >= 0)
            left.MultiplyByPowerOf10(power_);
        else
            right.MultiplyByPowerOf10(-power_);
        const long twos = low - 1;
        if (twos >= 0)
            right.MultiplyByPowerOf2(twos);
        else
            left.MultiplyByPowerOf2(-twos);
        return Compare(left, right);
    }

  private:
    const std::string& digits_;
    long power_;
};

// 10^n for 0 <= n <= 22, exact.
double ExactPowerOf10(int n) {
    double p = 1;
    for (int k = 0; k < n; ++k) p *= 10;
    return p;
}

} // namespace

bool ReadDecimal(std::string_view text, double& value) {
    std::size_t p = 0;
    const auto isDigit = [&](std::size_t at) {
        return at < text.size() && text[at] >= '0' && text[at] <= '9';
    };
    // The significant digits (no leading zeros) and the power of ten of the last one.
    std::string digits;
    long power = 0;
    bool anyDigit = false, droppedNonZero = false;
    const auto take = [&](char c, bool afterPoint) {
        anyDigit = true;
        if (digits.empty() && c == '0') {
            if (afterPoint) --power;
            return;
        }
        if (digits.size() < KeptDigits) {
            digits.push_back(c);
            if (afterPoint) --power;
        } else {
            if (!afterPoint) ++power;
            if (c != '0') droppedNonZero = true;
        }
    };
    for (; isDigit(p); ++p) take(text[p], false);
    if (p < text.size() && text[p] == '.')
        for (++p; isDigit(p); ++p) take(text[p], true);
    if (!anyDigit) return false;
    if (p < text.size() && (text[p] == 'e' || text[p] == 'E')) {
        ++p;
        bool negative = false;
        if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
        if (!isDigit(p)) return false;
        long exponent = 0;
        for (; isDigit(p); ++p)
            if (exponent < 100000000) exponent = exponent * 10 + (text[p] - '0');
        power += negative ? -exponent : exponent;
    }
    if (p != text.size()) return false;

    if (digits.empty()) {
        value = 0;
        return true;
    }
    if (droppedNonZero) {
        digits.push_back('1');
        --power;
    }
    // The power of ten of the leading digit: far outside the doubles' range,
    // the result is plain.
    const long lead = power + static_cast<long>(digits.size()) - 1;
    if (lead > 309) {
        value = std::numeric_limits<double>::infinity();
        return true;
    }
    if (lead < -325) {
        value = 0;
        return true;
    }

    // Up to 19 leading digits as a whole number.
    std::uint64_t head = 0;
    const std::size_t headDigits = std::min<std::size_t>(digits.size(), 19);
    for (std::size_t k = 0; k < headDigits; ++k)
        head = head * 10 + static_cast<std::uint64_t>(digits[k] - '0');

    // Exact when the digits and the power of ten are both exact doubles: one
    // correctly rounded multiplication or division.
    if (digits.size() == headDigits && head <= (std::uint64_t{1} << 53) && power >= -22 &&
        power <= 22) {
        const double whole = static_cast<double>(head);
        value = power >= 0 ? whole * ExactPowerOf10(static_cast<int>(power))
                           : whole / ExactPowerOf10(static_cast<int>(-power));
        return true;
    }

    // Otherwise a close estimate, then moved one double at a time until the
    // exact number lies within half a step of it.
    const double largest = std::numeric_limits<double>::max();
    long scale = power + static_cast<long>(digits.size() - headDigits);
    double estimate = static_cast<double>(head);
    while (scale > 0) {
        const int step = static_cast<int>(std::min(scale, 22L));
        if (estimate > largest / ExactPowerOf10(step)) break;
        estimate *= ExactPowerOf10(step);
        scale -= step;
    }
    if (scale > 0) estimate = largest;
    while (scale < 0 && estimate > 0) {
        const int step = static_cast<int>(std::min(-scale, 22L));
        estimate /= ExactPowerOf10(step);
        scale += step;
    }

    const ExactDecimal exact(digits, power);
    for (;;) {
        const Binary here = Decompose(estimate);
        const bool odd = (here.significand & 1) != 0;
        const Binary above =
            estimate == largest ? Binary{1, 1024} : Decompose(Neighbour(estimate, 1));
        const int up = exact.CompareWithHalfway(here, above);
        if (up > 0 || (up == 0 && odd)) {
            if (estimate == largest) {
                value = std::numeric_limits<double>::infinity();
                return true;
            }
            estimate = Neighbour(estimate, 1);
            continue;
        }
        if (estimate > 0) {
            const int down = exact.CompareWithHalfway(Decompose(Neighbour(estimate, -1)), here);
            if (down < 0 || (down == 0 && odd)) {
                estimate = Neighbour(estimate, -1);
                continue;
            }
        }
        value = estimate;
        return true;
    }
}

double LeadingNumber(std::string_view text) {
    // Drop the characters that the conversion skips wherever they stand.
    std::string s;
    s.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n') s.push_back(c);

    std::size_t pos = 0;
    const auto isDigit = [&](std::size_t p) { return p < s.size() && s[p] >= '0' && s[p] <= '9'; };
    bool negative = false;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) negative = s[pos++] == '-';
    std::string number;
    bool mantissaDigits = false;
    while (isDigit(pos)) {
        number.push_back(s[pos++]);
        mantissaDigits = true;
    }
    if (pos < s.size() && s[pos] == '.') {
        number.push_back(s[pos++]);
        while (isDigit(pos)) {
            number.push_back(s[pos++]);
            mantissaDigits = true;
        }
    }
    if (!mantissaDigits) return 0.0;
    if (pos < s.size() && (s[pos] == 'E' || s[pos] == 'e' || s[pos] == 'D' || s[pos] == 'd')) {
        std::size_t p = pos + 1;
        std::string exponent = "e";
        if (p < s.size() && (s[p] == '+' || s[p] == '-')) exponent.push_back(s[p++]);
        if (isDigit(p)) {
            while (isDigit(p)) exponent.push_back(s[p++]);
            number += exponent;
        }
    }
    double value = 0.0;
    ReadDecimal(number, value); // always a number of the reader's form here
    // Too large for a double: the largest of the same sign.
    if (value > std::numeric_limits<double>::max()) value = std::numeric_limits<double>::max();
    return negative ? -value : value;
}

} // namespace maclab
