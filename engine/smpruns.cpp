// Vector kernel of the sampling runs, compiled once per SIMD target and
// dispatched at run time. Lanes are frames; products wrap as uint32 and
// shifts are arithmetic on int32, as in the scalar form.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "engine/smpruns.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"

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

}  // namespace HWY_NAMESPACE
}  // namespace rov_smpsimd
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace rov_smpsimd {
HWY_EXPORT(SmpRun);
}

void rov_vec_smprun(const rov_smprun& run, const rov_smpframes& x, int32_t f, int32_t r, rov_sums& sums) {
    HWY_DYNAMIC_DISPATCH(rov_smpsimd::SmpRun)(run, x, f, r, sums);
}
#endif
