// Builds the files of the preset library: setting files from the built-in
// default setting, the introduction's own setting or another setting file,
// with edits; and the samples of the sampling presets, synthesised here.
//
//   preset_tool setting BASE OUT.rov [EDIT]...
//     BASE: default | intro | FILE.rov
//     EDIT: row=R          the setting's own algorithm row
//           sN.pK=V        parameter K (0..15) of set N
//           sN.saw=V sN.scale=V   the set's switch and its scale
//           sN.up=K        K octaves higher playback rate, the sound kept
//                          (the editor's rate rewrite for the row)
//           copy=A:B       set A copied over set B
//           scaleN=V,V,... the sixteen values of scale N
//   preset_tool sample KIND OUT.wav
//     KIND: bell | pluck | voice | glass | marimba | breath
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

#include "engine/rows.h"
#include "files/setting_file.h"
#include "intro/intro.h"

namespace {

int fail(const std::string& m) {
    std::fprintf(stderr, "preset_tool: %s\n", m.c_str());
    return 1;
}

bool num(const std::string& t, long lo, long hi, long& v) {
    char* end = nullptr;
    v = std::strtol(t.c_str(), &end, 10);
    return !t.empty() && *end == '\0' && v >= lo && v <= hi;
}

bool edit(rov_setting& s, const std::string& e) {
    const std::size_t eq = e.find('=');
    if (eq == std::string::npos) return false;
    const std::string k = e.substr(0, eq), v = e.substr(eq + 1);
    long a = 0, b = 0;
    if (k == "row") {
        if (!num(v, 0, rov_natab - 1, a)) return false;
        s.rov_stdalg = static_cast<int16_t>(a);
        return true;
    }
    if (k == "copy") {
        const std::size_t c = v.find(':');
        if (c == std::string::npos || !num(v.substr(0, c), 0, 9, a) || !num(v.substr(c + 1), 0, 9, b)) return false;
        for (int i = 0; i < rov_nparams; ++i) s.rov_p[16 * b + i] = s.rov_p[16 * a + i];
        s.rov_saw[b] = s.rov_saw[a];
        s.rov_tonindx[b] = s.rov_tonindx[a];
        return true;
    }
    if (k.rfind("scale", 0) == 0) {
        if (!num(k.substr(5), 0, 9, a)) return false;
        std::size_t at = 0;
        for (int i = 0; i < rov_nvalues; ++i) {
            const std::size_t c = v.find(',', at);
            if (!num(v.substr(at, c == std::string::npos ? std::string::npos : c - at), 0, 32767, b)) return false;
            s.rov_tones[16 * a + i] = static_cast<int16_t>(b);
            if (c == std::string::npos) return i == rov_nvalues - 1;
            at = c + 1;
        }
        return false;
    }
    if (k.size() < 4 || k[0] != 's' || k[2] != '.' || !num(k.substr(1, 1), 0, 9, a)) return false;
    const std::string what = k.substr(3);
    if (what == "up") {
        if (!num(v, 0, 3, b)) return false;
        for (long n = 0; n < b; ++n) ranovpd(s, static_cast<int>(a), s.rov_stdalg, false);
        return true;
    }
    if (what == "saw" && num(v, 0, 1, b)) return s.rov_saw[a] = static_cast<int8_t>(b), true;
    if (what == "scale" && num(v, 0, 9, b)) return s.rov_tonindx[a] = static_cast<int8_t>(b), true;
    long p = 0;
    if (what[0] == 'p' && num(what.substr(1), 0, 15, p) && num(v, -32768, 32767, b)) {
        s.rov_p[16 * a + p] = static_cast<int16_t>(b);
        return true;
    }
    return false;
}

// --- samples ------------------------------------------------------------------

constexpr int srate = 22050;
constexpr double two_pi = 2 * std::numbers::pi;

// A small deterministic noise source.
struct noise {
    uint32_t x = 12345;
    double next() {
        x = x * 1664525u + 1013904223u;
        return static_cast<double>(x >> 8) / 8388608.0 - 1.0;
    }
};

std::vector<double> synth(const std::string& kind) {
    std::vector<double> out;
    noise nz;
    if (kind == "bell" || kind == "glass") {
        // Inharmonic partials, each with its own decay.
        const bool glass = kind == "glass";
        const double f0 = glass ? 880.0 : 440.0;
        const double ratios[] = {1.0, 2.0, 2.76, 5.40, 8.93, 13.34};
        const double decay[] = {1.2, 1.8, 2.6, 4.0, 6.0, 8.0};
        const double amp[] = {1.0, 0.6, 0.45, 0.3, 0.2, 0.12};
        out.resize(srate * 7 / 10);
        for (std::size_t i = 0; i < out.size(); ++i) {
            const double t = static_cast<double>(i) / srate;
            double v = 0;
            for (int k = 0; k < 6; ++k)
                v += amp[k] * std::exp(-decay[k] * t * (glass ? 0.3 : 0.5)) * std::sin(two_pi * f0 * ratios[k] * t);
            out[i] = v;
        }
    } else if (kind == "pluck") {
        // Karplus-Strong string at 220 Hz.
        const int period = srate / 220;
        std::vector<double> line(period);
        for (double& x : line) x = nz.next();
        out.resize(srate * 7 / 10);
        for (std::size_t i = 0; i < out.size(); ++i) {
            const std::size_t k = i % period, k1 = (i + 1) % period;
            out[i] = line[k];
            line[k] = 0.9992 * 0.5 * (line[k] + line[k1]);
        }
    } else if (kind == "voice") {
        // A pulse train at 196 Hz through three formant resonators ("ah").
        const double formants[][2] = {{730, 80}, {1090, 90}, {2440, 120}};
        out.assign(srate * 7 / 10, 0.0);
        std::vector<double> src(out.size());
        for (std::size_t i = 0; i < src.size(); ++i) {
            const double ph = std::fmod(static_cast<double>(i) * 196.0 * (1 + 0.004 * std::sin(two_pi * 5 * i / srate)) / srate, 1.0);
            src[i] = ph < 0.08 ? 1.0 : 0.0;
        }
        for (const auto& fm : formants) {
            const double r = std::exp(-std::numbers::pi * fm[1] / srate);
            const double c = 2 * r * std::cos(two_pi * fm[0] / srate);
            double y1 = 0, y2 = 0;
            for (std::size_t i = 0; i < src.size(); ++i) {
                const double y = src[i] + c * y1 - r * r * y2;
                y2 = y1;
                y1 = y;
                out[i] += y;
            }
        }
        for (std::size_t i = 0; i < out.size(); ++i) {
            const double t = static_cast<double>(i) / out.size();
            out[i] *= std::min(1.0, t * 20) * std::min(1.0, (1 - t) * 10);
        }
    } else if (kind == "marimba") {
        out.resize(srate / 2);
        for (std::size_t i = 0; i < out.size(); ++i) {
            const double t = static_cast<double>(i) / srate;
            out[i] = std::exp(-3 * t) * std::sin(two_pi * 330 * t) + 0.5 * std::exp(-9 * t) * std::sin(two_pi * 330 * 4 * t) +
                     0.25 * std::exp(-15 * t) * std::sin(two_pi * 330 * 9.9 * t);
        }
    } else if (kind == "breath") {
        // Noise through a band-pass that sweeps up and down.
        out.resize(srate * 7 / 10);
        double lp = 0, bp = 0;
        for (std::size_t i = 0; i < out.size(); ++i) {
            const double t = static_cast<double>(i) / out.size();
            const double fc = 600 + 2400 * std::sin(std::numbers::pi * t);
            const double f = 2 * std::sin(std::numbers::pi * fc / srate);
            const double x = nz.next();
            lp += f * bp;
            const double hp = x - lp - 0.3 * bp;
            bp += f * hp;
            out[i] = bp * std::sin(std::numbers::pi * t);
        }
    }
    // Normalised to a peak of 0.97; the loops are mixed at a fraction of it.
    double peak = 0;
    for (const double v : out) peak = std::max(peak, std::abs(v));
    if (peak > 0)
        for (double& v : out) v *= 0.97 / peak;
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> a(argv + 1, argv + argc);
    if (a.size() >= 3 && a[0] == "setting") {
        rov_setting s{};
        if (a[1] == "default") {
            rov_default_setting(s);
        } else if (a[1] == "intro") {
            wi_setting(s);
        } else if (fi_setting_read(a[1], s) != fi_read::ok) {
            return fail("cannot read " + a[1]);
        }
        for (std::size_t i = 3; i < a.size(); ++i)
            if (!edit(s, a[i])) return fail("bad edit '" + a[i] + "'");
        int err = 0;
        if (!fi_setting_write(a[2], s, err)) return fail("cannot write " + a[2]);
        return 0;
    }
    if (a.size() == 3 && a[0] == "sample") {
        const std::vector<double> v = synth(a[1]);
        if (v.empty()) return fail("unknown sample kind '" + a[1] + "'");
        SF_INFO info{};
        info.samplerate = srate;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* f = sf_open(a[2].c_str(), SFM_WRITE, &info);
        if (!f) return fail("cannot write " + a[2]);
        std::vector<short> pcm(v.size());
        for (std::size_t i = 0; i < v.size(); ++i) pcm[i] = static_cast<short>(std::lround(v[i] * 32767));
        sf_writef_short(f, pcm.data(), static_cast<sf_count_t>(pcm.size()));
        sf_close(f);
        return 0;
    }
    std::fprintf(stderr, "usage: preset_tool setting default|intro|FILE.rov OUT.rov [EDIT]...\n"
                         "       preset_tool sample bell|pluck|voice|glass|marimba|breath OUT.wav\n");
    return 2;
}
