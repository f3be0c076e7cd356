// The corona values of four positions side by side in 256-bit AVX2 registers,
// with the vector logarithms and exponentials of the SLEEF library. The
// formulas and the order of every operation are those of the per-point
// functions of TCoronaField (compute/Corona.cpp), so that only the logarithms
// and exponentials round differently (by a few units in the last place of a
// double); a lane that one of those functions leaves empty gets NaN here.
//
// This file is compiled for AVX2 and FMA, and without contraction like the
// rest of the library: no product is fused into a sum. It includes nothing but
// plain data and the intrinsics, so no code built for AVX2 can reach a
// processor without it through a shared inline function.
#include "compute/CoronaLanes.h"

#if CORVALT_CORONA_AVX2_BUILD

#include <immintrin.h>
#include <sleef.h>

namespace corvalt {

namespace {

using TVec = __m256d;

TVec Broadcast(double v) {
    return _mm256_set1_pd(v);
}

TVec Square(TVec v) {
    return v * v;
}

TVec Blend(TVec mask, TVec whenSet, TVec otherwise) {
    return _mm256_blendv_pd(otherwise, whenSet, mask);
}

TVec IsNan(TVec v) {
    return _mm256_cmp_pd(v, v, _CMP_UNORD_Q);
}

// Inside a conductor (closer than its outer radius) or exactly on its axis.
TVec Inside(TVec distanceSq, const TCoronaSource& s) {
    return _mm256_or_pd(_mm256_cmp_pd(distanceSq, _mm256_setzero_pd(), _CMP_EQ_OQ),
                        _mm256_cmp_pd(distanceSq, Broadcast(s.RadiusSqM2), _CMP_LT_OQ));
}

TVec SquaredDistance(TVec x, double sourceX, double dySq) {
    return Square(x - Broadcast(sourceX)) + Broadcast(dySq);
}

// The largest of the non-negative factors offered so far, and whether one was
// not a number (the line's value is then unavailable).
struct TLaneLargest {
    TVec Largest = _mm256_setzero_pd();
    TVec Failed = _mm256_setzero_pd();

    void Take(TVec factor) {
        Failed = _mm256_or_pd(Failed, IsNan(factor));
        Largest = Blend(_mm256_cmp_pd(factor, Largest, _CMP_GT_OQ), factor, Largest);
    }
};

// reference + perDecade log of the value, the decimal logarithm taken as
// log2 × log10(2): SLEEF's base-2 logarithm is the quickest of its
// logarithms, and its 3.5 units in the last place of a double change a level
// in single precision only in the rarest cases, and then in the last bit.
TVec LevelDb(TVec value, double reference, double perDecade) {
    constexpr double kLog10Of2 = 0.30102999566398119521;
    return Broadcast(reference) +
           Broadcast(perDecade) * (Sleef_log2d4_u35avx2(value) * Broadcast(kLog10Of2));
}

// The levels rounded to single precision; NaN where empty is set.
__m128 Rounded(TVec level, TVec empty) {
    return _mm256_cvtpd_ps(Blend(empty, Broadcast(__builtin_nan("")), level));
}

struct TLaneLevels {
    __m128 AnRain, AnFair, RiRain, RiFair, TviRain, Ozone;
};

void AudibleNoise(const TCoronaSource* sources, std::size_t count, const TCoronaConstants& k,
                  TVec x, TLaneLevels& out) {
    TVec inside = _mm256_setzero_pd();
    TVec rain = _mm256_setzero_pd(), fair = rain;
    for (std::size_t i = 0; i < count; ++i) {
        const TCoronaSource& s = sources[i];
        const TVec distanceSq = SquaredDistance(x, s.XM, s.MicDySq);
        inside = _mm256_or_pd(inside, Inside(distanceSq, s));
        // −11.4 log D dB: the power falls as D^−1.14 = (D²)^−0.57.
        const TVec spread = Sleef_expd4_u10avx2(Broadcast(-0.57) * Sleef_logd4_u10avx2(distanceSq));
        rain = rain + Broadcast(s.AnRainPower) * spread;
        fair = fair + Broadcast(s.AnFairPower) * spread;
    }
    // A power that is not a number makes the sum NaN, and a sum of 0 (no
    // source, or negative poles only) has the level −∞: either leaves it empty.
    out.AnRain = Rounded(LevelDb(rain, k.AnReference, 10), inside);
    out.AnFair = Rounded(LevelDb(fair, k.AnReference, 10), inside);
}

// Ground-wave attenuation of numerical distance p.
TVec GroundWaveAttenuation(TVec p) {
    return (Broadcast(0.3) * p + Broadcast(2)) / (Broadcast(0.6) * p * p + p + Broadcast(2));
}

void RadioInterference(const TCoronaSource* sources, std::size_t count, const TCoronaConstants& k,
                       TVec x, TLaneLevels& out) {
    const TVec kf = Broadcast(0.020944 * k.RadioFrequencyMhz);
    TVec inside = _mm256_setzero_pd();
    TLaneLargest rain, fair;
    for (std::size_t i = 0; i < count; ++i) {
        const TCoronaSource& s = sources[i];
        const TVec distanceSq = SquaredDistance(x, s.XM, s.RadioDySq);
        inside = _mm256_or_pd(inside, Inside(distanceSq, s));
        // Lateral attenuation: direct, ground-wave and induction terms.
        const TVec r = _mm256_sqrt_pd(distanceSq);
        const TVec p = r * Broadcast(52.5) / Broadcast(k.NumericalDistanceDivisor);
        const TVec u = Broadcast(1) / (kf * r);
        const TVec yu = Broadcast(s.YM) * u;
        const TVec b = Broadcast(s.RadioBreakpointM);
        const TVec t1 = Blend(_mm256_cmp_pd(r, b, _CMP_GT_OQ), Square(yu * b / r), Square(yu));
        const TVec t2 = Square(yu * GroundWaveAttenuation(p));
        const TVec t3 = Square(yu * u);
        const TVec attenuation = t1 + t2 + t3;
        rain.Take(Broadcast(s.RiRainPower) * attenuation);
        fair.Take(Broadcast(s.RiFairPower) * attenuation);
    }
    // Rain is 7 dB below the largest rain factor's level; fair adds 0 dB, as
    // the per-point function does. Without sources the largest factor stays
    // 0, whose level (−∞) leaves the value empty.
    out.RiRain = Rounded(LevelDb(rain.Largest, k.RiReference, 10) + Broadcast(-7),
                         _mm256_or_pd(inside, rain.Failed));
    out.RiFair = Rounded(LevelDb(fair.Largest, k.RiReference, 10) + Broadcast(0),
                         _mm256_or_pd(inside, fair.Failed));
}

// The TV distance term as an amplitude ratio, with the reference distance of
// 61 m and the breakpoint B (TelevisionDistanceRatio in compute/Corona.cpp).
TVec TelevisionDistanceRatio(TVec r, double breakpointM) {
    const TVec b = Broadcast(breakpointM);
    const TVec reference = Broadcast(61);
    const TVec withinBreakpoint = _mm256_cmp_pd(r, b, _CMP_LE_OQ);
    if (breakpointM > 61) return Blend(withinBreakpoint, reference / r, reference * b / (r * r));
    return Blend(withinBreakpoint, Broadcast(61.0 * 61.0) / (b * r), Square(reference / r));
}

void TelevisionInterference(const TCoronaSource* sources, std::size_t count,
                            const TCoronaConstants& k, TVec x, TLaneLevels& out) {
    TVec inside = _mm256_setzero_pd();
    TLaneLargest line;
    for (std::size_t i = 0; i < count; ++i) {
        const TCoronaSource& s = sources[i];
        if (!s.IsAc) continue;
        const TVec distanceSq = SquaredDistance(x, s.XM, s.TvDySq);
        inside = _mm256_or_pd(inside, Inside(distanceSq, s));
        line.Take(Broadcast(s.TviAmplitude) *
                  TelevisionDistanceRatio(_mm256_sqrt_pd(distanceSq), s.TvBreakpointM));
    }
    // Without AC sources the largest factor stays 0: empty, as for radio.
    out.TviRain = Rounded(LevelDb(line.Largest, k.TvReference, 20) + Broadcast(0),
                          _mm256_or_pd(inside, line.Failed));
}

void Ozone(const TCoronaSource* sources, std::size_t count, const TCoronaConstants& k, TVec x,
           TLaneLevels& out) {
    constexpr double kSqrtTwoPi = 2.50662827;
    constexpr double kLargestExponent = 88;
    if (!k.AnyOzone) {
        out.Ozone = _mm_set1_ps(__builtin_nanf(""));
        return;
    }
    const TVec w = Broadcast(k.WindVelocityMPerS);
    TVec total = _mm256_setzero_pd();
    for (std::size_t i = 0; i < count; ++i) {
        const TCoronaSource& s = sources[i];
        if (!s.HasOzone) continue;
        const TVec downwind = x - Broadcast(s.XM);
        // Only points at least 0.25 m downwind receive the conductor's ozone.
        const TVec reached = _mm256_cmp_pd(downwind, Broadcast(0.25), _CMP_GE_OQ);
        if (_mm256_movemask_pd(reached) == 0) continue;
        // Vertical dispersion, m: Δ^0.86 as e^(0.86 ln Δ); 1 m on lanes not reached.
        const TVec reach = Blend(reached, downwind, Broadcast(1));
        const TVec sigma = Broadcast(s.SigmaFactor) *
                           Sleef_expd4_u10avx2(Broadcast(0.86) * Sleef_logd4_u10avx2(reach));
        const TVec concentration = Broadcast(s.OzoneRate) / (sigma * w * Broadcast(kSqrtTwoPi));
        const TVec twoSigmaSq = Broadcast(2) * sigma * sigma;
        // min(a, 88) as std::min takes it: 88 only where 88 < a.
        const TVec largest = Broadcast(kLargestExponent);
        const TVec conductor =
            Sleef_expd4_u10avx2(-_mm256_min_pd(largest, Broadcast(s.OzoneDySq) / twoSigmaSq));
        // At an ozone height of 0 the conductor and its image are equally far:
        // e^−e1 + e^−e2 is exactly twice e^−e1.
        const TVec image = s.OzoneImageDySq == s.OzoneDySq
                               ? conductor
                               : Sleef_expd4_u10avx2(-_mm256_min_pd(
                                     largest, Broadcast(s.OzoneImageDySq) / twoSigmaSq));
        const TVec term = concentration * (conductor + image);
        total = Blend(reached, total + term, total);
    }
    out.Ozone = _mm256_cvtpd_ps(total * Broadcast(4.67e8));
}

void Store(const TLaneLevels& lanes, std::size_t count, TCoronaLevels* out) {
    alignas(16) float values[6][4];
    _mm_store_ps(values[0], lanes.AnRain);
    _mm_store_ps(values[1], lanes.AnFair);
    _mm_store_ps(values[2], lanes.RiRain);
    _mm_store_ps(values[3], lanes.RiFair);
    _mm_store_ps(values[4], lanes.TviRain);
    _mm_store_ps(values[5], lanes.Ozone);
    for (std::size_t lane = 0; lane < count; ++lane)
        out[lane] = {values[0][lane], values[1][lane], values[2][lane],
                     values[3][lane], values[4][lane], values[5][lane]};
}

} // namespace

void CoronaLevelsAvx2(const TCoronaSource* sources, std::size_t sourceCount,
                      const TCoronaConstants& constants, const float* xM, std::size_t count,
                      TCoronaLevels* out) {
    constexpr std::size_t kLanes = 4;
    for (std::size_t first = 0; first < count; first += kLanes) {
        // Lanes past the end repeat the last position; their values are not kept.
        const std::size_t inBlock = count - first < kLanes ? count - first : kLanes;
        alignas(16) float positions[kLanes];
        for (std::size_t lane = 0; lane < kLanes; ++lane)
            positions[lane] = xM[first + (lane < inBlock ? lane : inBlock - 1)];
        const TVec x = _mm256_cvtps_pd(_mm_load_ps(positions));
        TLaneLevels lanes{};
        AudibleNoise(sources, sourceCount, constants, x, lanes);
        RadioInterference(sources, sourceCount, constants, x, lanes);
        TelevisionInterference(sources, sourceCount, constants, x, lanes);
        Ozone(sources, sourceCount, constants, x, lanes);
        Store(lanes, inBlock, out + first);
    }
}

} // namespace corvalt

#endif
