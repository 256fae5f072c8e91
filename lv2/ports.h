// The plugin's ports, in index order: what the plugin reads in each block and
// what its description (tessellon.ttl) declares. A symbol never changes once
// a release has it: hosts save sessions and automation by symbol.
#pragma once

#include <cstdint>

enum tl_portkind : uint8_t {
    tl_port_events,     // atom sequence in: MIDI, transport, patch messages
    tl_port_audio,      // audio out
    tl_port_row,        // the algorithm row (an enumeration)
    tl_port_set,        // the playing set 0..9
    tl_port_slot,       // a slot of the playing set
    tl_port_saw,        // the playing set's switch
    tl_port_timbre,     // Timbre Variation
    tl_port_emphasis,   // Emphasis
    tl_port_voices,     // the voice maximum
};

struct tl_port {
    tl_portkind kind;
    const char* symbol;
    const char* name;
    int slot;  // tl_port_slot: the slot 0..15 it sets
};

// Port indices the plugin names.
enum : uint32_t { tl_p_events = 0, tl_p_left = 1, tl_p_right = 2, tl_p_row = 3, tl_p_set = 4, tl_p_first_slot = 5 };

inline constexpr tl_port tl_ports[] = {
    {tl_port_events, "control", "Control", -1},
    {tl_port_audio, "out_l", "Left", -1},
    {tl_port_audio, "out_r", "Right", -1},
    {tl_port_row, "algorithm", "Algorithm", -1},
    {tl_port_set, "set", "Set", -1},
    {tl_port_slot, "p0", "Slot 0 (Voices)", 0},
    {tl_port_slot, "p1", "Slot 1 (Envelope)", 1},
    {tl_port_slot, "p2", "Slot 2 (Pitch)", 2},
    {tl_port_slot, "p3", "Slot 3", 3},
    {tl_port_slot, "p4", "Slot 4", 4},
    {tl_port_slot, "p5", "Slot 5", 5},
    {tl_port_slot, "p6", "Slot 6", 6},
    {tl_port_slot, "p7", "Slot 7", 7},
    {tl_port_slot, "p8", "Slot 8", 8},
    {tl_port_slot, "p9", "Slot 9 (Accents)", 9},
    {tl_port_slot, "p10", "Slot 10 (Acc.Mode)", 10},
    {tl_port_slot, "p11", "Slot 11 (Beat)", 11},
    {tl_port_slot, "p12", "Slot 12 (Waveform)", 12},
    {tl_port_slot, "rate", "Rate", 13},
    {tl_port_slot, "volume", "Volume", 14},
    {tl_port_slot, "change_delay", "Chg.Dly", 15},
    {tl_port_saw, "saw", "Saw", -1},
    {tl_port_timbre, "timbre_variation", "Timbre Variation", -1},
    {tl_port_emphasis, "emphasis", "Emphasis", -1},
    {tl_port_voices, "voice_maximum", "Voice maximum", -1},
};
inline constexpr uint32_t tl_nports = sizeof tl_ports / sizeof tl_ports[0];

struct rov_setting;
// The value a control port has when the plugin starts: the built-in
// setting's row and set 0, its slots and switch, no Emphasis or Timbre
// Variation, 8 voices.
float tl_port_default(uint32_t index, const rov_setting& builtin);

// MIDI control changes: CC tl_cc_first + k moves slot k (0..15) of the
// playing set over its range (0 its lowest value, 127 its highest).
constexpr int tl_cc_first = 20;

// The plugin's URI and the URIs of its own properties.
#define TL_URI "urn:tessellon:instrument"
#define TL_NS TL_URI "#"
