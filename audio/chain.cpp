#include "audio/chain.h"

#include "audio/blowup.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <iterator>

int wv_blowfactor(int blowopt) {
    return blowopt > 0 && blowopt < wv_blow_nmethods ? wv_blow_methods[blowopt].factor : 1;
}

wv_blowup wv_blowup_for(int rateidx, int blowopt, int32_t frames) {
    wv_blowup b{blowopt, rateidx, frames};
    if (b.method <= 0 || b.method >= wv_blow_nmethods) {
        b.method = 0;
        return b;
    }
    const int f = wv_blow_methods[b.method].factor;
    if (rateidx + 6 * f > 48) {
        b.method = 0;
    } else {
        b.frames = static_cast<int32_t>(static_cast<uint32_t>(frames) / static_cast<uint32_t>(f));
        b.rateidx = rateidx + 6 * f;
    }
    return b;
}

int32_t wv_beat_size(int beat, bool sampling, int blowopt) {
    // The beat parameter comes from the setting; keep it to the slot's range
    // so that the size stays a sane positive number.
    const int32_t b = std::clamp(beat, 0, 32767);
    if (sampling) {
        int32_t n = b + 3;
        if (n < 12) n = (11 / n + 1) * n;
        n *= wv_blowfactor(blowopt);
        return (n + 4) * 256;
    }
    int32_t n = b + 1;
    if (n < 3) n = 4;
    n *= wv_blowfactor(blowopt);
    return (n + 1) * 1024;
}

void wv_replay_scale(int16_t* buf, int32_t frames, int p) {
    const int32_t words = 2 * frames;
    if (p <= 0) {
        std::fill_n(buf, words, int16_t{0});
    } else if (p < 128) {
        for (int32_t i = 0; i < words; ++i) buf[i] = static_cast<int16_t>(buf[i] * p / 128);
    }
}

void wv_tick_replay(wvplay& pb, rov_globphase& g, int32_t frames, int p) {
    const int j = g.rov_pl1load2 ? 0 : 1;
    g.rov_pl1load2 = static_cast<int8_t>(j);
    wv_replay_scale(pb.data[j].data(), frames, p);
}

void wv_start_silence(wvplay& pb, rov_globphase& g) {
    for (auto& d : pb.data) std::fill_n(d.data(), pb.bufsize / 2 - 512, int16_t{0});
    pb.bufcurrp = pb.bufcurrn = 0;
    g.rov_pl1load2 = 1;
}

void wv_shape_rotate(int16_t* w, int32_t bufsize) {
    const int32_t n = bufsize / 2 - 512;
    const int32_t k = (bufsize - 1024) / 16;
    auto scale = [k](int16_t& x, int32_t i) { x = static_cast<int16_t>(x * i / k); };
    for (int32_t i = 0; i < k; ++i) {
        scale(w[2 * i], i);
        w[2 * i + 1] = 0;
        w[n - 2 * i] = 0;
        scale(w[n - 2 * i - 1], i);
        scale(w[2 * (i + k) + 1], i);
        scale(w[n - 2 * (i + k)], i);
    }
}

void wv_shape_fade(int16_t* w, int32_t bufsize) {
    const int32_t n = bufsize / 2 - 512;
    for (int32_t i = 0; i < 256; ++i) {
        w[i] = static_cast<int16_t>((w[i] * i) >> 8);
        w[n - i] = static_cast<int16_t>((w[n - i] * i) >> 8);
    }
}

void wv_to8bit(const int16_t* in, int32_t frames, int volume, uint8_t* out) {
    // A setting file may hold any volume: from 260 on the divisor would be
    // zero or negative, and far below 0 the quotient would be 0; both ends are
    // kept where the division stays defined.
    const int32_t k = std::max(32767 / (260 - std::min(volume, 259)), 1);
    for (int32_t i = 0; i < frames; ++i)
        out[i] = static_cast<uint8_t>(128 + in[2 * i] / k + in[2 * i + 1] / k);
}

void wv_mix_add(int16_t* w, const int16_t* mix, int32_t words, int level) {
    for (int32_t i = 0; i < words; ++i) {
        const int64_t sum = w[i] + int64_t{mix[i]} * level / 100;
        w[i] = static_cast<int16_t>(std::clamp<int64_t>(sum, INT16_MIN, INT16_MAX));
    }
}

void wv_mixstage::run(wv_chainbuf& b) {
    if (levels) levels->mixpeak = -1;
    if (!src->is_open()) return;
    const int32_t want = std::min<int32_t>(b.frames, static_cast<int32_t>(rd.size() / 2));
    const int32_t got = std::clamp(src->read(rd.data(), want, b.rate), 0, 2 * want);
    wv_mix_add(b.w, rd.data(), got, opt->playbmix);
    if (levels) levels->mixpeak = wv_peak(rd.data(), got);
    if (got < 2 * want) src->close();
}

void wv_visstage::run(wv_chainbuf& b) {
    if (opt->vistyp > 0) sink->frame(b.w, b.frames, mem);
}

void wv_visstage::reset() { std::fill(std::begin(mem), std::end(mem), int16_t{0}); }

void wv_levelstage::run(wv_chainbuf& b) {
    if (!b.refill) return;
    // The mix file's peak and the tracks of Multiple play were measured
    // earlier in this refill.
    wv_levelset l;
    l.mixpeak = levels->mixpeak;
    l.tracks = levels->tracks;
    if (l.tracks)
        for (int k = 2; k <= 5; ++k) l.lev[k] = levels->lev[k];
    const int mixpeak = l.mixpeak;
    *levels = l;
    if (!wv_levels(*opt)) return;
    levels->lev[0] = wv_peak(b.w, 2 * b.frames);
    if (opt->dispmode == wv_disp_alllevels && mixpeak >= 0)
        levels->lev[7] = static_cast<int>(static_cast<int64_t>(mixpeak) * opt->playbmix / 100);
}

void wv_echocopy::run(wv_chainbuf& b) {
    std::copy_n(b.w, std::min<std::size_t>(2 * static_cast<std::size_t>(b.frames), copy.size()), copy.data());
}

void wv_gapshape::run(wv_chainbuf& b) {
    if (!b.gaps) return;
    if (opt->emrotate)
        wv_shape_rotate(b.w, b.bufsize);
    else if (!(recording && recording->is_open()))
        wv_shape_fade(b.w, b.bufsize);
}

void wv_mono8::run(wv_sendbuf& b) {
    // Into a buffer of its own: the 16-bit words stay intact for the rows
    // that replay a buffer and for the echo source.
    const int32_t n = std::min<int32_t>(b.frames, static_cast<int32_t>(out.size()));
    wv_to8bit(b.w, n, b.volume, out.data());
    b.data = out.data();
    b.bytes = static_cast<uint32_t>(n);
}

void wv_hdwrite::run(wv_sendbuf& b) {
    if (!rec->is_open()) return;
    errno = 0;
    if (!rec->append(b.data, b.bytes, b.rate)) {
        failed = true;
        err = errno;
    }
}

namespace {

// The stages of the output effects at one place, in the table's order.
void add_effects(wv_chain& c, const wv_options& opt, wv_effect_place place) {
    for (int i = 0; i < wv_optlist_n; ++i) {
        const wv_effect* fx = wv_optlist[i]->effect;
        if (fx && fx->place == place && fx->built(opt)) c.compute.push_back(fx->make(opt));
    }
}

}  // namespace

void wv_chain_build(wv_chain& c, const wv_options& opt, bool echo, std::size_t words, const wv_recsink* recording,
                    wv_mixsource* mix, wv_recsink* rec, wv_vissink* vis) {
    c = wv_chain{};
    if (mix && mix->is_open()) {
        auto m = std::make_unique<wv_mixstage>(mix, &opt, words);
        m->levels = &c.levels;
        c.compute.push_back(std::move(m));
    }
    // Nothing alters the played buffer (16-bit, no effect that changes it):
    // the echo routine may read it directly.
    bool altered = !opt.stereoset;
    for (int i = 0; i < wv_optlist_n; ++i)
        if (const wv_effect* fx = wv_optlist[i]->effect) altered = altered || fx->alters(opt);
    if (echo && altered) {
        auto e = std::make_unique<wv_echocopy>(words);
        c.echo = e.get();
        c.compute.push_back(std::move(e));
    }
    add_effects(c, opt, wv_fx_before_visuals);
    if (vis) c.compute.push_back(std::make_unique<wv_visstage>(vis, &opt));
    c.compute.push_back(std::make_unique<wv_levelstage>(&c.levels, &opt));
    add_effects(c, opt, wv_fx_after_levels);
    c.compute.push_back(std::make_unique<wv_gapshape>(&opt, recording));
    if (!opt.stereoset) c.send.push_back(std::make_unique<wv_mono8>(words / 2));
    if (rec) {
        auto h = std::make_unique<wv_hdwrite>(rec);
        c.hd = h.get();
        c.send.push_back(std::move(h));
    }
}

void wv_chain_run(const wv_chain& c, wv_chainbuf& b) {
    for (const auto& st : c.compute) st->run(b);
}

void wv_chain_reset(const wv_chain& c) {
    for (const auto& st : c.compute) st->reset();
}

void wv_chain_send(const wv_chain& c, wv_sendbuf& b) {
    b.data = b.w;
    b.bytes = static_cast<uint32_t>(b.frames) * 4;
    for (const auto& st : c.send) st->run(b);
}
