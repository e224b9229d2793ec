// Standard-column reals two at a time with AVX2: each 128-bit half of a
// register holds one field (and the 4 bytes after it) and is checked and
// weighed exactly as the SSE2 reader checks and weighs one field. This file
// alone is compiled for AVX2, and it runs only where the processor reports it.
#include "frd/standard_field.h"

#if defined(__AVX2__) && !defined(_WIN32)
#include <immintrin.h>

#include <cstdint>
#endif

namespace kovan {

#if defined(__AVX2__) && !defined(_WIN32)
namespace {

// Per half: digits in lanes 1, 3 to 7, 10 and 11; '.' in lane 2, 'E' in 8;
// ' ' or '-' in 0, '+' or '-' in 9.
constexpr uint32_t kDigitLanes = 0b1100'1111'1010u * 0x10001u;
constexpr uint32_t kLiteralLanes = 0b0011'0000'0101u * 0x10001u;

// The parts of the fields at `f` and `f` + 12; false when either breaks the layout.
bool standard_pair(const char* f, FieldParts& a, FieldParts& b) {
    const __m256i text = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(f))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(f + kStandardField)), 1);
    const __m256i digits = _mm256_sub_epi8(text, _mm256_set1_epi8('0'));
    const __m256i nine = _mm256_set1_epi8(9);
    const auto digit_lanes = static_cast<uint32_t>(
        _mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_max_epu8(digits, nine), nine)));
    const __m256i one_form = _mm256_setr_epi8(' ', 0, '.', 0, 0, 0, 0, 0, 'E', '+', 0, 0, 0, 0, 0, 0,
                                              ' ', 0, '.', 0, 0, 0, 0, 0, 'E', '+', 0, 0, 0, 0, 0, 0);
    const __m256i other_form = _mm256_setr_epi8('-', 0, '.', 0, 0, 0, 0, 0, 'E', '-', 0, 0, 0, 0, 0, 0,
                                                '-', 0, '.', 0, 0, 0, 0, 0, 'E', '-', 0, 0, 0, 0, 0, 0);
    const auto literal_lanes = static_cast<uint32_t>(_mm256_movemask_epi8(
        _mm256_or_si256(_mm256_cmpeq_epi8(text, one_form), _mm256_cmpeq_epi8(text, other_form))));
    if ((digit_lanes & kDigitLanes) != kDigitLanes || (literal_lanes & kLiteralLanes) != kLiteralLanes) return false;
    // Digit by weight, in pairs summed to 32 bits, per half: 10 d1 | d3 |
    // 1000 d4 + 100 d5 | 10 d6 + d7, and 10 e1 + e2; other lanes weigh 0.
    const __m256i zero = _mm256_setzero_si256();
    const __m256i low = _mm256_madd_epi16(_mm256_unpacklo_epi8(digits, zero),
                                          _mm256_setr_epi16(0, 10, 0, 1, 1000, 100, 10, 1, 0, 10, 0, 1, 1000, 100, 10, 1));
    const __m256i high = _mm256_madd_epi16(_mm256_unpackhi_epi8(digits, zero),
                                           _mm256_setr_epi16(0, 0, 10, 1, 0, 0, 0, 0, 0, 0, 10, 1, 0, 0, 0, 0));
    alignas(32) int32_t sums[8], exponents[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(sums), low);
    _mm256_store_si256(reinterpret_cast<__m256i*>(exponents), high);
    a.mantissa = (sums[0] + sums[1]) * 10000 + sums[2] + sums[3];
    b.mantissa = (sums[4] + sums[5]) * 10000 + sums[6] + sums[7];
    a.exponent = (f[9] == '-' ? -exponents[1] : exponents[1]) - 5;
    b.exponent = (f[kStandardField + 9] == '-' ? -exponents[5] : exponents[5]) - 5;
    return true;
}

}  // namespace

long read_standard_pairs_avx2(const char* fields, size_t n, double* out) {
    size_t i = 0;
    for (; i + 2 <= n; i += 2) {
        const char* f = fields + i * kStandardField;
        FieldParts a, b;
        if (!standard_pair(f, a, b)) return -1;
        out[i] = standard_field_value(f, a);
        out[i + 1] = standard_field_value(f + kStandardField, b);
    }
    return static_cast<long>(i);
}
#else
long read_standard_pairs_avx2(const char*, size_t, double*) { return 0; }
#endif

}  // namespace kovan
