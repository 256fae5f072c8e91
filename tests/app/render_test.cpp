// `tessellon render` as a user runs it: its output against the engine, and
// its answers to bad input.
#include <gtest/gtest.h>

#include "app/run_program.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/refill.h"
#include "engine/algs.h"
#include "engine/rov.h"
#include "support/scratch.h"

namespace fs = std::filesystem;

namespace {

using result = program_result;
program_result run(const std::string& args, const std::string& redirect = "2>&1") { return run_program(args, redirect); }

std::vector<uint8_t> slurp(const fs::path& p) { return test_bytes(p); }

uint32_t le32(const std::vector<uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// A private folder for each test, removed afterwards.
struct scratch : test_scratch {
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    }
};

// The same buffers computed in-process, in the order the cycle sends them.
std::vector<int16_t> engine_buffers(const rov_setting& s, int row, int setnr, int tonr, int maxv, int bufkb,
                                    int n) {
    static rov_state st;
    rov_state_init(st);
    st.s = s;
    rov_open(&st.h, false, false, maxv);
    rov_start(&st.h, row, setnr, tonr);
    const int32_t frames = (bufkb * 1024) / 4 - 256;
    std::vector<int16_t> out;
    std::vector<int16_t> buf(2 * static_cast<std::size_t>(frames));
    for (int i = 0; i < n; ++i) {
        rov_rows[row].tab.alg(&st.h, buf.data(), frames, setnr, tonr, sintab, 256);
        out.insert(out.end(), buf.begin(), buf.end());
    }
    return out;
}

std::vector<int16_t> samples_of(const std::vector<uint8_t>& bytes, std::size_t from) {
    std::vector<int16_t> s((bytes.size() - from) / 2);
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<int16_t>(bytes[from + 2 * i] | bytes[from + 2 * i + 1] << 8);
    return s;
}

}  // namespace

TEST(Render, WavFileHoldsTheEngineOutputAtTheSetsRate) {
    scratch tmp;
    const result r = run("render --algorithm 0 --buffers 3 -o " + tmp / "a.wav");
    ASSERT_EQ(r.status, 0) << r.out;
    const auto bytes = slurp(tmp / "a.wav");
    const uint32_t frames = 32768 / 4 - 256;
    ASSERT_EQ(bytes.size(), 44 + 3 * frames * 4);
    EXPECT_EQ(std::memcmp(bytes.data(), "RIFF", 4), 0);
    EXPECT_EQ(le32(bytes, 4), 36 + 3 * frames * 4);
    EXPECT_EQ(std::memcmp(bytes.data() + 8, "WAVEfmt ", 8), 0);
    EXPECT_EQ(le32(bytes, 16), 16u);
    EXPECT_EQ(bytes[20] | bytes[21] << 8, 1);      // PCM
    EXPECT_EQ(bytes[22] | bytes[23] << 8, 2);      // stereo
    EXPECT_EQ(le32(bytes, 24), 5512u);             // set 0: rate index 12
    EXPECT_EQ(le32(bytes, 28), 5512u * 4);
    EXPECT_EQ(bytes[32] | bytes[33] << 8, 4);
    EXPECT_EQ(bytes[34] | bytes[35] << 8, 16);
    EXPECT_EQ(le32(bytes, 40), 3 * frames * 4);

    rov_setting s;
    rov_default_setting(s);
    EXPECT_EQ(samples_of(bytes, 44), engine_buffers(s, 0, 0, 3, 8, 32, 3));
    EXPECT_EQ(tmp.entries(), 1u);  // no temporary file left
}

TEST(Render, OptionsReachTheEngine) {
    scratch tmp;
    rov_setting s;
    rov_default_setting(s);
    s.rov_stdalg = 0;
    uint8_t bytes[rov_setting_bytes];
    rov_setting_write(s, bytes);
    {
        std::ofstream f(tmp / "s.rov", std::ios::binary);
        f.write(reinterpret_cast<const char*>(bytes), sizeof bytes);
    }
    const result r = run("render --setting " + tmp / "s.rov" + " --set 9 --scale 2 --voices 64 --buffer-kb 4 "
                         "--buffers 5 --raw -o " + tmp / "a.raw");
    ASSERT_EQ(r.status, 0) << r.out;
    const auto raw = slurp(tmp / "a.raw");
    EXPECT_EQ(samples_of(raw, 0), engine_buffers(s, 0, 9, 2, 64, 4, 5));
}

TEST(Render, SecondsRenderTheFewestBuffersThatCoverThem) {
    scratch tmp;
    // 7936 frames per buffer at 5512 Hz: 2 s = 11024 frames need 2 buffers.
    result r = run("render --algorithm 0 --seconds 2 --raw -o " + tmp / "a.raw");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(fs::file_size(tmp / "a.raw"), 2u * 7936 * 4);
    r = run("render --algorithm 0 --seconds 0.5 --set 9 --raw -o " + tmp / "b.raw");  // 11025 Hz
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(fs::file_size(tmp / "b.raw"), 1u * 7936 * 4);
}

// Program changes move to sets of other rates, whose buffers are converted
// to the file's rate: the summary tells the time the file holds, also for
// bare samples.
TEST(Render, SummaryTellsTheTimeTheFileHolds) {
    scratch tmp;
    for (const char* raw : {"", "--raw "}) {
        const std::string out = tmp / "pc.out";
        result r = run(std::string("render --program-change 2 --seconds 20 ") + raw + "-o " + out, "2>&1 >/dev/null");
        ASSERT_EQ(r.status, 0) << r.out;
        const std::vector<uint8_t> f = slurp(out);
        const std::size_t data = f.size() - (*raw ? 0 : 44);
        char want[64];
        std::snprintf(want, sizeof want, ", %.3f s at 5512 Hz", static_cast<double>(data / 4) / 5512);
        EXPECT_NE(r.out.find(want), std::string::npos) << want << " / " << r.out;
    }
}

TEST(Render, BadOptionsGiveUsageAndStatusTwo) {
    scratch tmp;
    const std::string o = " -o " + tmp / "x.wav";
    for (const std::string& args : std::vector<std::string>{
             "render --bogus --buffers 1" + o,
             "render --buffers" + o,
             "render --buffers abc" + o,
             "render --buffers 0" + o,
             "render --seconds -1" + o,
             "render --seconds nan" + o,
             "render --set 10 --buffers 1" + o,
             "render --voices 0 --buffers 1" + o,
             "render --voices 65 --buffers 1" + o,
             "render --buffer-kb 2 --buffers 1" + o,
             "render --buffer-kb 513 --buffers 1" + o,
             "render --algorithm 23 --buffers 1" + o,
             "render --algorithm 1x --buffers 1" + o,
             "render --buffers 1 --seconds 1" + o,
             "render" + o,
             std::string("render --buffers 1"),
             std::string("render --buffers 1 -o"),
         }) {
        const result r = run(args);
        EXPECT_EQ(r.status, 2) << args << "\n" << r.out;
        EXPECT_NE(r.out.find("usage:"), std::string::npos) << args;
    }
    EXPECT_EQ(tmp.entries(), 0u);
}

TEST(Render, RowWithoutRoutineIsNamed) {
    scratch tmp;
    const result r = run("render --algorithm 22 --buffers 1 -o " + tmp / "x.wav");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("22"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("plays nothing"), std::string::npos) << r.out;
    EXPECT_EQ(tmp.entries(), 0u);
}

TEST(Render, UnreadableOrWrongSizedSettingFileIsNamed) {
    scratch tmp;
    {
        std::ofstream f(tmp / "short.rov", std::ios::binary);
        f << std::string(671, 'x');
    }
    {
        std::ofstream f(tmp / "long.rov", std::ios::binary);
        f << std::string(673, 'x');
    }
    for (const std::string name : {"missing.rov", "short.rov", "long.rov"}) {
        const result r = run("render --setting " + tmp / name + " --buffers 1 -o " + tmp / "x.wav");
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_NE(r.out.find(name), std::string::npos) << r.out;
    }
    EXPECT_FALSE(fs::exists(tmp / "x.wav"));
    EXPECT_EQ(tmp.entries(), 2u);  // just the two files made above
}

TEST(Render, UnwritableOutputFailsWithoutLeavingAFile) {
    scratch tmp;
    const result r = run("render --algorithm 0 --buffers 1 -o " + tmp / "no/such/dir/x.wav");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("x.wav"), std::string::npos) << r.out;
    if (fs::exists("/dev/full")) {
        // A full disc: the write fails and the target is not touched.
        const result f = run("render --algorithm 0 --buffers 1 -o /dev/full");
        EXPECT_EQ(f.status, 1) << f.out;
    }
}

TEST(Render, ListShowsEveryRow) {
    const result r = run("render --list");
    ASSERT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Experimental with Adjustable Panning"), std::string::npos);
    EXPECT_NE(r.out.find("Multiple Sample Loop Algorithm"), std::string::npos);
    EXPECT_NE(r.out.find("Quad Track Player"), std::string::npos);
    // A row silent without a sample says so, with the length from its description.
    int need_sample = 0;
    std::size_t at = 0;
    for (int row = 0; row < rov_natab; ++row, ++at) {
        const std::size_t end = r.out.find('\n', at);
        ASSERT_NE(end, std::string::npos) << row;
        const std::string line = r.out.substr(at, end - at);
        at = end;
        ASSERT_EQ(std::stoi(line), row) << line;
        const rov_rowdesc& d = rov_row(row);
        const bool silent = rov_row_sampling(row) && d.min_sample > 256;  // longer than the sine cycle
        need_sample += silent;
        EXPECT_EQ(line.find("at least " + std::to_string(d.min_sample) + " values") != std::string::npos, silent)
            << line;
        EXPECT_EQ(line.find("playable") == std::string::npos, silent || d.empty) << line;
    }
    EXPECT_GT(need_sample, 0);
}
