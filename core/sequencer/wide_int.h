// Unsigned 128-bit integer for exact tempo arithmetic on targets without a native 128-bit type (i686).
#pragma once

#include <cstdint>

namespace tw::sequencer {

struct U128 {
    uint64_t hi = 0;
    uint64_t lo = 0;

    U128() = default;
    U128(uint64_t low) : lo(low) {} // NOLINT: implicit widening is the point
    U128(uint64_t high, uint64_t low) : hi(high), lo(low) {}

    friend bool operator<(const U128 &a, const U128 &b) { return a.hi != b.hi ? a.hi < b.hi : a.lo < b.lo; }
    friend bool operator<=(const U128 &a, const U128 &b) { return !(b < a); }
    friend bool operator==(const U128 &a, const U128 &b) { return a.hi == b.hi && a.lo == b.lo; }
    friend U128 operator+(const U128 &a, const U128 &b) {
        U128 r(a.hi + b.hi, a.lo + b.lo);
        if (r.lo < a.lo)
            ++r.hi;
        return r;
    }
    friend U128 operator-(const U128 &a, const U128 &b) {
        U128 r(a.hi - b.hi, a.lo - b.lo);
        if (a.lo < b.lo)
            --r.hi;
        return r;
    }
};

// Full product of two 64-bit numbers.
inline U128 Mul64(uint64_t a, uint64_t b) {
    const uint64_t mask = 0xFFFFFFFFull;
    const uint64_t a0 = a & mask, a1 = a >> 32, b0 = b & mask, b1 = b >> 32;
    const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    const uint64_t mid = (p00 >> 32) + (p01 & mask) + (p10 & mask);
    return U128(p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32), (mid << 32) | (p00 & mask));
}

// Quotient of n / d (d > 0), saturated at UINT64_MAX; remainder in *rem when asked. Bitwise long division when n
// needs more than 64 bits: used when building and querying the tempo map, never per sample.
inline uint64_t Div128(U128 n, uint64_t d, uint64_t *rem = nullptr) {
    if (n.hi >= d) { // quotient does not fit in 64 bits
        if (rem)
            *rem = 0;
        return UINT64_MAX;
    }
    if (n.hi == 0) { // the usual case, and a dense piece converts millions of event times as it loads
        if (rem)
            *rem = n.lo % d;
        return n.lo / d;
    }
    uint64_t r = n.hi;
    uint64_t q = 0;
    for (int bit = 63; bit >= 0; --bit) {
        const bool carry = (r >> 63) != 0;
        r = (r << 1) | ((n.lo >> bit) & 1);
        q <<= 1;
        if (carry || r >= d) {
            r -= d;
            q |= 1;
        }
    }
    if (rem)
        *rem = r;
    return q;
}

} // namespace tw::sequencer
