// The main window's state: every global option with its default, the
// foreground engine state, and the few facts of other parts (sample,
// recording, device format) the menus and dialogs of the main window look at.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "audio/device.h"
#include "audio/filesinks.h"
#include "audio/options.h"
#include "engine/banks.h"
#include "engine/rows.h"
#include "files/wavload.h"

// Device number of the wave mapper (the system's default output).
constexpr uint32_t sh_mapper = wv_mapper;

// Capabilities of one output device, as the device layer reports them.
using sh_woc = wv_caps;

// Format bits of 16-bit stereo at 11025, 22050 and 44100 Hz.
constexpr uint32_t sh_stereo16_bits = wv_fmt_16stereo;

// Reads the capabilities of device `devno` (sh_mapper or 0..3); false when
// the device does not answer.
using sh_probe_fn = bool (*)(uint32_t devno, sh_woc& caps);

struct sh_state {
    // --- every option (menus and the setup file), the device's capabilities ---
    wv_options opt;
    int32_t smpszorig = 0;         // sample capacity limit, bytes; 0 before a sample exists
    int algomod = 1;               // atab row played: an algorithm, Multiple play or the empty one
    bool smprecorded = false;      // a recorded sample has not been saved

    // --- the foreground engine state: setting ros, global phase rog, voices rot ---
    rov_state fg;
    int setnr = 0;                 // playing parameter set 0..9
    int tonr = 0;                  // playing scale 0..9

    // --- facts owned by the sample, file and streaming parts ---
    bool smploaded = false;        // a sample is in the sample buffer
    int32_t smpbytes = 0;          // length of the sample, bytes
    bool recording = false;        // a harddisc recording file is open
    bool mixing = false;           // a harddisc mix file is open
    int32_t wvrate = 11025;        // output rate, Hz
    int32_t wvtrate = 22050;       // sample recording rate, Hz

    // --- files: names shown by the editor and proposed by the dialogs ---
    std::string rovfil;            // the active setting's file (at most 63 characters)
    std::string rovfil1, rovfil2, rovfil3;  // the settings in banks 0, 1, 2
    std::string inifil;            // the last setup file
    std::string wavfil;            // the last loaded or saved sample file
    std::string hdrfil;            // the last recording file, also proposed for mixing
    std::string settingfile;       // full path of the file dialogs
    std::string settingdir;        // folder of the last chosen file; the user's home at start
    int filterindex = 1;           // file type of the dialogs: 1 setting, 2 WAV, 3 setup, 4 harddisc

    // --- the setting banks, the sample, the open recording and mix file ---
    rov_banks bk;
    fl_sample sample;              // valid while smploaded
    // Called after the sample was replaced (sh_sample_install), so that a
    // playing cycle takes the new words; empty while nothing plays.
    std::function<void()> sample_changed;
    std::unique_ptr<wv_hdrec_sink> hd;       // the harddisc recording (nullptr: none yet)
    std::unique_ptr<wv_mixfile_source> mix;  // the mix file (nullptr: none)
    int bufrest = 0;               // buffers still to record, carried between editor openings

    // --- main window ---
    int icontim = 0;               // icon animation period in ms, 0 while stopped
    int iconcnt = 0;               // animation frame
    int infoYpos1 = 0;             // scratch value the parameter dialogs edit
};

// Every option to its default, the built-in setting into the foreground
// state, the mixer shift for the default voice maximum (12).
void sh_init(sh_state& st);

// The sample capacity K in bytes: the buffer size, times the blow-up factor
// when "Buff.Bea&t" is on.
int32_t sh_sample_capacity(const sh_state& st);
