// Command-line options shared by the subcommands that run the engine without
// a window (render, play).
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "audio/options.h"
#include "audio/program.h"
#include "engine/rov.h"

// An option of the options table given on the command line, with its value
// as the option holds it.
struct cli_optval {
    const wv_optdesc* opt;
    int value;
};

struct cli_engine {
    std::string setting;   // setting file; empty: the built-in default setting
    int row = -1;          // atab row; -1: the setting's rov_stdalg
    int setnr = 0;         // parameter set 0..9
    int tonr = -1;         // scale 0..9; -1: the set's rov_tonindx
    std::vector<cli_optval> given;  // the table's options given, in order (over a setup file)
    bool mono8 = false;    // 8-bit mono output
    std::string sample;    // WAV file loaded as the sample
    std::string mix;       // WAV file mixed into the output
    std::string setup;     // setup file applied before the command-line options
    long outrate = 0;      // rate of the written file, Hz; 0: the rate of the first buffer
    std::vector<std::string> banks;  // setting files pushed into the banks, in order (at most 3)
    int tracklevel[4] = {-1, -1, -1, -1};  // rov_volshift of tracks 1..4 (4..16); -1: as it is
    bool mute[4] = {};     // tracks 1..4 muted
    int progchange = -1;   // buffers between automatic program changes; -1: none asked for
    bool changescale = false;  // the program change steps the scale instead of the set
    std::string preset;    // --preset: a preset of the library, resolved by cli_preset_apply
    bool set_given = false;  // --set was given (it overrides the preset's set)
};

// Outcome of looking at one argument.
enum cli_step { cli_other, cli_taken, cli_bad };

// Reads a whole number in [lo, hi]; false when it is not one.
bool cli_int(const std::string& text, long lo, long hi, long& out);
// Reads a decimal number in (0, hi]; false when it is not one.
bool cli_seconds(const std::string& text, double hi, double& out);

// Consumes the engine option at args[i] (and its value). On cli_bad, err
// says what is wrong.
cli_step cli_engine_option(const std::vector<std::string>& args, std::size_t& i, cli_engine& o,
                           std::string& err);

// The preset library as the program finds it (files/presets.h); false with
// a message when it is not installed.
struct fi_library;
bool cli_library(fi_library& lib, std::string& err);

// Puts the preset named by --preset into the options: its setting file,
// set, sample, banks and voice maximum, each unless the command line gives
// its own. 0; 2 with a message for a name the library lacks or a preset
// given beside a setting file; 1 when the library cannot be read.
int cli_preset_apply(cli_engine& o, std::string& err);

// Checks the engine options that only go together; false with a message
// (a usage error) when one is given without the other.
bool cli_engine_check(const cli_engine& o, std::string& err);

// An option of the options table for the commands of `group` at args[i]
// (and its value), into `given`.
cli_step cli_table_option(const std::vector<std::string>& args, std::size_t& i, wv_cligroup group,
                          std::vector<cli_optval>& given, std::string& err);

// A part of a usage text: literal lines, or (with `opt`) the option's usage
// line, or literal lines with the option's {R}, {D} and {N} filled in.
struct cli_usage_part {
    const char* text;
    const wv_optdesc* opt;
};
// The usage lines of `parts`, then those of every option of `group` not
// among them, then `tail`.
std::string cli_usage(std::initializer_list<cli_usage_part> parts, wv_cligroup group, const char* tail);
// A usage synopsis `head` with the table's options of `groups` that it does
// not show yet, on a line of their own at the end of its first form.
std::string cli_synopsis(const std::string& head, std::initializer_list<wv_cligroup> groups);
// The usage line of an option of the table (as cli_usage prints it).
std::string cli_usage_line(const wv_optdesc& d);

// Usage text lines for the engine options.
extern const char* const cli_engine_usage;

// The program state prepared for play from the options: the setting loaded
// (or the default), the banks filled, the row, set, scale and "Tonality"
// chosen on its stream and the start of play done. The engine is opened
// later, by the stream, with the voice maximum of the options (--voices or
// the setup file). Returns 0, or the exit status with a message written to
// err (1: a setting file, 2: a row without a routine).
int cli_prepare(const cli_engine& o, wv_program& p, std::string& err);

// The options of Multiple play, the mixer and the program changes
// (app/cli_tracks.cpp): one argument, as cli_engine_option takes it.
cli_step cli_tracks_option(const std::vector<std::string>& args, std::size_t& i, cli_engine& o, std::string& err);
// The banks as the program starts them, then the --bank files pushed in
// order (their global phases left for the stream to open). False with a
// message when a file cannot be loaded.
bool cli_banks_load(const cli_engine& o, wv_program& p, std::string& err);
// The program changes into the options; 0, or 2 with a message.
int cli_tracks_options(const cli_engine& o, wv_options& opt, std::string& err);

// The mixer's settings of the command line on the four tracks' global
// phases: run after the stream opened and again after Start (which
// restarts the active setting's pause flag), as the mixer acts on a play.
void cli_mixer_apply(const cli_engine& o, wv_program& p);

// Loads a setting file: exactly rov_setting_bytes bytes. Message in err.
bool cli_load_setting(const std::string& path, rov_setting& s, std::string& err);

// The options record of a command-line run: the defaults, with the options
// given on the command line.
wv_options cli_options(const cli_engine& o);

// The options of a run: the defaults, then the setup file if one was given
// (applied as loading it in the window program does, with `probe` reading
// the device's capabilities), then the options given on the command line.
// 0, or the exit status with a message in err.
using cli_probe = std::function<bool(unsigned devno, wv_caps& caps)>;
int cli_load_options(const cli_engine& o, wv_options& opt, const cli_probe& probe, std::string& err);

// What a sampling row plays without a sample: one cycle of the sine table.
constexpr int32_t cli_sine_cycle = 256;
// The shortest sample (in values) that row `row` needs to sound at all; 0
// when it sounds without one (a row that reads no sample, or one that plays
// the sine cycle).
int32_t cli_sample_needed(int row);

// The sample (with the capacity the window program gives it) and the mix
// file of the command line, into the program state. Messages of an
// incomplete sample go to `warn`. 0, or 1 with a message in err.
int cli_open_files(const cli_engine& o, wv_program& p, std::vector<std::string>& warn, std::string& err);

// The start shared by play and render, after cli_prepare: the program's
// options loaded (cli_load_options), the device probed for its capabilities with
// `probe`, the played format set (16-bit stereo where the device plays it,
// unless the setup file or --mono8 asks for 8-bit mono), then the files
// opened (cli_open_files). 0, or the exit status with a message in err.
int cli_configure(const cli_engine& o, wv_program& p, const cli_probe& probe, std::vector<std::string>& warn,
                  std::string& err);

// Wires the program's stream to its own state (engine, banks, options,
// sample, mix file) and to what is not the program's: a device and a loop
// (its notification sink and gap timer).
void cli_wire(wv_program& p, wv_device& dev, wv_notify& sink, wv_timer& timer);
