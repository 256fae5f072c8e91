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

// `calls` buffers of the row from the started engine, one after the other;
// an echo row reads the buffer before (the echo source), as the cycle gives it.
std::vector<int16_t> run_calls(engine_run& e, int row) {
    const rov_rowdesc& d = rov_row(row);
    const intptr_t len = d.tab.algtyp == rov_arg_notes ? reinterpret_cast<intptr_t>(tonnotes) : 256;
    const bool echo = d.tab.algtyp == rov_arg_echo;
    std::vector<int16_t> out, prev(2 * frames, 0);
    std::vector<int16_t> buf(2 * frames);
    for (int i = 0; i < calls; ++i) {
        rov_rows[row].tab.alg(&e.st->h, buf.data(), frames, e.setnr, e.tonr, echo ? prev.data() : sintab, len);
        out.insert(out.end(), buf.begin(), buf.end());
        prev = buf;
    }
    return out;
}

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
    return run_calls(e, row);
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

namespace {

// Set 0 made dense with a shape: Waveform, Saw, and slots 7 and 8 (fuzz and
// its envelope factor, phase modulation, detune, ...), negative ones as only
// a damaged setting holds them.
std::vector<int16_t> render_shape(int row, int waveform, int saw, int s7, int s8, bool timbre, bool scalar) {
    engine_run e(row, 0);
    e.st->h.scalar = scalar;
    e.tonr = e.st->s.rov_tonindx[0];
    for (int n : {0, 1}) {
        int16_t* p = e.set(n);
        p[rov_par::Voices] = 1024;
        p[5] = 128;
        p[rov_par::Beat] = 0;
        p[rov_par::Waveform] = static_cast<int16_t>(waveform);
        if (s7 >= -1000) p[7] = static_cast<int16_t>(s7);
        if (s8 >= -1000) p[8] = static_cast<int16_t>(s8);
        e.st->s.rov_saw[n] = static_cast<int8_t>(saw);
    }
    e.start(64, timbre, false);
    return run_calls(e, row);
}

}  // namespace

// Every tone row's every shape: each waveform range of the overtone, organ,
// fast-sine and rectangle shapes, triangles, fuzz folded and synced (with a
// negative factor too), phase modulation up to its largest values.
TEST(Agreement, EveryShapeOfEveryToneRowRendersTheSameInScalarAndVectorForm) {
    std::vector<int64_t> targets = {0};
    if (every_target)
        for (int64_t t : hwy::SupportedAndGeneratedTargets()) targets.push_back(t);
    constexpr int keep = -2000;  // the set's own slot value
    const int waveforms[] = {0, 6, 16, 17, 30, 33, 47, 49, 63, 64, 65, 127, 128, 200};
    const int slots[][2] = {{keep, keep}, {64, 64}, {40, -101}, {127, 32767}, {20, 1}};
    int rows = 0, bad = 0;
    for (int row = 0; row < rov_natab; ++row) {
        if (!rov_row_computed(row) || rov_row_sampling(row)) continue;
        ++rows;
        int variant = 0;
        for (int w : waveforms)
            for (int saw : {0, 1})
                for (const auto& s : slots) {
                    const bool timbre = ++variant % 3 == 0;
                    const std::vector<int16_t> ref = render_shape(row, w, saw, s[0], s[1], timbre, true);
                    for (int64_t t : targets) {
                        hwy::SetSupportedTargetsForTest(t);
                        if (render_shape(row, w, saw, s[0], s[1], timbre, false) != ref && ++bad <= 20)
                            ADD_FAILURE() << rov_simd_target() << ": row " << row << " waveform " << w << " saw "
                                          << saw << " slots 7, 8 " << s[0] << ", " << s[1];
                    }
                    hwy::SetSupportedTargetsForTest(0);
                }
    }
    EXPECT_GE(rows, 15);
    EXPECT_EQ(bad, 0);
}
