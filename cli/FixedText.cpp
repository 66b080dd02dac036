#include "cli/FixedText.h"

#include <bit>
#include <charconv>
#include <cstdint>

namespace BatchConvert {

namespace {

constexpr std::uint64_t kPow10[16] = {1,          10,          100,          1000,          10000,
                                      100000,     1000000,     10000000,     100000000,     1000000000,
                                      10000000000, 100000000000, 1000000000000, 10000000000000,
                                      100000000000000, 1000000000000000};

// Decimal digits of v, least significant first; returns their count.
int Digits(std::uint64_t v, char* digits) {
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    return n;
}

}  // namespace

char* FormatFixed(char* first, double value, int decimals) {
#ifdef TARVANE_STD_FORMAT  // scripts/bench builds it so, to measure what this formatter saves
    return std::to_chars(first, first + 400, value, std::chars_format::fixed, decimals).ptr;
#endif
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    // value = m * 2^e exactly
    std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
    int e = -1074;
    if (biased != 0) {
        m |= std::uint64_t{1} << 52;
        e = biased - 1075;
    }
    if (decimals < 0 || decimals > 15 || biased == 0x7FF || e > 10) {
        return std::to_chars(first, first + 400, value, std::chars_format::fixed, decimals).ptr;
    }

    // q = value * 10^decimals rounded half to even, in exact integer arithmetic:
    // m * 10^15 < 2^103 and a shift by at most 10 stays below 2^128.
    __extension__ using u128 = unsigned __int128;
    const u128 scaled = static_cast<u128>(m) * kPow10[decimals];
    u128 q = 0;
    if (e >= 0) {
        q = scaled << e;
    } else if (-e < 127) {  // otherwise below 2^103 / 2^127: rounds to 0
        const int s = -e;
        q = scaled >> s;
        const u128 rest = scaled - (q << s);
        const u128 half = static_cast<u128>(1) << (s - 1);
        if (rest > half || (rest == half && (q & 1) != 0)) ++q;
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

}  // namespace BatchConvert
