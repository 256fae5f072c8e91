// The voice runs: the vector kernels' replacement of the triangle's integer
// division, checked over its whole input domain, and the envelope runs.
#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <vector>

#include "engine/blocks.h"
#include "engine/runs.h"

namespace {

// Every (phase, peak) pair of a cycle: the kernels' quotient q of n = x·top
// by d (x = phi, d = w while rising; x = 65535 - phi, d = 65535 - w, or 1,
// while falling) must be floor(n / d): 0 <= n - q·d < d. Peaks are taken
// with a stride (1: all of them) and always include the last.
void check_ramp(uint32_t top, uint32_t stride) {
    std::vector<int32_t> out(65536);
    uint32_t bad = 0;
    for (uint32_t w = 0;; w = w + stride < 65535 ? w + stride : 65535) {
        rov_vec_ramp_cycle(w, top, out.data());
        const uint32_t den = 65535u - w ? 65535u - w : 1u;
        // Rising phases, then falling ones: one divisor each. With q <= top,
        // n - q·d (mod 2^32) is below d only for the true quotient.
        for (uint32_t phi = 0; phi < w; ++phi) {
            const uint32_t n = phi * top, q = static_cast<uint32_t>(out[phi]);
            bad += (q > top) | (n - q * w >= w);
        }
        for (uint32_t phi = w; phi < 65536; ++phi) {
            const uint32_t n = (65535u - phi) * top, q = static_cast<uint32_t>(out[phi]);
            bad += (q > top) | (n - q * den >= den);
        }
        if (bad) {
            ADD_FAILURE() << rov_simd_target() << ": top " << top << " w " << w;
            return;
        }
        if (w == 65535) break;
    }
}

// Runs f on every SIMD target this processor runs, then restores dispatch.
template <class F>
void on_every_target(F f) {
    for (int64_t t : hwy::SupportedAndGeneratedTargets()) {
        hwy::SetSupportedTargetsForTest(t);
        f();
    }
    hwy::SetSupportedTargetsForTest(0);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr uint32_t every = 61;  // the sanitizer build samples the peaks
#else
constexpr uint32_t every = 1;
#endif

}  // namespace

// Exhaustive on the target dispatch picks; every 7th peak on the others.
TEST(RunKernels, TriangleQuotientIsExactForEveryPhaseAndPeak) {
    check_ramp(32767, every);
    check_ramp(32768, every);
    on_every_target([] {
        check_ramp(32767, 7 * every);
        check_ramp(32768, 7 * every);
    });
}

TEST(RunKernels, TriangleMatchesTheBlockAtItsEdges) {
    std::vector<int32_t> out(65536);
    for (uint32_t w : {0u, 1u, 256u, 32768u, 65280u, 65534u, 65535u}) {
        rov_vec_ramp_cycle(w, 32768u, out.data());
        for (uint32_t phi : {0u, 1u, w ? w - 1 : 0u, w, w + 1 < 65536 ? w + 1 : w, 65534u, 65535u})
            EXPECT_EQ(out[phi], rov_tri32k(phi, w)) << "w " << w << " phi " << phi;
    }
}

TEST(RunKernels, PulseQuotientIsExactForEveryValue) {
    std::vector<int32_t> x, out(2 * 131072);
    for (int32_t i = -131072; i < 131072; ++i) x.push_back(i);
    on_every_target([&] {
        for (int32_t div : {4, 6}) {
            rov_vec_divide(x.data(), static_cast<int32_t>(x.size()), div, out.data());
            int bad = 0;
            for (std::size_t i = 0; i < x.size(); ++i) bad += out[i] != x[i] / div;
            EXPECT_EQ(bad, 0) << rov_simd_target() << " div " << div;
        }
    });
}

TEST(RunKernels, RampedPulseMatchesTheBlock) {
    // Every phase of a cycle for widths around the ramps and the cycle's
    // ends, through a one-oscillator run at level 16 (value = shape) and
    // weight 1 without shift.
    for (uint32_t ramp : {32u, 256u})
        for (int32_t div : {4, 6})
            for (uint32_t w : {1u, 31u, 32u, 33u, 255u, 256u, 16384u, 32768u, 65279u, 65503u, 65535u}) {
                rov_sums sums;
                rov_run run;
                run.kind = rov_kind::rpulse;
                run.w = w;
                run.ramp = ramp;
                run.div = div;
                run.level = 16;
                run.left = 1;
                run.right = 0;
                int bad = 0;
                for (uint32_t p0 = 0; p0 < 65536; p0 += rov_chunk) {
                    sums.clear(rov_chunk);
                    run.phase[0] = p0;
                    run.incr[0] = 1;
                    rov_vec_run(run, rov_tabpairs{}, 0, rov_chunk, sums);
                    for (uint32_t i = 0; i < rov_chunk; ++i)
                        bad += static_cast<int32_t>(sums.left[i]) != rov_rpulse(p0 + i, w, ramp, div);
                }
                EXPECT_EQ(bad, 0) << "ramp " << ramp << " div " << div << " w " << w;
            }
}

TEST(EnvelopeRuns, RunEndsWhereTheFrameByFrameEnvelopeSteps) {
    for (uint16_t period : {1, 2, 5, 128, 65535}) {
        for (uint16_t base : {0, 1, 3, 200, 65535}) {
            rov_tonephase v{};
            v.rov_ephas = 2;
            v.rov_edecr = period;
            v.rov_ebase = base;
            v.rov_ecurr = 100;
            rov_tonephase u = v;
            int32_t frames = 0;
            while (!rov_env_step(u, 128) && frames < 70000) ++frames;
            EXPECT_EQ(rov_env_run(v), frames + 1) << "period " << period << " base " << base;
        }
    }
}
