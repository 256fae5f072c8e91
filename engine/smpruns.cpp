// Vector kernel of the sampling runs, compiled once per SIMD target and
// dispatched at run time. Lanes are frames; products wrap as uint32 and
// shifts are arithmetic on int32, as in the scalar form.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "engine/smpruns.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"

#include <algorithm>

#include "engine/smpruns.h"

HWY_BEFORE_NAMESPACE();
namespace rov_smpsimd {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

void SmpRun(const rov_smprun& run, const rov_smpframes& x, int32_t f, int32_t r, rov_sums& sums) {
    const hn::ScalableTag<int32_t> di;
    const hn::RebindToUnsigned<decltype(di)> du;
    const int32_t N = static_cast<int32_t>(hn::Lanes(di));
    const auto level = hn::Set(di, run.level);
    const auto k256 = hn::Set(di, 256);
    const auto wl = hn::Set(du, run.left), wr = hn::Set(du, run.right);
    for (int32_t i = 0; i < r; i += N) {
        const int32_t at = f + i;
        const auto x0 = hn::LoadU(di, x.x0 + at), x1 = hn::LoadU(di, x.x1 + at), fr = hn::LoadU(di, x.fr + at);
        const auto a = hn::ShiftRight<8>(hn::Add(hn::Mul(hn::Sub(k256, fr), x0), hn::Mul(fr, x1)));
        const auto v = hn::BitCast(du, hn::Mul(level, a));
        const auto m = hn::FirstN(di, static_cast<size_t>(r - i));
        const auto l = hn::ShiftRightSame(hn::BitCast(di, hn::Mul(v, wl)), run.shift);
        const auto rr = hn::ShiftRightSame(hn::BitCast(di, hn::Mul(v, wr)), run.shift);
        hn::StoreU(hn::Add(hn::LoadU(du, sums.left + at), hn::BitCast(du, hn::IfThenElseZero(m, l))), du,
                   sums.left + at);
        hn::StoreU(hn::Add(hn::LoadU(du, sums.right + at), hn::BitCast(du, hn::IfThenElseZero(m, rr))), du,
                   sums.right + at);
    }
}

// The word pairs are read as one 32-bit gather at byte offsets (the low half
// is the first word on a little-endian machine) and split by shifts, which
// sign-extend each word.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the word pairs are read little-endian");

void SmpWalk(const int16_t* w, uint32_t pos, uint32_t incr, int32_t n, bool interp, rov_smpframes& x, int32_t f) {
    const hn::ScalableTag<int32_t> di;
    const hn::RebindToUnsigned<decltype(di)> du;
    const int32_t N = static_cast<int32_t>(hn::Lanes(di));
    const int32_t* base = reinterpret_cast<const int32_t*>(w);
    const auto k0 = hn::Set(du, pos >> 8);
    const auto step = hn::Set(du, incr * static_cast<uint32_t>(N));
    const auto k255 = hn::Set(du, 255u);
    auto p = hn::Add(hn::Set(du, pos), hn::Mul(hn::Iota(du, 0), hn::Set(du, incr)));
    for (int32_t i = 0; i < n; i += N) {
        // Lanes past the stretch read the first pair (their frames are not used).
        const auto m = hn::FirstN(du, static_cast<size_t>(n - i));
        const auto off = hn::IfThenElseZero(m, hn::ShiftLeft<1>(hn::Sub(hn::ShiftRight<8>(p), k0)));
        const auto g = hn::GatherOffset(di, base, hn::BitCast(di, off));
        hn::StoreU(hn::ShiftRight<16>(hn::ShiftLeft<16>(g)), di, x.x0 + f + i);
        if (interp) {
            hn::StoreU(hn::ShiftRight<16>(g), di, x.x1 + f + i);
            hn::StoreU(hn::BitCast(di, hn::And(p, k255)), di, x.fr + f + i);
        } else {
            hn::StoreU(hn::Zero(di), di, x.x1 + f + i);
            hn::StoreU(hn::Zero(di), di, x.fr + f + i);
        }
        p = hn::Add(p, step);
    }
}

void MultiWalk(const rov_multistretch* st, int32_t count, rov_smpframes& x) {
    const hn::ScalableTag<int32_t> di;
    const hn::RebindToUnsigned<decltype(di)> du;
    const int32_t N = static_cast<int32_t>(hn::Lanes(di));
    const auto k256 = hn::Set(di, 256);
    const auto k255 = hn::Set(du, 255u);
    const auto iota = hn::Iota(du, 0);
    // The interpolated words of segment s for frames i.. of a stretch moving
    // on by incr (lanes off m read its first pair).
    auto value = [&](const rov_segwalk& s, uint32_t incr, int32_t i, auto m) {
        const auto sm = hn::Set(du, s.m);
        auto p = hn::Add(hn::Set(du, s.pos + static_cast<uint32_t>(i) * incr), hn::Mul(iota, hn::Set(du, incr)));
        for (int32_t w = 0; w < s.wraps; ++w) p = hn::IfThenElse(hn::Lt(p, sm), p, hn::Sub(p, sm));
        const auto k = hn::Min(hn::ShiftRight<8>(p), hn::Set(du, s.kcap));
        const auto g = hn::GatherOffset(di, reinterpret_cast<const int32_t*>(s.w),
                                        hn::BitCast(di, hn::IfThenElseZero(m, hn::ShiftLeft<1>(k))));
        const auto fr = hn::BitCast(di, hn::And(p, k255));
        const auto w0 = hn::ShiftRight<16>(hn::ShiftLeft<16>(g)), w1 = hn::ShiftRight<16>(g);
        return hn::ShiftRight<8>(hn::Add(hn::Mul(hn::Sub(k256, fr), w0), hn::Mul(fr, w1)));
    };
    for (int32_t t = 0; t < count; ++t) {
        const rov_multistretch& q = st[t];
        for (int32_t i = 0; i < q.n; i += N) {
            const auto m = hn::FirstN(du, static_cast<size_t>(q.n - i));
            auto v = value(q.a, q.incr, i, m);
            if (q.fades)
                v = hn::ShiftRight<5>(hn::Add(hn::Mul(hn::Set(di, q.aux), v),
                                              hn::Mul(hn::Set(di, 32 - q.aux), value(q.b, q.incr, i, m))));
            // Frames after the stretch may hold values already walked.
            hn::BlendedStore(v, hn::RebindMask(di, m), di, x.x0 + q.f + i);
            hn::StoreU(hn::Zero(di), di, x.x1 + q.f + i);
            hn::StoreU(hn::Zero(di), di, x.fr + q.f + i);
        }
    }
}

}  // namespace HWY_NAMESPACE
}  // namespace rov_smpsimd
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace rov_smpsimd {
HWY_EXPORT(SmpRun);
HWY_EXPORT(SmpWalk);
HWY_EXPORT(MultiWalk);
}

void rov_vec_smprun(const rov_smprun& run, const rov_smpframes& x, int32_t f, int32_t r, rov_sums& sums) {
    HWY_DYNAMIC_DISPATCH(rov_smpsimd::SmpRun)(run, x, f, r, sums);
}

void rov_vec_smpwalk(const int16_t* w, uint32_t pos, uint32_t incr, int32_t n, bool interp, rov_smpframes& x,
                     int32_t f) {
    HWY_DYNAMIC_DISPATCH(rov_smpsimd::SmpWalk)(w, pos, incr, n, interp, x, f);
}

void rov_vec_multiwalk(const rov_multistretch* st, int32_t count, rov_smpframes& x) {
    HWY_DYNAMIC_DISPATCH(rov_smpsimd::MultiWalk)(st, count, x);
}
#endif
