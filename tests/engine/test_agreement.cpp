// The rows without recorded output hashes (test_identity.cpp holds those of
// the rows that existed before the voice runs): their vector kernels, on
// every SIMD target this processor runs, render exactly what the scalar
// form renders. The grid is the identity test's: the ten default sets (and
// a dense variant of each), voice maxima 1, 8, 20 and 64, Timbre Variation
// and Emphasis on and off, 3000-frame calls that end inside a control block.
#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <string>
#include <vector>

#include "engine/blocks.h"
#include "engine/rov.h"
#include "engine/rows.h"
#include "engine/runs.h"
#include "engine/scales.h"
#include "engine_fixture.h"

namespace {

struct recorded_case {
    int row, set, maxv, flags;
    uint32_t hash;
};
const recorded_case recorded[] = {
#include "identity_hashes.inc"
};

bool recorded_row(int row) {
    for (const recorded_case& c : recorded)
        if (c.row == row) return true;
    return false;
}

constexpr int32_t frames = 3000;
constexpr int calls = 4;

// Whole output of four calls (flags: 1 Timbre Variation, 2 Emphasis, 4 dense).
std::vector<int16_t> render(int row, int set, int maxv, int flags, bool scalar) {
    engine_run e(row, set);
    e.st->h.scalar = scalar;
    e.tonr = e.st->s.rov_tonindx[set];
    if (flags & 4)
        for (int n : {set, (set & ~1) + 1}) {
            int16_t* p = e.set(n);
            p[rov_par::Voices] = 1024;
            p[5] = 128;  // Density, or the family's slot 5
            p[rov_par::Beat] = 0;
        }
    e.start(maxv, flags & 1, flags & 2);
    const rov_rowdesc& d = rov_row(row);
    const intptr_t len = d.tab.algtyp == rov_arg_notes ? reinterpret_cast<intptr_t>(tonnotes) : 256;
    std::vector<int16_t> out;
    std::vector<int16_t> buf(2 * frames);
    for (int i = 0; i < calls; ++i) {
        rov_rows[row].tab.alg(&e.st->h, buf.data(), frames, e.setnr, e.tonr, sintab, len);
        out.insert(out.end(), buf.begin(), buf.end());
    }
    return out;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool every_target = false;  // the sanitizer build checks the target dispatch picks
#else
constexpr bool every_target = true;
#endif

}  // namespace

TEST(Agreement, NewRowsRenderTheSameInScalarAndVectorForm) {
    std::vector<int64_t> targets = {0};  // 0: the target dispatch picks
    if (every_target)
        for (int64_t t : hwy::SupportedAndGeneratedTargets()) targets.push_back(t);
    int rows = 0, bad = 0;
    for (int row = 0; row < rov_natab; ++row) {
        if (!rov_row_computed(row) || recorded_row(row) || rov_row_sampling(row)) continue;
        ++rows;
        for (int set = 0; set < rov_nsets; ++set)
            for (int maxv : {1, 8, 20, 64})
                for (int flags = 0; flags < 8; ++flags) {
                    const std::vector<int16_t> ref = render(row, set, maxv, flags, true);
                    for (int64_t t : targets) {
                        hwy::SetSupportedTargetsForTest(t);
                        if (render(row, set, maxv, flags, false) != ref && ++bad <= 20)
                            ADD_FAILURE() << rov_simd_target() << ": row " << row << " set " << set << " maxv "
                                          << maxv << " flags " << flags;
                    }
                    hwy::SetSupportedTargetsForTest(0);
                }
    }
    EXPECT_GE(rows, 6);
    EXPECT_EQ(bad, 0);
}
