// The main window works on the program state it is handed: every fact it
// shows is asked of the fact's owner, never kept beside it.
#include <gtest/gtest.h>

#include "audio/virtdev.h"
#include "shell/icon.h"
#include "shell/menu.h"
#include "shell/state.h"
#include "support/fake_files.h"

TEST(ProgramState, InitResetsTheFactsAndKeepsTheDevicesAndWiring) {
    wv_program pg;
    wv_virtdev dev;
    pg.output = &dev;
    pg.ws.dev = &dev;
    pg.ws.opt = &pg.opt;
    pg.opt.maxv = 3;
    pg.ws.setnr = 4;
    pg.ws.bufrest = 9;
    fake_recording(pg, true);
    fake_mixing(pg, true);
    sh_state st{pg};
    sh_init(st);
    EXPECT_EQ(&st.opt, &pg.opt);
    EXPECT_EQ(&st.fg, &pg.fg);
    EXPECT_EQ(pg.opt.maxv, wv_options{}.maxv);
    EXPECT_FALSE(pg.recording());
    EXPECT_FALSE(pg.mixing());
    EXPECT_EQ(pg.ws.setnr, 0);
    EXPECT_EQ(pg.ws.tonr, pg.fg.s.rov_tonindx[0]);
    EXPECT_EQ(pg.ws.bufrest, 0);
    EXPECT_EQ(pg.fg.g.rov_volshift, 12);
    EXPECT_EQ(pg.fg.h.s, &pg.fg.s);
    EXPECT_EQ(pg.output, &dev);
    EXPECT_EQ(pg.ws.dev, &dev);
    EXPECT_EQ(pg.ws.opt, &pg.opt);
}

TEST(ProgramState, TheWindowFollowsARecordingAndMixFileTheCycleEnded) {
    wv_program pg;
    sh_state st{pg};
    sh_init(st);
    st.icontim = 800;  // the icon animates
    fake_recording(pg, true);
    fake_mixing(pg, true);
    pg.ws.rec = pg.hd.get();
    pg.ws.mix = pg.mix.get();
    EXPECT_TRUE(wv_recording(pg.ws));
    const int cm_autotempo = wv_opt("buffbeat")->menu_id;
    EXPECT_TRUE(sh_menu_state(st, cm_autotempo).grayed);
    EXPECT_EQ(sh_icon_frame(st).substr(0, 5), "HDREC");
    // The cycle finishes the recording (its planned count ran out) and runs
    // the mix file out: nothing has to be told.
    pg.ws.rec->finish();
    pg.ws.mix->close();
    EXPECT_FALSE(wv_recording(pg.ws));
    EXPECT_FALSE(pg.recording());
    EXPECT_FALSE(pg.mixing());
    EXPECT_FALSE(sh_menu_state(st, cm_autotempo).grayed);
    EXPECT_NE(sh_icon_frame(st).substr(0, 5), "HDREC");
}
