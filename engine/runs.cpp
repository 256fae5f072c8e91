// Vector run kernels, compiled once per SIMD target (SSE4, AVX2, AVX-512, ...)
// and dispatched at run time. Each lane is one frame of the run; phases,
// values and products are 32-bit lanes, and every step reproduces the
// scalar blocks' integer arithmetic exactly (products wrap as uint32, shifts
// are arithmetic on int32).
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "engine/runs.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"

#include "engine/runs.h"

HWY_BEFORE_NAMESPACE();
namespace rov_simd {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using DI = hn::ScalableTag<int32_t>;
using DU = hn::RebindToUnsigned<DI>;
using DF = hn::RebindToFloat<DI>;
using VI = hn::Vec<DI>;
using VU = hn::Vec<DU>;

// floor(n / d) for 0 <= n < 2^31 and 1 <= d <= 65535, without an integer
// division: the single-precision estimate n * (1/d) is within 0.006 of the
// quotient (three roundings of 2^-24 relative error on a quotient below
// 2^16 · top / d), so its truncation is off by at most one, which the
// remainder n - q·d corrects. The exhaustive test checks every (phase, peak).
HWY_INLINE VI Quotient(VI n, VI d, hn::Vec<DF> rcp) {
    const DI di;
    const DF df;
    VI q = hn::ConvertTo(di, hn::Mul(hn::ConvertTo(df, n), rcp));
    const VI r = hn::Sub(n, hn::Mul(q, d));
    q = hn::Add(q, hn::VecFromMask(di, hn::Lt(r, hn::Zero(di))));  // r < 0: one less
    q = hn::Sub(q, hn::VecFromMask(di, hn::Gt(r, hn::Sub(d, hn::Set(di, 1)))));  // r >= d: one more
    return q;
}

// The triangle ramp: phi < w ? phi·top / w : (65535 - phi)·top / (65535 - w),
// with a zero denominator taken as 1.
struct Ramp {
    VI w, wd, dd;
    hn::Vec<DF> wr, dr;
    VI top;
    Ramp(uint32_t w_, uint32_t top_) {
        const DI di;
        const DF df;
        const uint32_t den = 65535u - w_ ? 65535u - w_ : 1u;
        w = hn::Set(di, static_cast<int32_t>(w_));
        wd = hn::Set(di, static_cast<int32_t>(w_ ? w_ : 1u));
        dd = hn::Set(di, static_cast<int32_t>(den));
        wr = hn::Set(df, 1.0f / static_cast<float>(w_ ? w_ : 1u));
        dr = hn::Set(df, 1.0f / static_cast<float>(den));
        top = hn::Set(di, static_cast<int32_t>(top_));
    }
    HWY_INLINE VI operator()(VI phi) const {
        const DI di;
        const auto rising = hn::Lt(phi, w);
        const VI x = hn::IfThenElse(rising, phi, hn::Sub(hn::Set(di, 65535), phi));
        const VI d = hn::IfThenElse(rising, wd, dd);
        return Quotient(hn::Mul(x, top), d, hn::IfThenElse(hn::RebindMask(DF(), rising), wr, dr));
    }
};

// x / div truncating toward zero, for |x| < 2^17 and div 4 or 6: the
// single-precision quotient is correctly rounded, so it is an integer
// exactly when the division is exact and at least 1/6 away from one
// otherwise: its truncation is C's. The exhaustive test checks every x.
HWY_INLINE VI Divide(VI x, hn::Vec<DF> div) {
    return hn::ConvertTo(DI(), hn::Div(hn::ConvertTo(DF(), x), div));
}

// The pulse with edge ramps: falling from w over the first `ramp` phase
// units, w - 65535 up to w, rising back over `ramp` units, then w; each
// piece divided by div truncating toward zero.
struct RampedPulse {
    VI w, ramp, end, slope, wi, low, rmask;
    hn::Vec<DF> div;
    RampedPulse(uint32_t w_, uint32_t ramp_, int32_t div_) {
        const DI di;
        const int32_t i = static_cast<int32_t>(w_);
        w = hn::Set(di, i);
        ramp = hn::Set(di, static_cast<int32_t>(ramp_));
        end = hn::Set(di, static_cast<int32_t>(w_ + ramp_));
        slope = hn::Set(di, static_cast<int32_t>(65536u / ramp_));
        wi = hn::Set(di, i);
        low = hn::Set(di, i - 65535);
        rmask = hn::Set(di, static_cast<int32_t>(ramp_ - 1));
        div = hn::Set(DF(), static_cast<float>(div_));
    }
    HWY_INLINE VI operator()(VI phi) const {
        VI x = wi;                                                                        // from w + ramp on
        x = hn::IfThenElse(hn::Lt(phi, end), hn::Add(hn::Mul(slope, hn::And(hn::Sub(w, phi), rmask)), low), x);
        x = hn::IfThenElse(hn::Lt(phi, w), low, x);
        x = hn::IfThenElse(hn::Lt(phi, ramp), hn::Sub(wi, hn::Mul(slope, phi)), x);
        return Divide(x, div);
    }
};

// Interpolated table value from the packed pairs, before its final shift:
// the phase is an 8.8 table position (entry i = phi >> 8, fraction f in
// 1/256), and the value (256 - f)·tab[i] + f·tab[i+1] is in 1/256.
// Where lanes hold 16-bit halves, one pairwise multiply-add of the pair
// (tab[i], tab[i+1]) with the weights (256 - f, f) does it.
HWY_INLINE VI Table(const int32_t* pairs, VI phi) {
    const DI di;
    const VI x = hn::GatherIndex(di, pairs, hn::ShiftRight<8>(phi));
    const VI f = hn::And(phi, hn::Set(di, 255));
#if HWY_TARGET == HWY_SCALAR
    const VI a = hn::ShiftRight<16>(hn::ShiftLeft<16>(x));
    const VI b = hn::ShiftRight<16>(x);
    return hn::Add(hn::ShiftLeft<8>(a), hn::Mul(f, hn::Sub(b, a)));  // (256 - f)·a + f·b
#else
    const hn::Repartition<int16_t, DI> d16;
    const VI wts = hn::Sub(hn::Add(hn::ShiftLeft<16>(f), hn::Set(di, 256)), f);  // 256 - f low, f high
    VI odd = hn::Zero(di);
    const VI even = hn::ReorderWidenMulAccumulate(di, hn::BitCast(d16, x), hn::BitCast(d16, wts), hn::Zero(di), odd);
    return hn::RearrangeToOddPlusEven(even, odd);
#endif
}

// The voice value of a sum: level times sum >> vshift (Level); and
// (operator()) adds the voice values val of lanes below `live` to the sums:
// weight (1/128 of the normal level) times value, as uint32 (wrapping),
// shifted arithmetically by the mixing shift. The run's fields are copied
// into registers once: the sums' stores could otherwise alias them.
struct Mixer {
    VU left, right;
    VI level;
    int shift, vshift;
    explicit Mixer(const rov_run& run)
        : left(hn::Set(DU(), run.left)), right(hn::Set(DU(), run.right)), level(hn::Set(DI(), run.level)),
          shift(run.shift), vshift(run.vshift) {}
    HWY_INLINE VI Level(VI sum) const { return hn::ShiftRightSame(hn::Mul(level, sum), vshift); }
    HWY_INLINE void operator()(VI val, rov_sums& sums, int32_t at, int32_t live) const {
        operator()(val, sums.left + at, sums.right + at, static_cast<size_t>(live));
    }
    HWY_INLINE void operator()(VI val, uint32_t* l, uint32_t* r, size_t live) const {
        const DI di;
        const DU du;
        const VU v = hn::BitCast(du, val);
        VI a = hn::ShiftRightSame(hn::BitCast(di, hn::Mul(v, left)), shift);
        VI b = hn::ShiftRightSame(hn::BitCast(di, hn::Mul(v, right)), shift);
        if (live < hn::Lanes(di)) {
            const auto m = hn::FirstN(di, live);
            a = hn::IfThenElseZero(m, a);
            b = hn::IfThenElseZero(m, b);
        }
        hn::StoreU(hn::Add(hn::LoadU(du, l), hn::BitCast(du, a)), du, l);
        hn::StoreU(hn::Add(hn::LoadU(du, r), hn::BitCast(du, b)), du, r);
    }
};

// Lane numbers 0, 1, 2, ... (a load: cheaper than Iota for short runs).
HWY_INLINE VI Lanes0() {
    alignas(64) static constexpr int32_t lanes[64] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                                      13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25,
                                                      26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38,
                                                      39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51,
                                                      52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63};
    static_assert(HWY_MAX_BYTES / 4 <= 64);
    return hn::Load(DI(), lanes);
}

// Oscillator k's phases in the lanes at the run's start (phase + lane x
// increment, 16 bits) into phi, and its step per vector of N frames into step.
HWY_INLINE void LanePhases(const rov_run& run, int k, size_t N, VI& phi, VI& step) {
    const DI di;
    const uint32_t incr = run.incr[k];
    phi = hn::Add(hn::Set(di, static_cast<int32_t>(run.phase[k])),
                  hn::Mul(Lanes0(), hn::Set(di, static_cast<int32_t>(incr & 0xffff))));
    step = hn::Set(di, static_cast<int32_t>((incr * N) & 0xffff));
}

// The phases of a run's oscillators (`which`: their numbers, 0, 1, 2 unless
// given), a vector of frames at a time from frame f. Next(j, i) gives
// oscillator j's phases for frames f + i onwards (16 bits; oscillator 0 of a
// drifting run moved by the drift since frame f) and steps them on.
template <int oscs, bool drifting = false>
struct Phases {
    VI phi[oscs], step[oscs];
    const int32_t* drift;
    VI drift0;
    Phases(const rov_run& run, int32_t f, const int* which = nullptr) : drift(run.drift + (drifting ? f : 0)) {
        const size_t N = hn::Lanes(DI());
        for (int j = 0; j < oscs; ++j) LanePhases(run, which ? which[j] : j, N, phi[j], step[j]);
        drift0 = hn::Set(DI(), drifting ? drift[0] : 0);
    }
    HWY_INLINE VI Next(int j, int32_t i) {
        const DI di;
        const VI mask = hn::Set(di, 0xffff);
        VI p = phi[j];
        if (drifting && j == 0) p = hn::Add(p, hn::Sub(hn::LoadU(di, drift + i), drift0));
        phi[j] = hn::And(hn::Add(phi[j], step[j]), mask);
        return hn::And(p, mask);
    }
};

// The phase modulation of a voice value v (level applied): the interpolated
// table at trunc(pm * v / 64) mod 65536 (the product wrapping as uint32),
// >> 5.
HWY_INLINE VI PhaseMod(const int32_t* pairs, VI pm, VI v) {
    const DI di;
    const DU du;
    const VI x = hn::BitCast(di, hn::Mul(hn::BitCast(du, pm), hn::BitCast(du, v)));
    const VI y = hn::ShiftRight<6>(hn::Add(x, hn::And(hn::ShiftRight<31>(x), hn::Set(di, 63))));
    return hn::ShiftRight<5>(Table(pairs, hn::And(y, hn::Set(di, 0xffff))));
}

// r frames of `oscs` oscillators summed: shape(phi_j) per frame, phases
// stepping by their increments (oscillator 1 also by the drift).
template <int oscs, bool drifting, class Shape, bool pmod = false>
HWY_INLINE void Run(const rov_run& run, const int32_t* pairs, int32_t f, int32_t r, rov_sums& sums,
                    const Shape& shape) {
    const DI di;
    const int32_t N = static_cast<int32_t>(hn::Lanes(di));
    const Mixer mix(run);
    const VI offset = hn::Set(di, run.offset);
    const VI pm = hn::Set(di, run.phasemod);
    Phases<oscs, drifting> ph(run, f);
    for (int32_t i = 0; i < r; i += N) {
        VI sum = offset;
        for (int j = 0; j < oscs; ++j) sum = hn::Add(sum, shape(ph.Next(j, i)));
        VI val = mix.Level(sum);
        if constexpr (pmod) val = PhaseMod(pairs, pm, val);
        mix(val, sums, f + i, r - i);
    }
}

// The wave table (17 entries) less its middle 512, read in registers: a
// lane permutation where the first sixteen entries fill one or two vectors,
// entry 16 blended in; a gather on narrower targets.
struct Wave17 {
    static constexpr size_t kN = hn::MaxLanes(DI());
    static constexpr bool kPermute = kN >= 8 && kN <= 16;
    alignas(64) int32_t w[32];
    VI t0, t1, last;
    explicit Wave17(const int32_t* wave) {
        const DI di;
        for (int i = 0; i < 32; ++i) w[i] = (i < 17 ? wave[i] : 512) - 512;
        t0 = hn::Load(di, w);
        t1 = kN >= 16 ? t0 : hn::Load(di, w + (kN < 16 ? kN : 0));
        last = hn::Set(di, w[16]);
    }
    // Entries at idx (0..16).
    HWY_INLINE VI operator()(VI idx) const {
        const DI di;
        if constexpr (kPermute) {
            const VI lo = hn::And(idx, hn::Set(di, static_cast<int32_t>(kN - 1)));
            VI v = hn::TableLookupLanes(t0, hn::IndicesFromVec(di, lo));
            if constexpr (kN < 16) {
                const VI hi = hn::TableLookupLanes(t1, hn::IndicesFromVec(di, lo));
                v = hn::IfThenElse(hn::Eq(hn::And(idx, hn::Set(di, static_cast<int32_t>(kN))), hn::Zero(di)), v, hi);
            }
            return hn::IfThenElse(hn::Eq(idx, hn::Set(di, 16)), last, v);
        } else {
            return hn::GatherIndex(di, w, idx);
        }
    }
};

// The half waveform of a triangle value x (-16384..16384) from the wave
// table (entry k + 1 holds W[k]): |x| >> 11 picks a pair of entries, forward
// while the phase rises and backward while it falls, interpolated in 1/2048
// and taken against 512, then negated for x < 0 and shifted by 6.
HWY_INLINE VI HalfWave(const Wave17& wave, VI x, hn::Mask<DI> rising) {
    const DI di;
    const VI a = hn::Abs(x);
    const VI i = hn::ShiftRight<11>(a), f = hn::And(a, hn::Set(di, 2047));
    const VI one = hn::Set(di, 1);
    const VI lo = hn::IfThenElse(rising, i, hn::And(hn::Sub(hn::Set(di, 16), i), hn::Set(di, 15)));
    const VI hi = hn::IfThenElse(rising, hn::Add(i, one), hn::Sub(hn::Set(di, 15), i));
    const VI wl = wave(hn::Add(lo, one));
    const VI wh = wave(hn::Add(hi, one));
    const VI z = hn::Add(hn::Mul(hn::Sub(hn::Set(di, 2048), f), wl), hn::Mul(wh, f));
    return hn::ShiftRight<6>(hn::IfThenElse(hn::Lt(x, hn::Zero(di)), hn::Neg(z), z));
}

// The transfer function of a voice value v: entry i of W (i = |v| >> 14) is
// the output at (i + 1) * 16384, 0 at 0 (wave[0] = 512), odd around 0;
// v = 0 counts as negative, as the block has it.
HWY_INLINE VI Transfer(const Wave17& wave, VI v) {
    const DI di;
    const auto neg = hn::Lt(v, hn::Set(di, 1));
    const VI a = hn::IfThenElse(neg, hn::Neg(v), v);
    const VI i = hn::And(hn::ShiftRight<14>(a), hn::Set(di, 15)), f = hn::And(a, hn::Set(di, 16383));
    const VI wl = wave(i);
    const VI wh = wave(hn::Add(i, hn::Set(di, 1)));
    const VI z = hn::Add(hn::Mul(hn::Sub(hn::Set(di, 16384), f), wl), hn::Mul(wh, f));
    return hn::ShiftRight<5>(hn::IfThenElse(neg, hn::Neg(z), z));
}

// The halfwave kind: `oscs` triangles peaking at w, each through the wave
// table unless the run has `transfer`, summed, times the level, >> vshift,
// then through the transfer function if it has.
template <int oscs, bool transfer>
HWY_INLINE void WaveRun(const rov_run& run, int32_t f, int32_t r, rov_sums& sums) {
    const DI di;
    const int32_t N = static_cast<int32_t>(hn::Lanes(di));
    const Mixer mix(run);
    const VI w = hn::Set(di, static_cast<int32_t>(run.w));
    const VI half = hn::Set(di, 16384);
    const Ramp ramp(run.w, 32768u);
    const Wave17 wave(run.wave);
    Phases<oscs> ph(run, f);
    for (int32_t i = 0; i < r; i += N) {
        VI sum = hn::Zero(di);
        for (int j = 0; j < oscs; ++j) {
            const VI p = ph.Next(j, i);
            const VI x = hn::Sub(ramp(p), half);
            sum = hn::Add(sum, transfer ? x : HalfWave(wave, x, hn::Lt(p, w)));
        }
        VI val = mix.Level(sum);
        if (transfer) val = Transfer(wave, val);
        mix(val, sums, f + i, r - i);
    }
}

// Table entries without interpolation, tab[idx] for idx 0..255, gathered
// from the pairs' low halves. Where other work fills the registers and the
// permutation port (the overtone reads) this beats Tab0's permutations.
struct Gather0 {
    const int32_t* pairs;
    explicit Gather0(const rov_tabpairs& tab) : pairs(tab.p) {}
    HWY_INLINE VI operator()(VI idx) const {
        return hn::ShiftRight<16>(hn::ShiftLeft<16>(hn::GatherIndex(DI(), pairs, idx)));
    }
};

// The same on AVX-512 from eight registers of 32 entries by 16-bit lane
// permutations (a lane's index in its low half picks among 64 entries, its
// bits 6 and 7 among the four results); elsewhere gathered.
struct Tab0 {
#if HWY_TARGET == HWY_AVX3 || HWY_TARGET == HWY_AVX3_DL
    __m512i t[8];
    explicit Tab0(const rov_tabpairs& tab) {
        for (int k = 0; k < 8; ++k) t[k] = _mm512_load_si512(tab.w + 32 * k);
    }
    HWY_INLINE VI operator()(VI idx) const {
        const __m512i i = idx.raw;
        const __m512i r0 = _mm512_permutex2var_epi16(t[0], i, t[1]);
        const __m512i r1 = _mm512_permutex2var_epi16(t[2], i, t[3]);
        const __m512i r2 = _mm512_permutex2var_epi16(t[4], i, t[5]);
        const __m512i r3 = _mm512_permutex2var_epi16(t[6], i, t[7]);
        const __mmask16 b6 = _mm512_test_epi32_mask(i, _mm512_set1_epi32(64));
        const __mmask16 b7 = _mm512_test_epi32_mask(i, _mm512_set1_epi32(128));
        const __m512i lo = _mm512_mask_blend_epi32(b6, r0, r1);
        const __m512i hi = _mm512_mask_blend_epi32(b6, r2, r3);
        const VI e{_mm512_mask_blend_epi32(b7, lo, hi)};
        return hn::ShiftRight<16>(hn::ShiftLeft<16>(e));
    }
#else
    Gather0 g;
    explicit Tab0(const rov_tabpairs& tab) : g(tab) {}
    HWY_INLINE VI operator()(VI idx) const { return g(idx); }
#endif
};

// One overtone read: tab[trunc(phi * mul / 2^shift) & 255].
// A factor 2 shared by the multiplier and the divisor cancels (the phase
// is not negative); a multiplier 1 needs no product.
struct OtRead {
    VI mul;
    int shift;
    bool neg, one;
    explicit OtRead(rov_otread r) : shift(r.shift), neg(r.mul < 0) {
        uint32_t m = r.mul < 0 ? 0u - static_cast<uint32_t>(r.mul) : static_cast<uint32_t>(r.mul);
        while (m != 0 && m % 2 == 0 && shift > 0) {
            m /= 2;
            --shift;
        }
        one = m == 1;
        mul = hn::Set(DI(), static_cast<int32_t>(m));
    }
    HWY_INLINE VI operator()(const Gather0& tab, VI phi) const {
        const DI di;
        const DU du;
        const VU p = one ? hn::BitCast(du, phi) : hn::Mul(hn::BitCast(du, phi), hn::BitCast(du, mul));
        VI x = hn::BitCast(di, hn::ShiftRightSame(p, shift));
        if (neg) x = hn::Neg(x);
        return tab(hn::And(x, hn::Set(di, 255)));
    }
};

// The overtones kind: per oscillator reads a and b, summed; then
// (sum a + ((sum b * gain) >> gshift)) >> shift, the level, the phase
// modulation.
template <int oscs, bool drifting, bool two, bool pmod>
HWY_INLINE void OtRun(const rov_run& run, const rov_tabpairs& tab, int32_t f, int32_t r, rov_sums& sums) {
    const int32_t* pairs = tab.p;
    const Gather0 tab0(tab);
    const DI di;
    const int32_t N = static_cast<int32_t>(hn::Lanes(di));
    const Mixer mix(run);
    const VI gain = hn::Set(di, run.otgain);
    const VI pm = hn::Set(di, run.phasemod);
    const OtRead ra(run.ot[0]), rb(run.ot[1]);
    const int gshift = run.otgshift, oshift = run.otshift;
    Phases<oscs, drifting> ph(run, f);
    for (int32_t i = 0; i < r; i += N) {
        VI a = hn::Zero(di), b = hn::Zero(di);
        for (int j = 0; j < oscs; ++j) {
            const VI p = ph.Next(j, i);
            a = hn::Add(a, ra(tab0, p));
            if (two) b = hn::Add(b, rb(tab0, p));
        }
        VI sum = a;
        if (two) sum = hn::Add(sum, hn::ShiftRightSame(hn::Mul(b, gain), gshift));
        sum = hn::ShiftRightSame(sum, oshift);
        VI val = mix.Level(sum);
        if constexpr (pmod) val = PhaseMod(pairs, pm, val);
        mix(val, sums, f + i, r - i);
    }
}

template <int oscs, bool drifting>
HWY_INLINE void OtRunTwo(const rov_run& run, const rov_tabpairs& tab, int32_t f, int32_t r, rov_sums& sums) {
    if (run.phasemod > 0) {  // (the phase modulation is kept out of the other loops)
        if (run.two) OtRun<oscs, drifting, true, true>(run, tab, f, r, sums);
        else OtRun<oscs, drifting, false, true>(run, tab, f, r, sums);
    } else {
        if (run.two) OtRun<oscs, drifting, true, false>(run, tab, f, r, sums);
        else OtRun<oscs, drifting, false, false>(run, tab, f, r, sums);
    }
}

// The fold and sync kinds: oscillator 1 and, with oscs 2, oscillator 3.
// The product with k wraps as uint32; only bits 10..25 of it reach the
// result, so the truncating division by 1024 is a shift after adding 1023
// to a negative product (k < 0, the triangle or phase not below 0).
template <int oscs, bool sync>
HWY_INLINE void FuzzRun(const rov_run& run, int32_t f, int32_t r, rov_sums& sums) {
    const DI di;
    const DU du;
    const int32_t N = static_cast<int32_t>(hn::Lanes(di));
    const VI mask = hn::Set(di, 0xffff);
    const Mixer mix(run);
    const VU k = hn::Set(du, run.k);
    const VU bias = hn::Set(du, run.kneg ? 1023u : 0u);
    const VI half = hn::Set(di, 16384);
    const Ramp ramp(run.w, sync ? 32768u : 32767u);
    const int which[2] = {0, 2};
    Phases<oscs> ph(run, f, which);
    for (int32_t i = 0; i < r; i += N) {
        VI sum = hn::Zero(di);
        for (int j = 0; j < oscs; ++j) {
            const VI p = ph.Next(j, i);
            VI y;
            if (sync) {
                const VU x = hn::Add(hn::Mul(hn::BitCast(du, p), k), bias);
                y = ramp(hn::And(hn::BitCast(di, hn::ShiftRight<10>(x)), mask));
            } else {
                const VU x = hn::Add(hn::Mul(hn::BitCast(du, ramp(p)), k), bias);
                y = hn::And(hn::BitCast(di, hn::ShiftRight<10>(x)), hn::Set(di, 32767));
            }
            sum = hn::Add(sum, hn::Sub(y, half));
        }
        mix(mix.Level(sum), sums, f + i, r - i);
    }
}

template <class Shape>
HWY_INLINE void RunOscs(const rov_run& run, const int32_t* pairs, int32_t f, int32_t r, rov_sums& sums,
                        const Shape& shape) {
    if (run.phasemod > 0) {  // (the phase modulation is kept out of the other loops)
        if (run.drift) Run<1, true, Shape, true>(run, pairs, f, r, sums, shape);
        else if (run.oscs == 1) Run<1, false, Shape, true>(run, pairs, f, r, sums, shape);
        else if (run.oscs == 2) Run<2, false, Shape, true>(run, pairs, f, r, sums, shape);
        else Run<3, false, Shape, true>(run, pairs, f, r, sums, shape);
    } else if (run.drift) {
        Run<1, true>(run, pairs, f, r, sums, shape);  // drifting runs have one oscillator
    } else if (run.oscs == 1) {
        Run<1, false>(run, pairs, f, r, sums, shape);
    } else if (run.oscs == 2) {
        Run<2, false>(run, pairs, f, r, sums, shape);
    } else {
        Run<3, false>(run, pairs, f, r, sums, shape);
    }
}

void VecRun(const rov_run& run, const rov_tabpairs& tab, int32_t f, int32_t r, rov_sums& sums) {
    const DI di;
    switch (run.kind) {
    case rov_kind::ramp32767:
    case rov_kind::ramp32768: {
        const Ramp ramp(run.w, run.kind == rov_kind::ramp32767 ? 32767u : 32768u);
        RunOscs(run, tab.p, f, r, sums, [&](VI phi) { return ramp(phi); });
        break;
    }
    case rov_kind::table:
        RunOscs(run, tab.p, f, r, sums, [&](VI phi) { return hn::ShiftRight<8>(Table(tab.p, phi)); });
        break;
    case rov_kind::table9:
        RunOscs(run, tab.p, f, r, sums, [&](VI phi) { return hn::ShiftRight<9>(Table(tab.p, phi)); });
        break;
    case rov_kind::pulse: {
        const int32_t wi = static_cast<int32_t>(run.w);
        const VI w = hn::Set(di, wi), lo = hn::Set(di, (wi - 65535) / 2), hi = hn::Set(di, wi / 2);
        RunOscs(run, tab.p, f, r, sums, [&](VI phi) { return hn::IfThenElse(hn::Lt(phi, w), lo, hi); });
        break;
    }
    case rov_kind::rpulse: {
        const RampedPulse pulse(run.w, run.ramp, run.div);
        RunOscs(run, tab.p, f, r, sums, [&](VI phi) { return pulse(phi); });
        break;
    }
    case rov_kind::table0: {
        const Tab0 tab0(tab);
        RunOscs(run, tab.p, f, r, sums, [&](VI phi) { return tab0(hn::ShiftRight<8>(phi)); });
        break;
    }
    case rov_kind::rect: {
        const int32_t wi = static_cast<int32_t>(run.w);
        const VI w = hn::Set(di, wi), lo = hn::Set(di, wi - 65535);
        RunOscs(run, tab.p, f, r, sums, [&](VI phi) { return hn::IfThenElse(hn::Lt(phi, w), lo, w); });
        break;
    }
    case rov_kind::overtones:
        if (run.drift) OtRunTwo<1, true>(run, tab, f, r, sums);
        else if (run.oscs == 1) OtRunTwo<1, false>(run, tab, f, r, sums);
        else if (run.oscs == 2) OtRunTwo<2, false>(run, tab, f, r, sums);
        else OtRunTwo<3, false>(run, tab, f, r, sums);
        break;
    case rov_kind::fold:
        run.oscs == 1 ? FuzzRun<1, false>(run, f, r, sums) : FuzzRun<2, false>(run, f, r, sums);
        break;
    case rov_kind::sync:
        run.oscs == 1 ? FuzzRun<1, true>(run, f, r, sums) : FuzzRun<2, true>(run, f, r, sums);
        break;
    case rov_kind::halfwave:
        if (run.oscs == 1)
            run.transfer ? WaveRun<1, true>(run, f, r, sums) : WaveRun<1, false>(run, f, r, sums);
        else
            run.transfer ? WaveRun<2, true>(run, f, r, sums) : WaveRun<2, false>(run, f, r, sums);
        break;
    }
}

void VecRampCycle(uint32_t w, uint32_t top, int32_t* out) {
    const DI di;
    const size_t N = hn::Lanes(di);
    const Ramp ramp(w, top);
    VI phi = Lanes0();
    const VI step = hn::Set(di, static_cast<int32_t>(N));
    for (size_t i = 0; i < 65536; i += N, phi = hn::Add(phi, step)) hn::StoreU(ramp(phi), di, out + i);
}

void VecDivide(const int32_t* x, int32_t n, int32_t div, int32_t* out) {
    const DI di;
    const int32_t N = static_cast<int32_t>(hn::Lanes(di));
    const auto d = hn::Set(DF(), static_cast<float>(div));
    for (int32_t i = 0; i + N <= n; i += N) hn::StoreU(Divide(hn::LoadU(di, x + i), d), di, out + i);
}

const char* Target() { return hwy::TargetName(HWY_TARGET); }

}  // namespace HWY_NAMESPACE
}  // namespace rov_simd
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include <cstdlib>
#include <cstring>

namespace rov_simd {
HWY_EXPORT(VecRun);
HWY_EXPORT(VecRampCycle);
HWY_EXPORT(VecDivide);
HWY_EXPORT(Target);
}  // namespace rov_simd

bool rov_scalar_env() {
    const char* e = std::getenv("TESS_SCALAR");
    return e && std::strcmp(e, "1") == 0;
}
const char* rov_simd_target() { return HWY_DYNAMIC_DISPATCH(rov_simd::Target)(); }

void rov_vec_run(const rov_run& run, const rov_tabpairs& tab, int32_t f, int32_t r, rov_sums& sums) {
    HWY_DYNAMIC_DISPATCH(rov_simd::VecRun)(run, tab, f, r, sums);
}

void rov_vec_ramp_cycle(uint32_t w, uint32_t top, int32_t* out) {
    HWY_DYNAMIC_DISPATCH(rov_simd::VecRampCycle)(w, top, out);
}
#endif  // HWY_ONCE

#if HWY_ONCE
void rov_vec_divide(const int32_t* x, int32_t n, int32_t div, int32_t* out) {
    HWY_DYNAMIC_DISPATCH(rov_simd::VecDivide)(x, n, div, out);
}
#endif
