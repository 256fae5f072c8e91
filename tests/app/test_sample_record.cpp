// `tessellon sample record`: its options, the file it writes, and what it
// says (and leaves behind) when recording fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/sample_record.h"
#include "audio/virtcap.h"
#include "run_program.h"

namespace {

std::vector<uint8_t> read_all(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

uint32_t rd32(const std::vector<uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

struct SampleRecordCli : ::testing::Test {
    std::string dir;
    void SetUp() override {
        dir = ::testing::TempDir() + "sample_record_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
};

}  // namespace

TEST_F(SampleRecordCli, WritesTheSecondsAskedForAsA16BitMonoWav) {
    wv_virtcap cap;
    cap.autofeed = 441;
    const std::string out = dir + "/take.wav";
    ASSERT_EQ(cli_sample_record_on({"--seconds", "0.5", "--rate", "44100", out}, &cap), 0);
    const std::vector<uint8_t> b = read_all(out);
    ASSERT_EQ(b.size(), 44u + 2 * 22050);
    EXPECT_EQ(rd32(b, 24), 44100u);   // rate
    EXPECT_EQ(rd32(b, 28), 88200u);   // bytes per second
    EXPECT_EQ(b[22], 1);              // mono
    EXPECT_EQ(b[34], 16);             // bits
    EXPECT_EQ(rd32(b, 40), 44100u);   // data size
    EXPECT_EQ(rd32(b, 4), 44100u + 36);
    // The words as heard: 1, 2, 3, ...
    EXPECT_EQ(b[44], 1);
    EXPECT_EQ(b[46], 2);
    EXPECT_EQ(cap.fmt.nSamplesPerSec, 44100);
    EXPECT_EQ(cap.devno, wv_mapper);
    // A very short request still records the smallest sample (1500 frames).
    ASSERT_EQ(cli_sample_record_on({"--seconds", "0.001", "--device", "0", out}, &cap), 0);
    EXPECT_EQ(read_all(out).size(), 44u + 3000);
    EXPECT_EQ(rd32(read_all(out), 24), 22050u);  // the default rate
    EXPECT_EQ(cap.devno, 0u);
}

TEST_F(SampleRecordCli, FailuresWriteNothing) {
    const std::string out = dir + "/none.wav";
    wv_virtcap cap;
    cap.fail_open = true;
    EXPECT_EQ(cli_sample_record_on({"--seconds", "1", out}, &cap), 1);
    wv_virtcap broken;
    broken.fail_prepare = true;
    EXPECT_EQ(cli_sample_record_on({"--seconds", "1", out}, &broken), 1);
    wv_virtcap one;
    one.autofeed = 100;
    EXPECT_EQ(cli_sample_record_on({"--seconds", "1", "--device", "3", out}, &one), 1);  // only device 0
    EXPECT_FALSE(std::filesystem::exists(out));
    // A folder that cannot take the file.
    EXPECT_EQ(cli_sample_record_on({"--seconds", "0.1", dir + "/no/such/dir/x.wav"}, &one), 1);
}

TEST(SampleRecordUsage, BadOptionsAreUsageErrors) {
    for (const char* args : {"", "--seconds 1", "out.wav", "--seconds 0 out.wav", "--seconds -1 out.wav",
                             "--seconds 601 out.wav", "--seconds 1 --rate 48000 out.wav",
                             "--seconds 1 --device x out.wav", "--seconds 1 a.wav b.wav", "--seconds 1 --loud out.wav",
                             "--seconds"}) {
        const program_result r = run_program(std::string("sample record ") + args);
        EXPECT_EQ(r.status, 2) << args << "\n" << r.out;
        EXPECT_NE(r.out.find("usage: tessellon sample record"), std::string::npos) << args;
    }
    const program_result h = run_program("sample record --help");
    EXPECT_EQ(h.status, 0);
    EXPECT_NE(h.out.find("--seconds S"), std::string::npos);
    EXPECT_NE(h.out.find("--device N"), std::string::npos);
    EXPECT_NE(run_program("--help").out.find("tessellon sample record"), std::string::npos);
}
