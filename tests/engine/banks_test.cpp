// The setting banks: their start state and the push on loading a setting.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "engine/banks.h"

namespace {

bool same(const rov_setting& a, const rov_setting& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool same(const rov_globphase& a, const rov_globphase& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A setting and global phase that carry a mark of their own.
rov_setting marked_setting(int16_t mark) {
    rov_setting s;
    rov_default_setting(s);
    s.rov_p[0] = mark;
    s.rov_tones[159] = mark;
    s.rov_stdalg = static_cast<int16_t>(mark % 23);
    return s;
}

rov_globphase marked_phase(int16_t mark) {
    rov_globphase g;
    std::memset(&g, 0, sizeof g);
    g.rov_currp[0] = mark;
    g.rov_volshift = mark;
    g.rov_densxi = static_cast<uint16_t>(mark * 3);
    g.rov_stopped = 1;
    return g;
}

}  // namespace

TEST(Banks, StartAsSilentCopiesOfTheBuiltInSetting) {
    auto b = std::make_unique<rov_banks>();
    std::memset(b.get(), 0x5a, sizeof *b);
    rov_banks_init(*b);
    rov_setting d;
    rov_default_setting(d);
    d.rov_stdalg = 3;
    rov_globphase zero;
    std::memset(&zero, 0, sizeof zero);
    for (int k = 0; k < rov_nbanks; ++k) {
        EXPECT_TRUE(same(b->rosbk[k], d)) << k;
        EXPECT_TRUE(same(b->rogbk[k], zero)) << k;
        EXPECT_EQ(b->setnrbk[k], 0);
        EXPECT_EQ(b->tonrbk[k], 0);
    }
    const rov_tonephase* t = b->rotbk;
    for (int i = 0; i < rov_nbanks * rov_nslots; ++i) {
        EXPECT_EQ(t[i].rov_ephas, 0) << i;
        EXPECT_EQ(t[i].rov_wincr, 0) << i;
        EXPECT_EQ(t[i].rov_sphas, 0u) << i;
    }
}

// Loading A, B and C in turn: C is active, B in bank 0, A in bank 1, and the
// setting active before A in bank 2; each with its global phase and numbers.
TEST(Banks, ThreePushesKeepTheChain) {
    auto b = std::make_unique<rov_banks>();
    rov_banks_init(*b);
    // The running voices of the banks, which the push leaves where they are.
    for (int i = 0; i < rov_nbanks * rov_nslots; ++i) {
        b->rotbk[i].rov_wincr = static_cast<uint16_t>(i + 1);
        b->rotbk[i].rov_ephas = static_cast<uint16_t>(i % 3);
    }
    auto slots = std::make_unique<rov_tonephase[]>(rov_nbanks * rov_nslots);
    std::memcpy(slots.get(), b->rotbk, sizeof b->rotbk);

    // Active before A: mark 100; then A (101), B (102) get pushed in turn
    // when B, then C are loaded.
    rov_setting active = marked_setting(100);
    rov_globphase g = marked_phase(100);
    int setnr = 7, tonr = 4;
    for (int16_t loaded : {101, 102, 103}) {
        rov_bank_push(*b, active, g, setnr, tonr);
        active = marked_setting(loaded);
        g = marked_phase(loaded);
        setnr = loaded % 10;
        tonr = (loaded + 5) % 10;
    }
    EXPECT_EQ(active.rov_p[0], 103);  // C
    const int16_t want[rov_nbanks] = {102, 101, 100};
    for (int k = 0; k < rov_nbanks; ++k) {
        EXPECT_TRUE(same(b->rosbk[k], marked_setting(want[k]))) << k;
        EXPECT_TRUE(same(b->rogbk[k], marked_phase(want[k]))) << k;
    }
    EXPECT_EQ(b->setnrbk[0], 2);
    EXPECT_EQ(b->tonrbk[0], 7);
    EXPECT_EQ(b->setnrbk[1], 1);
    EXPECT_EQ(b->tonrbk[1], 6);
    EXPECT_EQ(b->setnrbk[2], 7);
    EXPECT_EQ(b->tonrbk[2], 4);
    EXPECT_EQ(std::memcmp(slots.get(), b->rotbk, sizeof b->rotbk), 0);

    // A fourth push drops what was in bank 2.
    rov_bank_push(*b, active, g, setnr, tonr);
    EXPECT_TRUE(same(b->rosbk[0], marked_setting(103)));
    EXPECT_TRUE(same(b->rosbk[2], marked_setting(101)));
}

// Pushing a bank's own records (as a caller that holds the active setting in
// bank storage might) still moves the values, not the places.
TEST(Banks, PushOfABankRecordCopiesItsValues) {
    auto b = std::make_unique<rov_banks>();
    rov_banks_init(*b);
    b->rosbk[1] = marked_setting(11);
    b->rogbk[1] = marked_phase(11);
    b->rosbk[0] = marked_setting(10);
    rov_bank_push(*b, b->rosbk[1], b->rogbk[1], 1, 2);
    EXPECT_TRUE(same(b->rosbk[0], marked_setting(11)));
    EXPECT_TRUE(same(b->rogbk[0], marked_phase(11)));
    EXPECT_TRUE(same(b->rosbk[1], marked_setting(10)));
    EXPECT_TRUE(same(b->rosbk[2], marked_setting(11)));
}

// Z in Multiple play: each press moves S1 into the active place; four
// presses bring every setting, phase, voice array and number home.
TEST(Banks, RotationMovesEveryTrackOnePlaceAndFourComeBack) {
    auto b = std::make_unique<rov_banks>();
    rov_banks_init(*b);
    auto fg = std::make_unique<rov_state>();
    rov_state_init(*fg);
    // Track k carries mark 100 + k everywhere.
    auto mark_slots = [](rov_tonephase* t, int k) {
        for (int i = 0; i < rov_nslots; ++i) {
            t[i].rov_wphas = static_cast<uint16_t>(1000 * k + i);
            t[i].rov_ephas = static_cast<uint16_t>(1 + (i + k) % 2);
        }
    };
    fg->s = marked_setting(100);
    fg->g = marked_phase(100);
    mark_slots(fg->t, 0);
    int setnr = 5, tonr = 6;
    for (int k = 0; k < rov_nbanks; ++k) {
        b->rosbk[k] = marked_setting(static_cast<int16_t>(101 + k));
        b->rogbk[k] = marked_phase(static_cast<int16_t>(101 + k));
        mark_slots(b->rotbk + k * rov_nslots, k + 1);
        b->setnrbk[k] = k + 1;
        b->tonrbk[k] = k + 7;
    }
    auto track_mark = [&](int place) -> int16_t {
        return place == 0 ? fg->s.rov_p[0] : b->rosbk[place - 1].rov_p[0];
    };
    for (int press = 1; press <= 4; ++press) {
        rov_bank_rotate(*b, fg->h, setnr, tonr);
        for (int place = 0; place < 4; ++place) {
            const int track = (place + press) % 4;  // which original track sits here now
            EXPECT_EQ(track_mark(place), 100 + track) << press << " " << place;
            const rov_globphase& g = place == 0 ? fg->g : b->rogbk[place - 1];
            EXPECT_TRUE(same(g, marked_phase(static_cast<int16_t>(100 + track))));
            const rov_tonephase* t = place == 0 ? fg->t : b->rotbk + (place - 1) * rov_nslots;
            for (int i = 0; i < rov_nslots; ++i) {
                ASSERT_EQ(t[i].rov_wphas, 1000 * track + i);
                ASSERT_EQ(t[i].rov_ephas, 1 + (i + track) % 2);
            }
            const int sn = place == 0 ? setnr : b->setnrbk[place - 1];
            const int tn = place == 0 ? tonr : b->tonrbk[place - 1];
            EXPECT_EQ(sn, track == 0 ? 5 : track);
            EXPECT_EQ(tn, track == 0 ? 6 : track + 6);
        }
    }
    // The handle still names the active records.
    EXPECT_EQ(fg->h.s, &fg->s);
    const rov_handle h = rov_bank_handle(*b, 2);
    EXPECT_EQ(h.s, &b->rosbk[2]);
    EXPECT_EQ(h.g, &b->rogbk[2]);
    EXPECT_EQ(h.t, b->rotbk + 2 * rov_nslots);
}
