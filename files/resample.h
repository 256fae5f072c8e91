// Sample-rate conversion of 16-bit interleaved audio, streamed: the input
// comes piece by piece and the converter keeps what it needs of the past,
// so that pieces join without clicks. One converter serves the WAV writer,
// the mix file and the command line's output rate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// libsoxr's quality recipes, from cubic interpolation to 28-bit precision.
enum class fi_quality { quick, low, medium, high, very_high };

struct fi_resampler {
    fi_resampler(int channels, double in_rate, double out_rate, fi_quality quality = fi_quality::high);
    ~fi_resampler();
    fi_resampler(const fi_resampler&) = delete;
    fi_resampler& operator=(const fi_resampler&) = delete;

    // Converts `frames` frames and appends the frames that are ready to out.
    void process(const int16_t* in, std::size_t frames, std::vector<int16_t>& out);
    // Appends the frames still held back at the end of the input; the
    // converter then starts afresh.
    void flush(std::vector<int16_t>& out);

    int channels() const { return channels_; }
    double in_rate() const { return in_rate_; }
    double out_rate() const { return out_rate_; }

private:
    void run(const int16_t* in, std::size_t frames, std::vector<int16_t>& out);

    void* soxr_ = nullptr;  // soxr_t
    int channels_;
    double in_rate_, out_rate_;
};
