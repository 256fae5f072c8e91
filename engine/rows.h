// One description per algorithm row: everything the rest of the program
// needs to know about a row lives here, beside the routines. The streaming
// cycle, the refill, the catalogue, the editor, the menus, the toolbar and
// the icon field read these traits; none of them compares row numbers.
//
// Adding a row means adding its routine and its description to rows.cpp.
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

struct rov_rowdesc {
    rov_algtab tab;          // icon, position, menu item, routine, beat kind, algtyp, title
    int32_t block;           // control-block frames: 256 or 64; 0 where the routine varies it
    bool loop_slice;         // the cycle computes a moving slice and replays the rest (Minimal)
    bool two_channels;       // plays an even/odd pair of sets as two channels (Session)
    bool sample_any;         // gets the loaded sample although its algtyp is not 1
    int32_t min_sample;      // shortest sample (values) the routine plays; 0 where none is read
    rov_phrasefrom phrase;   // scale that fills the phrase memory at start
    bool timbre_names;       // some slots carry other names under Timbre Variation
    bool multiple;           // Multiple play: four tracks mixed (the row has no routine)
    bool empty;              // the empty algorithm: replays, computes nothing
    const rov_setrule* rate;      // further rewrites for a rate one octave lower/higher; null-ended
    const rov_setrule* resample;  // further rewrites after the sample changed length; null-ended
};

// The descriptions of all rows; row r's table part is atab[r].
extern const rov_rowdesc rov_rows[rov_natab];

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
void ranovpd(rov_setting& ros, int setnr, const rov_algtab* algt, int algo, bool half);

// Rewrites all ten sets of a sampling row after the sample was compressed to
// half its length (`half`) or expanded to twice its length. Other rows
// change nothing.
void ranovps(rov_setting& ros, const rov_algtab* algt, int algo, bool half);

// Notes of one octave from c1 to c2 (pitch values, 262 = c1).
extern const int16_t logtab[13];
