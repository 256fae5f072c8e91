// Opens the setting editor window on its own, for the GUI test of the
// editor: the built-in setting, the SDL output device, row and file name
// from the command line. Exit 0 after the editor closed, 77 when there is no
// audio subsystem to play through.
//   editor_window ROW FILENAME
#include <cstdio>
#include <cstdlib>
#include <string>

#include "audio/sdldev.h"
#include "audio/stream.h"
#include "editor/editor_window.h"

int main(int argc, char** argv) {
    const int row = argc > 1 ? std::atoi(argv[1]) : 0;
    static rov_state st;
    rov_state_init(st);
    rov_default_setting(st.s);

    wv_sdldev dev;
    std::string err;
    if (!wv_sdl_init(dev, err)) {
        std::fprintf(stderr, "editor_window: no audio: %s\n", err.c_str());
        return 77;
    }
    static wv_options opt;
    opt.shwmorph = true;
    wv_stream ws;
    ws.dev = &dev;
    ws.opt = &opt;
    wv_probe(ws);

    rov_editor_shell sh;
    sh.ws = &ws;
    sh.fg = &st;
    sh.rovfil = argc > 2 ? argv[2] : "";
    rov_editor_run(row, sh);
    std::printf("editor returned setnr=%d tonr=%d\n", sh.setnr, sh.tonr);
    wv_sdl_shutdown(dev);
    return 0;
}
