#include "player/mixer.h"

#include <algorithm>
#include <cstdio>

#include "engine/rows.h"
#include "player/fuzz.h"

const char* const qu_help_text =
    "- Mute stops resp. restarts a track.\n- The sliders adjust the digital volume.\n- High values (esp. > 36 "
    "dB) cause distorsions!\n- Inactive tracks cannot be operated.\n- Input file level and fuzz degree can be "
    "controlled, too.";

std::string qu_help_of(qu_helpitem item) {
    // Lines 0..4 of the help text: mute, sliders, high values, inactive
    // tracks, file level and fuzz.
    static const int lines[3][4] = {{0, 3, -1}, {1, 2, 3, -1}, {4, -1}};
    if (item == qu_hi_all) return qu_help_text;
    const std::string all = qu_help_text;
    std::string t;
    for (const int* l = lines[item]; *l >= 0; ++l) {
        std::size_t at = 0;
        for (int k = 0; k < *l; ++k) at = all.find('\n', at) + 1;
        const std::size_t end = all.find('\n', at);
        t += (t.empty() ? "" : "\n") + all.substr(at, end == std::string::npos ? std::string::npos : end - at);
    }
    return t;
}

namespace {

std::string fmt(const char* f, auto... a) {
    char buf[160];
    std::snprintf(buf, sizeof buf, f, a...);
    return buf;
}

void show_track_value(qu_trackview& t, int v) {
    t.pos = std::clamp(v, 0, qu_track_max);
    t.db = fmt("%d dB", v * 6);
}

}  // namespace

bool qu_track_enabled(const qumix& m, int k) {
    const onetrmix& t = m.qutr[k];
    if (!t.qu_shift || !t.qu_stopped) return false;
    if (t.qu_alg >= 0 && t.qu_alg < rov_natab && rov_row(t.qu_alg).loop_slice) return false;
    return k == 0 || (m.qu_mainalg >= 0 && m.qu_mainalg < rov_natab && rov_row(m.qu_mainalg).multiple);
}

void qu_open(qu_dlg& d, qumix* m) {
    d.qum = m;
    d.view = qu_view{};
    for (int k = 0; k < 4; ++k) {
        const onetrmix& t = m->qutr[k];
        qu_trackview& v = d.view.tr[k];
        show_track_value(v, t.qu_shift ? 16 - *t.qu_shift : 0);
        v.name = fmt("%s, setting %d", t.qu_file ? t.qu_file : "", t.qu_setnr);
        v.enabled = qu_track_enabled(*m, k);
        v.mute = v.enabled && *t.qu_stopped != 0;
    }
    d.view.file_enabled = m->qu_hdrf && m->qu_pbmix;
    d.view.file_pos = m->qu_pbmix ? *m->qu_pbmix : 0;
    if (d.view.file_enabled) d.view.file_label = fmt("File level %d", *m->qu_pbmix);
    d.view.fuzz_enabled = m->qu_fztyp != 0 && m->qu_fzlev;
    d.view.fuzz_pos = m->qu_fzlev ? *m->qu_fzlev : 0;
    if (d.view.fuzz_enabled) d.view.fuzz_label = fmt("Fuzz degree %d", *m->qu_fzlev);
    d.view.wav = m->qu_wav ? m->qu_wav : "";
}

void qu_mute(qu_dlg& d, int k) {
    if (k < 0 || k > 3 || !d.view.tr[k].enabled) return;
    int8_t& s = *d.qum->qutr[k].qu_stopped;
    s = s ? 0 : 1;
    d.view.tr[k].mute = s != 0;
}

void qu_scroll(qu_dlg& d, int slider, qu_code code, int pos) {
    qumix& m = *d.qum;
    int v = 0, page = 1, min = 0, max = 0;
    if (slider >= 0 && slider < 4) {
        if (!d.view.tr[slider].enabled) return;
        v = 16 - *m.qutr[slider].qu_shift;
        max = qu_track_max;
    } else if (slider == qu_sl_file) {
        if (!d.view.file_enabled) return;
        v = *m.qu_pbmix;
        page = m.qu_pbmix_page;
        max = m.qu_pbmix_max;
    } else if (slider == qu_sl_fuzz) {
        if (!d.view.fuzz_enabled) return;
        v = *m.qu_fzlev;
        page = wv_fuzz_degree_page;
        min = wv_fuzz_degree_min;
        max = wv_fuzz_degree_max;
    } else {
        return;
    }
    switch (code) {
    case qu_lineleft: v -= 1; break;
    case qu_lineright: v += 1; break;
    case qu_pageleft: v -= page; break;
    case qu_pageright: v += page; break;
    case qu_thumb: v = pos; break;
    default: break;
    }
    v = std::clamp(v, min, max);
    if (slider < 4) {
        *m.qutr[slider].qu_shift = static_cast<int16_t>(16 - v);
        show_track_value(d.view.tr[slider], v);
    } else if (slider == qu_sl_file) {
        *m.qu_pbmix = v;
        d.view.file_pos = v;
        d.view.file_label = fmt("File level %d", v);
    } else {
        *m.qu_fzlev = v;
        d.view.fuzz_pos = v;
        d.view.fuzz_label = fmt("Fuzz degree %d", v);
    }
}

std::string qu_dump(const qu_dlg& d) {
    const qu_view& v = d.view;
    std::string s = "wav=" + v.wav + "\n";
    for (int k = 0; k < 4; ++k) {
        const qu_trackview& t = v.tr[k];
        const std::string n = std::to_string(k + 1);
        s += "track" + n + "=" + t.name + "\n";
        s += "db" + n + "=" + t.db + "\n";
        s += "mute" + n + "=" + (t.mute ? "1" : "0") + "\n";
        s += "enabled" + n + "=" + (t.enabled ? "1" : "0") + "\n";
        s += "volume" + n + "=" + std::to_string(t.pos) + "\n";
    }
    s += "file=" + v.file_label + "\n";
    s += std::string("fileenabled=") + (v.file_enabled ? "1" : "0") + "\n";
    s += "fuzz=" + v.fuzz_label + "\n";
    s += std::string("fuzzenabled=") + (v.fuzz_enabled ? "1" : "0") + "\n";
    return s;
}
