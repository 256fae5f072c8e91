#include "audio/stream.h"

#include <algorithm>
#include <cstdio>

#include "audio/chain.h"

namespace {

// Parameter s of the playing set.
int16_t param(const wv_stream& s, int slot) { return s.roh->s->rov_p[s.setnr * rov_nparams + slot]; }

int algtyp(int row) { return row >= 0 && row < rov_natab ? atab[row].algtyp : 0; }

// A harddisc recording file is open. Harddisc recording is not built yet:
// no file is ever open and every "while recording" branch is idle.
bool recording(const wv_stream&) { return false; }

// Hook points of the output chain for the steps not built yet (mix file,
// fuzz, visual effects, level meter, blow-up, harddisc write); each sits in
// its fixed place and does nothing for now.
void chain_mixfile(wv_stream&, int16_t*, int32_t) {}
void chain_fuzz(wv_stream&, int16_t*, int32_t) {}
void chain_visuals(wv_stream&, int16_t*, int32_t) {}
void chain_level(wv_stream&, int16_t*, int32_t) {}
void chain_blowup(wv_stream&, int16_t*, int32_t, int) {}
void send_harddisc(wv_stream&, const void*, uint32_t) {}

// Steps 2 to 7 of the output chain on buffer j, computed with `frames`
// frames under blow-up method `method`. `refill`: a turn's refill (not one of
// the two start buffers).
void chain(wv_stream& s, int j, int32_t frames, int method, bool refill) {
    int16_t* w = s.pb.data[j].data();
    chain_mixfile(s, w, frames);
    // The echo copy: the echo algorithm reads this clean copy of the last
    // computed buffer instead of the one being played, which later steps alter.
    if (s.pb.echobufsav && !s.pb.aux.empty()) std::copy_n(w, 2 * frames, s.pb.aux.data());
    chain_fuzz(s, w, frames);
    chain_visuals(s, w, frames);
    if (refill) chain_level(s, w, frames);
    if (method > 0 && !(refill && s.algomod == 3)) chain_blowup(s, w, frames, method);
}

// Rate of this buffer and the frames to compute, by the Rate parameter and
// the blow-up method.
wv_blowup rate_for_buffer(wv_stream& s) {
    const wv_blowup b = wv_blowup_for(param(s, 13), s.opt.blowopt, wv_frames(s.pb.bufsize));
    s.wvFormat.nSamplesPerSec = rov_rate(b.rateidx);
    s.wvFormat.nAvgBytesPerSec = s.wvFormat.nBlockAlign * s.wvFormat.nSamplesPerSec;
    return b;
}

// Sends play buffer j: 8-bit conversion when needed, the harddisc write, then
// the device is opened and the buffer written. False when the device failed;
// the cycle then ends.
bool send(wv_stream& s, int j) {
    const int32_t frames = wv_frames(s.pb.bufsize);
    const void* data = s.pb.data[j].data();
    uint32_t bytes = static_cast<uint32_t>(frames) * 4;
    if (!s.stereoset) {
        // Into a separate byte buffer: the 16-bit words stay intact for the
        // rows that replay a buffer and for the echo source.
        s.out8.resize(static_cast<std::size_t>(frames));
        wv_to8bit(s.pb.data[j].data(), frames, param(s, 14), s.out8.data());
        data = s.out8.data();
        bytes = static_cast<uint32_t>(frames);
    }
    send_harddisc(s, data, bytes);
    if (!s.dev->open(s.opt.wvodevno, s.wvFormat, s.sink, s.gen)) return false;
    s.hwaveout = true;
    if (!s.dev->write(data, bytes)) {
        // The close notification of this opening is not waited for: the
        // cycle ends here.
        s.dev->close();
        s.hwaveout = false;
        return false;
    }
    return true;
}

// The cycle has ended on a device failure.
void cycle_failed(wv_stream& s) {
    s.playing = false;
    s.status = "the output device could not be opened";
}

// Resets and closes the output device if it is open; true when it was.
bool device_off(wv_stream& s) {
    if (!s.hwaveout) return false;
    s.dev->reset();
    s.dev->close();
    s.hwaveout = false;
    return true;
}

void tick(wv_stream& s) {
    if (s.timer) s.timer->kill();
    s.timerset = false;

    // The stop request.
    if (s.bufidle <= -1) {
        device_off(s);
        s.closepending = false;
        s.playing = false;
        return;
    }
    // The emergency: no user activity for the whole time to play.
    if (s.bufidle == 0) {
        if (!s.opt.emergency) {
            if (s.opt.emrotate)
                s.algomod = 22;
            else
                s.roh->g->rov_stopped = 1;
        }
    } else {
        --s.bufidle;
    }

    const wv_blowup b = rate_for_buffer(s);
    if (!send(s, wv_sendindex(*s.roh->g))) {
        cycle_failed(s);
        return;
    }

    // Refill the other buffer while this one plays.
    const int row = s.algomod;
    if (row < 21 && wv_playable(row)) {
        const wv_source src{s.roh, row, s.setnr, s.tonr, s.sample};
        wv_tick_fill(s.pb, src, b.frames);
    } else {
        // Row 22, Multiple play without its scratch buffer, or a row whose
        // routine is not there: the buffer of two turns before plays again.
        wv_tick_replay(s.pb, *s.roh->g, b.frames, param(s, 15));
    }
    const int f = wv_sendindex(*s.roh->g);
    chain(s, f, b.frames, b.method, true);

    // Gap shaping.
    if (s.bufidle2 <= 0 && row != 3) {
        if (s.opt.emrotate)
            wv_shape_rotate(s.pb.data[f].data(), s.pb.bufsize);
        else if (!recording(s))
            wv_shape_fade(s.pb.data[f].data(), s.pb.bufsize);
    }

    // CPU measure: how much of the playing buffer has already played now that
    // the next one is ready, in percent.
    s.last.charge = -1;
    if (s.opt.wvomeasure) {
        const int64_t pos = s.dev->position();
        const int charge = static_cast<int>(pos * 400 / (s.pb.bufsize - 1024));
        s.last.charge = charge;
        s.maxcharge = std::max(s.maxcharge, charge);
        if (!recording(s) && !s.opt.levels) {
            if (charge < 90)
                ++s.bufidle;
            else if (charge == 100)
                s.bufidle -= 5;
            else if (charge >= 98)
                --s.bufidle;
            if (s.bufidle < 0) s.bufidle = 0;
        }
    }
}

// The device has closed: the next turn, at once or after a gap.
void closed(wv_stream& s) {
    if (s.bufidle2 <= 0) {
        s.timerset = true;
        // The device may report a buffer done ahead of its last frames; the
        // gap counts from the end of the sound.
        const int lead_ms = static_cast<int>(int64_t{s.dev->lead_frames()} * 1000 / s.wvFormat.nSamplesPerSec);
        if (s.timer) s.timer->set(wv_gap_ms(s) + lead_ms);
        return;
    }
    // A stop request (-1) is no emergency: it leaves the gap-free allowance.
    if (s.bufidle == 0) --s.bufidle2;
    tick(s);
}

}  // namespace

bool wv_probe(wv_stream& s) {
    s.woc = wv_caps{};
    const bool ok = s.dev->caps(s.opt.wvodevno, s.woc);
    s.stereo16 = s.stereoset = wv_stereo16(s.woc);
    return ok;
}

void wv_toggle_mono8(wv_stream& s) {
    if (s.stereoset)
        s.stereoset = false;
    else if (s.stereo16)
        s.stereoset = true;
}

void wv_stream_open(wv_stream& s) {
    if (s.algomod < 0 || s.algomod > 22) s.algomod = 22;
    s.openrow = s.algomod;
    const int32_t size = s.opt.bufszorig;
    if (recording(s)) {
        s.bufidle2 = 0;
        s.bufidle = s.bufrest;
    } else if (!s.opt.emergency && s.opt.emrotate) {
        s.bufidle2 = 6000000 / size;
    } else if (s.opt.sampmaxidle > 300000) {
        s.bufidle2 = 1000000 / size;
    } else {
        s.bufidle2 = 0;
    }
    s.timerset = false;
    s.InCount = 0;

    bool echo = algtyp(s.algomod) == 2;
    if (s.algomod == 21) echo = algtyp(s.roh->s->rov_stdalg) == 2;
    // Nothing alters the played buffer (16-bit, no fuzz, no blow-up): the echo
    // algorithm may read it directly.
    if (s.stereoset && s.opt.blowopt == 0) echo = false;

    wv_alloc(s.pb, size, echo);
    s.pb.bufincr = s.opt.bufincr;
    s.pb.echobufsav = echo;
    s.allocated = true;
    s.wvFormat.wFormatTag = 1;
    s.wvFormat.nChannels = s.stereoset ? 2 : 1;
    s.wvFormat.nBlockAlign = s.stereoset ? 4 : 1;
    s.wvFormat.nBitsSamp = s.stereoset ? 16 : 8;

    rov_open(s.roh, s.opt.emphas, s.opt.tonalias, s.opt.maxv);
    rate_for_buffer(s);
    s.dev->standby(s.opt.wvodevno, s.wvFormat);
}

void wv_stream_close(wv_stream& s) {
    if (s.timer) s.timer->kill();
    s.timerset = false;
    s.wvFormat.nSamplesPerSec = rov_rate(param(s, 13));
    s.wvFormat.nAvgBytesPerSec = s.wvFormat.nBlockAlign * s.wvFormat.nSamplesPerSec;
    device_off(s);
    s.dev->release();
    s.closepending = false;  // nothing is dispatched to a closed editor
    s.pb = wvplay{};
    s.out8 = {};
    s.allocated = false;
    s.playing = false;
    s.bufrest = s.bufidle;
}

bool wv_start(wv_stream& s) {
    if (!s.allocated) return false;
    // A "Rotate" emergency replaced the row by the replaying empty algorithm
    // for the rest of that play; a new start plays the editor's row again.
    s.algomod = s.openrow;
    s.playing = true;
    s.bufcuup = 1;
    s.maxcharge = 0;
    s.status.clear();

    if (s.opt.autotempo) {
        const int32_t size = wv_beat_size(param(s, 11), algtyp(s.algomod) == 1, s.opt.blowopt);
        if (size < s.opt.bufszorig) {
            s.pb.bufsize = size;
            s.pb.bufincr = s.opt.bufincr = 512;
        }
    }
    s.bufmaxidle = static_cast<int>(s.opt.sampmaxidle / s.pb.bufsize);
    if (!recording(s)) s.bufidle = s.bufmaxidle;

    // Multiple play starts from the main set's own algorithm.
    int row = s.algomod;
    if (row == 21) row = s.roh->s->rov_stdalg;
    rov_start(s.roh, row >= 0 && row < rov_natab ? row : 22, s.setnr, s.tonr);

    const wv_blowup b = rate_for_buffer(s);
    const bool computed = row >= 0 && row < 21 && wv_playable(row);
    const wv_source src{s.roh, row, s.setnr, s.tonr, s.sample};
    if (computed)
        wv_fill(s.pb, src, 0, b.frames, true);
    else
        wv_start_silence(s.pb, *s.roh->g);
    chain(s, 0, b.frames, b.method, false);

    if (!send(s, 0)) {
        cycle_failed(s);
        return false;
    }
    // A device that reports the whole buffer played right after the write
    // plays synchronously: gaps from the start.
    if (s.dev->position() >= wv_frames(s.pb.bufsize)) {
        s.bufidle2 = 0;
        s.woc.dwSupport |= wv_sup_sync;
    }
    // Buffer 1 is computed while buffer 0 plays.
    if (computed) wv_start_second(s.pb, src, b.frames);
    chain(s, 1, b.frames, b.method, false);
    return true;
}

void wv_stop(wv_stream& s) {
    if (s.hwaveout || s.closepending) {
        if (device_off(s)) s.closepending = true;
        s.playing = false;
        if (s.opt.wvomeasure) {
            char line[80];
            std::snprintf(line, sizeof line, "setting %d, scale %d, maxCPU %d", s.setnr, s.tonr, s.maxcharge);
            s.status = line;
        }
        if (recording(s)) s.bufrest = s.bufidle;
        s.bufidle = -1;
    } else if (s.timerset) {
        if (s.timer) s.timer->kill();
        s.timerset = false;
        s.playing = false;
    }
}

void wv_button(wv_stream& s) {
    if (wv_idle(s))
        wv_start(s);
    else
        wv_stop(s);
}

void wv_dispatch(wv_stream& s, const wv_event& ev) {
    switch (ev.kind) {
        case wv_evkind::done:
            if (s.hwaveout && ev.gen == s.gen) {
                s.dev->close();
                s.hwaveout = false;
                s.closepending = true;
            }
            break;
        case wv_evkind::close:
            if (s.closepending && ev.gen == s.gen) {
                s.closepending = false;
                closed(s);
            }
            break;
        case wv_evkind::timer:
            if (s.timerset) tick(s);
            break;
        case wv_evkind::wake:
            break;
    }
}

void wv_activity(wv_stream& s) {
    // While a stop request waits for its turn (-1), activity must not turn it
    // back into play.
    if (!recording(s) && s.bufidle != -1) s.bufidle = s.bufmaxidle;
}
