// The "&File" commands of the main window: Load and Save through the file
// dialogs, whose file type decides what is loaded or saved (a setting, a
// WAV sample, the setup, a harddisc mix file or recording), and the two
// harddisc toggles. Every message box goes through sh_ui.
#pragma once

#include <string>

#include "shell/commands.h"

// File types of the dialogs (their filter index).
enum sh_filetype { sh_ft_setting = 1, sh_ft_wave = 2, sh_ft_setup = 3, sh_ft_harddisc = 4 };

// "&Load" and "&Save": the dialog with the current file type, then its action.
void sh_load(sh_state& st, const sh_ui& ui);
void sh_save(sh_state& st, const sh_ui& ui);
// "&Harddisc Rec": finishes an open recording, else proposes one and starts it.
void sh_hdrec_toggle(sh_state& st, const sh_ui& ui);
// "Harddisc &Mix": closes an open mix file, else proposes one and opens it.
void sh_hdmix_toggle(sh_state& st, const sh_ui& ui);

// The action of a file type on a chosen path, as after the dialogs.
void sh_load_path(sh_state& st, const sh_ui& ui, int type, const std::string& path);
void sh_save_path(sh_state& st, const sh_ui& ui, int type, const std::string& path);

// Program exit: the recording gets its real sizes, the mix file is closed.
void sh_close_files(sh_state& st);

// Makes `smp` (read or recorded with capacity K bytes) the sample: the one
// way a new sample comes in.
void sh_sample_install(sh_state& st, fi_sample&& smp, int32_t K);

// The sample as the routines receive it (no words when none is loaded).
wv_sample sh_sample_words(const sh_state& st);

// The one way a new sample (loaded or recorded) comes into the program:
// the old sample's buffer is released, and every tone still playing from it
// ends at once (the foreground and bank states whose algorithm reads the
// sample get their slots freed), so that no voice reads released memory;
// then `smp` becomes the sample with capacity K bytes (smpszorig = K - 96),
// its buffer is registered for the routines' reads around the sample, and
// `sample_changed` tells a playing cycle. The caller sets the file name and
// smprecorded.
void sh_sample_install(sh_state& st, fi_sample&& smp, int32_t K);
// No sample any more (the same tone ending first).
void sh_sample_release(sh_state& st);
// The live sample's own buffer was written into in place (a background
// recording while a sampling algorithm plays): nothing is released, so the
// tones go on, now hearing the new words; the length follows
// st.pg.sample.length and a playing cycle is told.
void sh_sample_refreshed(sh_state& st);
