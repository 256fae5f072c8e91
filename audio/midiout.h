// MIDI out of the streaming cycle: while a play buffer is computed the
// engine reports its tones into that buffer's event list; when the buffer is
// sent the events become MIDI messages (audio/midimap.h) that go to the
// device just before the buffer's samples (wv_device::midi) and to the
// cycle's MIDI port, if it has one. Everything is allocated with the record,
// before play: nothing per buffer.
#pragma once

#include <cstdint>

#include "audio/midimap.h"
#include "audio/midimsg.h"
#include "engine/toneev.h"

// A receiver of the messages beside the device (the ALSA sequencer port).
// `frames` frames at `rate` Hz go with the messages: their frames lie in
// that span. all_off(): the play ended, nothing must go on sounding.
struct wv_midiport {
    virtual void put(const wv_midimsg* msgs, uint32_t count, int32_t rate, uint32_t frames) = 0;
    virtual void all_off() = 0;
    virtual ~wv_midiport() = default;
};

constexpr uint32_t wv_midi_cap = 4 * rov_toneev_cap + 512;

struct wv_midiout {
    wv_midiout() { ev[1].sounding = ev[0].own; }
    wv_midiout(const wv_midiout&) = delete;
    wv_midiout& operator=(const wv_midiout&) = delete;
    rov_toneevs ev[2];              // the events of play buffers 0 and 1 (the slots heard are buffer 0's)
    uint32_t computed[2] = {};      // frames each buffer was computed with
    int set[2] = {-1, -1};          // the set and scale it was computed with
    int scale[2] = {-1, -1};
    wv_midimap map;
    wv_midimsg msg[wv_midi_cap];    // the messages of the buffer being sent
    uint32_t count = 0;
    int sent_set = -1, sent_scale = -1;  // what the last program changes said
    bool announced = false;
    uint64_t dropped = 0;           // events or messages that found no room
    wv_midiport* port = nullptr;    // the other receiver, if any
};

// A start of play: every list emptied, every slot silent, the layout
// announced again with the first buffer.
void wv_midi_begin(wv_midiout& m);

// Buffer j (of `frames` frames with set and scale) is about to be computed
// from scratch, or (`append`) a slice of it at frame `base`.
void wv_midi_compute(wv_midiout& m, int j, int32_t frames, int setnr, int tonr, bool append, uint32_t base);

// Buffer j is being sent with `frames` frames at `rate` Hz: its messages
// into m.msg / m.count (taken by the device and the port), the list emptied.
void wv_midi_send(wv_midiout& m, int j, int32_t frames, int32_t rate);

// The end of play: note off for every held note into m.msg / m.count.
void wv_midi_end(wv_midiout& m);
