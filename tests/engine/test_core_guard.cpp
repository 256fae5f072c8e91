// The shared building blocks grew variations for the new routines; the
// reference routine must still produce exactly what it did. Also: the note
// table, and every routine surviving settings that only a damaged file holds.
#include <gtest/gtest.h>

#include <random>

#include "engine/scales.h"
#include "engine_fixture.h"

namespace {

// Three calls of the reference routine, pinned before the blocks changed.
uint32_t ranov_print(int setnr, bool timbre, bool emphasis, int maxv) {
    engine_run e(0, setnr, setnr);
    rov_default_setting(e.st->s);  // keep the sets' own Chg.Dly
    e.start(maxv, timbre, emphasis);
    uint32_t h = 2166136261u;
    for (int n = 0; n < 3; ++n) {
        e.run(7936);
        h = fnv(e.buf, h);
    }
    return h;
}

TEST(Reference, RandomTonesOutputIsUnchanged) {
    EXPECT_EQ(ranov_print(0, false, false, 8), 0x37cc8a37u);
    EXPECT_EQ(ranov_print(3, true, true, 64), 0x2dbb2e78u);
    EXPECT_EQ(ranov_print(6, true, false, 4), 0xd3345c95u);
}

TEST(NoteTable, ValuesAndNames) {
    EXPECT_EQ(tonnotes[45], 440);
    EXPECT_EQ(tonnotes[36], 262);
    EXPECT_EQ(tonnotes[0], 33);
    EXPECT_EQ(tonnotes[60], 1048);
    EXPECT_EQ(tonnotes[61], 9999);
    for (int i = 1; i < tonnotes_n; ++i) EXPECT_LT(tonnotes[i - 1], tonnotes[i]) << i;
    EXPECT_STREQ(tonnames[36], "f1 ");
    EXPECT_STREQ(tonnames[45], "d2 ");
    EXPECT_STREQ(tonnames[7], "C  ");
    EXPECT_STREQ(tonnames[61], "f#3");
    for (int i = 0; i < tonnotes_n; ++i) EXPECT_EQ(tonnames[i][3], '\0') << i;
}

// Every routine of these families on random settings: any parameter, any
// modulus, any remembered scale number. The sanitizer build turns any
// out-of-bounds access or signed overflow into a failure.
TEST(DamagedSettings, NoRoutineFaults) {
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> any16(-32768, 32767), any8(-128, 127);
    const int16_t moduli[] = {0, -1, 1, 2, -32768, 32767, 120, 1753};
    std::vector<int16_t> echo(2 * 1500, 3000);
    for (int row : {1, 2, 3, 4, 5, 9, 10, 11, 12}) {
        for (int trial = 0; trial < 40; ++trial) {
            engine_run e(row, trial % 10, (trial * 7) % 10);
            rov_setting& s = e.st->s;
            for (int16_t& p : s.rov_p) p = static_cast<int16_t>(trial % 4 == 0 ? any16(rng) : any16(rng) % 300);
            for (int8_t& v : s.rov_saw) v = static_cast<int8_t>(any8(rng) & 1);
            for (int8_t& v : s.rov_tonindx) v = static_cast<int8_t>(any8(rng));
            for (int16_t& v : s.rov_tones) v = static_cast<int16_t>(any16(rng));
            s.rov_densmod = moduli[rng() % 8];
            s.rov_dynmod = moduli[rng() % 8];
            s.rov_tonmod = moduli[rng() % 8];
            s.rov_pitmod = moduli[rng() % 8];
            s.rov_panmod = moduli[rng() % 8];
            e.start(1 + static_cast<int>(rng() % 64), rng() & 1, rng() & 1);
            for (int n = 0; n < 4; ++n) e.run(1500, echo.data());
        }
    }
    SUCCEED();
}

}  // namespace
