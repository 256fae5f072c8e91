// Setting files: the 672-byte layout, loading and saving.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include "files/setting_file.h"
#include "support/scratch.h"

namespace {

// A setting in which every field holds its own values, negatives included.
rov_setting distinct_setting() {
    rov_setting s;
    for (int i = 0; i < rov_nsets * rov_nparams; ++i) s.rov_p[i] = static_cast<int16_t>(i * 211 - 17000);
    for (int i = 0; i < rov_nsets; ++i) {
        s.rov_saw[i] = static_cast<int8_t>(i - 5);
        s.rov_tonindx[i] = static_cast<int8_t>(100 + i);
    }
    s.rov_densmod = 0x0102;
    s.rov_dynmod = -2;
    s.rov_tonmod = 0x7fff;
    s.rov_pitmod = -32768;
    s.rov_panmod = 1753;
    for (int i = 0; i < rov_nscales * rov_nvalues; ++i) s.rov_tones[i] = static_cast<int16_t>(9999 - i * 37);
    s.rov_stdalg = 21;
    return s;
}

std::string bytes_of(const rov_setting& s) {
    uint8_t b[rov_setting_bytes];
    fi_setting_encode(s, b);
    return std::string(reinterpret_cast<const char*>(b), sizeof b);
}

int le16(const std::string& b, int at) {
    return static_cast<int16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}

}  // namespace

// The stored layout: every field at its offset, little-endian.
TEST(SettingFile, FieldsAtTheirOffsets) {
    const rov_setting s = distinct_setting();
    const std::string b = bytes_of(s);
    ASSERT_EQ(b.size(), 672u);
    EXPECT_EQ(le16(b, 0), s.rov_p[0]);
    EXPECT_EQ(le16(b, 2 * (16 * 3 + 5)), s.rov_p[16 * 3 + 5]);  // set 3, parameter 5
    EXPECT_EQ(le16(b, 318), s.rov_p[159]);
    EXPECT_EQ(static_cast<int8_t>(b[320]), s.rov_saw[0]);
    EXPECT_EQ(static_cast<int8_t>(b[329]), s.rov_saw[9]);
    EXPECT_EQ(static_cast<int8_t>(b[330]), s.rov_tonindx[0]);
    EXPECT_EQ(static_cast<int8_t>(b[339]), s.rov_tonindx[9]);
    EXPECT_EQ(static_cast<uint8_t>(b[340]), 0x02);  // densmod 0x0102, low byte first
    EXPECT_EQ(static_cast<uint8_t>(b[341]), 0x01);
    EXPECT_EQ(le16(b, 342), s.rov_dynmod);
    EXPECT_EQ(le16(b, 344), s.rov_tonmod);
    EXPECT_EQ(le16(b, 346), s.rov_pitmod);
    EXPECT_EQ(le16(b, 348), s.rov_panmod);
    EXPECT_EQ(le16(b, 350), s.rov_tones[0]);
    EXPECT_EQ(le16(b, 668), s.rov_tones[159]);
    EXPECT_EQ(le16(b, 670), 21);
}

TEST(SettingFile, SaveThenLoadGivesTheSameBytes) {
    test_scratch tmp;
    const rov_setting s = distinct_setting();
    int err = -1;
    ASSERT_TRUE(fi_setting_write(tmp / "a.rov", s, err));
    EXPECT_EQ(err, 0);
    const std::string onfile = test_slurp(tmp / "a.rov");
    EXPECT_EQ(onfile, bytes_of(s));

    rov_setting back;
    rov_default_setting(back);
    ASSERT_EQ(fi_setting_read(tmp / "a.rov", back), fi_read::ok);
    EXPECT_EQ(bytes_of(back), onfile);
    EXPECT_EQ(std::memcmp(back.rov_tones, s.rov_tones, sizeof s.rov_tones), 0);

    // Saving over an existing file replaces it whole.
    rov_setting d;
    rov_default_setting(d);
    ASSERT_TRUE(fi_setting_write(tmp / "a.rov", d, err));
    EXPECT_EQ(test_slurp(tmp / "a.rov"), bytes_of(d));
    EXPECT_EQ(tmp.names().size(), 1u);
}

TEST(SettingFile, StandardAlgorithmOutsideTheTableIsKeptAsStored) {
    test_scratch tmp;
    std::string b = bytes_of(distinct_setting());
    b[670] = 30;
    b[671] = 0;
    test_put(tmp / "x.rov", b);
    rov_setting s;
    ASSERT_EQ(fi_setting_read(tmp / "x.rov", s), fi_read::ok);
    EXPECT_EQ(s.rov_stdalg, 30);
}

TEST(SettingFile, ShortFileIsRefusedAndChangesNothing) {
    test_scratch tmp;
    const std::string whole = bytes_of(distinct_setting());
    rov_setting d;
    rov_default_setting(d);
    const std::string before = bytes_of(d);
    for (std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{24}, std::size_t{671}}) {
        test_put(tmp / "short.rov", whole.substr(0, n));
        rov_setting s = d;
        EXPECT_EQ(fi_setting_read(tmp / "short.rov", s), fi_read::too_short) << n;
        EXPECT_EQ(bytes_of(s), before) << n;
        EXPECT_FALSE(fi_setting_decode(reinterpret_cast<const uint8_t*>(whole.data()), n, s));
        EXPECT_EQ(bytes_of(s), before) << n;
    }
}

TEST(SettingFile, LongerFileGivesItsFirst672Bytes) {
    test_scratch tmp;
    const std::string whole = bytes_of(distinct_setting());
    test_put(tmp / "long.rov", whole + std::string(5000, '\x7f'));
    rov_setting s;
    ASSERT_EQ(fi_setting_read(tmp / "long.rov", s), fi_read::ok);
    EXPECT_EQ(bytes_of(s), whole);
}

TEST(SettingFile, MissingOrUnreadableFileIsNotOpened) {
    test_scratch tmp;
    rov_setting d;
    rov_default_setting(d);
    rov_setting s = d;
    EXPECT_EQ(fi_setting_read(tmp / "missing.rov", s), fi_read::not_opened);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(fi_setting_read(tmp.dir.string(), s), fi_read::not_opened);  // a folder
    EXPECT_EQ(bytes_of(s), bytes_of(d));
}

TEST(SettingFile, FailedSaveLeavesNoFile) {
    test_scratch tmp;
    const rov_setting s = distinct_setting();
    int err = 0;
    EXPECT_FALSE(fi_setting_write(tmp / "no/such/dir/a.rov", s, err));
    EXPECT_EQ(err, ENOENT);
    std::filesystem::create_directory(tmp / "folder.rov");
    EXPECT_FALSE(fi_setting_write(tmp / "folder.rov", s, err));
    EXPECT_NE(err, 0);
    EXPECT_EQ(tmp.names(), std::vector<std::string>{"folder.rov"});
    EXPECT_TRUE(std::filesystem::is_empty(tmp / "folder.rov"));
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_FALSE(fi_setting_write("/dev/full", s, err));
        EXPECT_EQ(err, ENOSPC);
    }
}
