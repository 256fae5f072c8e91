// Listening metrics of a rendered WAV file, one "key=value" per line:
//   loudness  integrated loudness, LUFS (ITU-R BS.1770 / EBU R128, libebur128)
//   bw99      the frequency below which 99 % of the energy lies, Hz
//   silence   the longest stretch quieter than -60 dBFS (50 ms windows), s
//   jump      the largest step between adjacent samples of one channel
//   peak      the largest magnitude of a sample
//   seconds   the length
// With limits (--min-lufs, --max-lufs, --max-silence, --max-jump,
// --max-peak, --min-bw) it says which one fails and exits 1.
//
//   preset_listen FILE.wav [--min-lufs X] [--max-lufs X] [--max-silence S]
//                 [--max-jump N] [--max-peak N] [--min-bw HZ]
#include <ebur128.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

namespace {

// In-place radix-2 FFT; n is a power of two.
void fft(std::vector<std::complex<double>>& a) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const double ang = -2 * std::numbers::pi / static_cast<double>(len);
        const std::complex<double> wl(std::cos(ang), std::sin(ang));
        for (std::size_t i = 0; i < n; i += len) {
            std::complex<double> w(1);
            for (std::size_t k = 0; k < len / 2; ++k) {
                const auto u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= wl;
            }
        }
    }
}

// The frequency below which `share` of the energy of the mono sum lies:
// the power spectra of Hann-windowed frames of 4096, summed.
double bandwidth(const std::vector<short>& pcm, int ch, int rate, double share) {
    constexpr std::size_t n = 4096;
    const std::size_t frames = pcm.size() / static_cast<std::size_t>(ch);
    std::vector<double> power(n / 2 + 1, 0.0);
    std::vector<std::complex<double>> buf(n);
    for (std::size_t at = 0; at + n <= frames; at += n / 2) {
        for (std::size_t i = 0; i < n; ++i) {
            double s = 0;
            for (int c = 0; c < ch; ++c) s += pcm[(at + i) * ch + c];
            const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) / n);
            buf[i] = s / ch * w;
        }
        fft(buf);
        for (std::size_t k = 1; k <= n / 2; ++k) power[k] += std::norm(buf[k]);  // no DC
    }
    double total = 0;
    for (const double p : power) total += p;
    if (total <= 0) return 0;
    double sum = 0;
    for (std::size_t k = 0; k < power.size(); ++k) {
        sum += power[k];
        if (sum >= share * total) return static_cast<double>(k) * rate / n;
    }
    return rate / 2.0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: preset_listen FILE.wav [--min-lufs X] [--max-lufs X] [--max-silence S] "
                             "[--max-jump N] [--max-peak N] [--min-bw HZ]\n");
        return 2;
    }
    double min_lufs = -1e9, max_lufs = 1e9, max_sil = 1e9, max_jump = 1e9, max_peak = 1e9, min_bw = 0;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string k = argv[i];
        const double v = std::atof(argv[i + 1]);
        if (k == "--min-lufs") min_lufs = v;
        else if (k == "--max-lufs") max_lufs = v;
        else if (k == "--max-silence") max_sil = v;
        else if (k == "--max-jump") max_jump = v;
        else if (k == "--max-peak") max_peak = v;
        else if (k == "--min-bw") min_bw = v;
        else {
            std::fprintf(stderr, "preset_listen: unknown limit %s\n", k.c_str());
            return 2;
        }
    }
    SF_INFO info{};
    SNDFILE* f = sf_open(argv[1], SFM_READ, &info);
    if (!f) {
        std::fprintf(stderr, "preset_listen: %s: %s\n", argv[1], sf_strerror(nullptr));
        return 1;
    }
    const int ch = info.channels, rate = info.samplerate;
    std::vector<short> pcm(static_cast<std::size_t>(info.frames) * ch);
    const sf_count_t got = sf_readf_short(f, pcm.data(), info.frames);
    sf_close(f);
    pcm.resize(static_cast<std::size_t>(got) * ch);
    const std::size_t frames = pcm.size() / ch;

    ebur128_state* st = ebur128_init(static_cast<unsigned>(ch), static_cast<unsigned long>(rate), EBUR128_MODE_I);
    ebur128_add_frames_short(st, pcm.data(), frames);
    double lufs = -HUGE_VAL;
    ebur128_loudness_global(st, &lufs);
    ebur128_destroy(&st);

    int peak = 0, jump = 0;
    for (std::size_t i = 0; i < frames; ++i)
        for (int c = 0; c < ch; ++c) {
            const int v = pcm[i * ch + c];
            peak = std::max(peak, std::abs(v));
            if (i > 0) jump = std::max(jump, std::abs(v - pcm[(i - 1) * ch + c]));
        }
    // -60 dBFS in 50 ms windows.
    const std::size_t win = static_cast<std::size_t>(rate) / 20;
    const double floor = 32768.0 * 0.001;
    std::size_t run = 0, longest = 0;
    for (std::size_t at = 0; at + win <= frames; at += win) {
        double e = 0;
        for (std::size_t i = at * ch; i < (at + win) * ch; ++i) e += double(pcm[i]) * pcm[i];
        const bool quiet = std::sqrt(e / static_cast<double>(win * ch)) < floor;
        run = quiet ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    const double silence = static_cast<double>(longest * win) / rate;
    const double bw = bandwidth(pcm, ch, rate, 0.99);

    std::printf("loudness=%.1f\nbw99=%.0f\nsilence=%.2f\njump=%d\npeak=%d\nseconds=%.1f\nrate=%d\n", lufs, bw,
                silence, jump, peak, static_cast<double>(frames) / rate, rate);
    int bad = 0;
    auto check = [&](bool ok, const char* what) {
        if (!ok) {
            std::fprintf(stderr, "preset_listen: %s: %s\n", argv[1], what);
            ++bad;
        }
    };
    check(lufs >= min_lufs, "too quiet");
    check(lufs <= max_lufs, "too loud");
    check(silence <= max_sil, "a silence too long");
    check(jump <= max_jump, "a jump between adjacent samples (wrap-around)");
    check(peak <= max_peak, "the peak reaches full scale");
    check(bw >= min_bw, "not full-range");
    return bad ? 1 : 0;
}
