// One description per algorithm row: everything the rest of the program
// needs to know about a row lives here, beside the routines. The streaming
// cycle, the refill, the catalogue, the editor, the menus, the toolbar, the
// icon field, the information pages, the pad, the scale editor and the
// visual effects read these traits; none of them compares row numbers.
//
// Adding a row means writing its routine (a new routine family may declare
// its slot names and naming record there too, see slots.h), declaring the
// routine and adding the description at the end of the table in rows.cpp,
// and giving its icon name art in shell/fl_icons.cpp. A description that
// lacks a part fails the build; icon art and information page are checked
// by the shell's tests, the manual's list of rows by the app's.
#pragma once

#include <cstdint>

#include "engine/rov.h"
#include "engine/slots.h"

// What the caller passes as the routine's table arguments (the row's algtyp).
enum rov_argkind : int {
    rov_arg_sine = 0,    // the sine table and 256
    rov_arg_sample = 1,  // the loaded sample and its length (sine table and 256 without one)
    rov_arg_echo = 2,    // the previously computed buffer, the echo source
    rov_arg_notes = 3,   // the sine table, and the note-value table in the length argument
};

// Where the phrase memory is loaded from at the start of play.
enum class rov_phrasefrom : uint8_t {
    even_scale,     // the even scale of the playing pair (tonr with its lowest bit cleared)
    playing_scale,  // the playing scale itself
};

// A rewrite of one parameter set when the playback rate moves one octave
// down (`half`) or up, or when the sample is compressed (`half`) or
// expanded. `set` is the set's sixteen parameters.
using rov_setrule = void (*)(int16_t* set, bool half);

// Where the row's item stands in the Edit/Play menu: a group's popup, or
// the menu's own level (`top`). `none`: the row has no item.
enum class rov_menugroup : uint8_t { unset, none, experimental, sampling, phrase, top, v3, v4 };

struct rov_menuplace {
    rov_menugroup group = rov_menugroup::unset;
    const char* text = nullptr;  // item text with its & mnemonic
};

// What the Algorithmic visual effect draws for a beat step of the row.
enum class rov_viskind : uint8_t {
    unset,
    none,          // nothing
    scale,         // a point: a scale value at the Tonality rate, else random pitch around Pitch
    two_scales,    // the same, with the second scale (slot 8) at rate 2 * Tonality2
    random_pitch,  // a point of random pitch around Pitch only
    cluster,       // a scale point whose size follows EnvScaling
    pitch_pairs,   // a point from the scale's eight pitch/spread pairs
    intervals,     // a step from the last point by a scale interval, else a free point
    phrase,        // a free point, then the steps of the phrase
    two_phrases,   // the same; some phrases are the second phrase (Session)
};

struct rov_visdesc {
    rov_viskind kind = rov_viskind::unset;
    bool sample_pitch = false;  // a voice's pitch is its sample increment (x4), not its oscillator's
};

// How a tone played by hand on the pad is set up (plyov).
enum class rov_padloop : uint8_t {
    none,         // not a sampling row
    fine_coarse,  // loop length sample / (128 * LoopCoarse + LoopLength + 1)
    sixteenths,   // loop length 16 * sample / (128 * LoopCoarse + LoopLength + 16)
    table,        // loop length from the loop table or from LoopLength alone
    scale_pairs,  // sixteenths, and the loop start is an index into the setting's scales
};
enum class rov_padosc3 : uint8_t {
    detuned,    // third oscillator detuned below the first
    envelope,   // its step from the envelope scale (EnvSelect)
    glissando,  // phase from Gliss1, step from the Detune slider
    phase_mod,  // its step is PhaseMod
    vibrato,    // its step is twice Vibrato
};
enum class rov_padmemory : uint8_t {
    one,     // the voice's filter memory starts at 1
    zero,    // at 0
    raster,  // from PitRaster
    detune,  // the Detune slider / 8
    wave,    // WaveSel
};

struct rov_paddesc {
    int stages = 0;             // envelope steps of the routine: 32 or 128
    bool direct = false;        // the pitch value times 8 is the phase step
    rov_padloop loop = rov_padloop::none;
    rov_padosc3 osc3 = rov_padosc3::detuned;
    rov_padmemory memory = rov_padmemory::one;
};

// What the scale editor edits in a scale buffer of the row, and how it is
// captioned and explained.
enum class rov_scalekind : uint8_t {
    unset,
    scale,             // a user scale
    phrase_or_scale,   // a phrase (even buffers) or a scale (odd)
    phrase_transpose,  // a phrase (even) or transpositions (odd)
    phrase,            // a phrase
    phrase_wave,       // a phrase or transpositions, and a wave
    scale_or_phrase,   // a scale or a phrase
    intervals,         // pitch (0-7) and intervals (8-15)
    chords,            // pitch (0-7) and chords (8-15)
    envelope,          // a scale or an envelope
    pitch_pairs,       // eight pairs of centre pitch and range
    lfo_waves,         // two LFO waveforms
};

struct rov_scaledesc {
    rov_scalekind kind = rov_scalekind::unset;
    bool asks_assign = false;  // numbered buttons ask before assigning a scale buffer
};

// Everything about one row. rows.cpp checks at compile time that every row
// has its routine (or is Multiple play or the empty algorithm), icon, menu
// item, naming records, information text, visual-effect kind, pad and scale
// editor treatment.
struct rov_rowdesc {
    rov_algtab tab;                  // icon, position, menu command, routine, beat kind, algtyp, title
    int32_t block = 256;             // control-block frames: 256 or 64; 0 where the routine varies it
    bool loop_slice = false;         // the cycle computes a moving slice and replays the rest (Minimal)
    bool two_channels = false;       // plays an even/odd pair of sets as two channels (Session)
    bool sample_any = false;         // gets the loaded sample although its algtyp is not 1
    int32_t min_sample = 0;          // shortest sample (values) the routine plays; 0 where none is read
    rov_phrasefrom phrase = rov_phrasefrom::even_scale;  // scale that fills the phrase memory at start
    bool timbre_names = false;       // some slots carry other names under Timbre Variation
    bool multiple = false;           // Multiple play: four tracks mixed (the row has no routine)
    bool empty = false;              // the empty algorithm: replays, computes nothing
    const rov_setrule* rate = nullptr;      // further rewrites for a rate one octave lower/higher; null-ended
    const rov_setrule* resample = nullptr;  // further rewrites after the sample changed length; null-ended
    rov_menuplace menu;              // Edit/Play menu item
    const rov_family* names = nullptr;   // naming record (slots.h): the editor's caption, slot texts, ranges
    const rov_family* names2 = nullptr;  // odd sets of a two-channel row, or under Timbre Variation
    const char* info = nullptr;      // what the row does: its information page
    rov_visdesc vis;                 // the visual effects
    rov_paddesc pad;                 // tones played by hand
    bool plays_phrase = false;       // the pad's scale modes change its phrase memory, not its scale
    rov_scaledesc scale;             // the scale editor
};

// The descriptions of all rows, rov_natab of them.
extern const rov_rowdesc rov_rows[];

// The description of a row; rows outside the table get the empty algorithm's.
const rov_rowdesc& rov_row(int row);

// Rows: the empty algorithm and Multiple play, by their traits.
int rov_row_empty();
int rov_row_multiple();

// The row's routine is there: the streaming cycle can compute it.
bool rov_row_computed(int row);

// The row can be chosen by the user (menu, icon, toolbar, command line):
// its routine exists, or it is Multiple play and `mix_ready` (the four-track
// mix exists), or it is the empty algorithm.
bool rov_row_available(int row, bool mix_ready = false);

// The row's routine reads a sample (algtyp 1).
inline bool rov_row_sampling(int row) { return rov_row(row).tab.algtyp == rov_arg_sample; }

// The set whose parameters the first channel glides on for set `setnr`.
int rov_row_glideset(int row, int setnr);
// The scale that fills the phrase memory for scale `tonr`.
int rov_row_phrasescale(int row, int tonr);

// Rewrites set `setnr` of `ros` (and for a two-channel row its partner set)
// so that it sounds about the same at a playback rate one octave lower
// (`half`) or higher. Multiple play, the empty algorithm and sets outside
// 0..9 change nothing, nor does a rate that would leave the rate table. Results are not
// clamped to the slot ranges; the editor's redraw does that.
void ranovpd(rov_setting& ros, int setnr, int algo, bool half);

// Rewrites all ten sets of a sampling row after the sample was compressed to
// half its length (`half`) or expanded to twice its length. Other rows
// change nothing.
void ranovps(rov_setting& ros, int algo, bool half);

// Notes of one octave from c1 to c2 (pitch values, 262 = c1).
extern const int16_t logtab[13];
