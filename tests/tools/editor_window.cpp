// Opens the setting editor window on its own, for the GUI test of the
// editor: the built-in setting, the SDL output device, row and file name
// from the command line. Exit 0 after the editor closed, 77 when there is no
// audio subsystem to play through.
//   editor_window ROW FILENAME
// A load run sets the environment: TESS_VIS (visual effect 0..7), TESS_DISP
// (display mode 49..54), TESS_LOAD=1 (every parameter set at 44100 Hz with
// 64 overlapping voices), TESS_BUFKB (buffer size in KiB); the device's
// underrun count is printed when the editor has closed. TESS_BANK=1 puts
// the built-in setting on row 0 into the first setting bank (named
// "bank.rov") and makes row 0 the active setting's own algorithm, for
// Multiple play (row 21).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "audio/program.h"
#include "audio/sdldev.h"
#include "audio/stream.h"
#include "editor/editor_window.h"
#include "editor/rovscroll.h"

int main(int argc, char** argv) {
    const int row = argc > 1 ? std::atoi(argv[1]) : 0;
    static wv_program pg;
    rov_state_init(pg.fg);
    rov_default_setting(pg.fg.s);
    rov_state& st = pg.fg;

    wv_sdldev dev;
    std::string err;
    if (!wv_sdl_init(dev, err)) {
        std::fprintf(stderr, "editor_window: no audio: %s\n", err.c_str());
        return 77;
    }
    wv_options& opt = pg.opt;
    opt.shwmorph = true;
    auto env = [](const char* n, int def) {
        const char* v = std::getenv(n);
        return v ? std::atoi(v) : def;
    };
    opt.vistyp = env("TESS_VIS", 0);
    opt.dispmode = env("TESS_DISP", opt.dispmode);
    opt.bufszorig = env("TESS_BUFKB", 32) * 1024;
    opt.sampmaxidle = env("TESS_TTP", opt.sampmaxidle);
    if (env("TESS_LOAD", 0)) {
        // "Time to play" long: no emergency (and its gaps) within the run.
        opt.sampmaxidle = wv_ttp_long;
        opt.maxv = 64;
        for (int n = 0; n < rov_nsets; ++n) {
            int16_t* p = &st.s.rov_p[n * rov_nparams];
            p[rov_par::Voices] = 64 * 16;
            p[rov_par::Beat] = 1;
            p[rov_par::Rate] = 48;
        }
    }
    rov_banks& banks = pg.bk;
    rov_banks_init(banks);
    static std::string files[4] = {argc > 2 ? argv[2] : "", "bank.rov", "", ""};
    if (env("TESS_BANK", 0)) {
        st.s.rov_stdalg = 0;
        banks.rosbk[0] = st.s;
        rov_handle h = rov_bank_handle(banks, 0);
        rov_open(&h, false, false, opt.maxv);
        rov_start(&h, 0, 0, st.s.rov_tonindx[0]);
    }
    wv_stream& ws = pg.ws;
    ws.dev = &dev;
    ws.opt = &opt;
    wv_probe(ws);

    rov_editor_shell sh;
    sh.pg = &pg;
    for (int k = 0; k < 4; ++k) sh.files[k] = &files[k];
    rov_editor_run(row, sh);
    std::printf("editor returned setnr=%d tonr=%d\n", ws.setnr, ws.tonr);
    const wv_sdlstats stats = wv_sdl_stats(dev);
    std::printf("device underruns=%llu starved_frames=%llu\n", static_cast<unsigned long long>(stats.underruns),
                static_cast<unsigned long long>(stats.starved));
    wv_sdl_shutdown(dev);
    return 0;
}
