// MIDI out to ALSA's sequencer through RtMidi, for hardware synthesizers
// and other programs: a port of the sequencer named "Wave Tessellon"
// (connect it with aconnect or a patchbay). Each buffer's messages are sent
// by a thread of the port at their frames' times, counted from when the
// buffer starts to play (the end of the previous one, or now).
#pragma once

#include <memory>
#include <string>

#include "audio/midiout.h"

// The sequencer device; its absence means no ALSA MIDI on this machine.
constexpr const char* wv_alsa_seq_device = "/dev/snd/seq";

// The port, or nullptr with `err` saying why there is none.
std::unique_ptr<wv_midiport> wv_alsa_midi_open(std::string& err, const char* seq = wv_alsa_seq_device);
