#pragma once
// A run of one 32-bit pixel value written into an image row, sixteen bytes
// at a time: the figures' fast paths write little else, and the compiler
// leaves a plain loop for it unvectorised at our optimisation level.

#include <QtGlobal>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

inline void fillPixelRun(quint32* row, int count, quint32 value) {
    int i = 0;
#ifdef __SSE2__
    if (count >= 8) {
        const __m128i four = _mm_set1_epi32(int(value));
        for (; i + 8 <= count; i += 8) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), four);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i + 4), four);
        }
        if (i + 4 <= count) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), four);
            i += 4;
        }
    }
#endif
    for (; i < count; ++i) row[i] = value;
}
