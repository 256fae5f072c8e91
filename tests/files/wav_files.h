// Helpers of the WAV tests: a private folder, files made by sox, and the
// chunks of a WAV file read independently of the code under test.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include "support/scratch.h"

namespace wavtest {

namespace fs = std::filesystem;

// A private folder for each test, removed afterwards.
struct scratch : test_scratch {
    // Runs sox without dither in the folder: "sox -D <args>"; true on success.
    bool sox(const std::string& args) const {
        const std::string cmd = "cd '" + dir.string() + "' && sox -D " + args + " 2>/dev/null";
        return std::system(cmd.c_str()) == 0;
    }
};

inline std::vector<uint8_t> slurp(const std::string& p) { return test_bytes(p); }

inline void put(const std::string& p, const std::vector<uint8_t>& bytes) {
    std::ofstream f(p, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline uint32_t le16(const uint8_t* p) { return p[0] | p[1] << 8; }
inline uint32_t le32(const uint8_t* p) { return le16(p) | le16(p + 2) << 16; }

inline void add16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
inline void add32(std::vector<uint8_t>& v, uint32_t x) {
    add16(v, x & 0xffff);
    add16(v, x >> 16);
}
inline void addtag(std::vector<uint8_t>& v, const char* t) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(t[i]));
}

// A WAV file in the plain 44-byte layout around `data`.
inline std::vector<uint8_t> plain_wav(int channels, int32_t rate, int bits, const std::vector<uint8_t>& data,
                                      int tag = 1) {
    std::vector<uint8_t> v;
    addtag(v, "RIFF");
    add32(v, static_cast<uint32_t>(36 + data.size()));
    addtag(v, "WAVE");
    addtag(v, "fmt ");
    add32(v, 16);
    add16(v, static_cast<uint32_t>(tag));
    add16(v, static_cast<uint32_t>(channels));
    add32(v, static_cast<uint32_t>(rate));
    add32(v, static_cast<uint32_t>(rate * channels * bits / 8));
    add16(v, static_cast<uint32_t>(channels * bits / 8));
    add16(v, static_cast<uint32_t>(bits));
    addtag(v, "data");
    add32(v, static_cast<uint32_t>(data.size()));
    v.insert(v.end(), data.begin(), data.end());
    return v;
}

// 16-bit words as little-endian bytes.
inline std::vector<uint8_t> bytes_of(const std::vector<int16_t>& w) {
    std::vector<uint8_t> v;
    for (int16_t x : w) add16(v, static_cast<uint16_t>(x));
    return v;
}

// One chunk of a RIFF file, found by walking the chunk list; empty if absent.
inline std::vector<uint8_t> chunk(const std::vector<uint8_t>& f, const char* id) {
    std::size_t at = 12;
    while (at + 8 <= f.size()) {
        const std::size_t len = le32(&f[at + 4]);
        if (std::memcmp(&f[at], id, 4) == 0) {
            const std::size_t end = std::min(f.size(), at + 8 + len);
            return {f.begin() + static_cast<long>(at + 8), f.begin() + static_cast<long>(end)};
        }
        at += 8 + len + (len & 1);
    }
    return {};
}

// The 16-bit words of a data chunk.
inline std::vector<int16_t> words16(const std::vector<uint8_t>& d) {
    std::vector<int16_t> w(d.size() / 2);
    for (std::size_t i = 0; i < w.size(); ++i) w[i] = static_cast<int16_t>(le16(&d[2 * i]));
    return w;
}

}  // namespace wavtest
