// Number conversions shared by the whole program.
//
// The simulation keeps the arithmetic of the classic desktop toolkit it
// imitates: 16-bit "Integer" and 32-bit "Long" values, rounding to the nearest
// whole number with halves going to the even neighbour, Int() as floor, a Mod
// that rounds both operands first, and Str() that puts a blank before a
// non-negative number.  Every conversion of that kind goes through this file.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#if defined(__x86_64__) && defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace maclab {

using Integer = std::int16_t;
using Long = std::int32_t;

// Boolean values as the toolkit stores them in integers.
constexpr Integer VbTrue = -1;
constexpr Integer VbFalse = 0;

namespace detail {
constexpr double WholeFrom = 4503599627370496.0; // 2^52: every double this large is whole
} // namespace detail

// Round to the nearest whole number, halves to even, as std::nearbyint does
// in the default rounding mode (which the program never changes), without a
// library call: adding 2^52 leaves the nearest whole number, halves going to
// the even one, and taking it away again is exact.
inline double RoundHalfEven(double x) {
    const double a = std::fabs(x);
    if (!(a < detail::WholeFrom)) return x;       // whole already, infinite or NaN
    const double shifted = a + detail::WholeFrom; // (not folded away: IEEE sums round)
    return std::copysign(shifted - detail::WholeFrom, x);
}

namespace detail {
// The nearest whole number, halves to even, of an x within the range of a
// 64-bit integer: on x86-64 the processor's own conversion does exactly that
// in the default rounding mode.
inline std::int64_t RoundToWhole(double x) {
#if defined(__x86_64__) && defined(__SSE2__)
    return _mm_cvtsd_si64(_mm_set_sd(x));
#else
    return static_cast<std::int64_t>(RoundHalfEven(x));
#endif
}

template <typename T> T RoundInto(double x) {
    constexpr double lowest = static_cast<double>(std::numeric_limits<T>::min());
    constexpr double highest = static_cast<double>(std::numeric_limits<T>::max());
    // Inside the range the rounded value stays inside it (the ends are whole).
    if (x > lowest && x < highest) return static_cast<T>(RoundToWhole(x));
    if (std::isnan(x)) return 0;
    return x <= lowest ? std::numeric_limits<T>::min() : std::numeric_limits<T>::max();
}
} // namespace detail

// Conversion to a 16-bit Integer (saturating at the ends of the range).
inline Integer CInt(double x) {
    return detail::RoundInto<Integer>(x);
}
// Conversion to a 32-bit Long (saturating at the ends of the range).
inline Long CLng(double x) {
    return detail::RoundInto<Long>(x);
}
// Int(): the largest whole number not above x, as std::floor gives it (the
// sign of a zero included), without a library call.
inline double Int(double x) {
    // Above zero, the largest whole number not above x is x cut short.
    if (x > 0 && x < detail::WholeFrom) return static_cast<double>(static_cast<std::int64_t>(x));
    if (!(std::fabs(x) < detail::WholeFrom)) return x;
    const double toward = static_cast<double>(static_cast<std::int64_t>(x));
    return std::copysign(toward > x ? toward - 1 : toward, x);
}
// Narrowing to single precision, as control positions and random numbers are stored.
inline float Sng(double x) {
    return static_cast<float>(x);
}

// a Mod b: both operands rounded to whole numbers (halves to even) first, the
// remainder takes the sign of the dividend.  A divisor that rounds to 0 has no
// remainder; the callers never pass one, and 0 is returned rather than trapping.
inline std::int64_t Mod(double a, double b) {
    const auto ra = detail::RoundInto<std::int64_t>(a);
    const auto rb = detail::RoundInto<std::int64_t>(b);
    if (rb == 0) return 0;
    return ra % rb;
}

// Str(): the decimal text of a whole number, with one leading blank when it is
// not negative ("12" -> " 12", "-3" -> "-3").
inline std::string Str(long long n) {
    return (n >= 0 ? " " : "") + std::to_string(n);
}

// The decimal text of a whole number without the blank.
inline std::string WholeText(long long n) {
    return std::to_string(n);
}

// Reads a decimal number: digits with at most one full stop (at least one digit
// before or after it), then an optional exponent (e or E, an optional sign,
// digits), and nothing else: no sign, no blank.  For such a text it stores the
// double nearest to the number (halves to the even neighbour), +infinity when
// the number lies beyond the largest double, and returns true; for any other
// text it returns false.  The result is the same in every locale and on every
// platform: the full stop is the only decimal point, and the rounding is exact
// whatever the length of the text.
bool ReadDecimal(std::string_view text, double& value);

// The number at the start of a typed text: blanks, tabs and line feeds are
// skipped wherever they stand; then an optional sign, digits with at most one
// full stop, and an optional exponent (E, e, D or d, optional sign, digits) are
// read.  Anything else ends the number; no number at all reads as 0.  The result
// is always finite: a number too large for a double reads as the largest double
// of the same sign.
double LeadingNumber(std::string_view text);

// Colours are packed red + 256 * green + 65536 * blue.
constexpr Long RGB(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}

// `yes` when `when` holds, else `no`, worked out with masks rather than a
// jump, for choices on random traffic that a processor would often guess
// wrong (the compiler turns plain conditional expressions into jumps there).
constexpr Long Select(bool when, Long yes, Long no) {
    const Long mask = -static_cast<Long>(when);
    return (yes & mask) | (no & ~mask);
}

} // namespace maclab
