// Setup files: two records of 24 and 18 bytes, little-endian.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "files/setup_file.h"
#include "support/scratch.h"

namespace {

fi_setup sample_setup() {
    fi_setup f;
    f.bufsiz0 = 0x01020304;
    f.sampmaxid = 6000000;
    f.recsmp = -2;
    f.wvodv = -1;
    f.maxvoc = 64;
    f.almod = 21;
    f.empha = 1;
    f.tonalia = 2;
    f.emerge = 3;
    f.emrot = 4;
    f.wvomea = 5;
    f.playpaus = 0x0a0b;
    f.dispmode = 54;
    f.blowopt = 6;
    f.playbmix = 300;
    f.fuzzlev = -1600;
    f.fuzztyp = 7;
    f.vistyp = 8;
    f.autotempo = 1;
    f.shwmorph = 0xfe;
    f.stereoset = 1;
    return f;
}

std::string encoded(const fi_setup& f) {
    uint8_t b[fi_setup_bytes];
    fi_setup_encode(f, b);
    return std::string(reinterpret_cast<const char*>(b), sizeof b);
}

const uint8_t* u8p(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

}  // namespace

TEST(SetupFile, BytesAsWritten) {
    const std::string b = encoded(sample_setup());
    const uint8_t want[fi_setup_bytes] = {
        0x04, 0x03, 0x02, 0x01,  // bufsiz0
        0x80, 0x8d, 0x5b, 0x00,  // sampmaxid 6000000
        0xfe, 0xff, 0xff, 0xff,  // recsmp -2
        0xff, 0xff, 0xff, 0xff,  // wvodv: the mapper
        64, 21, 1, 2, 3, 4, 5,   // maxvoc .. wvomea
        0,                       // padding
        0x0b, 0x0a,              // playpaus
        54, 0, 6, 0,             // dispmode, blowopt
        0x2c, 0x01,              // playbmix 300
        0xc0, 0xf9,              // fuzzlev -1600
        7, 0, 8, 0,              // fuzztyp, vistyp
        1, 0xfe, 1,              // autotempo, shwmorph, stereoset
        0,                       // reserved
    };
    EXPECT_EQ(b, std::string(reinterpret_cast<const char*>(want), sizeof want));
}

TEST(SetupFile, DecodesOnlyCompleteRecords) {
    const fi_setup f = sample_setup();
    const std::string b = encoded(f);
    const fi_setup blank;

    fi_setup out;
    EXPECT_EQ(fi_setup_decode(u8p(b), 0, out), 0);
    EXPECT_EQ(fi_setup_decode(u8p(b), 23, out), 0);
    EXPECT_EQ(out, blank);

    for (std::size_t n : {std::size_t{24}, std::size_t{41}}) {
        out = blank;
        EXPECT_EQ(fi_setup_decode(u8p(b), n, out), 1) << n;
        EXPECT_EQ(out.bufsiz0, f.bufsiz0);
        EXPECT_EQ(out.wvomea, f.wvomea);
        EXPECT_EQ(out.playpaus, 0);  // the second record stays untouched
        EXPECT_EQ(out.stereoset, 0);
    }
    out = blank;
    EXPECT_EQ(fi_setup_decode(u8p(b), 42, out), 2);
    EXPECT_EQ(out, f);
    // Padding and reserved bytes do not matter; more bytes are not looked at.
    std::string odd = b;
    odd[23] = '\x55';
    odd[41] = '\x66';
    odd += "trailing";
    out = blank;
    EXPECT_EQ(fi_setup_decode(u8p(odd), odd.size(), out), 2);
    EXPECT_EQ(out, f);
}

TEST(SetupFile, SaveThenLoad) {
    test_scratch tmp;
    const fi_setup f = sample_setup();
    int err = -1;
    ASSERT_TRUE(fi_setup_write(tmp / "a.ini", f, err));
    EXPECT_EQ(test_slurp(tmp / "a.ini"), encoded(f));
    fi_setup back;
    int records = -1;
    EXPECT_EQ(fi_setup_read(tmp / "a.ini", back, records), fi_read::ok);
    EXPECT_EQ(records, 2);
    EXPECT_EQ(back, f);
}

TEST(SetupFile, ShortFilesGiveTheirCompleteRecords) {
    test_scratch tmp;
    const std::string b = encoded(sample_setup());
    fi_setup out;
    int records = -1;
    test_put(tmp / "s.ini", b.substr(0, 10));
    EXPECT_EQ(fi_setup_read(tmp / "s.ini", out, records), fi_read::too_short);
    EXPECT_EQ(records, 0);
    EXPECT_EQ(out, fi_setup{});
    test_put(tmp / "s.ini", b.substr(0, 24));
    EXPECT_EQ(fi_setup_read(tmp / "s.ini", out, records), fi_read::ok);
    EXPECT_EQ(records, 1);
    test_put(tmp / "s.ini", b + std::string(100, 'x'));
    EXPECT_EQ(fi_setup_read(tmp / "s.ini", out, records), fi_read::ok);
    EXPECT_EQ(records, 2);
    EXPECT_EQ(fi_setup_read(tmp / "missing.ini", out, records), fi_read::not_opened);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(records, 0);
}

TEST(SetupFile, FailedSaveLeavesNoFile) {
    test_scratch tmp;
    int err = 0;
    EXPECT_FALSE(fi_setup_write(tmp / "none/a.ini", sample_setup(), err));
    EXPECT_EQ(err, ENOENT);
    EXPECT_TRUE(tmp.names().empty());
}
