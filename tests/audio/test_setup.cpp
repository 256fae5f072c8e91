// Loading a setup into the options: the range tests, the device and its
// 16-bit stereo, what a recording protects, and save then load.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/refill.h"
#include "audio/setup.h"
#include "support/fake_files.h"
#include "support/scratch.h"

namespace {

constexpr uint32_t no_stereo16 = wv_fmt_all & ~wv_fmt_16stereo;

// The options, the row and the mixer shift a setup is loaded into, with a
// device whose capabilities the test chooses.
struct loader {
    wv_options opt;
    int algomod = 1;
    int16_t volshift = 12;
    bool recording = false;
    bool answers = true;            // the device answers the probe
    uint32_t formats = wv_fmt_all;  // what it offers
    std::vector<unsigned> probed;

    bool load(const fi_setup& f, int records = 2) {
        fake_recsink rec;
        rec.open = recording;
        wv_setup_target t{&opt, &algomod, &volshift, &rec, [this](unsigned devno, wv_caps& c) {
                              probed.push_back(devno);
                              if (!answers) return false;
                              c.name = "test device";
                              c.dwFormats = formats;
                              return true;
                          }};
        return wv_setup_apply(f, records, t);
    }
};

// The setup of the options as they are by default, row 1.
fi_setup defaults() { return wv_setup_from(wv_options{}, 1); }

// The options the setup file holds, compared one by one.
void expect_same_options(const wv_options& a, const wv_options& b) {
    EXPECT_EQ(a.bufszorig, b.bufszorig);
    EXPECT_EQ(a.bufincr, b.bufincr);
    EXPECT_EQ(a.sampmaxidle, b.sampmaxidle);
    EXPECT_EQ(a.recsmpopt, b.recsmpopt);
    EXPECT_EQ(a.wvodevno, b.wvodevno);
    EXPECT_EQ(a.maxv, b.maxv);
    EXPECT_EQ(a.emphas, b.emphas);
    EXPECT_EQ(a.tonalias, b.tonalias);
    EXPECT_EQ(a.emergency, b.emergency);
    EXPECT_EQ(a.emrotate, b.emrotate);
    EXPECT_EQ(a.wvomeasure, b.wvomeasure);
    EXPECT_EQ(a.playpaus, b.playpaus);
    EXPECT_EQ(a.dispmode, b.dispmode);
    EXPECT_EQ(a.blowopt, b.blowopt);
    EXPECT_EQ(a.playbmix, b.playbmix);
    EXPECT_EQ(a.fuzzlev, b.fuzzlev);
    EXPECT_EQ(a.fuzztyp, b.fuzztyp);
    EXPECT_EQ(a.vistyp, b.vistyp);
    EXPECT_EQ(a.autotempo, b.autotempo);
    EXPECT_EQ(a.shwmorph, b.shwmorph);
    EXPECT_EQ(a.stereo16, b.stereo16);
    EXPECT_EQ(a.stereoset, b.stereoset);
}

}  // namespace

TEST(SetupLoad, BufferSizeLosesItsLowTenBitsAndTakesItsStep) {
    loader l;
    fi_setup f = defaults();
    f.bufsiz0 = 40000;  // not a table size once cut: 39936
    l.opt.bufincr = 1;
    l.load(f);
    EXPECT_EQ(l.opt.bufszorig, 39936);
    EXPECT_EQ(l.opt.bufincr, 512);

    f.bufsiz0 = 65536 + 1023;  // cut to a table size
    l.load(f);
    EXPECT_EQ(l.opt.bufszorig, 65536);
    EXPECT_EQ(l.opt.bufincr, 10752);

    for (int32_t edge : {3072, 1048576}) {
        f.bufsiz0 = edge;
        l.load(f);
        EXPECT_EQ(l.opt.bufszorig, edge);
        EXPECT_EQ(l.opt.bufincr, 512);
    }
    l.opt.bufszorig = 16384;
    l.opt.bufincr = 1536;
    for (int32_t out : {0, 3071, 1048577, -32768}) {
        f.bufsiz0 = out;
        l.load(f);
        EXPECT_EQ(l.opt.bufszorig, 16384) << out;
        EXPECT_EQ(l.opt.bufincr, 1536) << out;
    }
}

TEST(SetupLoad, VoicesAndTheMixerShift) {
    loader l;
    fi_setup f = defaults();
    const int want[][2] = {{1, 11}, {4, 11}, {5, 12}, {19, 12}, {20, 13}, {63, 13}, {64, 14}};
    for (const auto& w : want) {
        f.maxvoc = static_cast<uint8_t>(w[0]);
        l.load(f);
        EXPECT_EQ(l.opt.maxv, w[0]);
        EXPECT_EQ(l.volshift, w[1]) << w[0];
    }
    // Out of range: the voices stay, the shift is set from them all the same.
    l.opt.maxv = 20;
    for (int v : {0, 65, 255}) {
        l.volshift = 0;
        f.maxvoc = static_cast<uint8_t>(v);
        l.load(f);
        EXPECT_EQ(l.opt.maxv, 20);
        EXPECT_EQ(l.volshift, 13);
    }
}

TEST(SetupLoad, FirstRecordRanges) {
    loader l;
    fi_setup f = defaults();
    f.recsmp = 50;  // no menu item has it, but it is taken
    l.load(f);
    EXPECT_EQ(l.opt.recsmpopt, 50);
    for (int32_t v : {-3, -1000, INT32_MIN}) {
        f.recsmp = v;
        l.load(f);
        EXPECT_EQ(l.opt.recsmpopt, -2) << v;
    }
    f.recsmp = -1;
    l.load(f);
    EXPECT_EQ(l.opt.recsmpopt, -1);

    for (int32_t v : {50000, 50000000}) {
        f.sampmaxid = v;
        l.load(f);
        EXPECT_EQ(l.opt.sampmaxidle, v);
    }
    l.opt.sampmaxidle = wv_ttp_short;
    for (int32_t v : {49999, 50000001, -1}) {
        f.sampmaxid = v;
        l.load(f);
        EXPECT_EQ(l.opt.sampmaxidle, wv_ttp_short) << v;
    }

    f.empha = 7;
    f.tonalia = 1;
    f.emerge = 1;
    f.emrot = 0x80;
    f.wvomea = 0;
    l.load(f);
    EXPECT_TRUE(l.opt.emphas);
    EXPECT_TRUE(l.opt.tonalias);
    EXPECT_TRUE(l.opt.emergency);
    EXPECT_TRUE(l.opt.emrotate);
    EXPECT_FALSE(l.opt.wvomeasure);

    f.almod = 21;
    l.load(f);
    EXPECT_EQ(l.algomod, 21);
    f.almod = 30;  // no such row: the empty algorithm
    l.load(f);
    EXPECT_EQ(l.algomod, 22);
}

TEST(SetupLoad, UnknownDeviceGivesTheMapperInMono) {
    loader l;  // the device offers everything
    fi_setup f = defaults();
    f.wvodv = 7;
    f.stereoset = 1;
    EXPECT_TRUE(l.load(f));
    EXPECT_EQ(l.opt.wvodevno, wv_mapper);
    EXPECT_EQ(l.probed, std::vector<unsigned>{wv_mapper});
    EXPECT_FALSE(l.opt.stereo16);
    EXPECT_FALSE(l.opt.stereoset);
    EXPECT_EQ(l.opt.woc.dwFormats, wv_fmt_all);
}

TEST(SetupLoad, KnownDeviceKeepsStereoWhenItOffersIt) {
    loader l;
    fi_setup f = defaults();
    f.wvodv = 3;
    f.stereoset = 1;
    EXPECT_TRUE(l.load(f));
    EXPECT_EQ(l.opt.wvodevno, 3u);
    EXPECT_EQ(l.probed, std::vector<unsigned>{3});
    EXPECT_TRUE(l.opt.stereo16);
    EXPECT_TRUE(l.opt.stereoset);
    // JACK is stored as -2 and read back as itself.
    f.wvodv = -2;
    EXPECT_TRUE(l.load(f));
    EXPECT_EQ(l.opt.wvodevno, wv_jack_devno);
    EXPECT_TRUE(l.opt.stereoset);
    f.wvodv = 3;

    // Any one of the three 16-bit stereo formats will do.
    for (uint32_t one : {0x8u, 0x80u, 0x800u}) {
        l.formats = one;
        l.load(f);
        EXPECT_TRUE(l.opt.stereoset) << one;
    }
    l.formats = no_stereo16;
    f.wvodv = -1;
    l.load(f);
    EXPECT_EQ(l.opt.wvodevno, wv_mapper);
    EXPECT_FALSE(l.opt.stereo16);
    EXPECT_FALSE(l.opt.stereoset);

    // A stereo device, and a 0 in the second record: mono 8-bit.
    l.formats = wv_fmt_all;
    f.stereoset = 0;
    l.load(f);
    EXPECT_TRUE(l.opt.stereo16);
    EXPECT_FALSE(l.opt.stereoset);
}

TEST(SetupLoad, DeviceThatDoesNotAnswer) {
    loader l;
    l.answers = false;
    l.opt.woc.dwFormats = wv_fmt_all;
    l.opt.stereo16 = l.opt.stereoset = true;
    fi_setup f = defaults();
    f.wvodv = 0;
    f.playbmix = 120;
    EXPECT_FALSE(l.load(f));
    EXPECT_EQ(l.opt.wvodevno, 0u);
    EXPECT_EQ(l.opt.woc.dwFormats, 0u);  // not the formats of the device before
    EXPECT_FALSE(l.opt.stereo16);
    EXPECT_FALSE(l.opt.stereoset);
    EXPECT_EQ(l.opt.playbmix, 120);  // the rest is still loaded
}

TEST(SetupLoad, SecondRecordRanges) {
    loader l;
    fi_setup f = defaults();
    struct range {
        int16_t fi_setup::*field;
        int wv_options::*option;
        int lo, hi;
    };
    const range ranges[] = {
        {&fi_setup::playpaus, &wv_options::playpaus, 1, 64},
        {&fi_setup::dispmode, &wv_options::dispmode, 49, 54},
        {&fi_setup::blowopt, &wv_options::blowopt, 0, 6},
        {&fi_setup::playbmix, &wv_options::playbmix, 0, 300},
        {&fi_setup::fuzzlev, &wv_options::fuzzlev, 0, 1600},
        {&fi_setup::fuzztyp, &wv_options::fuzztyp, 0, 32767},
        {&fi_setup::vistyp, &wv_options::vistyp, 0, 32767},
    };
    for (const range& r : ranges) {
        for (int v : {r.lo, r.hi}) {
            f.*r.field = static_cast<int16_t>(v);
            l.load(f);
            EXPECT_EQ(l.opt.*r.option, v);
        }
        l.opt.*r.option = r.lo;
        for (int v : {r.lo - 1, r.hi + 1, -32768}) {
            if (v > 32767) continue;
            f.*r.field = static_cast<int16_t>(v);
            l.load(f);
            EXPECT_EQ(l.opt.*r.option, r.lo) << v;
        }
        f = defaults();
    }
    f.shwmorph = 2;
    l.load(f);
    EXPECT_TRUE(l.opt.shwmorph);
}

TEST(SetupLoad, RecordingKeepsTempoAndFormat) {
    fi_setup f = defaults();
    f.autotempo = 1;
    f.stereoset = 0;

    loader rec;
    rec.recording = true;
    rec.opt.stereo16 = rec.opt.stereoset = true;
    rec.load(f);
    EXPECT_FALSE(rec.opt.autotempo);
    EXPECT_TRUE(rec.opt.stereoset);

    // Nor does a device without 16-bit stereo change the recorded format.
    rec.formats = no_stereo16;
    f.wvodv = 9;
    rec.load(f);
    EXPECT_FALSE(rec.opt.stereo16);
    EXPECT_TRUE(rec.opt.stereoset);
    rec.opt.stereoset = false;
    rec.formats = wv_fmt_all;
    f.wvodv = 1;
    f.stereoset = 1;
    rec.load(f);
    EXPECT_TRUE(rec.opt.stereo16);
    EXPECT_FALSE(rec.opt.stereoset);

    loader idle;
    f = defaults();
    f.autotempo = 1;
    f.stereoset = 0;
    idle.load(f);
    EXPECT_TRUE(idle.opt.autotempo);
    EXPECT_FALSE(idle.opt.stereoset);
}

TEST(SetupLoad, ShortSetupsApplyWholeRecordsOnly) {
    loader l;
    fi_setup f = defaults();
    f.maxvoc = 40;
    f.wvodv = 2;
    f.playpaus = 9;
    f.vistyp = 3;
    l.volshift = 0;

    // Nothing at all: no option, no shift, no probe.
    const wv_options before = l.opt;
    EXPECT_TRUE(l.load(f, 0));
    expect_same_options(l.opt, before);
    EXPECT_EQ(l.volshift, 0);
    EXPECT_TRUE(l.probed.empty());

    // The first record alone.
    EXPECT_TRUE(l.load(f, 1));
    EXPECT_EQ(l.opt.maxv, 40);
    EXPECT_EQ(l.volshift, 13);
    EXPECT_EQ(l.opt.wvodevno, 2u);
    EXPECT_EQ(l.opt.playpaus, before.playpaus);
    EXPECT_EQ(l.opt.vistyp, before.vistyp);
}

TEST(SetupLoad, FromFilesOfTenTwentyFourAndFortyTwoBytes) {
    test_scratch tmp;
    fi_setup f = defaults();
    f.maxvoc = 2;
    f.playpaus = 33;
    uint8_t b[fi_setup_bytes];
    fi_setup_encode(f, b);
    const std::string bytes(reinterpret_cast<const char*>(b), sizeof b);
    const int want_records[] = {0, 1, 2};
    const std::size_t sizes[] = {10, 24, 42};
    for (int i = 0; i < 3; ++i) {
        test_put(tmp / "s.ini", bytes.substr(0, sizes[i]));
        loader l;
        fi_setup got;
        int records = -1;
        fi_setup_read(tmp / "s.ini", got, records);
        EXPECT_EQ(records, want_records[i]);
        l.load(got, records);
        EXPECT_EQ(l.opt.maxv, records >= 1 ? 2 : 8);
        EXPECT_EQ(l.opt.playpaus, records == 2 ? 33 : 1);
    }
}

TEST(SetupLoad, SaveThenLoadRestoresTheOptions) {
    test_scratch tmp;
    loader saved;
    wv_options& o = saved.opt;
    o.bufszorig = 98304;
    o.bufincr = 512;  // as after Buff.Beat
    o.sampmaxidle = wv_ttp_long;
    o.recsmpopt = 20;
    o.wvodevno = 1;
    o.maxv = 33;
    o.emphas = o.tonalias = o.emergency = o.emrotate = true;
    o.wvomeasure = false;
    o.playpaus = 17;
    o.dispmode = wv_disp_level;
    o.blowopt = 4;
    o.playbmix = 250;
    o.fuzzlev = 1234;
    o.fuzztyp = 5;
    o.vistyp = 6;
    o.autotempo = true;
    o.shwmorph = true;
    o.stereo16 = o.stereoset = true;

    int err = 0;
    ASSERT_TRUE(fi_setup_write(tmp / "a.ini", wv_setup_from(o, 14), err));
    fi_setup back;
    int records = 0;
    ASSERT_EQ(fi_setup_read(tmp / "a.ini", back, records), fi_read::ok);
    loader l;
    EXPECT_TRUE(l.load(back, records));
    EXPECT_EQ(l.algomod, 14);
    EXPECT_EQ(l.volshift, 13);
    wv_options want = o;
    want.bufincr = 9728;  // the loop step is taken with the size
    expect_same_options(l.opt, want);
}

// The latency rides in an extension after the two records: written when not
// the default, read only behind its tag, taken only in range.
TEST(SetupLoad, LatencyTravelsInTheExtension) {
    test_scratch tmp;
    int err = 0, records = 0;
    wv_options o;
    o.latency_ms = 500;
    ASSERT_TRUE(fi_setup_write(tmp / "lat.ini", wv_setup_from(o, 1), err));
    EXPECT_EQ(test_slurp(tmp / "lat.ini").size(), fi_setup_bytes + fi_setup_ext);
    fi_setup back;
    ASSERT_EQ(fi_setup_read(tmp / "lat.ini", back, records), fi_read::ok);
    loader l;
    l.opt.latency_ms = 300;
    l.load(back, records);
    EXPECT_EQ(l.opt.latency_ms, 500);

    // The default is not stored, and a file without it keeps the option.
    ASSERT_TRUE(fi_setup_write(tmp / "def.ini", defaults(), err));
    const std::string plain = test_slurp(tmp / "def.ini");
    EXPECT_EQ(plain.size(), fi_setup_bytes);
    // Other bytes after the records, or a value out of range, change nothing.
    const std::string bad_tag = plain + std::string("WTlT\x2c\x01\0\0", 8);
    const std::string too_low = plain + std::string("WTlt\x05\0\0\0", 8);
    for (const std::string& file : {plain, bad_tag, too_low}) {
        test_put(tmp / "x.ini", file);
        back = fi_setup{};
        ASSERT_EQ(fi_setup_read(tmp / "x.ini", back, records), fi_read::ok);
        l.opt.latency_ms = 300;
        l.load(back, records);
        EXPECT_EQ(l.opt.latency_ms, 300);
    }
}
