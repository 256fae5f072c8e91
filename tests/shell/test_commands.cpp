#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "editor/rovscroll.h"
#include "fake_ui.h"
#include "shell/menu.h"
#include "support/fake_files.h"

class Commands : public ::testing::Test {
protected:
    void SetUp() override { sh_init(st); }
    void cmd(int id) { sh_command(st, f.ui(st), id); }
    sh_itemstate ms(int id) { return sh_menu_state(st, id); }
    wv_program pg;
    sh_state st{pg};
    fake_ui f;
};

TEST(MenuTable, EveryPopupStartsWithCancelAndIdsAreUnique) {
    std::set<int> ids;
    int depth = 0;
    const std::vector<sh_menuitem> menus = sh_menus();
    for (int i = 0; i < static_cast<int>(menus.size()); ++i) {
        const sh_menuitem& m = menus[i];
        if (m.kind == sh_mk_popup) {
            ++depth;
            ASSERT_LT(i + 1, static_cast<int>(menus.size()));
            const sh_menuitem& c = menus[i + 1];
            EXPECT_EQ(c.kind, sh_mk_item) << m.text;
            EXPECT_EQ(c.id, 0) << m.text;
            EXPECT_TRUE(!std::strcmp(c.text, "&Cancel") || !std::strcmp(c.text, "C&ancel")) << m.text;
        } else if (m.kind == sh_mk_end) {
            --depth;
            ASSERT_GE(depth, 0);
        } else if (m.id != 0) {
            EXPECT_TRUE(ids.insert(m.id).second) << m.id;
        }
    }
    EXPECT_EQ(depth, 0);
    // Every algorithm row 0..21 is reachable from the menu.
    for (int r = 0; r <= 21; ++r) EXPECT_TRUE(ids.count(rov_rows[r].tab.mitem)) << r;
    EXPECT_STREQ(sh_command_text(22), "&Ostinato ");
    EXPECT_STREQ(sh_command_text(97), "&Mono 8 bit");
    EXPECT_STREQ(sh_command_text(168), "Pi&xel");
}

TEST_F(Commands, DefaultsAndMenuStateOfChoices) {
    EXPECT_EQ(st.opt.bufszorig, 32768);
    EXPECT_EQ(st.opt.sampmaxidle, 6000000);
    EXPECT_EQ(st.fg.g.rov_volshift, 12);
    EXPECT_EQ(st.opt.wvodevno, sh_mapper);
    // The choice in effect is grayed, the others are not.
    EXPECT_TRUE(ms(78).grayed);
    EXPECT_FALSE(ms(76).grayed);
    EXPECT_TRUE(ms(86).grayed);
    EXPECT_FALSE(ms(87).grayed);
    EXPECT_TRUE(ms(50).grayed);
    cmd(76);
    EXPECT_EQ(st.opt.sampmaxidle, 120000);
    EXPECT_TRUE(ms(76).grayed);
    EXPECT_FALSE(ms(78).grayed);
    cmd(79);
    EXPECT_EQ(st.opt.sampmaxidle, 24000000);
    st.opt.wvodevno = 2;
    EXPECT_TRUE(ms(89).grayed);
    EXPECT_FALSE(ms(86).grayed);
    // Rules of later functions apply too (they are grayed anyway until built).
    st.opt.fuzztyp = 0;
    EXPECT_TRUE(ms(151).grayed);
}

TEST_F(Commands, TogglesCarryCheckMarks) {
    const std::pair<int, bool*> toggles[] = {
        {63, &st.opt.autotempo}, {80, &st.opt.tonalias}, {81, &st.opt.emphas},
        {82, &st.opt.emergency}, {83, &st.opt.emrotate}, {84, &st.opt.wvomeasure},
        {64, &st.opt.shwmorph}};
    for (auto [id, field] : toggles) {
        const bool before = *field;
        EXPECT_TRUE(ms(id).toggle) << id;
        EXPECT_EQ(ms(id).checked, before) << id;
        EXPECT_FALSE(ms(id).grayed) << id;
        cmd(id);
        EXPECT_EQ(*field, !before) << id;
        EXPECT_EQ(ms(id).checked, !before) << id;
    }
}

TEST_F(Commands, RecordingRules) {
    fake_recording(st.pg, true);
    EXPECT_TRUE(ms(63).grayed);
    EXPECT_TRUE(ms(82).grayed);
    cmd(63);
    cmd(82);
    EXPECT_FALSE(st.opt.autotempo);
    EXPECT_FALSE(st.opt.emergency);
    st.opt.stereo16 = st.opt.stereoset = true;
    EXPECT_TRUE(ms(97).grayed);
    fake_recording(st.pg, false);
    EXPECT_FALSE(ms(97).grayed);
}

TEST_F(Commands, MonoEightBit) {
    st.opt.stereo16 = st.opt.stereoset = false;
    EXPECT_TRUE(ms(97).checked);
    EXPECT_TRUE(ms(97).grayed);
    cmd(97);
    EXPECT_FALSE(st.opt.stereoset);  // cannot go stereo without the device
    st.opt.stereo16 = st.opt.stereoset = true;
    EXPECT_FALSE(ms(97).checked);
    cmd(97);
    EXPECT_FALSE(st.opt.stereoset);
    EXPECT_TRUE(ms(97).checked);
    cmd(97);
    EXPECT_TRUE(st.opt.stereoset);
}

TEST_F(Commands, SampleItems) {
    for (int id : {9, 10, 11, 20, 25, 125, 141, 142, 143}) EXPECT_TRUE(ms(id).grayed) << id;
    // A row's item is grayed exactly while its description has no routine.
    for (int id : {3, 8, 12, 15, 18, 19, 21, 22, 23, 24})
        EXPECT_EQ(ms(id).grayed, !rov_row_computed(sh_row_of_command(id))) << id;
    EXPECT_FALSE(ms(17).grayed);  // Multiple play needs no routine of its own
    st.pg.smploaded = true;
    for (int id : {9, 10, 11, 20, 25}) EXPECT_EQ(ms(id).grayed, !rov_row_computed(sh_row_of_command(id))) << id;
}

TEST_F(Commands, EveryFunctionIsThere) {
    // Load, Save, the harddisc toggles, sample recording, blow-up, sample
    // conversion and fuzz: none is held back for want of its code (the
    // menu may still gray one for the state, a missing sample say).
    for (int id : {1, 2, 91, 123, 124, 125, 126, 130, 131, 136, 141, 151, 152, 155})
        EXPECT_TRUE(sh_available(id)) << id;
    for (int id : {1, 2, 123, 124}) EXPECT_FALSE(ms(id).grayed) << id;
}

TEST_F(Commands, VisualEffectsInfoPagesCalculatorAndCaps) {
    for (int id = 161; id <= 168; ++id) {
        cmd(id);
        EXPECT_EQ(st.opt.vistyp, id - 161);
        EXPECT_TRUE(ms(id).grayed) << id;
    }
    cmd(0);  // "&Cancel" changes nothing
    EXPECT_EQ(st.opt.vistyp, 7);
    cmd(103);
    cmd(112);
    cmd(127);
    EXPECT_EQ(f.helps, (std::vector<std::string>{"WVTMPHLP", "WVNEWV35", "WVNEWV4", "WVABOUT"}));
    for (int id : {85, 102, 103, 112, 127}) EXPECT_TRUE(sh_available(id)) << id;
}

TEST_F(Commands, FuzzTypeThenItsDegree) {
    EXPECT_TRUE(ms(152).grayed);  // "&None" is in effect
    EXPECT_TRUE(ms(151).grayed);  // "Sa&me" while no fuzz
    f.scrolls = {{pd_pagedown}};   // +25
    cmd(153);
    EXPECT_EQ(st.opt.fuzztyp, 1);
    EXPECT_EQ(st.opt.fuzzlev, 125);
    ASSERT_EQ(f.dialogs.size(), 1u);
    EXPECT_EQ(f.dialogs.back(), "Set fuzz degree");
    EXPECT_TRUE(ms(153).grayed);
    EXPECT_FALSE(ms(152).grayed);
    EXPECT_FALSE(ms(151).grayed);
    // "Sa&me" asks again; Cancel keeps the degree.
    f.scrolls = {{pd_pagedown}};
    f.cancels = {true};
    cmd(151);
    EXPECT_EQ(st.opt.fuzztyp, 1);
    EXPECT_EQ(st.opt.fuzzlev, 125);
    EXPECT_EQ(f.dialogs.size(), 2u);
    cmd(159);
    EXPECT_EQ(st.opt.fuzztyp, 7);
    EXPECT_EQ(f.dialogs.size(), 3u);
    // "&None" asks nothing; "&Cancel" (0) changes nothing.
    cmd(152);
    EXPECT_EQ(st.opt.fuzztyp, 0);
    cmd(151);
    cmd(0);
    EXPECT_EQ(f.dialogs.size(), 3u);
    EXPECT_EQ(st.opt.fuzzlev, 125);
}

TEST_F(Commands, DisplayModes) {
    for (int id = 49; id <= 54; ++id) {
        cmd(id);
        EXPECT_EQ(st.opt.dispmode, id);
        EXPECT_TRUE(ms(id).grayed) << id;  // the mode in effect
        EXPECT_FALSE(ms(id == 49 ? 50 : 49).grayed) << id;
    }
    // "&Buffer" asks for the buffers between program changes.
    const std::size_t before = f.dialogs.size();
    cmd(51);
    ASSERT_EQ(f.dialogs.size(), before + 1);
    EXPECT_EQ(f.dialogs.back(), "Set time between program changes");
}

TEST_F(Commands, AlgorithmItemsOpenTheEditor) {
    cmd(3);
    cmd(15);
    st.fg.s.rov_stdalg = 9;
    cmd(16);
    EXPECT_EQ(f.editors, (std::vector<int>{0, 12, 9}));
    EXPECT_EQ(st.algomod, 9);
    EXPECT_EQ(st.icontim, 5000000 / 11025);
}

TEST_F(Commands, BufferSizeDialog) {
    f.scrolls = {{pd_pagedown}};
    cmd(45);
    ASSERT_EQ(f.dialogs.size(), 1u);
    EXPECT_EQ(f.dialogs[0], "Buffer Size in Kilobyte");
    EXPECT_EQ(st.opt.bufszorig, 48 * 1024);
    EXPECT_EQ(st.opt.bufincr, 512);
    f.scrolls = {{pd_pagedown, pd_pagedown}};
    cmd(45);
    EXPECT_EQ(st.opt.bufszorig, 80 * 1024);
    EXPECT_EQ(st.opt.bufincr, 512);
    f.scrolls = {{pd_lineup, pd_lineup, pd_lineup, pd_lineup, pd_lineup, pd_lineup, pd_lineup,
                  pd_lineup, pd_lineup, pd_lineup, pd_lineup, pd_lineup, pd_lineup, pd_lineup,
                  pd_lineup, pd_lineup}};
    cmd(45);
    EXPECT_EQ(st.opt.bufszorig, 64 * 1024);
    EXPECT_EQ(st.opt.bufincr, 10752);
    f.scrolls = {{pd_pagedown}};
    f.cancels = {true};
    cmd(45);
    EXPECT_EQ(st.opt.bufszorig, 64 * 1024);
}

TEST_F(Commands, ModuloDialogsEditTheSetting) {
    st.fg.s.rov_densmod = 120;
    st.fg.s.rov_dynmod = 100;
    f.scrolls = {{pd_pagedown}, {pd_pageup}};
    cmd(46);
    cmd(47);
    EXPECT_EQ(st.fg.s.rov_densmod, 128);
    EXPECT_EQ(st.fg.s.rov_dynmod, 92);
    EXPECT_EQ(f.dialogs, (std::vector<std::string>{"Density Modulo Value", "Dynamic Modulo Value"}));
}

TEST_F(Commands, VoiceNumbers) {
    f.scrolls = {{pd_pagedown}};
    cmd(48);  // 8 + 4
    EXPECT_EQ(st.opt.maxv, 12);
    EXPECT_EQ(st.fg.g.rov_volshift, 12);
    for (auto [v, shift] : {std::pair{1, 11}, {4, 11}, {5, 12}, {19, 12}, {20, 13}, {63, 13}, {64, 14}}) {
        sh_set_voices(st, v);
        EXPECT_EQ(st.fg.g.rov_volshift, shift) << v;
    }
    // 64 voices raise the Voices scroll bar to 1024.
    EXPECT_EQ(rovscroll_row(slots_panning, 0, st.opt.maxv).physmax, 1024);
    sh_set_voices(st, 2);
    EXPECT_EQ(rovscroll_row(slots_panning, 0, st.opt.maxv).physmax, 256);
}

TEST_F(Commands, GapSize) {
    f.scrolls = {{pd_pageup}};
    cmd(65);
    EXPECT_EQ(f.dialogs[0], "Pauses between buffers");
    EXPECT_EQ(st.opt.playpaus, 1);
    f.scrolls = {{pd_pagedown, pd_linedown}};
    cmd(65);
    EXPECT_EQ(st.opt.playpaus, 6);
}

TEST_F(Commands, ParametersInformation) {
    st.fg.s.rov_densmod = 101;
    st.fg.s.rov_dynmod = 77;
    st.pg.ws.setnr = 3;
    st.pg.ws.tonr = 4;
    st.fg.s.rov_pitmod = 804;
    st.fg.s.rov_tonmod = 1001;
    st.fg.s.rov_panmod = 700;
    f.answers = {sh_ans_cancel};
    cmd(101);
    ASSERT_EQ(f.messages.size(), 1u);
    EXPECT_EQ(f.messages[0].caption, "WAVE-TESSELLON INFO");
    EXPECT_EQ(f.messages[0].text,
              "Buffer Size: 31744  Max. Voices: 8\nDensity Mod: 101  Dynamic Mod: 77\n");
    cmd(101);
    ASSERT_EQ(f.messages.size(), 3u);
    EXPECT_EQ(f.messages[2].caption, "WAVE-TESSELLON SETTING");
    EXPECT_EQ(f.messages[2].text,
              "Current Setting: 3  Current Scale: 4\nPitch Mod: 804  Tonality Mod: 1001\n"
              "Panning Mod: 700\n");
}

namespace {
bool mapper_stereo(uint32_t devno, sh_woc& c) {
    if (devno != sh_mapper) return false;
    c.dwFormats = 0x80;
    return true;
}
bool only_dev0_mono(uint32_t devno, sh_woc& c) {
    if (devno != 0) return false;
    c.dwFormats = 0x1 | 0x4;
    return true;
}
bool none(uint32_t, sh_woc& c) {
    c.dwFormats = 0xFFF;  // a failing driver may leave garbage behind
    return false;
}
}  // namespace

TEST_F(Commands, ProbeAtStartAndIntroQuestion) {
    f.probe_result = mapper_stereo;
    EXPECT_EQ(sh_probe_at_start(st, f.ui(st)), 3);
    EXPECT_TRUE(st.opt.stereo16 && st.opt.stereoset);
    EXPECT_EQ(st.opt.wvodevno, sh_mapper);

    sh_init(st);
    f.probe_result = only_dev0_mono;
    EXPECT_EQ(sh_probe_at_start(st, f.ui(st)), 4);
    EXPECT_EQ(st.opt.wvodevno, 0u);
    EXPECT_FALSE(st.opt.stereo16);

    sh_init(st);
    f.probe_result = none;
    const int flag = sh_probe_at_start(st, f.ui(st));
    EXPECT_EQ(flag, 0);
    EXPECT_FALSE(st.opt.stereo16);
    EXPECT_EQ(sh_intro_question(flag).text, "Start intro ?");
    EXPECT_EQ(sh_intro_question(flag).buttons, sh_btn_yesno);
    EXPECT_EQ(sh_intro_answer(flag, sh_ans_yes), 0);
    EXPECT_EQ(sh_intro_answer(flag, sh_ans_no), -1);
    EXPECT_EQ(sh_intro_question(3).text, "Start intro with sound output ?");
    EXPECT_EQ(sh_intro_question(3).caption, "WAVE-TESSELLON STARTING");
    EXPECT_EQ(sh_intro_answer(3, sh_ans_no), 0);
    EXPECT_EQ(sh_intro_answer(3, sh_ans_cancel), -1);
    EXPECT_EQ(sh_intro_answer(3, sh_ans_yes), 3);
}

TEST_F(Commands, OutputDeviceSelection) {
    f.probe_result = mapper_stereo;
    cmd(86);
    EXPECT_TRUE(st.opt.stereoset);
    EXPECT_TRUE(f.messages.empty());
    // Device 3 does not answer: the message, and no 16-bit stereo taken
    // over from the device chosen before.
    cmd(90);
    EXPECT_EQ(st.opt.wvodevno, 3u);
    ASSERT_EQ(f.messages.size(), 1u);
    EXPECT_EQ(f.messages[0].caption, "wave player checking ..");
    EXPECT_EQ(f.messages[0].text, "wave output device not available");
    EXPECT_FALSE(st.opt.stereo16);
    EXPECT_FALSE(st.opt.stereoset);
    EXPECT_TRUE(ms(90).grayed);
    EXPECT_EQ(f.probes, (std::vector<uint32_t>{sh_mapper, 3}));
}

TEST_F(Commands, CloseQuestions) {
    auto q = sh_close_questions(st);
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(q[0].caption, "WAVE TESSELLON TERMINATING");
    EXPECT_EQ(q[0].buttons, sh_btn_yesno);

    fake_recording(st.pg, true);
    st.pg.smprecorded = true;
    q = sh_close_questions(st);
    ASSERT_EQ(q.size(), 2u);  // never the thank-you box
    EXPECT_EQ(q[0].text,
              "hard disc recording in progress,\nyour recorded file will be closed,\nif you "
              "terminate. Terminate?");
    EXPECT_EQ(q[1].text, "You recorded a sample, but you did\nnot store it. Terminate?");
    EXPECT_EQ(q[0].icon, sh_icon_stop);

    // Each question can refuse; the later ones are then not asked.
    f.answers = {sh_ans_no};
    EXPECT_FALSE(sh_close_request(st, f.ui(st)));
    EXPECT_EQ(f.messages.size(), 1u);
    f.answers = {sh_ans_yes, sh_ans_no};
    EXPECT_FALSE(sh_close_request(st, f.ui(st)));
    f.answers = {sh_ans_yes, sh_ans_yes};
    EXPECT_TRUE(sh_close_request(st, f.ui(st)));
    EXPECT_EQ(f.messages.size(), 5u);
}

TEST_F(Commands, SystemStartKeepsTheTimerStopped) {
    st.fg.s.rov_stdalg = 4;
    sh_sys_start_cmd(st, f.ui(st));
    EXPECT_EQ(f.editors, std::vector<int>{4});
    EXPECT_EQ(st.icontim, 0);
}
