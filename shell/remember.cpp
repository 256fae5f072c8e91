#include "shell/remember.h"

#include <cerrno>
#include <cstdlib>

#include "audio/setup.h"
#include "engine/rows.h"

namespace {

constexpr const char* intro_key = "intro";
constexpr const char* device_key = "device";
constexpr const char* intro_names[] = {"ask", "sound", "silent", "skip"};

// The extra fields of a setup that no option row stores.
constexpr const char* row_key = "setup.row";
constexpr const char* recsamples_key = "setup.recsamples";
constexpr const char* stereo_key = "setup.stereo";

std::string setup_key(const wv_optdesc& d) { return std::string("setup.") + d.key; }

// A whole decimal number within lo..hi.
bool number_in(const std::string& s, long lo, long hi, long& v) {
    if (s.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long n = std::strtol(s.c_str(), &end, 10);
    if (errno || *end || n < lo || n > hi) return false;
    v = n;
    return true;
}

std::string device_text(uint32_t devno) { return devno == sh_mapper ? "mapper" : std::to_string(devno); }

}  // namespace

sh_intro_pref sh_intro_pref_of(const fi_prefs& p, std::vector<std::string>& problems) {
    const std::string* v = p.find(intro_key);
    if (!v) return sh_intro_ask;
    for (int k = 0; k < 4; ++k)
        if (*v == intro_names[k]) return static_cast<sh_intro_pref>(k);
    problems.push_back(std::string(intro_key) + "=" + *v + " is none of ask, sound, silent, skip; the question is asked");
    return sh_intro_ask;
}

void sh_remember_intro(fi_prefs& p, int introcap, sh_answer a) {
    const int flag = sh_intro_answer(introcap, a);
    // "Yes" without a device is the intro with sound as soon as there is one.
    const sh_intro_pref pref = flag < 0 ? sh_intro_skip : (flag == 0 && introcap > 0) ? sh_intro_silent : sh_intro_sound;
    p.set(intro_key, intro_names[pref]);
}

int sh_intro_flag(sh_intro_pref pref, int introcap) {
    switch (pref) {
    case sh_intro_sound: return introcap;
    case sh_intro_silent: return 0;
    default: return -1;
    }
}

void sh_remember_setup(fi_prefs& p, const sh_state& st) {
    const fi_setup f = wv_setup_from(st.opt, st.algomod);
    p.set(device_key, device_text(st.opt.wvodevno));
    // A field outside its range stores nothing (the latency's 0 is "the
    // default"): its option takes the default at the next start.
    for (int i = 0; i < wv_optlist_n; ++i) {
        const wv_optdesc& d = *wv_optlist[i];
        if (!d.stored) continue;
        const long v = d.stored(f);
        if (v >= d.stored_lo && v <= d.stored_hi)
            p.set(setup_key(d), std::to_string(v));
        else
            p.erase(setup_key(d));
    }
    p.set(recsamples_key, std::to_string(f.recsmp));
    p.set(row_key, std::to_string(f.almod));
    p.set(stereo_key, std::to_string(f.stereoset));
}

void sh_apply_remembered(sh_state& st, const sh_ui& ui, const fi_prefs& p, std::vector<std::string>& problems) {
    // The remembered values over those in effect: what is not remembered stays.
    fi_setup f = wv_setup_from(st.opt, st.algomod);
    bool any = false;
    auto take = [&](const std::string& key, long lo, long hi, auto store) {
        const std::string* v = p.find(key);
        if (!v) return;
        long n = 0;
        if (number_in(*v, lo, hi, n)) {
            store(n);
            any = true;
        } else {
            problems.push_back(key + "=" + *v + " is not a number in " + std::to_string(lo) + ".." + std::to_string(hi) +
                               "; the default stays");
        }
    };
    for (int i = 0; i < wv_optlist_n; ++i) {
        const wv_optdesc& d = *wv_optlist[i];
        if (d.stored) take(setup_key(d), d.stored_lo, d.stored_hi, [&](long n) { d.store(f, static_cast<int>(n)); });
    }
    take(recsamples_key, -2, 1000000, [&](long n) { f.recsmp = static_cast<int32_t>(n); });
    take(row_key, 0, rov_natab - 1, [&](long n) { f.almod = static_cast<uint8_t>(n); });
    take(stereo_key, 0, 1, [&](long n) { f.stereoset = static_cast<uint8_t>(n); });

    const uint32_t probed = st.opt.wvodevno;
    uint32_t devno = probed;
    if (const std::string* v = p.find(device_key)) {
        long n = 0;
        if (*v == "mapper") {
            devno = sh_mapper;
        } else if (number_in(*v, wv_opt_device.lo, wv_opt_device.hi, n)) {
            devno = static_cast<uint32_t>(n);
        } else {
            problems.push_back(std::string(device_key) + "=" + *v + " is no output device (mapper or " +
                               std::to_string(wv_opt_device.lo) + ".." + std::to_string(wv_opt_device.hi) +
                               "); the default output stays");
        }
        any = true;
    }
    if (!any) return;
    f.wvodv = static_cast<int32_t>(devno);
    wv_setup_target t{&st.opt, &st.algomod, &st.fg.g.rov_volshift, st.pg.hd.get(), ui.probe};
    if (!wv_setup_apply(f, 2, t) && devno != probed) {
        // Gone (unplugged, another sound server): the device the probe chose.
        f.wvodv = static_cast<int32_t>(probed);
        if (wv_setup_apply(f, 2, t))
            problems.push_back("output device " + device_text(devno) + " does not answer; playing on " +
                               device_text(probed) + " instead");
    }
}
