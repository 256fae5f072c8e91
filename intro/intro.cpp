#include "intro/intro.h"

#include <algorithm>
#include <new>

#include "engine/rows.h"

namespace {

constexpr int frames_per_buffer(int32_t bufsize) { return bufsize / 4 - 256; }

void show(wv_intro& w, int id, const std::string& text) {
    if (w.view) w.view->line(id, text);
}

void draw_icon(wv_intro& w, const std::string& name) {
    w.iconstr = name;
    if (w.view) w.view->icon(name);
}

// The stream's timer: the gap before a buffer, or the next tick without sound.
void set_timer(wv_intro& w, int ms) {
    if (w.ws->timer) w.ws->timer->set(ms);
    w.ws->timerset = true;
}

void kill_timer(wv_intro& w) {
    if (w.ws->timerset && w.ws->timer) w.ws->timer->kill();
    w.ws->timerset = false;
}

// The stream plays while both buffers exist (a lost device is then noticed).
void free_buffers(wv_intro& w) {
    for (std::vector<int16_t>& b : w.wv) b = std::vector<int16_t>{};
    w.ws->playing = false;
}

// Both play buffers, or none: a failed allocation leaves the intro silent.
void allocate(wv_intro& w) {
    for (std::vector<int16_t>& b : w.wv) {
        if (w.fail_alloc) break;
        try {
            b.assign(static_cast<std::size_t>(w.bufsize / 2), 0);
        } catch (const std::bad_alloc&) {
            break;
        }
    }
}

// Silence over the length sent: 0 for 16-bit samples, 128 for 8-bit ones.
void silence(wv_intro& w, int k) {
    auto* b = reinterpret_cast<uint8_t*>(w.wv[k].data());
    std::fill(b, b + w.wvlen, static_cast<uint8_t>(w.stereo16 ? 0 : 128));
}

void set_rate(wv_intro& w) {
    wv_format& f = w.ws->wvFormat;
    f.nSamplesPerSec = wi_rate(w.eng.s.rov_p[w.setnr * rov_nparams + 13]);
    f.nAvgBytesPerSec = f.nBlockAlign * f.nSamplesPerSec;
}

// Buffer k to the device. A device that refused it has been closed: the
// cycle stops here.
wv_sent send(wv_intro& w, int k) {
    const wv_sent sent = wv_send_buffer(*w.ws, w.wvodevno, w.wv[k].data(), w.wvlen);
    if (sent == wv_sent::refused) w.halted = true;
    return sent;
}

// The device cannot be opened: the intro goes on without sound.
void go_silent(wv_intro& w) {
    free_buffers(w);
    set_timer(w, 500);
}

// Computes buffer k of the playing example; for 8-bit mono the stereo
// frames become bytes 128 + (left >> 9) + (right >> 9) in place.
void compute(wv_intro& w, int k) {
    const int32_t n = frames_per_buffer(w.bufsize);
    int16_t* out = w.wv[k].data();
    uint8_t bytes[rov_setting_bytes];
    rov_setting_write(w.eng.s, bytes);
    for (std::size_t i = 0; i < std::size(w.settab); ++i)
        w.settab[i] = static_cast<int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    wi_routine(w.setnr)(&w.eng.h, out, n, w.setnr, w.tonr, w.settab, 0);
    if (w.stereo16) return;
    auto* b = reinterpret_cast<uint8_t*>(out);
    for (int32_t i = 0; i < n; ++i)
        b[i] = static_cast<uint8_t>(128 + (out[2 * i] >> 9) + (out[2 * i + 1] >> 9));
}

// Shows the next line of the notes; an empty line (or the text's start)
// clears the six lines first.
void notes_step(wv_intro& w) {
    const std::string& t = w.introtext;
    if (w.ip == 0 || (w.ip < t.size() && t[w.ip] == '\n')) {
        for (int id = wi_line_notes; id <= wi_line_last_note; ++id) show(w, id, std::string(40, ' '));
        w.ih = wi_line_notes;
        if (w.ip < t.size() && t[w.ip] == '\n') ++w.ip;
    }
    // A paragraph longer than six lines goes on over a cleared page.
    if (w.ih > wi_line_last_note) {
        for (int id = wi_line_notes; id <= wi_line_last_note; ++id) show(w, id, std::string(40, ' '));
        w.ih = wi_line_notes;
    }
    std::string line;
    while (w.ip < t.size() && line.size() < 127) {
        line += t[w.ip];
        if (t[w.ip] == '\n') break;
        ++w.ip;
    }
    // The line feed is not shown; a last line without one keeps all its characters.
    if (!line.empty() && line.back() == '\n') line.pop_back();
    show(w, w.ih++, line);
    if (w.ip + 2 >= t.size())
        w.ip = 0;
    else if (t[w.ip] == '\n')
        ++w.ip;
}

void tour_step(wv_intro& w) {
    if (w.tutnr < 1 || w.tutnr > 39) return;
    show(w, wi_line_caption, tutarr[w.tutnr]);
    const int par = tutpar[w.tutnr];
    if (par >= 0 && par < rov_nparams) w.eng.s.rov_p[wi_tourset * rov_nparams + par] = tutval[w.tutnr];
    w.tutnr = w.tutnr < 39 ? w.tutnr + 1 : 0;
}

void restore_tourset(wv_intro& w) {
    std::copy(std::begin(tutsave), std::end(tutsave), w.eng.s.rov_p + wi_tourset * rov_nparams);
}

// One tick: the buffer computed last time goes to the device, the other one
// is computed; then the texts, the example and the icon move on.
void tick(wv_intro& w) {
    kill_timer(w);
    if (wvintro_sounding(w)) {
        int k = w.eng.g.rov_pl1load2 ? 1 : 0;
        set_rate(w);
        const wv_sent sent = send(w, k);
        if (sent == wv_sent::no_device) go_silent(w);
        if (sent != wv_sent::playing) return;
        k ^= 1;
        w.eng.g.rov_pl1load2 = static_cast<int8_t>(k);
        if (w.view) w.view->busy(true);
        compute(w, k);
        if (w.view) w.view->busy(false);
    } else {
        set_timer(w, 250);
    }
    if (w.repaintIcon) {
        w.repaintIcon = false;
        draw_icon(w, w.iconstr);
    }

    ++w.bufidle;
    const bool sound = wvintro_sounding(w);
    // The header lines at ticks 20, 40 and 60; a click that jumped over
    // their tick shows them at the next one.
    if (w.bufidle >= 20 && w.headers == 0) {
        w.headers = 1;
        show(w, wi_line_first + 1, wi_line102);
        if (sound) draw_icon(w, "WVTESSEL");
    }
    if (w.bufidle >= 40 && w.headers == 1) {
        w.headers = 2;
        show(w, wi_line_first + 2, wi_credit);
    }
    if (w.bufidle >= 60 && w.headers == 2) {
        w.headers = 3;
        show(w, wi_line_first + 3,
             !sound                     ? "no wave player found !"
             : w.wvodevno == wv_mapper ? "wave player is WAVE_MAPPER"
                                        : "wave player is device 0");
    }
    if (w.bufidle >= 75 && w.bufidle % 20 == 0) {
        notes_step(w);
        tour_step(w);
    }

    if (w.bufidle >= 350 && w.bufidle % 200 == 0 && w.tutnr == 0) {
        if (w.setnr == wi_nexamples - 1) {
            w.setnr = 0;
            restore_tourset(w);
        } else {
            ++w.setnr;
        }
        w.tonr = w.eng.s.rov_tonindx[w.setnr];
        if (w.setnr == wi_tourset) w.tutnr = 1;
    }

    if (sound && w.bufidle >= 150 && w.bufidle % 200 == 0 && w.tutnr <= 2) {
        show(w, wi_line_caption, wi_captions[w.setnr]);
        draw_icon(w, wi_icons[w.setnr]);
    }

    if (!sound) {
        const int f = w.bufidle % 10;
        draw_icon(w, f == 0 ? std::string("WVTESSEL") : w.wimnam1 + static_cast<char>('0' + f));
    }
}

// Starts the private engine on example 0, as a Start of the editor does.
void start_engine(wv_intro& w) {
    rov_globphase& g = w.eng.g;
    g = rov_globphase{};
    g.rov_maxvoc = static_cast<int8_t>(w.maxv);
    g.rov_volshift = 11;
    for (rov_tonephase& t : w.eng.t) t.rov_ephas = 0;
    const int16_t* set = w.eng.s.rov_p + w.setnr * rov_nparams;
    std::copy(set, set + rov_ncurr, g.rov_currp);
    g.rov_vocdist = g.rov_currp[11];
    const int16_t* scale = w.eng.s.rov_tones + w.tonr * rov_nvalues;
    std::copy(scale, scale + rov_nvalues, g.rov_toncur);
    const int16_t* even = w.eng.s.rov_tones + (w.tonr & ~1) * rov_nvalues;
    std::copy(even, even + rov_nvalues, g.rov_phrase);
    w.eng.h = rov_handle{&w.eng.s, &w.eng.g, w.eng.t};
}

}  // namespace

void wvintro_init(wv_intro& w, int flag, const char* welcome, const std::string& notes) {
    rov_state_init(w.eng);
    wi_setting(w.eng.s);
    w.setnr = 0;
    w.tonr = w.eng.s.rov_tonindx[0];
    w.tutnr = 0;
    restore_tourset(w);

    w.bufsize = 16384;
    w.maxv = 6;
    w.bufidle = 0;
    w.headers = 0;
    w.plysnd = flag != 0 && w.ws->dev;
    w.stereo16 = (flag & 1) != 0;
    w.wvodevno = flag >= 4 ? 0u : wv_mapper;
    w.repaintIcon = w.halted = false;
    w.ws->turns = &w;
    w.ws->timerset = false;
    w.wimnam1 = "WVTESSE";

    show(w, wi_line_first, welcome);
    w.iconstr = "WVTESSEL";

    wv_format& f = w.ws->wvFormat;
    f = wv_format{};
    f.wFormatTag = 1;
    f.nChannels = w.stereo16 ? 2 : 1;
    f.nBlockAlign = w.stereo16 ? 4 : 1;
    f.nBitsSamp = w.stereo16 ? 16 : 8;
    set_rate(w);

    w.introtext = notes;
    w.ip = 0;
    w.ih = wi_line_notes;

    free_buffers(w);
    w.wvlen = w.stereo16 ? static_cast<uint32_t>(w.bufsize - 1024) : static_cast<uint32_t>((w.bufsize - 1024) / 4);
    if (w.plysnd) allocate(w);
    w.ws->playing = wvintro_sounding(w);

    if (wvintro_sounding(w)) {
        start_engine(w);
        if (w.view) w.view->busy(true);
        silence(w, 0);
        const wv_sent sent = send(w, 0);
        if (sent == wv_sent::playing) {
            silence(w, 1);
            w.eng.g.rov_pl1load2 = 1;
        }
        if (w.view) w.view->busy(false);
        if (sent == wv_sent::no_device) {
            go_silent(w);
            return;
        }
        if (w.halted) return;
    }
    if (!wvintro_sounding(w)) {
        free_buffers(w);
        set_timer(w, 500);
    }
}

void wvintro_dispatch(wv_intro& w, const wv_event& ev) { wv_dispatch(*w.ws, ev); }

// The buffer has played and the device closed: a short gap between buffers
// in the first 20 ticks of every 200.
void wv_intro::closed() {
    if (bufidle % 200 < 20)
        set_timer(*this, 50);
    else
        tick(*this);
}

void wv_intro::timeout() { tick(*this); }

void wvintro_click(wv_intro& w, bool shift) {
    if (shift)
        w.bufidle = (w.bufidle + 199) / 200 * 200 + 195;
    else
        w.bufidle = (w.bufidle + 19) / 20 * 20 + 18;
}

void wvintro_paint(wv_intro& w) { w.repaintIcon = true; }

bool wvintro_check_device(wv_intro& w) {
    if (!wvintro_sounding(w) || !w.ws->dev || !wv_check_device(*w.ws)) return false;
    go_silent(w);
    return true;
}

void wvintro_close(wv_intro& w) {
    wv_stream_close(*w.ws);
    w.ws->turns = nullptr;
    free_buffers(w);
}
