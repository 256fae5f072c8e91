// "&Record Sample", "&Test Sample", "Re&cord Samples" and what recording
// does to the unsaved-sample question, on the virtual devices.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "audio/virtcap.h"
#include "audio/virtdev.h"
#include "fake_ui.h"
#include "shell/files.h"
#include "shell/menu.h"
#include "shell/smprec.h"

namespace {

class SampleRec : public ::testing::Test {
protected:
    void SetUp() override {
        sh_init(st);
        heard.resize(600000);
        for (std::size_t i = 0; i < heard.size(); ++i) heard[i] = static_cast<int16_t>(i * 7);
    }
    // The ui with the virtual devices; every wait of 20 ms the input hears
    // `per_wait` words and the output plays 20 ms.
    sh_ui ui() {
        sh_ui u = f.ui(st);
        u.capture = &cap;
        u.output = &dev;
        u.wait = [this](int ms) {
            ++waits;
            if (fed < heard.size() && per_wait > 0)
                fed += wv_virtcap_feed(cap, heard.data() + fed, static_cast<uint32_t>(per_wait));
            if (dev.isopen) wv_virt_advance(dev, int64_t{dev.fmt.nSamplesPerSec} * ms / 1000);
            return true;
        };
        u.busy = [this](bool on) { cursor.push_back(on); };
        return u;
    }
    void cmd(int id) { sh_command(st, ui(), id); }

    wv_program pg;

    sh_state st{pg};
    fake_ui f;
    wv_virtcap cap;
    wv_virtdev dev;
    std::vector<int16_t> heard;
    std::size_t fed = 0;
    int per_wait = 2000;
    int waits = 0;
    std::vector<bool> cursor;
};

}  // namespace

TEST_F(SampleRec, RecordFillsTheWholeCapacityAndIsUnsaved) {
    cmd(cm_recsample);
    EXPECT_TRUE(f.messages.empty());
    ASSERT_TRUE(st.pg.smploaded);
    EXPECT_TRUE(st.pg.smprecorded);
    EXPECT_EQ(st.pg.sample.length, 32768 - 72);
    EXPECT_EQ(st.pg.smpbytes, 32696);
    EXPECT_EQ(st.pg.smpszorig, 32768 - 96);
    EXPECT_EQ(sh_sample_words(st).len, 16336);
    EXPECT_EQ(sh_sample_words(st).data[5], heard[5]);
    // Nothing played yet: the output rate is 11025 Hz, and the recording takes it.
    EXPECT_EQ(st.pg.sample.rate, 11025);
    EXPECT_EQ(st.pg.wvtrate, 11025);
    EXPECT_EQ(cap.fmt.nSamplesPerSec, 11025);
    EXPECT_EQ(cursor, (std::vector<bool>{true, false}));
    EXPECT_EQ(st.icontim, sh_icon_period(st));  // the icon timer runs again
    // Exit asks about it (and not the thank-you box).
    const auto q = sh_close_questions(st);
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(q[0].text, "You recorded a sample, but you did\nnot store it. Terminate?");
    // Saving it clears the flag; the file holds the recording.
    const std::string dir = ::testing::TempDir() + "smprec";
    std::filesystem::create_directories(dir);
    sh_save_path(st, f.ui(st), sh_ft_wave, dir + "/rec.wav");
    EXPECT_FALSE(st.pg.smprecorded);
    EXPECT_EQ(std::filesystem::file_size(dir + "/rec.wav"), 44u + 32696u);
    EXPECT_EQ(sh_close_questions(st)[0].text, "Thank you for using the WAVE TESSELLON!\nTerminate now?");
    // Loading it back gives the same words at the same rate.
    wv_program pg2;
    sh_state st2{pg2};
    sh_init(st2);
    sh_load_path(st2, f.ui(st2), sh_ft_wave, dir + "/rec.wav");
    ASSERT_TRUE(st2.pg.smploaded);
    EXPECT_EQ(st2.pg.sample.rate, 11025);
    EXPECT_EQ(st2.pg.sample.length, 32696 - 24);  // a loaded file of R bytes: length R - 24
    EXPECT_EQ(sh_sample_words(st2).data[100], heard[100]);
    // Loading a WAV sample clears the flag too.
    cmd(cm_recsample);
    EXPECT_TRUE(st.pg.smprecorded);
    sh_load_path(st, f.ui(st), sh_ft_wave, dir + "/rec.wav");
    EXPECT_FALSE(st.pg.smprecorded);
    std::filesystem::remove_all(dir);
}

TEST_F(SampleRec, RecordingRateFollowsTheOutputRateOnlyAtTheThreeRates) {
    st.pg.ws.wvFormat.nSamplesPerSec = 44100;
    cmd(cm_recsample);
    EXPECT_EQ(st.pg.sample.rate, 44100);
    // An output rate of 27781 Hz: the recording keeps the previous rate.
    st.pg.ws.wvFormat.nSamplesPerSec = 27781;
    cmd(cm_recsample);
    EXPECT_EQ(cap.fmt.nSamplesPerSec, 44100);
    EXPECT_EQ(st.pg.sample.rate, 44100);
    st.pg.ws.wvFormat.nSamplesPerSec = 22050;
    cmd(cm_recsample);
    EXPECT_EQ(st.pg.sample.rate, 22050);
    EXPECT_EQ(st.pg.wvtrate, 22050);
}

TEST_F(SampleRec, BuffBeatCapacityIsTimesTheBlowUpFactor) {
    st.opt.autotempo = true;
    st.opt.blowopt = 5;  // 4x
    cmd(cm_recsample);
    EXPECT_EQ(st.pg.sample.length, 4 * 32768 - 72);
    EXPECT_EQ(st.pg.smpszorig, 4 * 32768 - 96);
}

TEST_F(SampleRec, AFailedRecordingKeepsTheSampleAndSaysWhy) {
    cmd(cm_recsample);
    const fi_sample before = st.pg.sample;
    st.pg.smprecorded = false;  // as if saved
    cap.fail_open = true;
    cmd(cm_recsample);
    ASSERT_EQ(f.messages.size(), 1u);
    EXPECT_EQ(f.messages[0].caption, "wave recorder checking ...");
    EXPECT_EQ(f.messages[0].text, "wave input device not available");
    cap.fail_open = false;
    cap.fail_prepare = true;
    cmd(cm_recsample);
    ASSERT_EQ(f.messages.size(), 2u);
    EXPECT_EQ(f.messages[1].caption, "wave recorder checking ...");
    EXPECT_EQ(f.messages[1].text, "wave header preparation error");
    cap.fail_prepare = false;
    per_wait = 0;  // a device that delivers nothing
    cmd(cm_recsample);
    ASSERT_EQ(f.messages.size(), 3u);
    EXPECT_EQ(f.messages[2].text, "the wave input device stopped delivering sound;\nno sample was recorded");
    EXPECT_EQ(st.pg.sample.area, before.area);
    EXPECT_EQ(st.pg.sample.length, before.length);
    EXPECT_FALSE(st.pg.smprecorded);
    EXPECT_EQ(cursor.back(), false);
    EXPECT_FALSE(cap.isopen);
}

TEST_F(SampleRec, TestSamplePlaysItOnceAtItsRateOnTheChosenDevice) {
    cmd(cm_testsample);  // no sample: nothing
    EXPECT_TRUE(dev.log.empty());
    cmd(cm_recsample);
    st.opt.wvodevno = 1;
    cmd(cm_testsample);
    ASSERT_EQ(dev.log.size(), 1u);
    EXPECT_EQ(dev.log[0].devno, 1u);
    EXPECT_EQ(dev.log[0].fmt.nSamplesPerSec, 11025);
    EXPECT_EQ(dev.log[0].fmt.nChannels, 1);
    EXPECT_EQ(dev.log[0].fmt.nBitsSamp, 16);
    EXPECT_EQ(dev.log[0].bytes.size(), 32696u);
    EXPECT_EQ(dev.log[0].bytes[10], st.pg.sample.area[34]);
    EXPECT_FALSE(dev.isopen);
    // A device that cannot be opened: nothing played, no message.
    dev.fail_open = true;
    cmd(cm_testsample);
    EXPECT_EQ(dev.log.size(), 1u);
    EXPECT_TRUE(f.messages.empty());
}

TEST_F(SampleRec, RecordSamplesMenuChoosesTheBackgroundOption) {
    const int want[] = {-2, -1, 0, 5, 20, 100};
    const int cm_rec_no = wv_opt_recsamples.menu_id, cm_rec_100 = cm_rec_no + 5;
    for (int id = cm_rec_no; id <= cm_rec_100; ++id) {
        cmd(id);
        EXPECT_EQ(st.opt.recsmpopt, want[id - cm_rec_no]);
        for (int k = cm_rec_no; k <= cm_rec_100; ++k) EXPECT_EQ(sh_menu_state(st, k).grayed, k == id) << id << " " << k;
    }
    // Record Sample is always there; Test Sample only with a sample.
    EXPECT_FALSE(sh_menu_state(st, cm_recsample).grayed);
    EXPECT_TRUE(sh_menu_state(st, cm_testsample).grayed);
    cmd(cm_recsample);
    EXPECT_FALSE(sh_menu_state(st, cm_testsample).grayed);
}

TEST_F(SampleRec, BackgroundRecordingMarksTheSampleUnsaved) {
    wv_samplerec r;
    sh_background_target(st, r);
    EXPECT_EQ(r.lpData, nullptr);  // no sample: nothing to record into
    cmd(cm_recsample);
    st.pg.smprecorded = false;
    st.pg.wvtrate = 22050;
    sh_background_target(st, r);
    ASSERT_EQ(r.lpData, st.pg.sample.area.data() + 24);
    EXPECT_EQ(r.dwBufferLength, 32696u);
    EXPECT_EQ(r.wvtFormat.nSamplesPerSec, 22050);
    // Nothing recorded: nothing changes.
    sh_background_done(st, r);
    EXPECT_FALSE(st.pg.smprecorded);
    EXPECT_EQ(st.pg.sample.rate, 11025);
    // Part of the sample new: unsaved, its rate stays.
    sh_background_target(st, r);
    r.wrote = true;
    sh_background_done(st, r);
    EXPECT_TRUE(st.pg.smprecorded);
    EXPECT_EQ(st.pg.sample.rate, 11025);
    // All of it new: it has the recording's rate.
    sh_background_target(st, r);
    r.wrote = r.completed = true;
    sh_background_done(st, r);
    EXPECT_EQ(st.pg.sample.rate, 22050);
}
