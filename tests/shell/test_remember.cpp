// The choices the window program remembers: the introduction's answer, the
// device and the setup, over the probe at start.
#include <gtest/gtest.h>

#include "fake_ui.h"
#include "shell/fl_msg.h"
#include "shell/info.h"
#include "shell/menu.h"
#include "shell/remember.h"

namespace {

// Devices 0 and 1 answer, the mapper too; 16-bit stereo everywhere.
bool two_devices(uint32_t devno, sh_woc& c) {
    if (devno != sh_mapper && devno > 1) return false;
    c.name = devno == sh_mapper ? "Default" : "Card " + std::to_string(devno);
    c.dwFormats = wv_fmt_all;
    return true;
}

}  // namespace

TEST(Remember, IntroAnswerWithAndWithoutSound) {
    fi_prefs p;
    std::vector<std::string> problems;
    EXPECT_EQ(sh_intro_pref_of(p, problems), sh_intro_ask);
    // With a device (flag 3): Yes plays with sound, No silently, Cancel none.
    const struct {
        int cap;
        sh_answer a;
        int flag;
    } cases[] = {{3, sh_ans_yes, 3}, {3, sh_ans_no, 0}, {3, sh_ans_cancel, -1}, {0, sh_ans_yes, 0}, {0, sh_ans_no, -1}};
    for (const auto& c : cases) {
        sh_remember_intro(p, c.cap, c.a);
        const sh_intro_pref pref = sh_intro_pref_of(p, problems);
        EXPECT_EQ(sh_intro_flag(pref, c.cap), c.flag) << c.cap << " " << c.a;
    }
    // Yes without any device: with sound once there is one.
    sh_remember_intro(p, 0, sh_ans_yes);
    EXPECT_EQ(sh_intro_flag(sh_intro_pref_of(p, problems), 5), 5);
    EXPECT_TRUE(problems.empty());
    p.set("intro", "always");
    EXPECT_EQ(sh_intro_pref_of(p, problems), sh_intro_ask);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("intro=always"), std::string::npos);
}

TEST(Remember, SetupAndDeviceComeBackAndBadValuesKeepDefaults) {
    fi_prefs p;
    std::vector<std::string> problems;
    {
        wv_program pg;
        sh_state st{pg};
        fake_ui f;
        f.probe_result = two_devices;
        const sh_ui ui = f.ui(st);
        sh_probe_at_start(st, ui);
        sh_select_device(st, ui, 1);
        st.opt.maxv = 24;
        st.opt.tonalias = true;
        st.opt.dispmode = wv_disp_time;
        st.opt.latency_ms = 350;
        st.algomod = 7;
        sh_remember_setup(p, st);
    }
    EXPECT_EQ(*p.find("device"), "1");
    EXPECT_EQ(*p.find("setup.voices"), "24");
    {
        // The defaults come back without a word.
        wv_program pg;
        sh_state st{pg};
        fake_ui f;
        fi_prefs d;
        sh_remember_setup(d, st);
        sh_apply_remembered(st, f.ui(st), d, problems);
        EXPECT_TRUE(problems.empty()) << problems[0];
        EXPECT_EQ(d.find("setup.latency"), nullptr);
    }

    auto start = [&](bool (*probe)(uint32_t, sh_woc&), auto check) {
        wv_program pg;
        sh_state st{pg};
        fake_ui f;
        f.probe_result = probe;
        const sh_ui ui = f.ui(st);
        sh_probe_at_start(st, ui);
        problems.clear();
        sh_apply_remembered(st, ui, p, problems);
        check(st);
    };
    start(two_devices, [&](const sh_state& st) {
        EXPECT_TRUE(problems.empty());
        EXPECT_EQ(st.opt.wvodevno, 1u);
        EXPECT_EQ(st.opt.woc.name, "Card 1");
        EXPECT_TRUE(st.opt.stereoset);
        EXPECT_EQ(st.opt.maxv, 24);
        EXPECT_EQ(st.fg.g.rov_volshift, rov_volshift_for(24));
        EXPECT_TRUE(st.opt.tonalias);
        EXPECT_EQ(st.opt.dispmode, wv_disp_time);
        EXPECT_EQ(st.opt.latency_ms, 350);
        EXPECT_EQ(st.algomod, 7);
    });
    // The device gone: the probe's choice stays, with a message; the rest comes back.
    start([](uint32_t d, sh_woc& c) { return d == sh_mapper && two_devices(d, c); }, [&](const sh_state& st) {
        EXPECT_EQ(st.opt.wvodevno, sh_mapper);
        EXPECT_EQ(st.opt.woc.name, "Default");
        EXPECT_EQ(st.opt.maxv, 24);
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems[0], "output device 1 does not answer; playing on mapper instead");
    });
    // Values a hand could write: out of range, no number, a wrapping byte.
    p.set("setup.voices", "300");
    p.set("setup.bufsize", "lots");
    p.set("setup.row", "-1");
    p.set("device", "7");
    start(two_devices, [&](const sh_state& st) {
        const wv_options def;
        EXPECT_EQ(st.opt.maxv, def.maxv);
        EXPECT_EQ(st.opt.bufszorig, def.bufszorig);
        EXPECT_EQ(st.opt.wvodevno, sh_mapper);
        EXPECT_TRUE(st.opt.tonalias);  // the good lines still count
        EXPECT_EQ(problems.size(), 4u);
    });
    // Nothing remembered: the probe's result untouched.
    p.items.clear();
    start(two_devices, [&](const sh_state& st) {
        EXPECT_EQ(st.opt.wvodevno, sh_mapper);
        EXPECT_EQ(st.algomod, sh_winstate{}.algomod);
        EXPECT_TRUE(problems.empty());
    });
}

TEST(DeviceNames, BesideTheNumbersInMenuAndCapsBox) {
    const wv_choice& mapper = wv_opt_device.choices[0];
    const wv_choice& zero = wv_opt_device.choices[1];
    EXPECT_EQ(sh_device_item(zero, "Built-in Audio Analog Stereo"), "&0: Built-in Audio Analog Stereo");
    EXPECT_EQ(sh_device_item(mapper, "R&B Card"), "&WAVE MAPPER: R&&B Card");
    EXPECT_EQ(sh_device_item(zero, ""), "&0");
    sh_woc w;
    w.name = std::string(70, 'x') + "\n";
    const std::string t = sh_caps_texts(w, 2)[0];
    EXPECT_EQ(t, "2: " + std::string(57, 'x') + "...");
    w.name = "HDA Intel PCH";
    EXPECT_EQ(sh_caps_texts(w, sh_mapper)[0], "WAVE MAPPER: HDA Intel PCH");
    // Shown as they are: no FLTK symbol, no stray mnemonic.
    EXPECT_EQ(fl_symbol_free(sh_device_item(zero, "USB@2 R&B")), "&0: USB@@2 R&&B");
    EXPECT_EQ(fl_plain_label("1: a@b & c"), "1: a@@b && c");
}
