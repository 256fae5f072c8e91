#include "files/resample.h"

#include <soxr.h>

#include <cmath>
#include <new>

// High quality (20-bit precision, 95% of the band kept) is more than the
// 16-bit output can show, at a cost far below real time: converting 44.1 to
// 48 kHz stereo costs a third more than the medium and low recipes and twice
// cubic interpolation, 0.15 % of real time (bench_resample), so playback's
// recordings and mix files use it too and a recording of a play stays the
// render of it. No dither, so that
// the same input always gives the same output (a render and a recording of
// the same play agree), and one thread: the audio path must not spread over
// the cores.
fi_resampler::fi_resampler(int channels, double in_rate, double out_rate, fi_quality quality)
    : channels_(channels < 1 ? 1 : channels), in_rate_(in_rate), out_rate_(out_rate) {
    static constexpr unsigned long recipe[] = {SOXR_QQ, SOXR_LQ, SOXR_MQ, SOXR_HQ, SOXR_VHQ};
    soxr_io_spec_t io = soxr_io_spec(SOXR_INT16_I, SOXR_INT16_I);
    io.flags |= SOXR_NO_DITHER;
    const soxr_quality_spec_t q = soxr_quality_spec(recipe[static_cast<int>(quality)], 0);
    const soxr_runtime_spec_t rt = soxr_runtime_spec(1);
    soxr_error_t err = nullptr;
    soxr_ = soxr_create(in_rate_, out_rate_, static_cast<unsigned>(channels_), &err, &io, &q, &rt);
    if (err || !soxr_) throw std::bad_alloc();
}

fi_resampler::~fi_resampler() { soxr_delete(static_cast<soxr_t>(soxr_)); }

void fi_resampler::run(const int16_t* in, std::size_t frames, std::vector<int16_t>& out) {
    const auto s = static_cast<soxr_t>(soxr_);
    const std::size_t ch = static_cast<std::size_t>(channels_);
    // Room for the frames this input yields, plus what the filter may release.
    const std::size_t room =
        static_cast<std::size_t>(std::ceil(static_cast<double>(frames) * out_rate_ / in_rate_)) + 64;
    std::size_t done_in_total = 0;
    for (;;) {
        const std::size_t at = out.size();
        out.resize(at + room * ch);
        std::size_t idone = 0, odone = 0;
        const int16_t* src = in ? in + done_in_total * ch : nullptr;
        const soxr_error_t err =
            soxr_process(s, src, in ? frames - done_in_total : 0, &idone, out.data() + at, room, &odone);
        out.resize(at + odone * ch);
        done_in_total += idone;
        if (err || (idone == 0 && odone == 0 && in)) break;  // no progress: never spin
        // Input left over, or output that filled the room: go on. At the end
        // (no input) go on until nothing more comes.
        if (in ? (done_in_total >= frames && odone < room) : odone == 0) break;
    }
}

void fi_resampler::process(const int16_t* in, std::size_t frames, std::vector<int16_t>& out) {
    if (frames == 0) return;
    run(in, frames, out);
}

void fi_resampler::flush(std::vector<int16_t>& out) {
    run(nullptr, 0, out);
    soxr_clear(static_cast<soxr_t>(soxr_));
}
