// The animated icon's frames.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "shell/commands.h"
#include "shell/icon.h"
#include "support/fake_files.h"

TEST(IconAnimation, TenFramesThenEightWhileRecording) {
    wv_program pg;
    sh_state st{pg};
    st.icontim = 800;
    st.iconcnt = 0;
    std::vector<std::string> seen;
    for (int i = 0; i < 11; ++i) seen.push_back(sh_icon_tick(st));
    EXPECT_EQ(seen[0], "WVTESSEL");
    EXPECT_EQ(seen[1], "WVTESSE1");
    EXPECT_EQ(seen[9], "WVTESSE9");
    EXPECT_EQ(seen[10], "WVTESSEL");  // back to frame 0 after nine

    fake_recording(st.pg, true);
    st.iconcnt = 0;
    seen.clear();
    for (int i = 0; i < 9; ++i) seen.push_back(sh_icon_tick(st));
    EXPECT_EQ(seen[0], "HDREC0");
    EXPECT_EQ(seen[7], "HDREC7");
    EXPECT_EQ(seen[8], "HDREC0");  // eight frames

    // A recording that begins at frame 9 does not show a frame beyond 7.
    fake_recording(st.pg, false);
    st.iconcnt = 9;
    fake_recording(st.pg, true);
    EXPECT_EQ(sh_icon_tick(st), "HDREC1");
    EXPECT_EQ(st.iconcnt, 0);
}

TEST(IconAnimation, StoppedTimerShowsTheStillIcon) {
    wv_program pg;
    sh_state st{pg};
    st.icontim = 0;
    st.iconcnt = 4;
    EXPECT_EQ(sh_icon_frame(st), "WVTESSEL");
}

TEST(IconAnimation, PeriodFollowsTheOutputRate) {
    wv_program pg;
    sh_state st{pg};
    for (auto [rate, ms] : {std::pair{11025, 453}, {22050, 226}, {44100, 113}}) {
        st.pg.ws.wvFormat.nSamplesPerSec = rate;
        EXPECT_EQ(sh_icon_period(st), ms) << rate;
    }
}
