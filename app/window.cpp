#include "app/window.h"

#include <cstdio>
#include <string>

#include "app/hint.h"
#include "audio/sdlcap.h"
#include "audio/sdldev.h"
#include "audio/stream.h"
#include "audio/virtdev.h"
#include "editor/editor_window.h"
#include "intro/fl_intro.h"
#include "shell/files.h"
#include "shell/fl_icons.h"
#include "shell/fl_msg.h"
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
    wv_stream ws;  // lives across openings of the editor (bufrest carries over)
    wv_device* dev() { return have_sdl ? static_cast<wv_device*>(&sdl) : &none; }
};

program_audio& audio() {
    static program_audio a;
    return a;
}

bool probe(uint32_t devno, sh_woc& caps) {
    program_audio& a = audio();
    return a.have_sdl && a.sdl.caps(devno, caps);
}

void open_editor(int algomod) {
    sh_state& st = sh_program_state();
    program_audio& a = audio();
    wv_stream& ws = a.ws;
    ws.dev = a.dev();
    ws.opt = &st.opt;
    ws.rec = st.hd.get();
    ws.mix = st.mix.get();
    ws.recording = st.hd && st.hd->is_open();
    ws.bufrest = st.bufrest;
    // Without any output device a failed Start says why in the status text.
    wv_caps caps;
    ws.device_hint = a.have_sdl && (a.sdl.caps(wv_mapper, caps) || a.sdl.count() > 0) ? "" : wv_sdl_hint_line();
    ws.sample = sh_sample_words(st);
    // A sample recorded while the editor plays replaces the words it reads.
    st.sample_changed = [&ws, &st] { ws.sample = sh_sample_words(st); };
    sh_background_target(st, a.srec);
    a.srec.cap = a.have_cap ? &a.cap : nullptr;
    ws.srec = &a.srec;
    ws.alert = [](const std::string& caption, const std::string& text) {
        fl_msgbox({caption, text, sh_btn_ok, sh_icon_stop});
    };

    rov_editor_shell sh;
    sh.ws = &ws;
    sh.fg = &st.fg;
    sh.setnr = st.setnr;
    sh.mixfile = st.mix && st.mix->is_open();
    sh.recording = ws.recording;
    sh.rovfil = st.rovfil.c_str();
    sh.banks = &st.bk;
    sh.files[0] = &st.rovfil;
    sh.files[1] = &st.rovfil1;
    sh.files[2] = &st.rovfil2;
    sh.files[3] = &st.rovfil3;
    sh.wavname = st.hdrfil.c_str();
    sh.icon_image = fl_icon_image;
    rov_editor_run(algomod, sh);
    st.sample_changed = nullptr;

    sh_background_done(st, a.srec);
    ws.srec = nullptr;
    st.setnr = sh.setnr;
    st.tonr = sh.tonr;
    st.wvrate = ws.wvFormat.nSamplesPerSec;
    // The cycle may have finished the recording or run out the mix file.
    st.bufrest = ws.bufrest;
    st.recording = st.hd && st.hd->is_open();
    st.mixing = st.mix && st.mix->is_open();
}

// The introduction plays on the same device as the editor; the two never
// run at once (the introduction is modal and ends before the main window
// opens).
void run_intro(int flag) {
    program_audio& a = audio();
    const std::string welcome = std::string("Welcome to Wave Tessellon ") + TESS_VERSION;
    fl_intro_run(flag, a.ws, a.have_sdl ? static_cast<wv_device*>(&a.sdl) : nullptr, fl_icon_draw, welcome.c_str());
}

}  // namespace

void tess_window_connect() {
    program_audio& a = audio();
    std::string err;
    a.have_sdl = wv_sdl_init(a.sdl, err);
    if (!a.have_sdl) {
        std::fprintf(stderr, "tessellon: %s; playing is not possible\n", err.c_str());
        cli_print_audio_hint("tessellon");
    }
    a.none.fail_open = true;
    a.have_cap = a.have_sdl && wv_sdlcap_init(a.cap, err);
    sh_capture_dev = a.have_cap ? &a.cap : nullptr;
    sh_output_dev = a.have_sdl ? static_cast<wv_device*>(&a.sdl) : nullptr;
    sh_device_probe = probe;
    sh_editor_hook = open_editor;
    sh_intro_hook = run_intro;
}

void tess_window_disconnect() {
    program_audio& a = audio();
    sh_capture_dev = nullptr;
    sh_output_dev = nullptr;
    wv_sdlcap_shutdown(a.cap);
    a.have_cap = false;
    if (a.have_sdl) wv_sdl_shutdown(a.sdl);
    a.have_sdl = false;
}
