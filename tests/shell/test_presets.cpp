// The Presets menu: its items, opening a preset (banks, setting, sample,
// set, voices, the editor playing), a damaged preset, "Play Something", the
// user's own settings folder and the save that offers it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "files/setting_file.h"
#include "shell/files.h"
#include "shell/presets.h"
#include "tests/shell/fake_ui.h"
#include "tests/support/scratch.h"

namespace {

using tmpdir = test_scratch;

void setting(const std::string& path, int16_t mark, int16_t row) {
    rov_setting s;
    rov_default_setting(s);
    s.rov_p[0] = mark;
    s.rov_stdalg = row;
    int err = 0;
    ASSERT_TRUE(fi_setting_write(path, s, err));
}

// A mono 16-bit WAV of n samples at 22050 Hz.
void wav(const std::string& path, uint32_t n) {
    std::ofstream f(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
    f << "RIFF";
    u32(36 + 2 * n);
    f << "WAVEfmt ";
    u32(16), u16(1), u16(1), u32(22050), u32(44100), u16(2), u16(16);
    f << "data";
    u32(2 * n);
    for (uint32_t i = 0; i < n; ++i) u16(static_cast<uint16_t>((i * 977) & 0x3fff));
}

struct rig {
    tmpdir lib, home;
    std::unique_ptr<wv_program> pg = std::make_unique<wv_program>();
    std::unique_ptr<sh_state> st = std::make_unique<sh_state>(*pg);
    fake_ui f;
    sh_ui ui;
    sh_presets p;
    std::vector<bool> started;  // st.startplay each time the editor opened
    rig() {
        setenv("XDG_DATA_HOME", home.dir.string().c_str(), 1);
        setting(lib / "quad.rov", 111, 1);
        setting(lib / "b1.rov", 222, 0);
        setting(lib / "b2.rov", 333, 0);
        setting(lib / "smp.rov", 444, 7);
        wav(lib / "bell.wav", 6000);
        std::ofstream(lib / "index.txt") << "quad|Multiple|quad.rov|0|bank=b1.rov bank=b2.rov voices=12 algorithm=21|Four\n"
                                            "bell|Samples|smp.rov|4|sample=bell.wav|Bell\n"
                                            "broken|Samples|smp.rov|0|bank=gone.rov|Missing bank\n";
        sh_init(*st);
        ui = f.ui(*st);
        const auto ed = ui.editor;
        ui.editor = [this, ed](int row) {
            started.push_back(st->startplay);
            ed(row);
        };
        sh_presets_read(p, {lib.dir.string()});
    }
    ~rig() { unsetenv("XDG_DATA_HOME"); }
};

}  // namespace

TEST(PresetsMenu, FamiliesInOrderAndTheUsersOwnSettings) {
    rig r;
    const std::string mine = r.home / "tessellon/settings";
    int err = 0;
    ASSERT_TRUE(fi_make_dirs(mine, err));
    setting(mine + "/zeta.rov", 1, 0);
    setting(mine + "/alpha.rov", 2, 0);
    sh_presets_user_scan(r.p);
    std::string shape;
    for (const sh_menuitem& m : sh_presets_menu(r.p))
        shape += m.kind == sh_mk_popup ? std::string("[") + m.text + " "
                 : m.kind == sh_mk_end ? std::string("] ")
                                       : std::to_string(m.id) + ":" + m.text + " ";
    EXPECT_EQ(shape,
              "[&Presets 0:&Cancel 160:Play &Something [Multiple 2000:Quad ] [Samples 2001:Bell 2002:Broken ] "
              "[&My Settings 3000:alpha.rov 3001:zeta.rov ] ] ");
    EXPECT_TRUE(sh_presets_command(cm_shuffle) && sh_presets_command(3001) && !sh_presets_command(cm_load));

    // A file of the user's folder loads as File > Load does.
    sh_presets_run(*r.st, r.ui, r.p, 3001, 0);
    EXPECT_EQ(r.st->fg.s.rov_p[0], 1);
    EXPECT_EQ(r.st->rovfil, "zeta.rov");
    EXPECT_TRUE(r.f.editors.empty());
}

TEST(PresetsMenu, OpensAPresetWithItsBanksSampleSetAndVoicesPlaying) {
    rig r;
    sh_presets_run(*r.st, r.ui, r.p, cm_preset_first, 0);
    EXPECT_TRUE(r.f.messages.empty());
    EXPECT_EQ(r.st->fg.s.rov_p[0], 111);
    EXPECT_EQ(r.st->bk.rosbk[0].rov_p[0], 333);  // as --bank b1 --bank b2 gives them
    EXPECT_EQ(r.st->bk.rosbk[1].rov_p[0], 222);
    EXPECT_EQ(r.st->rovfil, "quad.rov");
    EXPECT_EQ(r.st->opt.maxv, 12);
    EXPECT_EQ(r.f.editors, std::vector<int>{21});
    EXPECT_EQ(r.started, std::vector<bool>{true});
    EXPECT_FALSE(r.st->startplay);

    sh_presets_run(*r.st, r.ui, r.p, cm_preset_first + 1, 0);
    EXPECT_TRUE(r.st->pg.smploaded);
    EXPECT_EQ(r.st->pg.ws.setnr, 4);
    EXPECT_EQ(r.st->pg.ws.tonr, r.st->fg.s.rov_tonindx[4]);
    EXPECT_EQ(r.f.editors.back(), 7);

    // A preset with a file missing says so and changes nothing.
    const rov_setting before = r.st->fg.s;
    sh_presets_run(*r.st, r.ui, r.p, cm_preset_first + 2, 0);
    ASSERT_EQ(r.f.messages.size(), 1u);
    EXPECT_NE(r.f.messages[0].text.find("gone.rov"), std::string::npos);
    EXPECT_EQ(r.st->fg.s.rov_p[0], before.rov_p[0]);
    EXPECT_EQ(r.st->rovfil, "smp.rov");
    EXPECT_EQ(r.f.editors.size(), 2u);

    // "Play Something" takes the preset the random number picks.
    sh_presets_run(*r.st, r.ui, r.p, cm_shuffle, 3 * 1000 + 0);  // 3000 % 3 = 0
    EXPECT_EQ(r.st->rovfil, "quad.rov");
    EXPECT_EQ(r.f.editors.back(), 21);
}

TEST(PresetsMenu, WithoutALibraryPlaySomethingSaysWhy) {
    rig r;
    sh_presets_read(r.p, {r.lib / "none"});
    sh_presets_run(*r.st, r.ui, r.p, cm_shuffle, 1);
    ASSERT_EQ(r.f.messages.size(), 1u);
    EXPECT_NE(r.f.messages[0].text.find("not installed"), std::string::npos);
    EXPECT_TRUE(r.f.editors.empty());
}

TEST(PresetsMenu, SavingASettingOffersTheUsersFolderUntilAnotherIsChosen) {
    rig r;
    r.st->filterindex = sh_ft_setting;
    r.f.files.push_back(r.home / "tessellon/settings/mine.rov");
    sh_save(*r.st, r.ui);
    ASSERT_EQ(r.f.filereqs.size(), 1u);
    EXPECT_EQ(r.f.filereqs[0].dir, r.home / "tessellon/settings");
    sh_presets_user_scan(r.p);
    EXPECT_EQ(r.p.userfiles, std::vector<std::string>{"mine.rov"});
    // The folder chosen last is offered from then on.
    r.st->settingdir = r.lib.dir.string();
    sh_save(*r.st, r.ui);
    EXPECT_EQ(r.f.filereqs[1].dir, r.lib.dir.string());
}
