#include "lv2/synth.h"

#include <soxr.h>

#include <algorithm>
#include <cstring>

#include "audio/chain.h"
#include "audio/options.h"
#include "audio/refill.h"
#include "audio/stream.h"
#include "engine/rows.h"
#include "lv2/ports.h"
#include "engine/slots.h"

tl_config tl_default_config() {
    tl_config c;
    rov_default_setting(c.setting);
    return c;
}

float tl_port_default(uint32_t index, const rov_setting& def) {
    if (index >= tl_nports) return 0;
    const tl_port& d = tl_ports[index];
    switch (d.kind) {
    case tl_port_row: return def.rov_stdalg;
    case tl_port_slot: return def.rov_p[d.slot];
    case tl_port_saw: return def.rov_saw[0];
    case tl_port_voices: return 8;
    default: return 0;
    }
}

int tl_config_row(const tl_config& c) {
    const auto plays = [](int r) { return r >= 0 && r < rov_natab && rov_row_computed(r); };
    if (plays(c.row)) return c.row;
    if (plays(c.setting.rov_stdalg)) return c.setting.rov_stdalg;
    for (int r = 0; r < rov_natab; ++r)
        if (plays(r)) return r;
    return rov_row_empty();
}

void tl_options_write(const tl_config& c, uint8_t out[tl_options_bytes]) {
    out[0] = 1;  // form version
    out[1] = static_cast<uint8_t>(c.row < 0 ? 0xff : c.row);
    out[2] = static_cast<uint8_t>(c.setnr);
    out[3] = c.emphas ? 1 : 0;
    out[4] = c.tonalias ? 1 : 0;
    out[5] = static_cast<uint8_t>(c.maxv);
    out[6] = out[7] = 0;
}

bool tl_options_read(tl_config& c, const uint8_t in[tl_options_bytes]) {
    const int row = in[1] == 0xff ? -1 : in[1];
    if (in[0] != 1 || row >= rov_natab || in[2] > 9 || in[3] > 1 || in[4] > 1 || in[5] < 1 || in[5] > 64) return false;
    c.row = row;
    c.setnr = in[2];
    c.emphas = in[3] != 0;
    c.tonalias = in[4] != 0;
    c.maxv = in[5];
    return true;
}

std::string tl_sample_bytes(const fi_sample& s) {
    std::string out(12, '\0');
    auto put = [&out](std::size_t at, uint32_t v) {
        for (int k = 0; k < 4; ++k) out[at + k] = static_cast<char>((v >> (8 * k)) & 0xff);
    };
    put(0, static_cast<uint32_t>(s.length));
    put(4, static_cast<uint32_t>(s.rate));
    put(8, static_cast<uint32_t>(std::min<int64_t>(s.given, INT32_MAX)));
    out.append(reinterpret_cast<const char*>(s.area.data()), s.area.size());
    return out;
}

bool tl_sample_from_bytes(const void* data, std::size_t n, fi_sample& s) {
    const auto* b = static_cast<const uint8_t*>(data);
    if (n < 12 + 24) return false;
    auto get = [b](std::size_t at) {
        return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
               static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
    };
    const uint32_t length = get(0), rate = get(4), given = get(8);
    const std::size_t area = n - 12;
    // The length counts the 24 header bytes of the area and never passes it.
    if (length < 24 || length > area || area % 2 != 0 || rate == 0 || rate > 1000000 || length > INT32_MAX) return false;
    fi_sample t;
    t.area.assign(b + 12, b + n);
    t.length = static_cast<int32_t>(length);
    t.rate = static_cast<int32_t>(rate);
    t.given = given;
    s = std::move(t);
    return true;
}

bool tl_device::write(const void* data, uint32_t bytes) {
    const auto n = static_cast<int32_t>(bytes / 4);
    if (fmt.nBitsSamp != 16 || fmt.nChannels != 2 || n > cap) return false;
    std::memcpy(words, data, static_cast<std::size_t>(n) * 4);
    frames = n;
    pos = 0;
    rate = fmt.nSamplesPerSec;
    if (sink) sink->post({wv_evkind::done, gen});
    return true;
}

// One converter per rate of the rate table, made when the instrument is
// built: a program change or a Rate change in a block finds its converter
// ready. Each takes 16-bit stereo and gives floats.
struct tl_resampler {
    soxr_t at[pbrates_n] = {};
    ~tl_resampler() {
        for (soxr_t& s : at)
            if (s) soxr_delete(s);
    }
};

namespace {

// Converted frames made from at most this many buffer frames at a time.
constexpr int32_t chunk_frames = 64;

int rate_index(int32_t rate) {
    for (int i = 0; i < pbrates_n; ++i)
        if (pbrates[i] == rate) return i;
    return -1;
}

}  // namespace

tl_synth::tl_synth(const tl_config& c, double host_rate) : sample_(c.sample), host_rate_(host_rate) {
    wv_program& p = p_;
    wv_program_init(p);
    p.fg.s = c.setting;
    wv_options& o = p.opt;
    o.emphas = c.emphas;
    o.tonalias = c.tonalias;
    o.maxv = std::clamp(c.maxv, 1, 64);
    // Nothing reads the status line here; "Off" keeps the cycle from writing it.
    o.dispmode = wv_disp_off;
    wv_caps caps;
    dev_.caps(wv_mapper, caps);
    o.woc = caps;
    o.stereo16 = o.stereoset = true;

    wv_stream& s = p.ws;
    s.algomod = tl_config_row(c);
    s.setnr = std::clamp(c.setnr, 0, 9);
    const int t = p.fg.s.rov_tonindx[s.setnr];
    s.tonr = t >= 0 && t <= 9 ? t : 0;
    rov_start(&p.fg.h, s.algomod, s.setnr, s.tonr);

    const int32_t words = static_cast<int32_t>(wv_words(o.bufszorig));
    words_ = std::make_unique<int16_t[]>(static_cast<std::size_t>(words));
    dev_.words = words_.get();
    dev_.cap = words / 2;

    wv_program_wire(p, dev_, loop_, loop_);
    if (sample_ && sample_->length > 0) {
        p.smploaded = true;
        p.smpbytes = sample_->length;
        p.smpszorig = static_cast<int32_t>(sample_->area.size());
        s.sample = {sample_->words(), sample_->nwords(), sample_->around()};
    }

    rs_ = std::make_unique<tl_resampler>();
    double most = 1;
    for (int i = 0; i < pbrates_n; ++i) {
        if (pbrates[i] == host_rate) continue;
        const soxr_io_spec_t io = soxr_io_spec(SOXR_INT16_I, SOXR_FLOAT32_I);
        const soxr_quality_spec_t q = soxr_quality_spec(SOXR_HQ, 0);
        soxr_error_t err = nullptr;
        rs_->at[i] = soxr_create(pbrates[i], host_rate, 2, &err, &io, &q, nullptr);
        if (err) rs_->at[i] = nullptr;
        most = std::max(most, host_rate / pbrates[i]);
    }
    qcap_ = static_cast<uint32_t>(chunk_frames * most) + 4096;
    q_ = std::make_unique<float[]>(2 * static_cast<std::size_t>(qcap_));
    // A converter grows its memory in its first calls: they happen here, on
    // silence, so that a block never allocates. The silence stays in the
    // converter's past; it adds nothing but the filter's delay.
    const int16_t zeros[2 * chunk_frames] = {};
    for (soxr_t r : rs_->at) {
        if (!r) continue;
        for (int k = 0; k < 256; ++k) {
            size_t idone = 0, odone = 0;
            soxr_process(r, zeros, chunk_frames, &idone, q_.get(), qcap_, &odone);
        }
    }

    wv_stream_open(s);
}

tl_synth::~tl_synth() { wv_stream_close(p_.ws); }

bool tl_synth::dispatch_one() {
    wv_event ev;
    bool have = wv_evq_pop(loop_.q, ev);
    if (!have && loop_.armed) {
        loop_.armed = false;
        ev = {wv_evkind::timer, 0};
        have = true;
    }
    if (have) wv_dispatch(p_.ws, ev);
    return have;
}

void tl_synth::refill_queue() {
    qrd_ = qn_ = 0;
    const int32_t avail = dev_.frames - dev_.pos;
    if (avail <= 0) return;
    const int16_t* in = dev_.words + 2 * static_cast<std::ptrdiff_t>(dev_.pos);
    float* out = q_.get();
    if (dev_.rate == host_rate_) {
        const int32_t n = std::min<int32_t>(avail, static_cast<int32_t>(qcap_));
        for (int32_t i = 0; i < 2 * n; ++i) out[i] = static_cast<float>(in[i]) / 32768.0f;
        dev_.pos += n;
        qn_ = static_cast<uint32_t>(n);
        return;
    }
    const int ri = rate_index(dev_.rate);
    soxr_t rs = ri >= 0 ? rs_->at[ri] : nullptr;
    if (!rs) {
        // No converter for this rate: the buffer is not heard.
        dev_.pos = dev_.frames;
        return;
    }
    const int32_t n = std::min(avail, chunk_frames);
    size_t idone = 0, odone = 0;
    soxr_process(rs, in, static_cast<size_t>(n), &idone, out, qcap_, &odone);
    dev_.pos += static_cast<int32_t>(idone);
    qn_ = static_cast<uint32_t>(odone);
}

void tl_synth::render(float* left, float* right, uint32_t n) {
    if (!started_) {
        started_ = true;
        wv_start(p_.ws);
    }
    uint32_t done = 0;
    // A cycle that gives nothing (it has stopped) leaves silence.
    int idle = 0;
    while (done < n) {
        if (qn_ > 0) {
            const uint32_t k = std::min(qn_, n - done);
            const float* q = q_.get() + 2 * static_cast<std::size_t>(qrd_);
            for (uint32_t i = 0; i < k; ++i) {
                left[done + i] = q[2 * i];
                right[done + i] = q[2 * i + 1];
            }
            qrd_ += k;
            qn_ -= k;
            done += k;
            idle = 0;
            continue;
        }
        if (dev_.pos < dev_.frames) {
            refill_queue();
            if (qn_ == 0 && ++idle > 1000) break;
            continue;
        }
        if (!dispatch_one() && !p_.ws.playing) break;
        if (++idle > 1000) break;
    }
    for (uint32_t i = done; i < n; ++i) left[i] = right[i] = 0.0f;
}

void tl_synth::slot_range(int slot, int& lo, int& hi) const {
    const rov_rowdesc& d = rov_row(p_.ws.algomod);
    const rov_slotrange* range = d.names ? d.names->range : rov_slotranges;
    lo = range[slot].physmin;
    hi = rov_slotmax(range, slot, p_.opt.maxv);
}

void tl_synth::set_slot(int slot, int value) {
    if (slot < 0 || slot >= rov_nparams) return;
    int lo = 0, hi = 0;
    slot_range(slot, lo, hi);
    p_.fg.s.rov_p[p_.ws.setnr * rov_nparams + slot] = static_cast<int16_t>(std::clamp(value, lo, hi));
}

// The options of the playing instrument, without its setting and sample.
tl_config tl_synth::options() const {
    tl_config c;
    c.row = p_.ws.algomod;
    c.setnr = p_.ws.setnr;
    c.emphas = p_.opt.emphas;
    c.tonalias = p_.opt.tonalias;
    c.maxv = p_.opt.maxv;
    return c;
}

void tl_synth::options_bytes(uint8_t out[tl_options_bytes]) const { tl_options_write(options(), out); }

void tl_synth::select_set(int setnr) {
    if (setnr < 0 || setnr > 9 || setnr == p_.ws.setnr) return;
    p_.ws.setnr = setnr;
    const int t = p_.fg.s.rov_tonindx[setnr];
    p_.ws.tonr = t >= 0 && t <= 9 ? t : 0;
}

void tl_synth::set_saw(bool on) { p_.fg.s.rov_saw[p_.ws.setnr] = on ? 1 : 0; }

void tl_synth::set_options(bool emphas, bool tonalias, int maxv) {
    wv_options& o = p_.opt;
    maxv = std::clamp(maxv, 1, 64);
    if (o.emphas == emphas && o.tonalias == tonalias && o.maxv == maxv) return;
    o.emphas = emphas;
    o.tonalias = tonalias;
    o.maxv = maxv;
    const int8_t stopped = p_.fg.g.rov_stopped;
    rov_open(&p_.fg.h, emphas, tonalias, maxv);
    p_.fg.g.rov_stopped = stopped;
}

void tl_synth::pause(bool on) { p_.fg.g.rov_stopped = on ? 1 : 0; }

bool tl_synth::paused() const { return p_.fg.g.rov_stopped != 0; }

tl_config tl_synth::config() const {
    tl_config c = options();
    c.setting = p_.fg.s;
    c.sample = sample_;
    return c;
}
