#include "core/text/FixedText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

#include <fmt/format.h>

namespace {

constexpr std::uint64_t kPow10[16] = {1,          10,          100,          1000,          10000,
                                      100000,     1000000,     10000000,     100000000,     1000000000,
                                      10000000000, 100000000000, 1000000000000, 10000000000000,
                                      100000000000000, 1000000000000000};

constexpr double kPow10d[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};  // exact

constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Decimal digits of v, least significant first, two at a time; returns their count.
int Digits(std::uint64_t v, char* digits) {
    int n = 0;
    while (v >= 10) {
        const auto r = static_cast<unsigned>(v % 100);
        v /= 100;
        digits[n++] = kPairs[2 * r + 1];
        digits[n++] = kPairs[2 * r];
    }
    if (v != 0 || n == 0) digits[n++] = static_cast<char>('0' + v);
    return n;
}

// q / 10^D with its D decimals, written forward; divisions by constants.
template <int D>
char* WriteScaled(char* out, std::uint64_t q) {
    constexpr std::uint64_t scale = [] { std::uint64_t s = 1; for (int i = 0; i < D; ++i) s *= 10; return s; }();
    char whole[20];
    char* w = whole + sizeof whole;
    std::uint64_t v = q / scale;
    for (; v >= 100; v /= 100) std::memcpy(w -= 2, kPairs + 2 * (v % 100), 2);
    if (v >= 10) std::memcpy(w -= 2, kPairs + 2 * v, 2);
    else *--w = static_cast<char>('0' + v);
    const auto n = static_cast<std::size_t>(whole + sizeof whole - w);
    std::memcpy(out, w, n);
    out += n;
    if constexpr (D > 0) {
        *out++ = '.';
        std::uint64_t f = q % scale;
        char* d = out + D;
        for (int i = 0; i < D / 2; ++i, f /= 100) std::memcpy(d -= 2, kPairs + 2 * (f % 100), 2);
        if constexpr (D % 2 == 1) *--d = static_cast<char>('0' + f);
        out += D;
    }
    return out;
}

template <int... D>
constexpr auto Writers(std::integer_sequence<int, D...>) {
    return std::array<char* (*)(char*, std::uint64_t), sizeof...(D)>{WriteScaled<D>...};
}
constexpr auto kWriters = Writers(std::make_integer_sequence<int, 16>());

// |value| * 10^decimals rounded half to even, from the double product when
// that product cannot lie on the other side of a tie than the exact one (it
// is off by at most half an ulp): the common case, without 128-bit work.
bool FastScaled(double value, int decimals, std::uint64_t& q) {
    const double a = std::fabs(value) * kPow10d[decimals];
    if (!(a < 4e15)) return false;
    const double whole = std::floor(a);
    const double fraction = a - whole;  // exact
    if (std::fabs(fraction - 0.5) <= a * 0x1p-52 + 0x1p-1074) return false;
    q = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
    return true;
}

}  // namespace

char* FormatFixed(char* first, double value, int decimals) {
    std::uint64_t bits = 0;  // the value's bits (std::bit_cast where every library has it)
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    // value = m * 2^e exactly
    std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
    int e = -1074;
    if (biased != 0) {
        m |= std::uint64_t{1} << 52;
        e = biased - 1075;
    }
    if (decimals < 0 || decimals > 15 || biased == 0x7FF || e > 10) return fmt::format_to(first, "{:.{}f}", value, decimals);

    // q = value * 10^decimals rounded half to even; where the double product
    // will not do, in exact integer arithmetic: m * 10^15 < 2^103 and a shift
    // by at most 10 stays below 2^128. Near a tie, and for huge values only.
    __extension__ using u128 = unsigned __int128;
    std::uint64_t fast = 0;
    if (FastScaled(value, decimals, fast)) {
        if (bits >> 63) *first++ = '-';
        return kWriters[static_cast<std::size_t>(decimals)](first, fast);
    }
    u128 q = 0;
    {
        const u128 scaled = static_cast<u128>(m) * kPow10[decimals];
        if (e >= 0) {
            q = scaled << e;
        } else if (-e < 127) {  // otherwise below 2^103 / 2^127: rounds to 0
            const int s = -e;
            q = scaled >> s;
            const u128 rest = scaled - (q << s);
            const u128 half = static_cast<u128>(1) << (s - 1);
            if (rest > half || (rest == half && (q & 1) != 0)) ++q;
        }
    }

    char digits[48];
    int n = 0;
    constexpr std::uint64_t k19 = 10000000000000000000u;
    if (q >> 64 == 0) {
        n = Digits(static_cast<std::uint64_t>(q), digits);
    } else {
        n = Digits(static_cast<std::uint64_t>(q % k19), digits);
        while (n < 19) digits[n++] = '0';
        n += Digits(static_cast<std::uint64_t>(q / k19), digits + n);
    }
    while (n < decimals + 1) digits[n++] = '0';

    char* out = first;
    if (bits >> 63) *out++ = '-';
    for (int i = n - 1; i >= decimals; --i) *out++ = digits[i];
    if (decimals > 0) {
        *out++ = '.';
        for (int i = decimals - 1; i >= 0; --i) *out++ = digits[i];
    }
    return out;
}
