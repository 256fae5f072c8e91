// The output device of the window program: the default layer's devices by
// their numbers, and the JACK output by wv_jack_devno. Each opening goes to
// the layer its device number names; the JACK client is started the first
// time it is asked for (and again after its server went away), so that a
// program that never chooses JACK never talks to a JACK server.
#pragma once

#include <functional>

#include "audio/device.h"
#include "audio/jackdev.h"

struct wv_devswitch final : wv_device {
    wv_device* main = nullptr;   // the default layer
    wv_jackdev* jack = nullptr;  // the JACK layer; nullptr: none
    std::function<bool()> jack_up;  // starts its client; false when there is no server

    int count() override { return main->count(); }
    bool caps(unsigned devno, wv_caps& out) override;
    bool open(unsigned devno, const wv_format& fmt, wv_notify* sink, uint32_t& gen) override;
    bool write(const void* data, uint32_t bytes) override { return cur && cur->write(data, bytes); }
    int64_t position() override { return cur ? cur->position() : 0; }
    void reset() override {
        if (cur) cur->reset();
    }
    void close() override {
        if (cur) cur->close();
    }
    void volume(uint16_t left, uint16_t right) override;
    void standby(unsigned devno, const wv_format& fmt) override {
        if (devno != wv_jack_devno) main->standby(devno, fmt);
    }
    void release() override { main->release(); }
    int lead_frames() override { return cur ? cur->lead_frames() : 0; }
    bool lost() override { return cur && cur->lost(); }
    void latency(int ms) override;
    uint64_t lost_frames() override { return cur ? cur->lost_frames() : 0; }
    void midi(const wv_midimsg* msgs, uint32_t count) override {
        if (cur) cur->midi(msgs, count);
    }

    wv_device* cur = nullptr;    // the layer of the last opening
    uint16_t vol_l = 0xffff, vol_r = 0xffff;
    int latency_ms = wv_latency_default_ms;

  private:
    wv_device* layer(unsigned devno);
};
