// The "&File" commands: the dialogs, what each file type loads and saves,
// the setting banks filled by loading, and the harddisc toggles.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "files/setting_file.h"
#include "shell/files.h"
#include "shell/menu.h"
#include "tests/shell/fake_ui.h"
#include "tests/support/scratch.h"

namespace {

using tmpdir = test_scratch;

std::vector<uint8_t> slurp(const std::string& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

void spit(const std::string& p, const std::vector<uint8_t>& b) {
    std::ofstream f(p, std::ios::binary);
    f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

uint32_t le32(const std::vector<uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// A setting file of the default setting whose first parameter is `mark`.
std::string setting_file(const tmpdir& d, const std::string& name, int16_t mark, int16_t stdalg = 0) {
    rov_setting s;
    rov_default_setting(s);
    s.rov_p[0] = mark;
    s.rov_stdalg = stdalg;
    int err = 0;
    EXPECT_TRUE(fi_setting_write(d / name, s, err));
    return d / name;
}

struct rig {
    std::unique_ptr<wv_program> pg = std::make_unique<wv_program>();
    std::unique_ptr<sh_state> st = std::make_unique<sh_state>(*pg);
    fake_ui f;
    sh_ui ui;
    rig() {
        sh_init(*st);
        ui = f.ui(*st);
    }
    void load(int type, const std::string& path) {
        f.files.push_back(path);
        f.filters.push_back(type);
        sh_command(*st, ui, cm_load);
    }
    void save(int type, const std::string& path) {
        f.files.push_back(path);
        f.filters.push_back(type);
        sh_command(*st, ui, cm_save);
    }
    std::string last_message() const {
        return f.messages.empty() ? "" : f.messages.back().caption + "|" + f.messages.back().text;
    }
};

}  // namespace

TEST(FileDialogs, RememberTypeFolderAndPathAndDoNothingOnCancel) {
    rig r;
    tmpdir d;
    EXPECT_EQ(r.st->settingdir, std::getenv("HOME"));
    EXPECT_EQ(r.st->filterindex, 1);
    sh_command(*r.st, r.ui, cm_load);  // cancelled
    ASSERT_EQ(r.f.filereqs.size(), 1u);
    EXPECT_FALSE(r.f.filereqs[0].save);
    EXPECT_TRUE(r.st->rovfil.empty());
    EXPECT_TRUE(r.f.messages.empty());

    r.save(sh_ft_setup, d / "my.ini");
    EXPECT_EQ(r.st->filterindex, sh_ft_setup);
    EXPECT_EQ(r.st->settingdir, d.dir.string());
    EXPECT_EQ(r.st->settingfile, d / "my.ini");
    EXPECT_EQ(r.st->inifil, "my.ini");
    // The next dialog starts where this one ended.
    sh_command(*r.st, r.ui, cm_save);
    EXPECT_TRUE(r.f.filereqs.back().save);
    EXPECT_EQ(r.f.filereqs.back().filter, sh_ft_setup);
    EXPECT_EQ(r.f.filereqs.back().dir, d.dir.string());
    EXPECT_EQ(r.f.filereqs.back().path, d / "my.ini");
}

TEST(SettingFiles, ThreeLoadsFillTheBanksWithNames) {
    rig r;
    tmpdir d;
    const rov_setting initial = r.st->fg.s;
    r.st->pg.ws.setnr = 3;
    r.load(sh_ft_setting, setting_file(d, "A.ROV", 101, 2));
    r.st->pg.ws.setnr = 5;
    r.load(sh_ft_setting, setting_file(d, "B.ROV", 102, 4));
    r.load(sh_ft_setting, setting_file(d, "C.ROV", 103, 30));
    EXPECT_EQ(r.st->fg.s.rov_p[0], 103);
    EXPECT_EQ(r.st->bk.rosbk[0].rov_p[0], 102);
    EXPECT_EQ(r.st->bk.rosbk[1].rov_p[0], 101);
    EXPECT_EQ(r.st->bk.rosbk[2].rov_p[0], initial.rov_p[0]);
    EXPECT_EQ(r.st->rovfil, "C.ROV");
    EXPECT_EQ(r.st->rovfil1, "B.ROV");
    EXPECT_EQ(r.st->rovfil2, "A.ROV");
    EXPECT_EQ(r.st->rovfil3, "");
    EXPECT_EQ(r.st->bk.setnrbk[0], 5);
    EXPECT_EQ(r.st->bk.setnrbk[1], 5);
    EXPECT_EQ(r.st->bk.setnrbk[2], 3);
    // A standard algorithm outside the table plays the empty algorithm; the
    // stored value stays until the next save.
    EXPECT_EQ(r.st->algomod, 22);
    EXPECT_EQ(r.st->fg.s.rov_stdalg, 30);
    EXPECT_TRUE(r.f.messages.empty());
}

TEST(SettingFiles, ShortOrMissingFileChangesNothing) {
    rig r;
    tmpdir d;
    std::vector<uint8_t> b = slurp(setting_file(d, "X.ROV", 77));
    b.resize(671);
    spit(d / "short.ROV", b);
    const rov_setting before = r.st->fg.s;
    r.load(sh_ft_setting, d / "short.ROV");
    EXPECT_EQ(r.f.messages.back().caption, "Read File");
    EXPECT_EQ(0, std::memcmp(&before, &r.st->fg.s, sizeof before));
    EXPECT_TRUE(r.st->rovfil.empty());
    EXPECT_EQ(r.st->bk.rosbk[0].rov_stdalg, 3);  // no push
    r.load(sh_ft_setting, d / "none.ROV");
    EXPECT_EQ(r.last_message(), "Read File|File not opened");
}

TEST(SettingFiles, SaveStoresTheRowInEffectAndLoadsBackIdentically) {
    rig r;
    tmpdir d;
    r.st->algomod = 21;
    r.st->fg.s.rov_p[7] = -1234;
    r.save(sh_ft_setting, d / "S.ROV");
    EXPECT_EQ(r.st->rovfil, "S.ROV");
    const std::vector<uint8_t> b = slurp(d / "S.ROV");
    ASSERT_EQ(b.size(), 672u);
    EXPECT_EQ(b[670] | b[671] << 8, 21);
    r.load(sh_ft_setting, d / "S.ROV");
    r.save(sh_ft_setting, d / "T.ROV");
    EXPECT_EQ(slurp(d / "T.ROV"), b);
    r.save(sh_ft_setting, d / "no/such/folder/S.ROV");
    EXPECT_EQ(r.last_message(), "Write File|File not opened");
}

TEST(SettingFiles, NamesKeepTheirLast63Characters) {
    rig r;
    tmpdir d;
    const std::string longname = std::string(70, 'x') + "END.ROV";
    r.load(sh_ft_setting, setting_file(d, longname, 1));
    EXPECT_EQ(r.st->rovfil.size(), 63u);
    EXPECT_EQ(r.st->rovfil, longname.substr(longname.size() - 63));
}

TEST(SetupFiles, SaveAndLoadRestoreTheOptions) {
    rig r;
    tmpdir d;
    r.st->opt.maxv = 33;
    r.st->opt.playbmix = 250;
    r.st->opt.dispmode = wv_disp_time;
    r.save(sh_ft_setup, d / "opts.ini");
    ASSERT_EQ(slurp(d / "opts.ini").size(), 42u);
    sh_init(*r.st);
    r.load(sh_ft_setup, d / "opts.ini");
    EXPECT_EQ(r.st->opt.maxv, 33);
    EXPECT_EQ(r.st->fg.g.rov_volshift, 13);
    EXPECT_EQ(r.st->opt.playbmix, 250);
    EXPECT_EQ(r.st->opt.dispmode, wv_disp_time);
    EXPECT_EQ(r.st->inifil, "opts.ini");
    // No device answers in this rig: the load says so.
    EXPECT_EQ(r.last_message(), "wave player checking ...|wave player not available");
}

TEST(WaveFiles, SaveWithoutSampleIsRefusedAndLeavesNoFile) {
    rig r;
    tmpdir d;
    r.save(sh_ft_wave, d / "s.wav");
    EXPECT_EQ(r.last_message(), "Write File|no sample in memory");
    EXPECT_NE(access((d / "s.wav").c_str(), F_OK), 0);
}

TEST(WaveFiles, LoadedSampleHasItsCapacityAndSavesBack) {
    rig r;
    tmpdir d;
    // A canonical 16-bit mono file of 1000 words.
    std::vector<uint8_t> b(44 + 2000);
    const uint8_t head[44] = {'R', 'I', 'F', 'F', 0xf4, 0x07, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                              16,  0,   0,   0,   1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xac, 0, 0,
                              2,   0,   16,  0,   'd', 'a', 't', 'a', 0xd0, 0x07, 0, 0};
    std::copy(head, head + 44, b.begin());
    for (int i = 0; i < 1000; ++i) {
        b[44 + 2 * i] = static_cast<uint8_t>(i);
        b[45 + 2 * i] = static_cast<uint8_t>(i >> 8);
    }
    spit(d / "in.wav", b);
    r.load(sh_ft_wave, d / "in.wav");
    ASSERT_TRUE(r.st->pg.smploaded);
    EXPECT_EQ(r.st->pg.smpszorig, 32768 - 96);
    EXPECT_EQ(r.st->wavfil, "in.wav");
    // The routines see the words less the last twelve; saving writes them all.
    const wv_sample w = sh_sample_words(*r.st);
    ASSERT_EQ(w.len, 988);
    EXPECT_EQ(w.data[987], 987);
    r.st->pg.smprecorded = true;
    r.save(sh_ft_wave, d / "out.wav");
    EXPECT_FALSE(r.st->pg.smprecorded);
    EXPECT_EQ(slurp(d / "out.wav"), b);
    // A file that is no sound at all is refused; the sample in memory (maybe
    // an unsaved recording) stays.
    r.st->pg.smprecorded = true;
    spit(d / "junk.wav", std::vector<uint8_t>(100, 0x55));
    r.load(sh_ft_wave, d / "junk.wav");
    EXPECT_EQ(r.last_message(), "open WAV file|unsupported WAV or illegal file format");
    EXPECT_TRUE(r.st->pg.smploaded);
    EXPECT_TRUE(r.st->pg.smprecorded);
    EXPECT_EQ(r.st->wavfil, "out.wav");
    EXPECT_EQ(sh_sample_words(*r.st).len, 988);
}

TEST(HarddiscRecording, StartPlansTheLengthAndTheToggleFinishes) {
    rig r;
    tmpdir d;
    r.st->settingdir = d.dir.string();
    r.st->fg.s.rov_p[rov_par::Rate] = 36;  // 22050 Hz
    r.st->opt.stereoset = true;
    r.st->opt.emergency = r.st->opt.autotempo = true;
    r.f.files.push_back(d / "rec.wav");
    sh_command(*r.st, r.ui, cm_hdrec);
    ASSERT_EQ(r.f.filereqs.size(), 1u);
    EXPECT_TRUE(r.f.filereqs[0].save);
    EXPECT_EQ(r.f.filereqs[0].filter, sh_ft_harddisc);
    EXPECT_EQ(r.f.filereqs[0].path, "HDREC.WAV");
    ASSERT_EQ(r.f.dialogs.size(), 1u);
    EXPECT_EQ(r.f.dialogs[0], "Recording Time in Seconds");
    EXPECT_TRUE(r.st->pg.recording());
    EXPECT_EQ(r.st->hdrfil, "rec.wav");
    EXPECT_FALSE(r.st->opt.emergency);
    EXPECT_FALSE(r.st->opt.autotempo);
    // 15 s at 22050 Hz with 32768-byte buffers: 41 buffers of 7936 frames.
    EXPECT_EQ(r.st->pg.ws.bufrest, 41);
    // The header tells what the file holds: nothing yet.
    std::vector<uint8_t> h = slurp(d / "rec.wav");
    ASSERT_EQ(h.size(), 44u);
    EXPECT_EQ(le32(h, 40), 0u);
    EXPECT_EQ(le32(h, 4), 36u);
    EXPECT_EQ(le32(h, 24), 22050u);

    // A Save of type 4 while recording is refused.
    r.save(sh_ft_harddisc, d / "other.wav");
    EXPECT_EQ(r.last_message(), "Write File|harddisc recording (rec.wav) still in progress");
    // The toggle finishes: the header tells the real (empty) length.
    sh_command(*r.st, r.ui, cm_hdrec);
    EXPECT_FALSE(r.st->pg.recording());
    h = slurp(d / "rec.wav");
    ASSERT_EQ(h.size(), 44u);
    EXPECT_EQ(le32(h, 40), 0u);
    EXPECT_EQ(le32(h, 4), 36u);
    // The next start proposes the last name.
    sh_command(*r.st, r.ui, cm_hdrec);
    EXPECT_EQ(r.f.filereqs.back().path, "rec.wav");
}

// With a blow-up the buffers play at the raised rate: the count of buffers
// and the header's rate follow it, so the time asked is what gets recorded.
// A blow-up that would pass 44100 Hz is left out, and so is the raise.
TEST(HarddiscRecording, BlowUpPlansAtTheRaisedRate) {
    const struct {
        int rateidx, blowopt;
        int bufrest;
        uint32_t rate;
    } cases[] = {{36, 1, 83, 44100}, {24, 4, 83, 44100}, {24, 0, 20, 11025}, {36, 4, 41, 22050}};
    for (const auto& c : cases) {
        rig r;
        tmpdir d;
        r.st->settingdir = d.dir.string();
        r.st->fg.s.rov_p[rov_par::Rate] = static_cast<int16_t>(c.rateidx);
        r.st->opt.stereoset = true;
        r.st->opt.blowopt = c.blowopt;
        r.f.files.push_back(d / "rec.wav");
        sh_command(*r.st, r.ui, cm_hdrec);
        ASSERT_TRUE(r.st->pg.recording()) << c.rateidx;
        // 15 s of 7936-frame buffers.
        EXPECT_EQ(r.st->pg.ws.bufrest, c.bufrest) << c.rateidx << " " << c.blowopt;
        EXPECT_EQ(le32(slurp(d / "rec.wav"), 24), c.rate) << c.rateidx << " " << c.blowopt;
        sh_command(*r.st, r.ui, cm_hdrec);
    }
}

// A mix file that cannot be opened is told as the Load path tells it.
TEST(HarddiscMix, AFileThatCannotBeOpenedIsNotOpened) {
    rig r;
    tmpdir d;
    r.f.files.push_back(d / "missing.wav");
    sh_command(*r.st, r.ui, cm_hdmix);
    EXPECT_EQ(r.last_message(), "Read File|File not opened");
    EXPECT_FALSE(r.st->pg.mixing());
}

TEST(HarddiscMix, RefusesWhatIsNotSixteenBitAndAsksTheLevel) {
    rig r;
    tmpdir d;
    spit(d / "junk.wav", std::vector<uint8_t>(30, 1));
    r.f.files.push_back(d / "junk.wav");
    sh_command(*r.st, r.ui, cm_hdmix);
    EXPECT_EQ(r.f.filereqs.back().path, "HDMIX.WAV");
    EXPECT_EQ(r.f.filereqs.back().filter, sh_ft_harddisc);
    EXPECT_FALSE(r.f.filereqs.back().save);
    EXPECT_EQ(r.last_message(), "open file for playback|not a 16 bit *.WAV file");
    EXPECT_FALSE(r.st->pg.mixing());

    std::vector<uint8_t> b(44 + 400, 0);
    const uint8_t head[44] = {'R', 'I', 'F', 'F', 0xb4, 1, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                              16,  0,   0,   0,   1, 0, 2, 0, 0x22, 0x56, 0, 0, 0x88, 0x58, 1, 0,
                              4,   0,   16,  0,   'd', 'a', 't', 'a', 0x90, 1, 0, 0};
    std::copy(head, head + 44, b.begin());
    spit(d / "mix.wav", b);
    r.f.files.push_back(d / "mix.wav");
    sh_command(*r.st, r.ui, cm_hdmix);
    EXPECT_TRUE(r.st->pg.mixing());
    EXPECT_EQ(r.f.dialogs.back(), "Set playback level of file");
    sh_command(*r.st, r.ui, cm_hdmix);  // closes
    EXPECT_FALSE(r.st->pg.mixing());
    EXPECT_FALSE(r.st->pg.mix->is_open());
}
