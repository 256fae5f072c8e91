#include "app/window.h"

#include <cstdio>
#include <memory>
#include <string>

#include "app/hint.h"
#include "audio/devswitch.h"
#include "audio/jackdev.h"
#include "audio/sdlcap.h"
#include "audio/sdldev.h"
#include "audio/stream.h"
#include "audio/virtdev.h"
#include "editor/editor_window.h"
#include "intro/fl_intro.h"
#include "shell/files.h"
#include "shell/fl_icons.h"
#include "shell/fl_msg.h"
#include "shell/fl_main.h"
#include "shell/hooks.h"
#include "shell/smprec.h"

namespace {

// The real device, or (when no audio subsystem can start) a device that
// cannot be opened, so that Start ends the cycle silently.
struct program_audio {
    wv_sdldev sdl;
    wv_virtdev none;
    bool have_sdl = false;
    wv_sdlcap cap;              // the input device of sample recording
    bool have_cap = false;
    wv_samplerec srec;          // background recording while the editor plays
    wv_jackdev jack;            // the JACK output, started when it is chosen
    wv_devswitch out;           // SDL's devices, or JACK, as the device number says
    wv_device* dev() {
        out.main = have_sdl ? static_cast<wv_device*>(&sdl) : &none;
        return &out;
    }
};

void open_editor(sh_state& st, program_audio& a, rov_editor_memory& mem, int algomod) {
    wv_program& pg = st.pg;
    wv_stream& ws = pg.ws;
    ws.rec = pg.hd.get();
    ws.mix = pg.mix.get();
    // Without any output device a failed Start says why in the status text.
    wv_caps caps;
    ws.device_hint = a.have_sdl && (a.sdl.caps(wv_mapper, caps) || a.sdl.count() > 0) ? "" : wv_sdl_hint_line(*a.sdl.calls);
    ws.sample = sh_sample_words(st);
    // A sample recorded while the editor plays replaces the words it reads.
    pg.sample_changed = [&ws, &st] { ws.sample = sh_sample_words(st); };
    sh_background_target(st, a.srec);
    a.srec.cap = a.have_cap ? &a.cap : nullptr;
    ws.srec = &a.srec;

    rov_editor_shell sh;
    sh.pg = &pg;
    sh.files[0] = &st.rovfil;
    sh.files[1] = &st.rovfil1;
    sh.files[2] = &st.rovfil2;
    sh.files[3] = &st.rovfil3;
    sh.wavname = st.hdrfil.c_str();
    sh.icon_image = fl_icon_image;
    sh.memory = &mem;
    sh.start = st.startplay;
    rov_editor_run(algomod, sh);
    pg.sample_changed = nullptr;

    sh_background_done(st, a.srec);
    ws.srec = nullptr;
}

// The introduction plays on the same device as the editor; the two never
// run at once (the introduction is modal and ends before the main window
// opens).
void run_intro(wv_program& pg, int flag) {
    const std::string welcome = std::string("Welcome to Wave Tessellon ") + TESS_VERSION;
    fl_intro_run(flag, pg.ws, pg.output, fl_icon_draw, welcome.c_str());
}

}  // namespace

int tess_window_run(const std::string& setting, bool intro, const std::string& preset) {
    program_audio a;
    std::string err;
    a.have_sdl = wv_sdl_init(a.sdl, err);
    if (!a.have_sdl) {
        std::fprintf(stderr, "tessellon: %s; playing is not possible\n", err.c_str());
        cli_print_audio_hint("tessellon", *a.sdl.calls);
    }
    a.none.fail_open = true;
    a.cap.calls = a.sdl.calls;
    a.have_cap = a.have_sdl && wv_sdlcap_init(a.cap, err);

    auto pg = std::make_unique<wv_program>();
    pg->capture = a.have_cap ? &a.cap : nullptr;
    pg->output = a.have_sdl ? static_cast<wv_device*>(&a.sdl) : nullptr;
    pg->probe = [&a](uint32_t devno, wv_caps& caps) {
        return devno == wv_jack_devno ? a.out.caps(devno, caps) : a.have_sdl && a.sdl.caps(devno, caps);
    };
    a.out.jack = &a.jack;
    a.out.jack_up = [&a, &opt = pg->opt] {
        std::string why;
        if (wv_jack_init(a.jack, opt.jack_connect, why)) return true;
        std::fprintf(stderr, "tessellon: %s\n", why.c_str());
        return false;
    };
    // The stream lives across openings of the editor (the buffers still to
    // record carry over); it plays on the program's options.
    pg->ws.dev = a.dev();
    pg->ws.opt = &pg->opt;
    pg->ws.alert = [](const std::string& caption, const std::string& text) {
        fl_msgbox({caption, text, sh_btn_ok, sh_icon_stop});
    };

    sh_parts parts;
    // The editor's backup and clipboards survive its openings.
    auto edmem = std::make_unique<rov_editor_memory>();
    parts.editor = [&a, &mem = *edmem](sh_state& st, int algomod) { open_editor(st, a, mem, algomod); };
    parts.intro = [&pg = *pg](int flag) { run_intro(pg, flag); };
    const int rc = sh_window_main(*pg, parts, setting, intro, preset);

    pg.reset();
    wv_sdlcap_shutdown(a.cap);
    a.have_cap = false;
    wv_jack_shutdown(a.jack);
    if (a.have_sdl) wv_sdl_shutdown(a.sdl);
    a.have_sdl = false;
    return rc;
}
