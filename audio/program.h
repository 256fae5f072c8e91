// The program state: what the window program's parts share, each fact held
// once. The program entry owns it and hands it to the main window, the
// setting editor and the introduction; they ask it and never keep copies.
// The command line's play and render build one each, for the run of the
// command, and wire its stream to their own device and loop.
//
// What the owner of a fact answers: "a harddisc recording is open" is the
// recording's own is_open(), "a mix file is open" the mix file's; the set,
// scale and row being played, the buffers still to record and the output
// rate of the last play are the streaming cycle's.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "audio/capture.h"
#include "audio/chain.h"
#include "audio/device.h"
#include "audio/options.h"
#include "audio/stream.h"
#include "engine/banks.h"
#include "engine/rov.h"
#include "files/wavload.h"

struct wv_program {
    wv_program() = default;
    wv_program(const wv_program&) = delete;  // the engine states point into themselves
    wv_program& operator=(const wv_program&) = delete;

    // Every option (menus, setup file, command line).
    wv_options opt;

    // The foreground engine state (setting ros, global phase rog, voices rot)
    // and the setting banks (Multiple play's tracks 1..3).
    rov_state fg;
    rov_banks bk;

    // The sample.
    fi_sample sample;              // valid while smploaded
    bool smploaded = false;        // a sample is in the sample buffer
    int32_t smpbytes = 0;          // length of the sample, bytes
    int32_t smpszorig = 0;         // sample capacity limit, bytes; 0 before a sample exists
    bool smprecorded = false;      // a recorded sample has not been saved
    int32_t wvtrate = 22050;       // sample recording rate, Hz
    // Called after the sample was replaced, so that a playing cycle takes
    // the new words; empty while nothing plays.
    std::function<void()> sample_changed;

    // The harddisc recording and the mix file (nullptr: none yet). They live
    // across openings of the editor.
    std::unique_ptr<wv_recsink> hd;
    std::unique_ptr<wv_mixsource> mix;

    // The streaming cycle: the playing row, set and scale, the buffers still
    // to record (carried between openings of the editor), the last format.
    wv_stream ws;

    // The sound devices (nullptr: none) and the output device layer's
    // capability probe (empty: no device layer).
    wv_device* output = nullptr;
    wv_capture* capture = nullptr;
    std::function<bool(uint32_t devno, wv_caps& caps)> probe;

    // MIDI out while opt.midi is on (wv_program_midi): the cycle's record
    // and the ALSA sequencer port (nullptr: none). `output_midi`, or the JACK
    // output chosen: the output device carries the MIDI itself, no port is opened.
    std::unique_ptr<wv_midiout> midi;
    std::unique_ptr<wv_midiport> midiport;
    bool output_midi = false;

    bool recording() const { return hd && hd->is_open(); }
    bool mixing() const { return mix && mix->is_open(); }
    // The output rate of the last play (11025 Hz before any).
    int32_t rate() const { return ws.wvFormat.nSamplesPerSec; }
};

// Every option to its default, the built-in setting into the foreground
// state with the mixer shift of the default voice maximum (12), its first
// scale playing, empty banks, no sample, no recording, no mix file. The
// devices and the stream's wiring stay.
void wv_program_init(wv_program& p);

// Puts opt.midi into effect: on, the cycle gets its MIDI record (made once)
// and, unless the output device carries MIDI, the ALSA sequencer port; off,
// the held notes end and the cycle sends no MIDI. False with `msg` when MIDI
// is on but has nowhere to go (the sound plays on without it).
bool wv_program_midi(wv_program& p, std::string& msg);

// Wires the program's stream to its output device, notification sink and
// gap timer, with the program's options, engine handle and banks.
void wv_program_wire(wv_program& p, wv_device& dev, wv_notify& sink, wv_timer& timer);
