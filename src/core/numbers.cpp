#include "core/numbers.h"

#include <charconv>
#include <string>
#include <system_error>

namespace maclab {

namespace {
// For a number text that does not fit a double: true when it is too large,
// false when it is too small (its first significant digit's power of ten is
// far above or below zero).
bool MagnitudeOverflows(std::string_view digits) {
    long long leadPower = 0; // power of ten of the first non-zero digit
    bool seenNonZero = false, afterPoint = false;
    long long intDigits = 0, zerosAfterPoint = 0;
    std::size_t p = 0;
    for (; p < digits.size(); ++p) {
        const char c = digits[p];
        if (c == '.') {
            afterPoint = true;
            continue;
        }
        if (c < '0' || c > '9') break;
        if (!seenNonZero && c == '0') {
            if (afterPoint) ++zerosAfterPoint;
            continue;
        }
        if (!seenNonZero) seenNonZero = true;
        if (!afterPoint) ++intDigits;
    }
    if (!seenNonZero) return false;
    leadPower = intDigits > 0 ? intDigits - 1 : -(zerosAfterPoint + 1);
    long long exponent = 0;
    if (p < digits.size() && (digits[p] == 'e' || digits[p] == 'E')) {
        ++p;
        bool neg = false;
        if (p < digits.size() && (digits[p] == '+' || digits[p] == '-')) neg = digits[p++] == '-';
        for (; p < digits.size() && digits[p] >= '0' && digits[p] <= '9'; ++p)
            if (exponent < 1000000000LL) exponent = exponent * 10 + (digits[p] - '0');
        if (neg) exponent = -exponent;
    }
    return leadPower + exponent > 0;
}
} // namespace

double LeadingNumber(std::string_view text) {
    // Drop the characters that the conversion skips wherever they stand.
    std::string s;
    s.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n') s.push_back(c);

    std::size_t pos = 0;
    const auto isDigit = [&](std::size_t p) { return p < s.size() && s[p] >= '0' && s[p] <= '9'; };
    std::string number;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) number.push_back(s[pos++]);
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
    // from_chars reads the same way in every locale (the decimal point is always
    // a full stop) but takes no '+' sign, so the sign is handled here.
    bool negative = false;
    std::size_t start = 0;
    if (number[0] == '+' || number[0] == '-') {
        negative = number[0] == '-';
        start = 1;
    }
    double value = 0.0;
    const char* first = number.data() + start;
    const char* last = number.data() + number.size();
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Either too large for a double or too small to be told from 0: decide
        // by the decimal exponent of the leading digit.
        value = MagnitudeOverflows(std::string_view(first, last - first))
                    ? std::numeric_limits<double>::max()
                    : 0.0;
    }
    return negative ? -value : value;
}

} // namespace maclab
