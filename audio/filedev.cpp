#include "audio/filedev.h"

bool wv_offlinedev::caps(unsigned devno, wv_caps& c) {
    if (devno != wv_mapper && devno != 0) return false;
    c.name = devname;
    c.dwFormats = wv_fmt_all;
    c.wChannels = 2;
    c.dwSupport = 0;
    return true;
}

bool wv_offlinedev::open(unsigned, const wv_format& f, wv_notify* s, uint32_t& g) {
    fmt = f;
    sink = s;
    g = ++gen;
    isopen = true;
    return true;
}

bool wv_filedev::write(const void* data, uint32_t bytes) {
    if (!out) return false;
    const void* p = data;
    if (fmt.nBitsSamp == 16) {
        // The words in little-endian byte order, whatever the host's.
        const auto* w = static_cast<const int16_t*>(data);
        le.resize(bytes);
        for (uint32_t i = 0; i < bytes / 2; ++i) {
            const auto u = static_cast<uint16_t>(w[i]);
            le[2 * i] = static_cast<uint8_t>(u & 0xff);
            le[2 * i + 1] = static_cast<uint8_t>(u >> 8);
        }
        p = le.data();
    }
    if (!out->put(p, bytes, static_cast<int32_t>(fmt.nSamplesPerSec))) {
        failed = true;
        return false;
    }
    ++buffers;
    if (midiout && midiout->rate > 0 && fmt.nSamplesPerSec > 0) {
        // The file's frames of this buffer, the remainder carried on.
        const uint64_t frames = bytes / static_cast<uint32_t>(fmt.nBlockAlign > 0 ? fmt.nBlockAlign : 4);
        const uint64_t num = frames * static_cast<uint64_t>(midiout->rate) + midirem;
        midipos += num / static_cast<uint64_t>(fmt.nSamplesPerSec);
        midirem = num % static_cast<uint64_t>(fmt.nSamplesPerSec);
    }
    if (sink) sink->post({wv_evkind::done, gen});
    return true;
}

void wv_filedev::midi(const wv_midimsg* msgs, uint32_t count) {
    if (!midiout || midiout->rate <= 0 || fmt.nSamplesPerSec <= 0) return;
    const auto rate = static_cast<uint64_t>(fmt.nSamplesPerSec);
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t at = (static_cast<uint64_t>(msgs[i].frame) * static_cast<uint64_t>(midiout->rate) + midirem) / rate;
        midiout->put(midipos + at, msgs[i]);
    }
}

void wv_offlinedev::close() {
    if (!isopen) return;
    isopen = false;
    if (sink) sink->post({wv_evkind::close, gen});
}
