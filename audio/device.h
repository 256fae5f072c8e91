// The wave output device as the streaming cycle sees it: open with a format
// and a notification target, one prepared buffer written per open device, a
// notification when that buffer has played and another when the device has
// closed, a position query in samples, a reset, and a volume.
//
// Notifications never call back into the cycle directly: the device posts them
// into a wv_notify sink (an event queue), and the thread that runs the cycle
// takes them out and dispatches them. A device may post from its own audio
// thread; the sink must then neither block nor allocate.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include "midimsg.h"

// The device number of the wave mapper (the default output).
constexpr unsigned wv_mapper = 0xffffffffu;

// PCM format record: the first 16 bytes of a PCM wave format.
struct wv_format {
    int16_t wFormatTag = 1;
    int16_t nChannels = 2;
    int32_t nSamplesPerSec = 11025;
    int32_t nAvgBytesPerSec = 44100;
    int16_t nBlockAlign = 4;
    int16_t nBitsSamp = 16;
};

// Format bits of wv_caps::dwFormats: 8-bit mono, 8-bit stereo, 16-bit mono,
// 16-bit stereo at 11025 Hz; the same four times 0x10 at 22050 Hz and times
// 0x100 at 44100 Hz.
constexpr uint32_t wv_fmt_16stereo = 0x8 | 0x80 | 0x800;
constexpr uint32_t wv_fmt_all = 0xfff;
// Support bits of wv_caps::dwSupport.
constexpr uint32_t wv_sup_volume = 0x4;
constexpr uint32_t wv_sup_sync = 0x10;

// Capability record of one output device.
struct wv_caps {
    std::string name;       // at most 31 characters are shown
    uint32_t dwFormats = 0;
    uint16_t wChannels = 0;
    uint32_t dwSupport = 0;
};

// The device offers 16-bit stereo at 11025, 22050 or 44100 Hz.
inline bool wv_stereo16(const wv_caps& c) { return (c.dwFormats & wv_fmt_16stereo) != 0; }

enum class wv_evkind : uint8_t {
    done,   // the buffer written to the open device has played
    close,  // the device has closed
    timer,  // the gap timer has run out
    wake,   // nothing to dispatch (a signal or a shutdown request woke the loop)
    indata,   // the input device has filled its buffer (audio/capture.h)
    inclose,  // the input device has closed
};

struct wv_event {
    wv_evkind kind = wv_evkind::wake;
    uint32_t gen = 0;  // which opening of the device the notification belongs to
};

// Where a device posts its notifications. post() may be called from an audio
// thread and from the cycle's thread; it never blocks and never allocates.
struct wv_notify {
    virtual void post(const wv_event& ev) = 0;

  protected:
    ~wv_notify() = default;
};

// The gap timer (the editor window's own timer): one pending timeout at a
// time; when it runs out, the owner delivers a wv_evkind::timer event.
struct wv_timer {
    virtual void set(int ms) = 0;
    virtual void kill() = 0;

  protected:
    ~wv_timer() = default;
};

// One output device layer. All calls come from the cycle's thread.
struct wv_device {
    // Number of numbered output devices (0, 1, ...). The mapper is extra.
    virtual int count() = 0;
    // Reads the capabilities of device devno (or the mapper); false if the
    // device does not exist.
    virtual bool caps(unsigned devno, wv_caps& out) = 0;
    // Opens device devno with the format; notifications go to `sink` and
    // carry the generation returned in `gen`. False when it cannot be opened.
    virtual bool open(unsigned devno, const wv_format& fmt, wv_notify* sink, uint32_t& gen) = 0;
    // Prepares and writes the one buffer of this opening: `bytes` bytes of
    // samples in the open format. The device keeps its own copy, so the caller
    // may reuse the memory as soon as the done notification has arrived.
    virtual bool write(const void* data, uint32_t bytes) = 0;
    // Samples (frames) of the written buffer played so far.
    virtual int64_t position() = 0;
    // Stops playing at once; a buffer not yet reported gets its done notification.
    virtual void reset() = 0;
    // Closes the open device; the close notification follows.
    virtual void close() = 0;
    // Device volume, left and right 0..65535 (65535: samples unchanged).
    virtual void volume(uint16_t left, uint16_t right) = 0;
    // A hint that device devno will soon be opened with this format: a layer
    // that keeps a stream underneath may open it now, so that the first
    // buffer of a start plays without the stream's own start-up delay.
    virtual void standby(unsigned /*devno*/, const wv_format& /*fmt*/) {}
    // The device will not be opened again soon (the editor closed): a layer
    // that keeps a stream open between buffers closes it now.
    virtual void release() {}
    // Frames by which the done notification may come before a buffer's last
    // frames have sounded (a layer that keeps its stream fed ahead).
    virtual int lead_frames() { return 0; }
    // The device or the sound server behind it has gone away (a server
    // that ended, a card unplugged): nothing written will ever play.
    virtual bool lost() { return false; }
    // How much sound (ms) the layer may keep queued in the sound server
    // ahead of the listener; taken at the next opening of its stream.
    virtual void latency(int /*ms*/) {}
    // Frames the listener has lost so far: silence that a layer played
    // because sound was not there in time, wherever it ran short.
    virtual uint64_t lost_frames() { return 0; }
    // MIDI messages that go with the next buffer written, at frames within
    // it. A layer without a MIDI output ignores them.
    virtual void midi(const wv_midimsg* /*msgs*/, uint32_t /*count*/) {}

  protected:
    ~wv_device() = default;
};

// What a device shares whose sound a real-time thread takes (the SDL
// callback, the JACK process callback): the sink told of buffers done and of
// closing, the volume that thread applies, and the open stream's generation.
struct wv_rtdev : wv_device {
    std::atomic<wv_notify*> sink{nullptr};
    std::atomic<uint32_t> gain{0xffffffffu};  // volume: left << 16 | right, read by the real-time thread
    // Cycle's thread only.
    bool isopen = false;
    uint32_t gen = 0;

    void post(wv_evkind k, uint32_t g) {
        if (wv_notify* s = sink.load(std::memory_order_acquire)) s->post({k, g});
    }
    void close() override {
        if (!isopen) return;
        isopen = false;
        post(wv_evkind::close, gen);
    }
    void volume(uint16_t left, uint16_t right) override {
        gain.store(uint32_t{left} << 16 | right, std::memory_order_relaxed);
    }

  protected:
    ~wv_rtdev() = default;
};

// Device volume for the Volume parameter (slot 14, 0..255; 0 is the loudest):
// v = 255 - value, each channel v * 256; value 0 means the samples unchanged.
inline uint16_t wv_volume_for(int value) {
    if (value <= 0) return 0xffff;
    if (value >= 255) return 0;
    return static_cast<uint16_t>((255 - value) * 256);
}
