// The main window's state: its own facts beside the program state.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "audio/device.h"
#include "audio/filesinks.h"
#include "audio/options.h"
#include "audio/program.h"
#include "engine/banks.h"
#include "engine/rows.h"
#include "files/wavload.h"

// Device number of the wave mapper (the system's default output).
constexpr uint32_t sh_mapper = wv_mapper;

// Capabilities of one output device, as the device layer reports them.
using sh_woc = wv_caps;

// Format bits of 16-bit stereo at 11025, 22050 and 44100 Hz.
constexpr uint32_t sh_stereo16_bits = wv_fmt_16stereo;

// The main window's own facts: the row chosen, the file names shown and
// proposed, the icon animation.
struct sh_winstate {
    int algomod = 1;               // atab row played: an algorithm, Multiple play or the empty one

    // --- files: names shown by the editor and proposed by the dialogs ---
    std::string rovfil;            // the active setting's file (at most 63 characters)
    std::string rovfil1, rovfil2, rovfil3;  // the settings in banks 0, 1, 2
    std::string inifil;            // the last setup file
    std::string wavfil;            // the last loaded or saved sample file
    std::string hdrfil;            // the last recording file, also proposed for mixing
    std::string settingfile;       // full path of the file dialogs
    std::string settingdir;        // folder of the last chosen file; the user's home at start
    int filterindex = 1;           // file type of the dialogs: 1 setting, 2 WAV, 3 setup, 4 harddisc
    bool dirchosen = false;        // a dialog has chosen a folder (until then a setting is saved
                                   // in the user's own settings folder, files/presets.h)
    bool startplay = false;        // the editor opened next starts playing at once

    // --- main window ---
    int icontim = 0;               // icon animation period in ms, 0 while stopped
    int iconcnt = 0;               // animation frame
    int infoYpos1 = 0;             // scratch value the parameter dialogs edit
};

// The main window's state: its own facts and the program state it works on
// (options, foreground engine state, banks, sample, recording, mix file,
// streaming cycle). `opt`, `fg` and `bk` name the program's records.
struct sh_state : sh_winstate {
    explicit sh_state(wv_program& p) : pg(p), opt(p.opt), fg(p.fg), bk(p.bk) {}
    sh_state(const sh_state&) = delete;
    sh_state& operator=(const sh_state&) = delete;

    wv_program& pg;
    wv_options& opt;
    rov_state& fg;
    rov_banks& bk;
};

// The main window's facts to their start values, the program state to its
// defaults (wv_program_init).
void sh_init(sh_state& st);

// The sample capacity K in bytes: the buffer size, times the blow-up factor
// when "Buff.Bea&t" is on.
int32_t sh_sample_capacity(const sh_state& st);
