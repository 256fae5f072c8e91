// The instrument inside a plugin host: the program state and streaming cycle
// that `tessellon render` runs, on a device that hands each buffer to the
// host's audio blocks instead of a file. The host asks for any number of
// frames at its own rate; the instrument computes buffers as they are needed,
// and converts them with libsoxr when the host's rate is not the buffer's.
//
// Everything a block needs is made when the instrument is built: rendering a
// block, a control change and a MIDI message allocate nothing, take no lock
// and do no I/O. A change of row (a restart of the cycle) builds a new
// instrument; the plugin does that on its worker thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "audio/device.h"
#include "audio/evqueue.h"
#include "audio/filedev.h"
#include "audio/program.h"
#include "engine/rov.h"
#include "files/wavload.h"

// What an instrument is built from, and what the host saves with its
// session: the whole setting, the row, the playing set, the options that
// shape the sound and the loaded sample.
struct tl_config {
    rov_setting setting{};
    int row = -1;            // algorithm row; -1: the setting's own (rov_stdalg)
    int setnr = 0;           // playing set 0..9
    bool emphas = false;     // "Emphasis"
    bool tonalias = false;   // "Timbre Variation"
    int maxv = 8;            // voice maximum 1..64
    std::shared_ptr<const fi_sample> sample;  // nullptr: none
};

// The built-in setting, its own row, set 0, the default options, no sample.
tl_config tl_default_config();

// The row an instrument of `c` plays: the one asked for, else the setting's,
// else (a row that cannot play) the first one that can.
int tl_config_row(const tl_config& c);

// The session form of the options (row, set, Emphasis, Timbre Variation,
// voice maximum): fixed little-endian bytes, so that a saved session reads
// the same on any host.
constexpr std::size_t tl_options_bytes = 8;
void tl_options_write(const tl_config& c, uint8_t out[tl_options_bytes]);
// False when the bytes hold a value out of range; `c` is then unchanged.
bool tl_options_read(tl_config& c, const uint8_t in[tl_options_bytes]);

// The sample's session form: its rate, length and the whole area the
// routines read around it; restored exactly. False on bytes that are no such form.
std::string tl_sample_bytes(const fi_sample& s);
bool tl_sample_from_bytes(const void* data, std::size_t n, fi_sample& s);

// The output device of the cycle: keeps the one buffer written per opening
// for the host's blocks to take frame by frame.
struct tl_device final : wv_offlinedev {
    int16_t* words = nullptr;    // the buffer's interleaved stereo words (capacity `cap` frames)
    int32_t cap = 0;
    int32_t frames = 0;          // frames of the buffer
    int32_t pos = 0;             // frames already taken
    int32_t rate = 0;            // the buffer's rate, Hz

    tl_device() : wv_offlinedev("plugin host") {}
    bool write(const void* data, uint32_t bytes) override;
};

// The cycle's notifications and gap timer, on the host's time: a gap runs
// out at once, as in a render.
struct tl_loop final : wv_notify, wv_timer {
    wv_evqueue q;
    bool armed = false;
    void post(const wv_event& ev) override { wv_evq_push(q, ev); }
    void set(int) override { armed = true; }
    void kill() override { armed = false; }
};

struct tl_resampler;

class tl_synth {
  public:
    // Builds the instrument for the host's rate (allocates); it starts at
    // the first render, with the set and options changed before it.
    tl_synth(const tl_config& c, double host_rate);
    ~tl_synth();
    tl_synth(const tl_synth&) = delete;
    tl_synth& operator=(const tl_synth&) = delete;

    // The next `n` frames at the host's rate, as floats (word / 32768).
    void render(float* left, float* right, uint32_t n);

    // Live changes (real-time safe).
    // Slot `slot` (0..15) of the playing set, kept to its range; the
    // routines glide to it as they do when the editor moves a slot.
    void set_slot(int slot, int value);
    // The playing set, with its remembered scale, as the editor selects it.
    void select_set(int setnr);
    // The algorithm's switch ("Saw") of the playing set.
    void set_saw(bool on);
    // Emphasis, Timbre Variation and the voice maximum.
    void set_options(bool emphas, bool tonalias, int maxv);
    // Pause: the tones hold still (as the editor's Pause), or go on.
    void pause(bool on);
    bool paused() const;
    bool started() const { return started_; }

    int row() const { return p_.ws.algomod; }
    int setnr() const { return p_.ws.setnr; }
    int slot(int s) const { return p_.fg.s.rov_p[p_.ws.setnr * rov_nparams + s]; }
    const rov_setting& setting() const { return p_.fg.s; }
    // The configuration as it stands now: the setting with every change made
    // to it, the playing set, the options and the sample.
    tl_config config() const;
    // The lowest and highest value of slot `s` for the playing row.
    void slot_range(int s, int& lo, int& hi) const;
    // Real-time safe: the options' session form into `out`.
    void options_bytes(uint8_t out[tl_options_bytes]) const;
    // Real-time safe: the options alone (no setting, no sample).
    tl_config options() const;
    // Real-time safe: the setting image into `out`.
    void setting_bytes(uint8_t out[rov_setting_bytes]) const { rov_setting_write(p_.fg.s, out); }

  private:
    bool dispatch_one();
    void refill_queue();

    wv_program p_;
    tl_device dev_;
    tl_loop loop_;
    std::shared_ptr<const fi_sample> sample_;
    std::unique_ptr<int16_t[]> words_;
    double host_rate_;
    bool started_ = false;
    // The converters, one per rate of the rate table (nullptr where it is the
    // host's rate), and the converted frames not yet taken.
    std::unique_ptr<tl_resampler> rs_;
    std::unique_ptr<float[]> q_;
    uint32_t qcap_ = 0, qrd_ = 0, qn_ = 0;
};
