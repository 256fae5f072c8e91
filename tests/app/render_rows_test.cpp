// `tessellon render --algorithm N` for the envelope, pitch-range, cluster,
// ostinato, waveform and slow-control rows: each plays, and the file holds
// what the engine computes with the row's own table arguments.
#include <gtest/gtest.h>

#include "app/run_program.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/refill.h"
#include "engine/rov.h"
#include "engine/rows.h"

namespace fs = std::filesystem;

namespace {

std::vector<int16_t> wav_samples(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    const std::vector<char> b{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    std::vector<int16_t> s;
    for (std::size_t i = 44; i + 1 < b.size(); i += 2)
        s.push_back(static_cast<int16_t>(static_cast<uint8_t>(b[i]) | static_cast<uint8_t>(b[i + 1]) << 8));
    return s;
}

// The buffers of a render of `row` with the default setting, set 0.
std::vector<int16_t> engine_buffers(int row, int n) {
    static rov_state st;
    rov_state_init(st);
    rov_default_setting(st.s);
    const int tonr = st.s.rov_tonindx[0];
    rov_open(&st.h, false, false, 8);
    rov_start(&st.h, row, 0, tonr);
    const int32_t frames = wv_frames(32 * 1024);
    const wv_args a = wv_algargs(row, {}, nullptr);
    std::vector<int16_t> out, buf(2 * static_cast<std::size_t>(frames));
    for (int i = 0; i < n; ++i) {
        rov_rows[row].tab.alg(&st.h, buf.data(), frames, 0, tonr, a.tab, a.len);
        out.insert(out.end(), buf.begin(), buf.end());
    }
    return out;
}

}  // namespace

TEST(RenderRows, EnvelopeRangeClusterOstinatoWaveformAndLfoRowsPlay) {
    char tmpl[] = "/tmp/tessellon-rows-XXXXXX";
    const fs::path dir = mkdtemp(tmpl);
    for (int row : {13, 14, 16, 17, 18, 19}) {
        ASSERT_TRUE(rov_row_available(row)) << row;
        const fs::path out = dir / ("row" + std::to_string(row) + ".wav");
        const program_result r =
            run_program("render --algorithm " + std::to_string(row) + " --buffers 3 -o " + out.string());
        ASSERT_EQ(r.status, 0) << row << ": " << r.out;
        const std::vector<int16_t> got = wav_samples(out);
        const std::vector<int16_t> want = engine_buffers(row, 3);
        EXPECT_EQ(got.size(), want.size()) << row;
        EXPECT_TRUE(got == want) << row;
        int loud = 0;
        for (int16_t s : got) loud += s > 1000 || s < -1000;
        EXPECT_GT(loud, 100) << "row " << row << " is (nearly) silent";
    }
    fs::remove_all(dir);
}
