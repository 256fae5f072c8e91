// The setting editor without its window: what the dialog's controls do to
// the playing setting, and what each control shows afterwards. The window
// turns its events into these calls and draws the `rov_edview` they leave.
//
// Slot s (0..15) is slot s of the playing parameter set: rov_p[16*setnr + s].
#pragma once

#include <cstdint>
#include <string>

#include "audio/chain.h"
#include "audio/options.h"
#include "audio/stream.h"
#include "editor/catalogue.h"
#include "editor/teswin.h"
#include "engine/plyov.h"
#include "engine/rov.h"
#include "player/controls.h"

// What the editor reads of the rest of the program: the options record it
// shares with the main window and the streaming cycle, the harddisc
// recording and the mix file (asked whether they are open: the streaming
// cycle may finish the recording while the editor is open), and whether a
// sample is loaded.
struct rov_edopts {
    const wv_options* o = nullptr;  // Timbre Variation (names at opening), Show Morph, visuals,
                                    // fuzz, Record Samples ...
    const wv_recsink* rec = nullptr;     // the harddisc recording (nullptr: none)
    const wv_mixsource* mix = nullptr;   // the harddisc mix file (nullptr: none)
    bool sample = false;      // a sample is loaded
};

// What the editor asks of the streaming cycle. Any pointer may be null.
struct rov_edhooks {
    void* ctx = nullptr;
    void (*activity)(void* ctx) = nullptr;          // user activity: refill the idle count
    void (*start_stop)(void* ctx) = nullptr;        // "S&tart" / "S&top"
    void (*pause)(void* ctx) = nullptr;             // toggle the playing phase's pause flag
    void (*set_volume)(void* ctx, int value) = nullptr;  // device volume from slot 14 (0..255, 0 loudest)
    bool (*device_open)(void* ctx) = nullptr;       // the output device is open
    // Numbered buttons in edit mode: the Yes/No question before a scale
    // buffer is assigned (true for Yes), and the scale editor on buffer n
    // (returns when it closed).
    bool (*ask_assign)(void* ctx) = nullptr;
    void (*edit_scale)(void* ctx, int n, int algo) = nullptr;
    // The Q/Z button: the player pad on the playing set (returns when it closed).
    void (*play_pad)(void* ctx, int setnr) = nullptr;
    // The Q button with "&Manually": one background sample recording.
    void (*record_sample)(void* ctx) = nullptr;
    // Z in Multiple play: the active setting and the banks rotate; the new
    // active set and scale numbers come back in setnr and tonr, its file
    // name in `rovfil`. False when nothing turned.
    bool (*rotate)(void* ctx, int& setnr, int& tonr, const char*& rovfil) = nullptr;
    // "Pa&use" in Multiple play, with a fuzz type or with a mix file: the
    // quad track mixer (returns when it closed).
    void (*mixer)(void* ctx) = nullptr;
};

// What one slot's controls show.
struct rov_slotview {
    int16_t min = 0, max = 0;        // scroll range
    int16_t pos = 0;                 // scroll position
    char text[rov_valtext_max] = {};  // value text
};

// Everything the dialog shows.
struct rov_edview {
    std::string caption;             // window title
    const char* label[13] = {};      // names of slots 0..12 (name part of the text)
    const char* swname = "";         // switch check-box caption
    bool swcheck = false;            // switch check box
    bool tonal = false;              // "Tonalit&y" check box
    bool read = true;                // "&Read Setting" check box
    std::string status;              // status line
    const char* qcaption = "&Z";     // caption of the Q/Z button (sample by hand, or bank rotation)
    rov_slotview slot[16];
};

// The editor's state. `parbkup` and `sawbkup` survive from one opening to
// the next; everything else is set up at each opening.
struct rov_editor {
    int16_t parbkup[16] = {48, 8, 466, 192, 192, 96, 26, 4, 0, 96, 6, 3, 176, 24, 80, 0};
    int8_t sawbkup = 1;

    rov_handle* roh = nullptr;       // foreground engine state
    int algomod = 22;                // row being played (Multiple play, or the empty algorithm)
    // The playing parameter set and scale buffer, and the "Tonalit&y"
    // toggle (numbered buttons act on scale buffers): the streaming cycle's
    // when the window opens the editor on it, else the editor's own.
    wv_playsel own;
    wv_playsel* play = &own;
    bool boolread = true;            // numbered buttons read/assign (on) or duplicate/edit
    char parmorph[13] = {};          // slot shown as still morphing
    const rov_strg* names = nullptr;  // naming record shown
    rov_edopts opt;
    rov_edhooks hk;
    rov_edview view;
    wvpl_par pad;  // the player pad's block: prepared at each opening, its pitch and envelope kept
};

// Caption: the title followed by the file name in parentheses when the name
// is shorter than 16 characters, else the title alone.
std::string rov_ed_caption(const char* title, const char* rovfil);

// Opening: row `algomod` (outside the table it becomes the empty algorithm),
// playing set `setnr`, setting file name `rovfil` for the caption. `opt.o`
// must point at the program's options.
void rov_ed_open(rov_editor& ed, rov_handle* roh, int algomod, int setnr, const char* rovfil,
                 const rov_edopts& opt, const rov_edhooks& hk);

// Redraws slots first..last of the playing set: clamps each value to its
// slot's range (writing it back), sets the scroll position unless
// `morphmod` is 2, and the value text with a '*' for `morphmod` 1. Slot 14
// also sets the device volume.
void RovScr(rov_editor& ed, int first, int last, int morphmod);

// A scroll message of slot s (any other s changes nothing); `pos` is the
// position carried by the thumb codes.
void rov_ed_scroll(rov_editor& ed, int s, rov_scrollcode code, int pos);

// Numbered button n (0..9), by the mode of the two toggles.
void rov_ed_number(rov_editor& ed, int n);
bool rov_ed_number_enabled(const rov_editor& ed);

// "&V": restores the backup into the playing set.
void rov_ed_restore(rov_editor& ed);

// The switch check box and the two toggles.
void rov_ed_switch(rov_editor& ed);
void rov_ed_tonality(rov_editor& ed);
void rov_ed_read(rov_editor& ed);

// "S&tart/Stop" and "Pa&use" (button and system menu).
void rov_ed_startstop(rov_editor& ed);
void rov_ed_pause(rov_editor& ed);
// "Pa&use" opens the quad track mixer (Multiple play, a fuzz type or a mix
// file) instead of pausing the playing setting.
bool rov_ed_opens_mixer(const rov_editor& ed);
bool rov_ed_pause_enabled(const rov_editor& ed);
bool rov_ed_q_enabled(const rov_editor& ed);
void rov_ed_q(rov_editor& ed);

// System-menu items "&Next" and "&Recover" (only while reading), "&Half Rate"
// and "&Double Rate".
bool rov_ed_next_enabled(const rov_editor& ed);
void rov_ed_next(rov_editor& ed);
void rov_ed_recover(rov_editor& ed);
void rov_ed_rate(rov_editor& ed, bool half);

// Shift-click and Control-click at (x, y) in dialog units.
bool rov_ed_help(const rov_editor& ed, int x, int y, rov_helpbox& out);
// The tooltip of a control: the Shift-click help of its item (a slot 0..15
// or a rov_helpitem) as the editor stands; "" for other numbers.
std::string rov_ed_tip(const rov_editor& ed, int item);
bool rov_ed_finish_morph(rov_editor& ed, int x, int y);

// Morph marks: at Start every mark goes; before each buffer is sent the marks
// of slots whose gliding value has arrived go.
void rov_ed_unmark_all(rov_editor& ed);
void rov_ed_unmark_arrived(rov_editor& ed);

// What the dialog shows as "key=value" lines (caption, label0..12, switch,
// value0..15, status, ...), for tests that drive the window from outside.
std::string rov_ed_dump(const rov_editor& ed);

// Dialog units to window pixels and back (base units 8 x 16: one unit is two
// pixels each way).
inline int rov_du_x(int px) { return (px * 4) / 8; }
inline int rov_du_y(int py) { return (py * 8) / 16; }
