// --preset, render --list-presets and play --shuffle, on a library of the
// test's own (TESSELLON_PRESETS).
#include <gtest/gtest.h>

#include "app/run_program.h"

#include <fstream>
#include <string>

#include "engine/rov.h"
#include "files/setting_file.h"
#include "support/scratch.h"

namespace {

struct library {
    test_scratch dir;
    std::string env;
    library() {
        // Row 7 (a sampling row); set 2 at rate index 36 (22050 Hz).
        rov_setting s;
        rov_default_setting(s);
        s.rov_stdalg = 7;
        s.rov_p[2 * rov_nparams + 13] = 36;
        int err = 0;
        EXPECT_TRUE(fi_setting_write(dir / "smp.rov", s, err));
        rov_default_setting(s);
        s.rov_stdalg = 4;
        EXPECT_TRUE(fi_setting_write(dir / "echo.rov", s, err));
        // A sample: 3000 values of a saw.
        std::ofstream w(dir / "saw.wav", std::ios::binary);
        auto u32 = [&](uint32_t v) { w.write(reinterpret_cast<const char*>(&v), 4); };
        auto u16 = [&](uint16_t v) { w.write(reinterpret_cast<const char*>(&v), 2); };
        w << "RIFF";
        u32(36 + 6000);
        w << "WAVEfmt ";
        u32(16), u16(1), u16(1), u32(22050), u32(44100), u16(2), u16(16);
        w << "data";
        u32(6000);
        for (int i = 0; i < 3000; ++i) u16(static_cast<uint16_t>((i % 100) * 300));
        w.close();
        std::ofstream(dir / "index.txt") << "# test library\n"
                                            "saw-loop|Samples|smp.rov|2|sample=saw.wav voices=6|A saw, looped\n"
                                            "echo-one|Ambient|echo.rov|1||Echoes\n";
        env = "TESSELLON_PRESETS='" + dir.dir.string() + "' ";
    }
    program_result run(const std::string& args) const { return run_program(args, "2>&1", env); }
};

std::string slurp(const std::string& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

}  // namespace

TEST(PresetsCli, ListsEachPresetWithRowRateAndDescription) {
    library lib;
    const program_result r = lib.run("render --list-presets");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("saw-loop"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("row 7"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("22050 Hz"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("A saw, looped"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("row 4"), std::string::npos) << r.out;
    EXPECT_LT(r.out.find("saw-loop"), r.out.find("echo-one"));
}

TEST(PresetsCli, APresetRendersAsItsFilesAndOptionsGivenOneByOne) {
    library lib;
    test_scratch out;
    const std::string d = lib.dir.dir.string();
    ASSERT_EQ(lib.run("render --preset Saw-Loop --seconds 2 -o " + out / "a.wav").status, 0);
    ASSERT_EQ(lib.run("render --setting " + d + "/smp.rov --set 2 --sample " + d +
                      "/saw.wav --voices 6 --seconds 2 -o " + out / "b.wav").status, 0);
    EXPECT_EQ(slurp(out / "a.wav"), slurp(out / "b.wav"));
    EXPECT_GT(slurp(out / "a.wav").size(), 100000u);
    // Options given beside it override it, wherever they stand.
    ASSERT_EQ(lib.run("render --set 5 --preset saw-loop --voices 3 --seconds 2 -o " + out / "c.wav").status, 0);
    ASSERT_EQ(lib.run("render --setting " + d + "/smp.rov --set 5 --sample " + d +
                      "/saw.wav --voices 3 --seconds 2 -o " + out / "d.wav").status, 0);
    EXPECT_EQ(slurp(out / "c.wav"), slurp(out / "d.wav"));
    EXPECT_NE(slurp(out / "c.wav"), slurp(out / "a.wav"));
}

TEST(PresetsCli, BadNamesAreUsageErrorsAndWriteNothing) {
    library lib;
    test_scratch out;
    program_result r = lib.run("render --preset nosuch --seconds 1 -o " + out / "x.wav");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("no preset 'nosuch'"), std::string::npos) << r.out;
    r = lib.run("render --preset echo-one --setting " + lib.dir / "smp.rov" + " --seconds 1 -o " + out / "x.wav");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(lib.run("render --seconds 1 -o " + out / "x.wav" + " --preset").status, 2);
    EXPECT_EQ(lib.run("play --shuffle --preset echo-one --seconds 1").status, 2);
    EXPECT_EQ(lib.run("--preset").status, 2);
    EXPECT_TRUE(out.names().empty());
    // A damaged library: the line is named, the good ones still play.
    std::ofstream(lib.dir / "index.txt", std::ios::app) << "broken|X|x.rov|12||bad set\n";
    r = lib.run("render --list-presets");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("index.txt:4: the set '12'"), std::string::npos) << r.out;
}

TEST(PresetsCli, ShufflePlaysARandomPresetAndNamesIt) {
    library lib;
    const program_result r = run_program("play --shuffle --seconds 0.5", "2>&1", "SDL_AUDIODRIVER=dummy " + lib.env);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(r.out.find("playing preset saw-loop: A saw, looped") != std::string::npos ||
                r.out.find("playing preset echo-one: Echoes") != std::string::npos)
        << r.out;
}
