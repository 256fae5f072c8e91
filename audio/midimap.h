// Tone events as MIDI. Each tone becomes a note on its own channel, so that
// the pitch bend that tunes it to the tone's exact frequency touches no
// other note (MPE's lower zone: channel 1 is the manager, 2..16 the members):
//
// - pitch: the nearest note, and a pitch bend over a range of
//   wv_midi_bendrange semitones announced on every member channel (RPN 0)
//   after the MPE configuration message (RPN 6 on channel 1);
// - velocity: from the tone's weights (an accent 127, a normal tone 90,
//   a soft one 64; the sampling rows' quieter weights lower);
// - pan: CC 10 from the balance of its weights;
// - note off when the tone ends or its slot is taken by a new tone;
// - the playing set and scale: program change on channel 1, set n as
//   program n, scale n as program 10 + n.
//
// A tone of a sampling row plays its loop at a speed, not a pitch of its
// own: its note is middle C (60) at the sample's own speed, an octave up at
// twice it, so that a sampler playing the same sample from middle C follows.
// Tones below note 0 or above note 127 send nothing.
//
// Channels are taken in turn, skipping those still holding a note; when all
// fifteen hold one, a channel whose bend already equals the new one is
// shared, else the channel with the oldest note gives it up (note off).
#pragma once

#include <cstdint>

#include "audio/midimsg.h"
#include "engine/toneev.h"

constexpr int wv_midi_bendrange = 2;      // semitones either way
constexpr double wv_midi_c4 = 261.6255653005986;  // Hz of note 60

struct wv_midimap {
    struct voice {
        bool on = false;
        uint8_t ch = 0;    // 1..15 (channels 2..16)
        uint8_t note = 0;
    };
    struct channel {
        int users = 0;      // notes it holds
        int bend = 8192;    // its pitch bend
        uint64_t since = 0; // when its oldest held note started
    };
    voice v[rov_ntracks][rov_nslots];
    channel ch[16];
    int next = 1;           // member channel to try first
    uint64_t clock = 0;
};

// Frequency of a tone: an oscillator's increment at `rate`, or a sample
// step as a speed from middle C.
double wv_midi_hz(const rov_toneev& e, int32_t rate);

// The nearest note and the bend (0..16383, 8192 none) for a frequency; the
// note is -1 outside 0..127.
struct wv_midipitch {
    int note = -1;
    int bend = 8192;
};
wv_midipitch wv_midi_pitch(double hz);
// The frequency a note and bend give.
double wv_midi_pitch_hz(const wv_midipitch& p);

uint8_t wv_midi_velocity(const rov_toneev& e);
uint8_t wv_midi_pan(const rov_toneev& e);

// Messages are written to `out` (room for `cap`); each call returns the
// number written and stops short rather than overrun.

// The MPE configuration and the bend range of every member channel.
uint32_t wv_midi_announce(uint32_t frame, wv_midimsg* out, uint32_t cap);
// A program change on channel 1.
uint32_t wv_midi_program(int program, uint32_t frame, wv_midimsg* out, uint32_t cap);
// The events of one buffer; frames are multiplied by `scale` (a blown-up buffer).
uint32_t wv_midi_events(wv_midimap& m, const rov_toneev* ev, uint32_t n, int32_t rate, uint32_t scale,
                        wv_midimsg* out, uint32_t cap);
// Note off for every note still held.
uint32_t wv_midi_alloff(wv_midimap& m, uint32_t frame, wv_midimsg* out, uint32_t cap);
