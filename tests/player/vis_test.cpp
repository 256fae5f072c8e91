// The visual effects: the drawing primitives, relpos, the colour rules and
// each effect's steps, on a canvas that records the calls and on the
// in-memory field.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "player/vis.h"
#include "player/vis_raster.h"

namespace {

struct call {
    char kind;  // 'r' rectangle, 'e' ellipse, 'l' line, 'p' polyline
    int x0, y0, x1, y1;
    uint32_t colour;  // fill or line colour
    uint32_t pen;     // outline (shapes) or width (lines) or points (polylines)
    bool pattern;
    uint8_t rows[8];
};

struct recorder final : vis_canvas {
    std::vector<call> calls;
    void shape(bool rect, int x0, int y0, int x1, int y1, const vis_brush& b, uint32_t pen) override {
        call c{rect ? 'r' : 'e', x0, y0, x1, y1, b.colour, pen, b.pattern, {}};
        for (int i = 0; i < 8; ++i) c.rows[i] = b.rows[i];
        calls.push_back(c);
    }
    void line(int x0, int y0, int x1, int y1, uint32_t colour, int width) override {
        calls.push_back({'l', x0, y0, x1, y1, colour, static_cast<uint32_t>(width), false, {}});
    }
    void polyline(const int* x, const int* y, int n, uint32_t colour) override {
        calls.push_back({'p', x[0], y[0], x[n - 1], y[n - 1], colour, static_cast<uint32_t>(n), false, {}});
    }
};

// An engine state with voice 0 sounding at `wincr`.
struct engine {
    rov_state st;
    std::vector<int16_t> buf = std::vector<int16_t>(2 * 800, 0);
    explicit engine(uint16_t wincr = 880) {
        rov_state_init(st);
        rov_default_setting(st.s);
        st.s.rov_stdalg = 0;
        st.g.rov_maxvoc = 8;
        rov_tonephase& t = st.t[0];
        t.rov_ephas = 1;
        t.rov_wincr = wincr;
        t.rov_left = 100;
        t.rov_right = 100;
        t.rov_eincr = 64;
        t.rov_edecr = 64;
    }
    const rov_handle* h() const { return &st.h; }
};

}  // namespace

TEST(Relpos, SpecExamples) {
    int x = 0, y = 0, ht = 0;
    relpos(880, 240, 240, 70, &x, &y, &ht);
    EXPECT_EQ(x, 240);
    EXPECT_EQ(y, 31);  // 240 - 100 * 8 * 70 / 267
    EXPECT_EQ(ht, 12 * 6 + 9);
    relpos(0, 17, 23, 70, &x, &y, nullptr);
    EXPECT_EQ(x, 17);
    EXPECT_EQ(y, 23);
    relpos(3, 100, 100, 70, &x, &y, nullptr);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 102);
    relpos(11, 100, 100, 70, &x, &y, nullptr);  // twice the offset of direction 2
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 104);
    // An octave lower is nearer the centre: 440 has o = 5, spread to 6.
    relpos(440, 240, 240, 70, &x, &y, nullptr);
    EXPECT_EQ(x, 240);
    EXPECT_EQ(y, 240 - 100 * 6 * 70 / 267);
}

TEST(Colours, OctaveAndSemitone) {
    EXPECT_EQ(vis_octave_colour(95, 0x123456), 0x123456u);
    EXPECT_EQ(vis_octave_colour(96, 0x123456), rainbow[0]);
    EXPECT_EQ(vis_octave_colour(321, 0), rainbow[1]);
    EXPECT_EQ(vis_octave_colour(385, 0), rainbow[2]);
    EXPECT_EQ(vis_octave_colour(1024, 0), rainbow[5]);  // one halving to 512, then + 2
    EXPECT_EQ(vis_octave_colour(65535, 0), rainbow[23]);
    EXPECT_EQ(vis_semitone_colour(0), 0xFFFFFFu);
    EXPECT_EQ(vis_semitone_colour(-5), 0xFFFFFFu);
    EXPECT_EQ(vis_semitone_colour(880), rainbow[18]);  // A: semitone 9
    EXPECT_EQ(vis_semitone_colour(440), rainbow[18]);
    EXPECT_EQ(vis_sizestep(0), 0);
    EXPECT_EQ(vis_sizestep(1), 1);
    EXPECT_EQ(vis_sizestep(128), 22);
    EXPECT_EQ(vis_sizestep(32767), 40);
}

TEST(Primitives, ShapeTestAndGlow) {
    recorder r;
    racirc(r, 1, 5, 2, 2, 1, 1, false);  // a Pixel dot at x < 2
    racirc(r, 5, 1, 2, 2, 1, 1, false);
    EXPECT_TRUE(r.calls.empty());
    racirc(r, 320, 240, 320, 240, 0, 0, true);  // clears the field
    ASSERT_EQ(r.calls.size(), 1u);
    EXPECT_EQ(r.calls[0].kind, 'r');
    EXPECT_EQ(r.calls[0].x1, 640);

    r.calls.clear();
    raline(r, 0, 0, 10, 10, 0x2040FE, 2, true);
    ASSERT_EQ(r.calls.size(), 3u);
    EXPECT_EQ(r.calls[0].colour, 0x10207Fu);
    EXPECT_EQ(r.calls[0].pen, 6u);
    EXPECT_EQ(r.calls[1].colour, 0x2040FEu);
    EXPECT_EQ(r.calls[1].pen, 4u);
    EXPECT_EQ(r.calls[2].colour, 0xFFFFFFu);
    EXPECT_EQ(r.calls[2].pen, 2u);

    // The pattern: a row per word, its low byte; outline black.
    r.calls.clear();
    const int16_t map[8] = {0x12AB, 0x0001, -1, 0, 0x00F0, 0x0F0F, 0x7F80, 0x5555};
    rabirc(r, 320, 240, 10, 10, 0xABCDEF, map, true);
    ASSERT_EQ(r.calls.size(), 1u);
    EXPECT_TRUE(r.calls[0].pattern);
    const uint8_t want[8] = {0xAB, 0x01, 0xFF, 0x00, 0xF0, 0x0F, 0x80, 0x55};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(r.calls[0].rows[i], want[i]) << i;
    EXPECT_EQ(r.calls[0].pen, 0u);
}

TEST(Primitives, BallRingsAndOscilloscope) {
    recorder r;
    raball(r, 100, 100, 12, 0xFF, 12, 0);  // no such light direction
    EXPECT_TRUE(r.calls.empty());
    raball(r, 100, 100, 5, 0xFF, 1, 0);  // small: one black ellipse outlined in ic
    ASSERT_EQ(r.calls.size(), 1u);
    EXPECT_EQ(r.calls[0].colour, 0u);
    EXPECT_EQ(r.calls[0].pen, 0xFFu);
    r.calls.clear();
    raball(r, 100, 100, 12, 0xFF, 10, 4);  // flat, two rings and the last one
    ASSERT_EQ(r.calls.size(), 3u);
    const int rx = (3 * 12 + 1) / 2, ry = (3 * 12 + 1) / 4;
    EXPECT_EQ(r.calls[0].x0, 100 - rx);
    EXPECT_EQ(r.calls[0].y0, 100 - ry);
    EXPECT_EQ(r.calls[1].x0, 100 + 2 - (rx - 4));  // shifted towards the light, narrower
    EXPECT_EQ(r.calls[2].x0, 100 + 4 - (rx - 8));
    // Red 255 blended with grey 252 at s = 4: (255*4 + 252*4)/8 = 253.
    EXPECT_EQ(r.calls[1].colour & 0xFF, 253u);

    engine e;
    for (int k = 0; k < 400; ++k) {
        e.buf[2 * k] = static_cast<int16_t>(256 * k);
        e.buf[2 * k + 1] = 256;
    }
    r.calls.clear();
    raoscil(r, 0xFF, e.buf.data(), 400, 1, false);
    ASSERT_EQ(r.calls.size(), 3u);
    EXPECT_EQ(r.calls[0].pen, 321u);
    EXPECT_EQ(r.calls[0].y0, 240 - 1);
    EXPECT_EQ(r.calls[0].x1, 640);
    EXPECT_EQ(r.calls[2].x0, 1);
    EXPECT_EQ(r.calls[2].y0, 240);
    r.calls.clear();
    raoscil(r, 0xFF, e.buf.data(), 400, 0, true);
    ASSERT_EQ(r.calls.size(), 6u);  // three passes, each drawn twice
    EXPECT_EQ(r.calls[0].colour, 0xFFFFFFu);
    EXPECT_EQ(r.calls[2].colour, 0xFFu);
    EXPECT_EQ(r.calls[4].colour, 0x7Fu);
    EXPECT_EQ(r.calls[4].x0, 2);
    // A short buffer: only its own frames.
    r.calls.clear();
    raoscil(r, 0xFF, e.buf.data(), 100, 0, false);
    EXPECT_EQ(r.calls[0].pen, 100u);
}

TEST(Effects, LightshowCycle) {
    engine e;
    recorder r;
    int16_t vis[vis_nmem] = {};
    vis[0] = 41;
    ranovis(e.h(), e.buf.data(), 768, 4, vis, r);
    ASSERT_EQ(r.calls.size(), 1u);
    EXPECT_TRUE(r.calls[0].pattern);
    EXPECT_EQ(r.calls[0].x0, 320 - 312);
    EXPECT_EQ(r.calls[0].y0, 240 - 234);
    EXPECT_EQ(r.calls[0].colour, vis_octave_colour(880, 0));
    EXPECT_EQ(vis[0], 42);
    vis[0] = 800;
    ranovis(e.h(), e.buf.data(), 768, 4, vis, r);
    EXPECT_EQ(vis[0], 0);
    // A count another effect left beyond the cycle starts it again.
    vis[0] = 1200;
    ranovis(e.h(), e.buf.data(), 768, 4, vis, r);
    EXPECT_EQ(vis[0], 0);
    // No voice: white.
    e.st.t[0].rov_ephas = 0;
    r.calls.clear();
    vis[0] = 405;
    ranovis(e.h(), e.buf.data(), 768, 4, vis, r);
    EXPECT_EQ(r.calls[0].colour, 0xFFFFFFu);
}

TEST(Effects, BallsAdvanceWithoutAVoiceAndRosetteClearsOnce) {
    engine e;
    e.st.t[0].rov_ephas = 0;
    recorder r;
    int16_t vis[vis_nmem] = {};
    vis[0] = 399;
    ranovis(e.h(), e.buf.data(), 768, 2, vis, r);
    EXPECT_TRUE(r.calls.empty());
    EXPECT_EQ(vis[0], 400);
    ranovis(e.h(), e.buf.data(), 768, 2, vis, r);
    EXPECT_EQ(vis[0], 0);  // wraps after 400

    e.st.t[0].rov_ephas = 1;
    vis[0] = 10;
    ranovis(e.h(), e.buf.data(), 768, 3, vis, r);
    ASSERT_FALSE(r.calls.empty());
    EXPECT_EQ(r.calls[0].kind, 'r');  // the field cleared
    EXPECT_EQ(vis[0], 200);           // the loudest level seen
    const std::size_t n = r.calls.size();
    ranovis(e.h(), e.buf.data(), 768, 3, vis, r);
    EXPECT_NE(r.calls[n].kind, 'r');  // not cleared again
    EXPECT_EQ(vis[1], 1);             // the round-robin start moved past voice 0
}

TEST(Effects, AlgorithmicPhraseWalkEndsAtFifteen) {
    engine e;
    e.st.s.rov_stdalg = 9;  // a phrase algorithm
    e.st.g.rov_currp[5] = 255;
    recorder r;
    int16_t vis[vis_nmem] = {};
    vis[0] = 5;
    vis[2] = 14;
    vis[8] = 300;
    vis[9] = 200;
    ranovis(e.h(), e.buf.data(), 768, 5, vis, r);
    EXPECT_EQ(vis[2], 15);  // 8 * 14 < p5: the walk goes on
    ranovis(e.h(), e.buf.data(), 768, 5, vis, r);
    EXPECT_EQ(vis[2], 0);  // i = 15 ends it
    EXPECT_EQ(vis[8], 300);  // a walk fans out from its start point
    EXPECT_EQ(vis[0], 7);
}

TEST(Effects, PixelAndWaveformAndUnknown) {
    engine e;
    recorder r;
    int16_t vis[vis_nmem] = {};
    ranovis(e.h(), e.buf.data(), 768, 0, vis, r);
    ranovis(e.h(), e.buf.data(), 768, 8, vis, r);
    EXPECT_TRUE(r.calls.empty());
    for (int i = 0; i < 50; ++i) ranovis(e.h(), e.buf.data(), 768, 7, vis, r);
    for (const call& c : r.calls) {
        EXPECT_EQ(c.x1 - c.x0, 4);
        EXPECT_EQ(c.colour, 0u);  // A is semitone 9: one of the dark odd ones, black
    }
    EXPECT_EQ(vis[7], 880);
    r.calls.clear();
    vis[0] = 899;  // the third phase: thickness 2, cleared, plain
    ranovis(e.h(), e.buf.data(), 768, 6, vis, r);
    EXPECT_EQ(vis[0], 900);
    ASSERT_EQ(r.calls.size(), 1u + 1u + 2u * 3u);
    r.calls.clear();
    ranovis(e.h(), e.buf.data(), 768, 6, vis, r);
    EXPECT_EQ(vis[0], 0);
}

TEST(Raster, PatternEllipseAndLines) {
    auto f = std::make_unique<vis_raster>();
    vis_brush b;
    b.pattern = true;
    b.colour = 0x0000FF;  // red
    b.zero = 0;
    for (int i = 0; i < 8; ++i) b.rows[i] = 0x80;  // leftmost pixel of every 8
    f->shape(true, 0, 0, 639, 479, b, 0x00FF00);
    EXPECT_EQ(f->at(0, 0), 0x00FF00u);   // outline
    EXPECT_EQ(f->at(8, 8), 0x0000FFu);   // a 1 bit
    EXPECT_EQ(f->at(9, 8), 0u);          // a 0 bit
    EXPECT_EQ(f->at(16, 200), 0x0000FFu);
    const uint8_t* p = f->rgb() + (8 * 640 + 8) * 3;
    EXPECT_EQ(p[0], 255);  // red first
    EXPECT_EQ(p[2], 0);

    vis_brush s;
    s.colour = 0x123456;
    f->shape(false, 100, 100, 120, 110, s, 0xFFFFFF);
    EXPECT_EQ(f->at(110, 105), 0x123456u);  // inside
    EXPECT_EQ(f->at(100, 105), 0xFFFFFFu);  // the left end of the middle row
    EXPECT_EQ(f->at(110, 100), 0xFFFFFFu);  // the top
    EXPECT_NE(f->at(100, 100), 0xFFFFFFu);  // the box's corner is outside
    f->line(200, 300, 260, 300, 0xABCDEF, 5);
    EXPECT_EQ(f->at(230, 302), 0xABCDEFu);
    EXPECT_NE(f->at(230, 304), 0xABCDEFu);
    // Far outside the field nothing is drawn, and nothing breaks.
    f->shape(false, -100000, -100000, 100000, -90000, s, 0);
    f->line(-30000, -30000, -20000, 40000, 0xFF, 3);
    EXPECT_TRUE(f->take_changed());
    EXPECT_FALSE(f->take_changed());
    std::vector<uint8_t> half;
    f->half_size(half);
    EXPECT_EQ(half.size(), 320u * 240u * 3u);
}
