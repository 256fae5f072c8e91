// "&Blow Up" and "&Convert Sample": the menu states, the questions and
// what each answer does; a new sample ends the tones of the old one.
#include <gtest/gtest.h>

#include "fake_ui.h"
#include "files/convert.h"
#include "shell/convert.h"
#include "shell/files.h"
#include "shell/menu.h"

class Convert : public ::testing::Test {
  protected:
    void SetUp() override { sh_init(st); }
    void cmd(int id) { sh_command(st, f.ui(st), id); }
    // A sample of `bytes` bytes at `rate` Hz in a buffer of K bytes.
    void sample(int32_t bytes, int32_t rate, int32_t K = 32768) {
        fi_sample s;
        s.area.assign(K, 0);
        s.length = bytes;
        s.rate = rate;
        auto* w = reinterpret_cast<int16_t*>(s.area.data() + 24);
        for (int32_t i = 0; i < bytes / 2; ++i) w[i] = static_cast<int16_t>(i % 100 - 50);
        sh_sample_install(st, std::move(s), K);
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const auto& q : f.messages) t.push_back(q.caption + "|" + q.text);
        return t;
    }
    wv_program pg;
    sh_state st{pg};
    fake_ui f;
};

TEST_F(Convert, BlowUpMethodsAreAChoice) {
    EXPECT_TRUE(sh_menu_state(st, 130).grayed);
    for (int id = 130; id <= 136; ++id) {
        cmd(id);
        EXPECT_EQ(st.opt.blowopt, id - 130);
        EXPECT_TRUE(sh_menu_state(st, id).grayed);
        EXPECT_FALSE(sh_menu_state(st, id == 130 ? 131 : 130).grayed);
    }
    cmd(0);
    EXPECT_EQ(st.opt.blowopt, 6);
}

TEST_F(Convert, NothingWithoutASample) {
    for (int id : {141, 142, 143}) {
        EXPECT_TRUE(sh_menu_state(st, id).grayed);
        cmd(id);
    }
    EXPECT_TRUE(f.messages.empty());
}

TEST_F(Convert, ExpandAsksForTheRateAndTheParameters) {
    sample(5000, 22050);
    st.fg.s.rov_stdalg = 7;  // the crossfade player
    const int16_t pitch = st.fg.s.rov_p[rov_par::Pitch];
    EXPECT_FALSE(sh_menu_state(st, 141).grayed);
    f.answers = {sh_ans_yes, sh_ans_yes};
    cmd(141);
    EXPECT_EQ(texts(), (std::vector<std::string>{"Sample Conversion|Adjust Rate ?", "Sample Conversion|Adjust Parameters"}));
    EXPECT_EQ(st.pg.sample.length, 10000);
    EXPECT_EQ(st.pg.smpbytes, 10000);
    EXPECT_EQ(st.pg.sample.rate, 44100);
    EXPECT_EQ(st.fg.s.rov_p[rov_par::Pitch], static_cast<int16_t>(2 * pitch));
    // Above 22050 Hz the rate is not asked; No keeps the parameters.
    f.messages.clear();
    f.answers = {sh_ans_no};
    cmd(141);
    EXPECT_EQ(texts(), (std::vector<std::string>{"Sample Conversion|Adjust Parameters"}));
    EXPECT_EQ(st.pg.sample.rate, 44100);
    EXPECT_EQ(st.pg.sample.length, 20000);
    EXPECT_EQ(st.fg.s.rov_p[rov_par::Pitch], static_cast<int16_t>(2 * pitch));
    // No room left (20000 bytes would need 40000; the buffer holds 32768): grayed, and nothing happens.
    EXPECT_TRUE(sh_menu_state(st, 141).grayed);
    f.messages.clear();
    cmd(141);
    EXPECT_TRUE(f.messages.empty());
    EXPECT_EQ(st.pg.sample.length, 20000);
}

TEST_F(Convert, CompressAlwaysAsksTheRate) {
    sample(4000, 44100);
    st.fg.s.rov_stdalg = 1;  // not a sampling algorithm: no parameter question
    f.answers = {sh_ans_yes};
    cmd(142);
    EXPECT_EQ(texts(), (std::vector<std::string>{"Sample Conversion|Adjust Rate ?"}));
    EXPECT_EQ(st.pg.sample.length, 2000);
    EXPECT_EQ(st.pg.sample.rate, 22050);
    f.messages.clear();
    f.answers = {sh_ans_no};
    cmd(142);
    EXPECT_EQ(st.pg.sample.rate, 22050);
    EXPECT_EQ(st.pg.sample.length, 1000);
}

TEST_F(Convert, OptimizeAsksNothing) {
    sample(4000, 22050);
    cmd(143);
    EXPECT_TRUE(f.messages.empty());
    EXPECT_EQ(smplopt(reinterpret_cast<int16_t*>(st.pg.sample.area.data() + 24), 2000, 0), 50 * 16384 / (28 + 2));
}

TEST_F(Convert, ANewSampleEndsTheTonesOfTheOld) {
    sample(4000, 22050);
    st.algomod = 7;
    st.fg.t[3].rov_ephas = 2;
    st.fg.t[3].rov_ecurr = 20;
    st.bk.rosbk[1].rov_stdalg = 20;
    st.bk.rotbk[64 + 5].rov_ephas = 1;
    st.bk.rosbk[0].rov_stdalg = 1;  // a tone row: its tones do not read the sample
    st.bk.rotbk[2].rov_ephas = 1;
    int told = 0;
    st.pg.sample_changed = [&told] { ++told; };
    sample(6000, 22050);
    EXPECT_EQ(st.fg.t[3].rov_ephas, 0);
    EXPECT_EQ(st.fg.t[3].rov_ecurr, 0);
    EXPECT_EQ(st.bk.rotbk[64 + 5].rov_ephas, 0);
    EXPECT_EQ(st.bk.rotbk[2].rov_ephas, 1);
    EXPECT_EQ(told, 1);
    // The routines may read the new buffer around the sample.
    const wv_sample w = sh_sample_words(st);
    EXPECT_EQ(w.len, (6000 - 24) / 2);
    EXPECT_EQ(rov_smpview_of(w.data, w.len, w.area).lo, -12);
    EXPECT_EQ(rov_smpview_of(w.data, w.len, w.area).hi, static_cast<int64_t>(st.pg.sample.area.size() / 2 - 12));
    sh_sample_release(st);
    EXPECT_FALSE(st.pg.smploaded);
    EXPECT_EQ(sh_sample_words(st).area.begin, nullptr);
}

TEST_F(Convert, ASampleRewrittenInPlaceKeepsItsTones) {
    sample(4000, 22050);
    st.algomod = 7;
    st.fg.t[0].rov_ephas = 1;
    int told = 0;
    st.pg.sample_changed = [&told] { ++told; };
    const int16_t* words = sh_sample_words(st).data;
    st.pg.sample.length = 3000;
    sh_sample_refreshed(st);
    EXPECT_EQ(st.fg.t[0].rov_ephas, 1);
    EXPECT_EQ(st.pg.smpbytes, 3000);
    EXPECT_EQ(sh_sample_words(st).data, words);
    EXPECT_EQ(told, 1);
}

TEST_F(Convert, AnAdjustedRateOutsideThePlaybackRatesStays) {
    sample(4000, 1);
    st.fg.s.rov_stdalg = 1;
    f.answers = {sh_ans_yes, sh_ans_ok};
    cmd(142);
    EXPECT_EQ(texts(), (std::vector<std::string>{"Sample Conversion|Adjust Rate ?",
                                                 "Sample Conversion|0 Hz is outside the playback rates (2756..50000 Hz): "
                                                 "the rate stays 1 Hz"}));
    EXPECT_EQ(st.pg.sample.rate, 1);
    EXPECT_EQ(st.pg.sample.length, 2000);
}
