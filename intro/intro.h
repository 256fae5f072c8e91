// The start-up introduction: a cycle of ten short sound examples computed by
// a private engine state into its own pair of buffers, a caption for each, a
// notes text that scrolls in six lines and, inside example 5, a 39-step tour
// that changes one parameter at a time while the sound plays.
//
// Everything here is free of any window system: the dialog's window
// forwards its events (device notifications, its timer, clicks, exposure,
// close) to the wvintro_* calls and shows what the wi_view calls tell it.
// Its buffers play through the stream's device protocol (audio/stream.h);
// nothing of this state touches the main window's setting, and
// wvintro_close releases the buffers and the device.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/device.h"
#include "audio/stream.h"
#include "engine/rov.h"

// What the dialog shows. Lines are the static texts 101..111: 101 to 104
// the centred header lines, 105 to 110 the notes, 111 the caption and tour
// line.
struct wi_view {
    virtual void line(int id, const std::string& text) = 0;
    // Draws the named 32 x 32 icon at (24, 24) of the dialog.
    virtual void icon(const std::string& name) = 0;
    // The wait cursor while a buffer is computed.
    virtual void busy(bool on) = 0;

  protected:
    ~wi_view() = default;
};

// The examples: parameter sets 0..9 of the introduction's own setting.
constexpr int wi_nexamples = 10;
// The tour: steps 1..39 are shown; step 0 and the table's size are 40.
constexpr int wi_ntour = 40;
constexpr int wi_tourset = 5;  // the example that carries the tour

// Static line ids of the dialog.
constexpr int wi_line_first = 101;  // header lines 101..104
constexpr int wi_line_notes = 105;  // notes lines 105..110
constexpr int wi_line_last_note = 110;
constexpr int wi_line_caption = 111;
constexpr int wi_ok = 112;

extern const char* const wi_captions[wi_nexamples];  // thu0..thu9
extern const char* const wi_icons[wi_nexamples];     // the icon drawn with each caption
extern const char* const tutarr[wi_ntour];
extern const int16_t tutpar[wi_ntour];
extern const int16_t tutval[wi_ntour];
extern const int16_t tutsave[rov_nparams];
// The release notes: paragraphs of at most six lines, one empty line apart.
extern const char* const wi_notes;
extern const char* const wi_line102;
extern const char* const wi_credit;

// The introduction's own setting with its ten example sets and scales.
void wi_setting(rov_setting& s);
// Playback rate of an example from its parameter 13: 5512, 11025 or 22050 Hz.
int32_t wi_rate(int p13);
// The routine that plays example `setnr`.
rov_alg wi_routine(int setnr);

struct wv_intro final : wv_turns {
    // Connections, set before wvintro_init. The stream plays the buffers:
    // its device (nullptr: no sound), where that posts and the dialog's
    // timer, which the introduction's own ticks use too; they must outlive
    // the dialog's use of the device.
    wv_stream* ws = nullptr;
    wi_view* view = nullptr;
    bool fail_alloc = false;    // tests: the buffers cannot be allocated

    // The private engine: ros, rog, the voices and roh.
    rov_state eng{};
    int setnr = 0;   // playing example
    int tonr = 0;    // its scale
    int tutnr = 0;   // tour step 1..39; 0 while no tour runs

    int32_t bufsize = 16384;  // bytes per buffer, its 32-byte header included
    int maxv = 6;
    int bufidle = 0;          // ticks so far
    int headers = 0;          // header lines 102.. shown so far
    bool plysnd = false;      // sound wanted
    bool stereo16 = false;    // 16-bit stereo, else 8-bit mono
    unsigned wvodevno = wv_mapper;
    bool halted = false;      // the cycle stopped: the device refused a buffer

    // The two play buffers (their sample areas); empty when missing.
    std::vector<int16_t> wv[2];
    uint32_t wvlen = 0;  // bytes sent per buffer

    // The notes.
    std::string introtext;
    std::size_t ip = 0;  // read position
    int ih = wi_line_notes;

    std::string iconstr;  // the icon shown, redrawn after an exposure
    std::string wimnam1;  // the main icon's name less its last character
    bool repaintIcon = false;

    // The routines' table argument: the setting's own words (the examples
    // play triangle shapes and never read it).
    int16_t settab[rov_setting_bytes / 2]{};

    // The stream's turns (wvintro_dispatch hands the notifications to it).
    void closed() override;
    void timeout() override;
};

// Opens the introduction with the start-up flag: 0 no sound; otherwise bit 0
// is 16-bit stereo (else 8-bit mono), and 4 or more means device 0 instead
// of the mapper. `notes` replaces the release notes (tests).
void wvintro_init(wv_intro& w, int flag, const char* welcome, const std::string& notes = wi_notes);
// A device notification or the timer.
void wvintro_dispatch(wv_intro& w, const wv_event& ev);
// A left click: skips ahead to two ticks before the next text step, or with
// Shift to five ticks before the next example.
void wvintro_click(wv_intro& w, bool shift);
// The dialog was exposed: the icon is drawn again at the next tick.
void wvintro_paint(wv_intro& w);
// The device went away while playing: the introduction goes on silently.
// True when that happened now.
bool wvintro_check_device(wv_intro& w);
// Close or OK: stops the timer and the device and frees the buffers.
void wvintro_close(wv_intro& w);
// Both buffers exist: the examples sound.
inline bool wvintro_sounding(const wv_intro& w) { return !w.wv[0].empty() && !w.wv[1].empty(); }
