// The preset library's index, its folders and the user's settings folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "files/presets.h"

namespace {

struct env_guard {
    std::string name, old;
    bool had;
    env_guard(const char* n, const char* v) : name(n) {
        const char* o = std::getenv(n);
        had = o != nullptr;
        if (had) old = o;
        if (v) setenv(n, v, 1);
        else unsetenv(n);
    }
    ~env_guard() {
        if (had) setenv(name.c_str(), old.c_str(), 1);
        else unsetenv(name.c_str());
    }
};

std::string temp_dir() {
    char t[] = "/tmp/tess-presets-XXXXXX";
    return mkdtemp(t);
}

}  // namespace

TEST(PresetIndex, ReadsGoodLinesAndNamesEveryBadOne) {
    const std::string text =
        "# comment\n"
        "\n"
        "glass-rain|Bells|glass.rov|3|sample=bell.wav voices=6|Glass drops  \n"
        "Quad-1|Multiple|q.rov|0|bank=a.rov bank=b.rov|Four tracks\n"
        "deep|Drones|d.rov|0||Low\n"
        "GLASS-RAIN|Bells|x.rov|0||twice\n"       // 6: name given twice (letter case ignored)
        "bad name|Bells|x.rov|0||spaces\n"        // 7
        "nofam||x.rov|0||none\n"                  // 8
        "up|Bells|../x.rov|0||outside\n"          // 9
        "set|Bells|x.rov|10||set out of range\n"  // 10
        "opt|Bells|x.rov|0|loud=1|unknown\n"      // 11
        "many|Bells|x.rov|0|bank=a bank=b bank=c bank=d|four banks\n"  // 12
        "v|Bells|x.rov|0|voices=65|too many voices\n"  // 13
        "short|Bells|x.rov|0\n";                  // 14
    std::vector<std::string> errors;
    const fi_library lib = fi_presets_parse(text, "/lib", errors);
    ASSERT_EQ(lib.presets.size(), 3u);
    const fi_preset& g = lib.presets[0];
    EXPECT_EQ(g.name, "glass-rain");
    EXPECT_EQ(g.setting, "/lib/glass.rov");
    EXPECT_EQ(g.setnr, 3);
    EXPECT_EQ(g.sample, "/lib/bell.wav");
    EXPECT_EQ(g.voices, 6);
    EXPECT_EQ(g.description, "Glass drops");
    EXPECT_EQ(lib.presets[1].banks, (std::vector<std::string>{"/lib/a.rov", "/lib/b.rov"}));
    EXPECT_EQ(lib.families, (std::vector<std::string>{"Bells", "Multiple", "Drones"}));
    ASSERT_EQ(errors.size(), 9u);
    for (int k = 0; k < 9; ++k) EXPECT_EQ(errors[k].find("index.txt:" + std::to_string(6 + k) + ": "), 0u) << errors[k];

    EXPECT_EQ(fi_preset_find(lib, "Glass-Rain"), &lib.presets[0]);
    EXPECT_EQ(fi_preset_find(lib, "glass"), nullptr);
    EXPECT_EQ(fi_preset_pick(lib, 4), &lib.presets[1]);
    EXPECT_EQ(fi_preset_pick(fi_library{}, 4), nullptr);
    EXPECT_EQ(fi_preset_title("glass-rain-2"), "Glass Rain 2");
}

TEST(PresetIndex, FoundInTheFirstFolderThatHoldsOne) {
    const std::string a = temp_dir(), b = temp_dir();
    std::ofstream(b + "/index.txt") << "one|F|one.rov|0||The one\n";
    {
        env_guard env("TESSELLON_PRESETS", a.c_str());
        const std::vector<std::string> dirs = fi_presets_dirs("/opt/t/bin/tessellon");
        ASSERT_GE(dirs.size(), 2u);
        EXPECT_EQ(dirs[0], a);
        EXPECT_EQ(dirs[1], "/opt/t/bin/../share/tessellon/presets");
    }
    fi_library lib;
    std::string err;
    std::vector<std::string> bad;
    ASSERT_TRUE(fi_presets_load({a, b}, lib, err, bad));
    EXPECT_EQ(lib.dir, b);
    ASSERT_EQ(lib.presets.size(), 1u);
    EXPECT_EQ(lib.presets[0].setting, b + "/one.rov");
    EXPECT_FALSE(fi_presets_load({a}, lib, err, bad));
    EXPECT_NE(err.find(a), std::string::npos) << err;
    std::remove((b + "/index.txt").c_str());
    rmdir(a.c_str());
    rmdir(b.c_str());
}

TEST(UserSettings, FolderFromXdgOrHomeAndItsSettingFiles) {
    {
        env_guard x("XDG_DATA_HOME", "/x/data");
        EXPECT_EQ(fi_user_settings_dir(), "/x/data/tessellon/settings");
    }
    {
        env_guard x("XDG_DATA_HOME", "relative");  // not absolute: ignored, as the XDG rules say
        env_guard h("HOME", "/home/u");
        EXPECT_EQ(fi_user_settings_dir(), "/home/u/.local/share/tessellon/settings");
    }
    const std::string root = temp_dir();
    const std::string dir = root + "/a/b";
    int err = 0;
    ASSERT_TRUE(fi_make_dirs(dir, err)) << err;
    ASSERT_TRUE(fi_make_dirs(dir, err));  // already there
    std::ofstream(dir + "/b.rov") << "x";
    std::ofstream(dir + "/A.ROV") << "x";
    std::ofstream(dir + "/c.txt") << "x";
    mkdir((dir + "/d.rov").c_str(), 0755);  // a folder is no setting
    EXPECT_EQ(fi_setting_files(dir), (std::vector<std::string>{"A.ROV", "b.rov"}));
    EXPECT_TRUE(fi_setting_files(root + "/none").empty());
    std::ofstream(root + "/file") << "x";
    EXPECT_FALSE(fi_make_dirs(root + "/file/sub", err));
    EXPECT_EQ(err, ENOTDIR);
    EXPECT_EQ(std::system(("rm -rf " + root).c_str()), 0);
}
