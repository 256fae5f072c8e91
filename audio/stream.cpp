#include "audio/stream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "audio/chain.h"
#include "audio/multiple.h"

namespace {

// Parameter `slot` of the playing set.
int16_t param(const wv_stream& s, int slot) { return s.roh->s->rov_p[s.setnr * rov_nparams + slot]; }

// The row whose routine computes the sound: in Multiple play the active
// setting's own algorithm.
int computing_row(const wv_stream& s) {
    return rov_row(s.algomod).multiple ? s.roh->s->rov_stdalg : s.algomod;
}

// Rate of this buffer and the frames to compute, by the Rate parameter and
// the blow-up method.
wv_blowup rate_for_buffer(wv_stream& s) {
    const wv_blowup b = wv_blowup_for(param(s, rov_par::Rate), s.opt->blowopt, wv_frames(s.pb.bufsize));
    s.wvFormat.nSamplesPerSec = rov_rate(b.rateidx);
    s.wvFormat.nAvgBytesPerSec = s.wvFormat.nBlockAlign * s.wvFormat.nSamplesPerSec;
    return b;
}

// The engine reports the tones of buffer j (or of a slice of it at frame
// `base`) into its list while it is computed.
void midi_compute(wv_stream& s, int j, int32_t frames, bool append = false, uint32_t base = 0) {
    if (!s.midi) {
        s.roh->ev = nullptr;
        return;
    }
    wv_midi_compute(*s.midi, j, frames, s.setnr, s.tonr, append, base);
    s.roh->ev = &s.midi->ev[j & 1];
}

// The messages ready in the MIDI record go to the device (with the buffer
// written next) and to the port.
void midi_out(wv_stream& s, int32_t frames, int32_t rate) {
    wv_midiout& m = *s.midi;
    if (m.count == 0) return;
    s.dev->midi(m.msg, m.count);
    if (m.port) m.port->put(m.msg, m.count, rate, static_cast<uint32_t>(frames));
    m.count = 0;
}

// The play has ended: every held note ends.
void midi_off(wv_stream& s) {
    if (!s.midi) return;
    wv_midi_end(*s.midi);
    midi_out(s, 0, static_cast<int32_t>(s.wvFormat.nSamplesPerSec));
    if (s.midi->port) s.midi->port->all_off();
}

// The output chain on play buffer j, computed with the frames of `bl`.
// `refill`: a turn's refill (not one of the two start buffers); the loop
// algorithm's refills are not blown up.
void run_chain(wv_stream& s, int j, const wv_blowup& bl, bool refill) {
    wv_chainbuf b;
    b.w = s.pb.data[j].data();
    b.frames = bl.frames;
    b.blowup = refill && rov_row(s.algomod).loop_slice ? 0 : bl.method;
    b.rate = rov_rate(param(s, rov_par::Rate));
    b.bufsize = s.pb.bufsize;
    b.refill = refill;
    b.gaps = refill && s.bufidle2 <= 0 && !rov_row(s.algomod).loop_slice;
    wv_chain_run(s.chain, b);
}

// Sends play buffer j through the send stages, then the device is opened
// and the buffer written. False when the device failed; the cycle then ends.
bool send(wv_stream& s, int j) {
    wv_sendbuf b;
    b.w = s.pb.data[j].data();
    b.frames = wv_frames(s.pb.bufsize);
    b.volume = param(s, rov_par::Volume);
    b.rate = static_cast<int32_t>(s.wvFormat.nSamplesPerSec);
    wv_chain_send(s.chain, b);
    if (s.midi) wv_midi_send(*s.midi, j, b.frames, b.rate);
    if (s.chain.hd && s.chain.hd->failed) {
        // The disc is full (or failed): the recording ends here with what
        // was written, this buffer plays, then the cycle stops and the status
        // says why.
        wv_hdwrite& hd = *s.chain.hd;
        hd.failed = false;
        hd.rec->finish();
        s.status = std::string("recording stopped: ") +
                   (hd.err ? std::strerror(hd.err) : "the file could not be written");
        if (s.alert) s.alert("harddisc recording", "disk shortage!");
        s.bufidle = -1;
    }
    return wv_send_buffer(s, s.opt->wvodevno, b.data, b.bytes) == wv_sent::playing;
}

// The cycle has ended on a device failure.
void cycle_failed(wv_stream& s) {
    midi_off(s);
    s.playing = false;
    s.status = "the output device could not be opened";
    if (!s.device_hint.empty()) s.status += ": " + s.device_hint;
}

// Resets and closes the output device if it is open; true when it was.
bool device_off(wv_stream& s) {
    if (!s.hwaveout) return false;
    s.dev->reset();
    s.dev->close();
    s.hwaveout = false;
    return true;
}

wv_source source(const wv_stream& s, int row) {
    return {s.roh, row, s.setnr, s.tonr, s.sample, s.chain.echo ? s.chain.echo->copy.data() : nullptr};
}

// Writes the real length into the recording's header and closes it.
void finish_recording(wv_stream& s) {
    if (wv_recording(s)) s.rec->finish();
}

// The stop turn: the device goes off and the cycle rests. While recording,
// the count of buffers still to record comes back; a count that has run out
// finishes the file.
void stop_turn(wv_stream& s) {
    midi_off(s);
    if (wv_recording(s)) {
        s.bufidle = s.bufrest;
        if (s.bufrest < 0) finish_recording(s);
    }
    device_off(s);
    if (s.srec) wv_rec_abort(*s.srec);
    s.closepending = false;
    s.playing = false;
}

// Background sample recording on a sampling row: at Start with
// "Permanent", and every recsmpopt + 1 buffers with a periodic option.
bool records_samples(const wv_stream& s) { return s.srec && rov_row_sampling(s.algomod); }

void periodic_recording(wv_stream& s) {
    const int n = s.opt->recsmpopt;
    if (n <= 0 || !records_samples(s)) return;
    if (s.InCount >= n) {
        wv_rec_bg_start(*s.srec);
        s.InCount = 0;
    } else {
        ++s.InCount;
    }
}

// The emergency: no user activity for the whole time to play. Without
// "Emergency Play" the sound pauses, or with "Rotate" the empty algorithm
// replays the last buffers while they turn. While recording the count is
// that of the buffers still to record: at 0 the next turn is the last.
void count_idle(wv_stream& s) {
    if (s.bufidle != 0) {
        --s.bufidle;
        periodic_recording(s);
        return;
    }
    if (wv_recording(s)) s.bufrest = --s.bufidle;
    if (s.opt->emergency) return;
    if (s.opt->emrotate)
        s.algomod = rov_row_empty();
    else
        s.roh->g->rov_stopped = 1;
    // A recording ends with the next turn; otherwise the user must learn why
    // the sound went away.
    if (!wv_recording(s)) s.idlestop = s.opt->emrotate ? wv_idlestop::replaying : wv_idlestop::paused;
}

// Refills the buffer that is not playing and passes it through the chain.
void refill(wv_stream& s, const wv_blowup& b) {
    const int row = s.algomod;
    // What the input device has recorded so far is heard in this buffer.
    if (s.srec) wv_rec_bg_take(*s.srec);
    wv_levelset& lv = s.chain.levels;
    lv.tracks = false;
    // The buffer computed next: the other one, or the loop algorithm's slice.
    if (rov_row(row).loop_slice && rov_row_computed(row))
        midi_compute(s, s.pb.bufcurrn, wv_frames(s.pb.bufsize), true, static_cast<uint32_t>(s.pb.bufcurrp / 2));
    else
        midi_compute(s, s.roh->g->rov_pl1load2 ? 0 : 1, b.frames);
    if (rov_row_computed(row))
        wv_tick_fill(s.pb, source(s, row), b.frames);
    else if (rov_row(row).multiple && s.banks && !s.scratch.empty())
        wv_tick_multiple(s.pb, source(s, computing_row(s)), *s.banks, s.rohmult, s.scratch.data(), b.frames,
                         s.opt->dispmode == wv_disp_alllevels ? &lv : nullptr);
    else
        // The empty algorithm, Multiple play without its scratch buffer, or a
        // row whose routine is not there: the buffer of two turns before plays again.
        wv_tick_replay(s.pb, *s.roh->g, b.frames, param(s, rov_par::ChgDly));
    run_chain(s, wv_sendindex(*s.roh->g), b, true);
}

// CPU measure: how much of the playing buffer has already played now that
// the next one is ready, in percent. A light charge refills the idle count
// (the user is listening), a full one drains it.
void measure(wv_stream& s) {
    s.last.charge = -1;
    if (!s.opt->wvomeasure) return;
    const int64_t pos = s.dev->position();
    const int charge = static_cast<int>(pos * 400 / (s.pb.bufsize - 1024));
    s.last.charge = charge;
    s.maxcharge = std::max(s.maxcharge, charge);
    // A stop request of this turn stays.
    if (wv_recording(s) || wv_levels(*s.opt) || s.bufidle < 0) return;
    if (charge < 90)
        ++s.bufidle;
    else if (charge == 100)
        s.bufidle -= 5;
    else if (charge >= 98)
        --s.bufidle;
    if (s.bufidle < 0) s.bufidle = 0;
}

// While the emergency holds the sound the status line says so, in every
// display mode; "Pa&use" ends the pause (a replay lasts until the next Start).
// A mode that does not rewrite the line gets the editor's line back.
void idle_report(wv_stream& s) {
    if (s.idlestop == wv_idlestop::paused && !s.roh->g->rov_stopped) {
        s.idlestop = wv_idlestop::none;
        if (s.line.text == wv_idle_text(wv_idlestop::paused)) {
            char t[48];
            std::snprintf(t, sizeof t, "setting %d, scale %d", s.setnr, s.tonr);
            s.line.text = t;
            ++s.line.seq;
        }
    }
    if (s.idlestop == wv_idlestop::none) return;
    const char* t = wv_idle_text(s.idlestop);
    if (s.line.text == t) return;
    s.line.text = t;
    ++s.line.seq;
}

// The status line after a computed buffer; in the buffer display mode the
// automatic program change moves the playing set (or scale) on.
void update_status(wv_stream& s) {
    wv_statusin in;
    in.opt = s.opt;
    in.setnr = s.setnr;
    in.tonr = s.tonr;
    in.tonal = s.tonal;
    in.tonindx = s.roh->s->rov_tonindx;
    in.charge = s.last.charge;
    in.bufidle = s.bufidle;
    in.bufidle2 = s.bufidle2;
    in.InCount = s.InCount;
    in.levels = &s.chain.levels;
    // The played part of a buffer is 16-bit stereo whatever the device
    // gets: the time is counted in those bytes.
    in.bytes_per_sec = s.wvFormat.nSamplesPerSec * 4;
    in.bufsize = s.pb.bufsize;
    in.lost = s.dev->lost_frames() - s.lost_at_start;
    wv_status_update(s.line, in, s.bufcuup);
    s.setnr = in.setnr;
    s.tonr = in.tonr;
    idle_report(s);
}

// One turn: send the buffer computed during the last turn, refill the other.
void tick(wv_stream& s) {
    if (s.timer) s.timer->kill();
    s.timerset = false;
    if (s.bufidle <= -1) {
        stop_turn(s);
        return;
    }
    count_idle(s);
    const wv_blowup b = rate_for_buffer(s);
    if (!send(s, wv_sendindex(*s.roh->g))) {
        cycle_failed(s);
        return;
    }
    refill(s, b);
    measure(s);
    update_status(s);
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

const char* wv_idle_text(wv_idlestop why) {
    switch (why) {
    case wv_idlestop::paused: return "Idle pause: Options>Setup>Time to play";
    case wv_idlestop::replaying: return "Idle replay: Options>Setup>Time to play";
    default: return "";
    }
}

bool wv_probe(wv_stream& s) {
    wv_options& o = *s.opt;
    o.woc = wv_caps{};
    const bool ok = s.dev->caps(o.wvodevno, o.woc);
    o.stereo16 = o.stereoset = wv_stereo16(o.woc);
    return ok;
}

void wv_toggle_mono8(wv_stream& s) { wv_mono8_toggle(*s.opt); }

namespace {

// Buffers played without gaps before gap mode, once the emergency began.
int gap_free_buffers(const wv_stream& s, int32_t size) {
    const wv_options& o = *s.opt;
    if (!o.emergency && o.emrotate) return 6000000 / size;
    if (o.sampmaxidle > 300000) return 1000000 / size;
    return 0;
}

void set_format(wv_stream& s) {
    const bool st = s.opt->stereoset;
    s.wvFormat.wFormatTag = 1;
    s.wvFormat.nChannels = st ? 2 : 1;
    s.wvFormat.nBlockAlign = st ? 4 : 1;
    s.wvFormat.nBitsSamp = st ? 16 : 8;
}

}  // namespace

void wv_stream_open(wv_stream& s) {
    if (s.algomod < 0 || s.algomod >= rov_natab) s.algomod = rov_row_empty();
    s.openrow = s.algomod;
    const wv_options& o = *s.opt;
    const int32_t size = o.bufszorig;
    if (wv_recording(s)) {
        s.bufidle2 = 0;
        s.bufidle = s.bufrest;
    } else {
        s.bufidle2 = gap_free_buffers(s, size);
    }
    s.timerset = false;
    s.InCount = 0;
    // What the last play left in the status line belongs to it.
    s.line = wv_statusline{};
    s.status.clear();
    s.idlestop = wv_idlestop::none;
    if (s.srec) s.srec->sink = s.sink;

    wv_alloc(s.pb, size);
    s.pb.bufincr = o.bufincr;
    const bool multiple = rov_row(s.algomod).multiple;
    s.scratch.clear();
    if (multiple && s.banks) {
        wv_mult_prepare_banks(*s.banks, o.maxv, o.emphas, o.tonalias);
        // Without it the row replays its buffers (and Z does not turn).
        try {
            s.scratch.assign(wv_words(size), 0);
        } catch (const std::bad_alloc&) {
            s.scratch.clear();
        }
    }
    const bool echo = rov_row(computing_row(s)).tab.algtyp == rov_arg_echo ||
                      (multiple && s.banks && wv_mult_echo(*s.roh->s, *s.banks));
    wv_chain_build(s.chain, o, echo, wv_words(size), s.rec, s.mix, wv_recording(s) ? s.rec : s.tap, s.vis);
    s.allocated = true;
    set_format(s);

    rov_open(s.roh, o.emphas, o.tonalias, o.maxv);
    rate_for_buffer(s);
    s.dev->latency(o.latency_ms);
    s.dev->standby(o.wvodevno, s.wvFormat);
}

void wv_stream_close(wv_stream& s) {
    if (s.timer) s.timer->kill();
    s.timerset = false;
    if (s.roh) {
        s.wvFormat.nSamplesPerSec = rov_rate(param(s, rov_par::Rate));
        s.wvFormat.nAvgBytesPerSec = s.wvFormat.nBlockAlign * s.wvFormat.nSamplesPerSec;
    }
    device_off(s);
    if (s.srec) wv_rec_abort(*s.srec);
    if (s.dev) s.dev->release();
    s.closepending = false;  // nothing is dispatched to a closed editor
    s.pb = wvplay{};
    s.chain = wv_chain{};
    s.scratch = std::vector<int16_t>{};
    s.allocated = false;
    s.playing = false;
    // A stop still waiting for its turn while recording: the count it kept
    // is the one to carry over (and an exhausted one ends the file).
    if (wv_recording(s) && s.bufidle <= -1) {
        s.bufidle = s.bufrest;
        if (s.bufrest < 0) finish_recording(s);
    }
    s.bufrest = s.bufidle;
}

namespace {

// Buff.Beat: a buffer that holds one beat of the playing set, when that is
// smaller than the chosen size; the loop step is then 512.
void fit_buffer_to_beat(wv_stream& s) {
    wv_options& o = *s.opt;
    if (!o.autotempo) return;
    const int32_t size = wv_beat_size(param(s, rov_par::Beat), rov_row_sampling(s.algomod), o.blowopt);
    if (size < o.bufszorig) {
        s.pb.bufsize = size;
        s.pb.bufincr = o.bufincr = 512;
    }
}

// The start buffer j: computed by the routine, or silence for a row without
// one; then the output chain.
void start_buffer(wv_stream& s, int j, const wv_blowup& b) {
    const int row = computing_row(s);
    // In Multiple play the active setting's own row starts alone, if it can.
    const bool plays = rov_row_computed(row) && (!rov_row(s.algomod).multiple || rov_row(row).loop_slice ||
                                                 wv_track_sounds(row, s.sample));
    midi_compute(s, j, b.frames);
    if (plays) {
        if (j == 0)
            wv_fill(s.pb, source(s, row), 0, b.frames, true);
        else
            wv_start_second(s.pb, source(s, row), b.frames);
    } else if (j == 0) {
        wv_start_silence(s.pb, *s.roh->g);
    }
    run_chain(s, j, b, false);
}

}  // namespace

bool wv_start(wv_stream& s) {
    if (!s.allocated) return false;
    // A "Rotate" emergency replaced the row by the replaying empty algorithm
    // for the rest of that play; a new start plays the editor's row again.
    s.algomod = s.openrow;
    s.playing = true;
    s.bufcuup = 1;
    s.maxcharge = 0;
    s.lost_at_start = s.dev->lost_frames();
    s.status.clear();
    s.idlestop = wv_idlestop::none;

    fit_buffer_to_beat(s);
    s.bufmaxidle = static_cast<int>(s.opt->sampmaxidle / s.pb.bufsize);
    if (!wv_recording(s)) s.bufidle = s.bufmaxidle;
    rov_start(s.roh, computing_row(s), s.setnr, s.tonr);
    if (s.midi) wv_midi_begin(*s.midi);
    // The banks' phases go on; only their voices' envelopes start afresh.
    if (s.banks)
        for (rov_tonephase& t : s.banks->rotbk) t.rov_ephas = 0;

    const wv_blowup b = rate_for_buffer(s);
    wv_chain_reset(s.chain);
    start_buffer(s, 0, b);
    if (!send(s, 0)) {
        cycle_failed(s);
        return false;
    }
    // A device that reports the whole buffer played right after the write
    // plays synchronously: gaps from the start.
    if (s.dev->position() >= wv_frames(s.pb.bufsize)) {
        s.bufidle2 = 0;
        s.opt->woc.dwSupport |= wv_sup_sync;
    }
    // Buffer 1 is computed while buffer 0 plays.
    start_buffer(s, 1, b);
    if (s.opt->recsmpopt == 0 && records_samples(s)) wv_rec_bg_start(*s.srec);
    return true;
}

void wv_stop(wv_stream& s) {
    midi_off(s);
    if (s.hwaveout || s.closepending) {
        if (device_off(s)) s.closepending = true;
        s.playing = false;
        if (s.opt->wvomeasure) {
            char line[80];
            std::snprintf(line, sizeof line, "setting %d, scale %d, maxCPU %d", s.setnr, s.tonr, s.maxcharge);
            s.status = line;
        }
        if (wv_recording(s)) s.bufrest = s.bufidle;
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

wv_sent wv_send_buffer(wv_stream& s, unsigned devno, const void* data, uint32_t bytes) {
    if (!s.dev->open(devno, s.wvFormat, s.sink, s.gen)) return wv_sent::no_device;
    s.hwaveout = true;
    if (s.midi) midi_out(s, static_cast<int32_t>(bytes / (s.wvFormat.nBlockAlign > 0 ? s.wvFormat.nBlockAlign : 4)),
                         static_cast<int32_t>(s.wvFormat.nSamplesPerSec));
    if (!s.dev->write(data, bytes)) {
        s.dev->close();
        s.hwaveout = false;
        return wv_sent::refused;
    }
    return wv_sent::playing;
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
                if (s.turns)
                    s.turns->closed();
                else
                    closed(s);
            }
            break;
        case wv_evkind::timer:
            if (s.timerset && s.turns)
                s.turns->timeout();
            else if (s.timerset)
                tick(s);
            break;
        case wv_evkind::wake:
            break;
        case wv_evkind::indata:
        case wv_evkind::inclose:
            // A recording that ended renews itself with "Permanent" while
            // no emergency has begun.
            if (s.srec && wv_rec_event(*s.srec, ev) && s.opt->recsmpopt == 0 && s.bufidle > 0)
                wv_rec_bg_start(*s.srec);
            break;
    }
}

bool wv_check_device(wv_stream& s) {
    if (!s.playing || !s.dev->lost()) return false;
    if (s.timer) s.timer->kill();
    s.timerset = false;
    midi_off(s);
    device_off(s);
    if (s.srec) wv_rec_abort(*s.srec);
    s.closepending = false;
    s.playing = false;
    if (wv_recording(s) && s.bufidle >= 0) s.bufrest = s.bufidle;  // the recording goes on at the next Start
    s.status = "the sound device was lost; playing stopped";
    return true;
}

bool wv_rotate(wv_stream& s) {
    if (!s.banks || s.scratch.empty() || !rov_row(s.algomod).multiple) return false;
    wv_mult_rotate(*s.banks, *s.roh, s.setnr, s.tonr);
    return true;
}

void wv_activity(wv_stream& s) {
    // While a stop request waits for its turn (-1), activity must not turn it
    // back into play.
    if (!wv_recording(s) && s.bufidle != -1) s.bufidle = s.bufmaxidle;
}
