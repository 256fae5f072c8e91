#include "shell/fl_icons.h"

#include <FL/Fl.H>
#include <FL/Fl_Image.H>
#include <FL/Fl_Image_Surface.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <cmath>
#include <cstring>
#include <string>

namespace {

// The pen of the icon being drawn: its origin and whether it is dimmed. The
// drawing helpers and the art below draw with it.
struct pen {
    int x0 = 0, y0 = 0;
    bool dim = false;

    void col(int r, int g, int b) const;
    void box(int x, int y, int w, int h) const;
    void line(int x1, int y1, int x2, int y2) const;
    void thick(int w) const;
    void thin() const;
    void disc(int cx, int cy, int r) const;
    void arc(int cx, int cy, int r, double a1, double a2) const;
    void tri(int x1, int y1, int x2, int y2, int x3, int y3) const;
    void wave(int x1, int x2, int ymid, double amp, double cycles, double phase = 0) const;
    void sampwave(int x1, int x2, int ymid, int amp) const;
    void note(int x, int y, bool stem = true) const;
    void ground(int r, int g, int b) const;
    void experimental(int k) const;
    void sampling(int k) const;
    void phrase(int k) const;
    void v34(int k) const;
    void multiple(int) const;
    void empty(int) const;
    void tessel() const;
    void tessel_frame(int k) const;
    void hdrec_frame(int k) const;
    void toolbar(const std::string& n) const;
};

void pen::col(int r, int g, int b) const {
    const Fl_Color c = fl_rgb_color(static_cast<uchar>(r), static_cast<uchar>(g), static_cast<uchar>(b));
    fl_color(dim ? fl_color_average(c, fl_rgb_color(200, 200, 200), 0.35f) : c);
}
void pen::box(int x, int y, int w, int h) const { fl_rectf(x0 + x, y0 + y, w, h); }
void pen::line(int x1, int y1, int x2, int y2) const { fl_line(x0 + x1, y0 + y1, x0 + x2, y0 + y2); }
void pen::thick(int w) const { fl_line_style(FL_SOLID | FL_CAP_ROUND | FL_JOIN_ROUND, w); }
void pen::thin() const { fl_line_style(0); }
void pen::disc(int cx, int cy, int r) const { fl_pie(x0 + cx - r, y0 + cy - r, 2 * r + 1, 2 * r + 1, 0, 360); }
void pen::arc(int cx, int cy, int r, double a1, double a2) const {
    fl_arc(x0 + cx - r, y0 + cy - r, 2 * r + 1, 2 * r + 1, a1, a2);
}
void pen::tri(int x1, int y1, int x2, int y2, int x3, int y3) const {
    fl_polygon(x0 + x1, y0 + y1, x0 + x2, y0 + y2, x0 + x3, y0 + y3);
}

// A sine curve from x1 to x2 around ymid.
void pen::wave(int x1, int x2, int ymid, double amp, double cycles, double phase) const {
    fl_begin_line();
    for (int x = x1; x <= x2; ++x) {
        const double t = static_cast<double>(x - x1) / (x2 - x1);
        fl_vertex(x0 + x, y0 + ymid - amp * std::sin(6.2831853 * (cycles * t) + phase));
    }
    fl_end_line();
}

// A noisy sample waveform with a decaying envelope.
void pen::sampwave(int x1, int x2, int ymid, int amp) const {
    unsigned v = 12345;
    fl_begin_line();
    for (int x = x1; x <= x2; ++x) {
        v = v * 1103515245u + 12345u;
        const double env = 1.0 - 0.7 * (x - x1) / static_cast<double>(x2 - x1);
        const double r = static_cast<double>((v >> 16) & 255) / 255.0 * 2 - 1;
        const double s = std::sin((x - x1) * 1.3);
        fl_vertex(x0 + x, y0 + ymid - amp * env * (0.6 * s + 0.4 * r));
    }
    fl_end_line();
}

// A note head at (x, y) with a stem up.
void pen::note(int x, int y, bool stem) const {
    fl_pie(x0 + x - 3, y0 + y - 2, 7, 5, 0, 360);
    if (stem) line(x + 3, y, x + 3, y - 9);
}

// Background with a bevelled edge.
void pen::ground(int r, int g, int b) const {
    col(r, g, b);
    box(0, 0, 32, 32);
    col(std::min(255, r + 70), std::min(255, g + 70), std::min(255, b + 70));
    line(0, 0, 31, 0);
    line(0, 0, 0, 31);
    col(r / 3, g / 3, b / 3);
    line(1, 31, 31, 31);
    line(31, 1, 31, 31);
}

// --- algorithm families ---

void pen::experimental(int k) const {
    ground(34, 62, 140);
    switch (k) {
    case 0:  // panning: voices spread across the field
        col(255, 220, 80);
        for (int i = 0; i < 6; ++i) disc(5 + 4 * i, 8 + (i * 7) % 13, 1 + i % 2);
        col(160, 220, 255);
        thick(2);
        line(5, 25, 27, 25);
        tri(3, 25, 8, 21, 8, 29);
        tri(29, 25, 24, 21, 24, 29);
        break;
    case 1:  // dual oscillator
        thick(2);
        col(120, 230, 255);
        wave(3, 28, 11, 6, 2);
        col(255, 200, 90);
        wave(3, 28, 22, 6, 3, 1.2);
        break;
    case 2:  // two scales
        thick(2);
        col(120, 230, 255);
        for (int i = 0; i < 4; ++i) line(3 + 6 * i, 26 - 5 * i, 9 + 6 * i, 26 - 5 * i);
        col(255, 200, 90);
        for (int i = 0; i < 4; ++i) line(5 + 6 * i, 9 + 4 * i, 11 + 6 * i, 9 + 4 * i);
        break;
    case 3:  // minimal music: a repeated figure shifting
        col(230, 240, 255);
        for (int i = 0; i < 5; ++i) {
            box(3 + 6 * i, 6 + (i % 2) * 4, 4, 3);
            box(3 + 6 * i, 15 + ((i + 1) % 2) * 4, 4, 3);
        }
        col(255, 200, 90);
        box(3, 26, 26, 2);
        break;
    case 4:  // ambient with echo: fading rings
        thick(2);
        for (int i = 0; i < 4; ++i) {
            col(120 + 30 * i, 200 + 10 * i, 255);
            arc(6, 16, 5 + 6 * i, -50, 50);
        }
        col(255, 220, 80);
        disc(6, 16, 3);
        break;
    case 5:  // interval studies
        col(255, 255, 255);
        thick(1);
        for (int i = 0; i < 5; ++i) line(3, 8 + 4 * i, 28, 8 + 4 * i);
        col(255, 210, 60);
        note(9, 22);
        note(21, 12);
        thick(2);
        line(9, 27, 21, 27);
        break;
    default:  // chords / triple oscillator
        col(255, 200, 90);
        box(5, 6, 6, 4);
        box(5, 13, 6, 4);
        box(5, 20, 6, 4);
        col(120, 230, 255);
        thick(2);
        wave(15, 29, 10, 3, 2);
        wave(15, 29, 16, 3, 3);
        wave(15, 29, 22, 3, 4);
        break;
    }
    thin();
}

void pen::sampling(int k) const {
    ground(150, 80, 20);
    col(255, 235, 190);
    thick(1);
    sampwave(3, 28, 12, 8);
    thick(2);
    switch (k) {
    case 1:  // intervals with samples
        col(255, 255, 120);
        disc(9, 25, 2);
        disc(22, 23, 2);
        line(9, 25, 22, 23);
        break;
    case 2:  // crossfade loops: two crossing ramps
        col(120, 230, 255);
        line(4, 28, 27, 20);
        col(255, 140, 140);
        line(4, 20, 27, 28);
        break;
    case 3:  // static loops: loop arrow
        col(140, 255, 160);
        arc(16, 25, 5, 20, 340);
        tri(20, 19, 24, 21, 20, 24);
        break;
    case 4:  // sample phrase
        col(255, 255, 255);
        thin();
        note(8, 28);
        note(16, 26);
        note(24, 28);
        break;
    default:  // multiple loops
        col(140, 255, 160);
        for (int i = 0; i < 3; ++i) {
            box(4 + 3 * i, 21 + 3 * i, 24 - 6 * i, 2);
            box(4 + 3 * i, 21 + 3 * i, 2, 3);
        }
        break;
    }
    thin();
}

void pen::phrase(int k) const {
    ground(24, 110, 64);
    col(220, 255, 220);
    for (int i = 0; i < 5; ++i) line(2, 8 + 4 * i, 29, 8 + 4 * i);
    col(255, 255, 255);
    thick(1);
    switch (k) {
    case 1:  // fantasy around a phrase
        note(7, 24);
        note(14, 20);
        note(21, 16);
        col(255, 230, 80);
        disc(26, 6, 3);
        break;
    case 2:  // session with two channels
        note(8, 14);
        note(18, 10);
        col(255, 200, 120);
        note(12, 26);
        note(22, 22);
        break;
    default:  // jazzy: zigzag phrase
        note(6, 20);
        note(13, 12);
        note(20, 22);
        note(27, 14);
        break;
    }
    thin();
}

void pen::v34(int k) const {
    ground(96, 40, 128);
    thick(2);
    if (k == 0) {  // complex envelope
        col(255, 190, 255);
        fl_begin_line();
        const int pts[][2] = {{3, 28}, {8, 5}, {13, 15}, {18, 11}, {24, 17}, {29, 28}};
        for (auto& p : pts) fl_vertex(x0 + p[0], y0 + p[1]);
        fl_end_line();
    } else if (k == 1) {  // pitch ranges with glissando
        col(255, 220, 120);
        line(3, 8, 13, 8);
        line(3, 16, 13, 16);
        line(3, 24, 13, 24);
        col(150, 230, 255);
        line(14, 8, 28, 14);
        line(14, 16, 28, 20);
        line(14, 24, 28, 28);
    } else if (k == 2) {  // cluster chords
        col(255, 190, 255);
        for (int i = 0; i < 7; ++i) box(6 + (i % 2) * 8, 4 + 3 * i, 12, 2);
        col(255, 220, 120);
        line(24, 4, 24, 26);
        line(24, 26, 29, 26);
    } else if (k == 3) {  // the same figure repeated
        col(255, 220, 120);
        thin();
        for (int i = 0; i < 3; ++i) {
            box(3 + 9 * i, 18, 3, 3);
            box(6 + 9 * i, 12, 3, 3);
            box(9 + 9 * i, 15, 3, 3);
        }
        thick(2);
        col(255, 190, 255);
        line(3, 26, 29, 26);
    } else if (k == 4) {  // ostinato and complex waveforms
        col(255, 190, 255);
        fl_begin_line();
        for (int x = 3; x <= 29; ++x) {
            const double t = (x - 3) / 26.0 * 6.2831853 * 2;
            fl_vertex(x0 + x, y0 + 11 - 6 * (std::sin(t) + 0.4 * std::sin(3 * t)));
        }
        fl_end_line();
        col(255, 220, 120);
        thin();
        for (int i = 0; i < 4; ++i) box(4 + 7 * i, 24 - (i % 2) * 3, 4, 3);
    } else {  // slow random controls
        col(150, 230, 255);
        wave(3, 29, 14, 8, 0.8, 0.4);
        col(255, 220, 120);
        thin();
        const int d[][2] = {{5, 26}, {11, 22}, {16, 27}, {21, 24}, {27, 20}};
        for (auto& p : d) disc(p[0], p[1], 1);
    }
    thin();
}

void pen::multiple(int) const {
    ground(20, 90, 100);
    const int c[4][3] = {{255, 120, 120}, {255, 220, 100}, {130, 240, 140}, {130, 200, 255}};
    for (int i = 0; i < 4; ++i) {
        col(c[i][0], c[i][1], c[i][2]);
        box(4, 5 + 6 * i, 14 + 3 * i - (i % 2) * 5, 4);
        col(230, 230, 230);
        box(23 + (i * 3) % 5, 4 + 6 * i, 3, 6);
    }
    col(200, 200, 200);
    line(25, 4, 25, 28);
}

void pen::empty(int) const {
    col(90, 96, 110);
    box(0, 0, 32, 32);
    col(200, 200, 210);
    fl_line_style(FL_DASH, 1);
    fl_rect(x0 + 2, y0 + 2, 28, 28);
    thin();
    col(160, 165, 175);
    box(12, 15, 8, 2);
}

// The program icon: a tessellation of triangles crossed by a wave.
void pen::tessel() const {
    const int c[4][3] = {{40, 70, 160}, {70, 120, 200}, {200, 120, 40}, {40, 140, 90}};
    for (int row = 0; row < 4; ++row)
        for (int i = 0; i < 8; ++i) {
            const int* k = c[(row + i) % 4];
            col(k[0], k[1], k[2]);
            const int x = (i / 2) * 8, y = row * 8;
            if (i % 2 == 0) tri(x, y, x + 8, y, x, y + 8);
            else tri(x + 8, y, x + 8, y + 8, x, y + 8);
        }
    thick(3);
    col(255, 240, 160);
    wave(1, 30, 16, 9, 1.5);
    thin();
    col(20, 20, 40);
    fl_rect(x0, y0, 32, 32);
}

// Animation frame k (1..9) of the program icon: the tessellation's colours
// walk along its rows and the wave travels, swelling to the middle frame.
void pen::tessel_frame(int k) const {
    const int c[4][3] = {{40, 70, 160}, {70, 120, 200}, {200, 120, 40}, {40, 140, 90}};
    for (int row = 0; row < 4; ++row)
        for (int i = 0; i < 8; ++i) {
            const int* q = c[(row + i + k) % 4];
            // Frames light the triangle under the wave's crest a little.
            const int lift = ((i / 2 + k) % 4 == 0) ? 40 : 0;
            col(std::min(255, q[0] + lift), std::min(255, q[1] + lift), std::min(255, q[2] + lift));
            const int x = (i / 2) * 8, y = row * 8;
            if (i % 2 == 0) tri(x, y, x + 8, y, x, y + 8);
            else tri(x + 8, y, x + 8, y + 8, x, y + 8);
        }
    thick(3);
    col(255, 240, 160);
    const double amp = 5 + 4 * std::sin(3.14159265 * k / 10.0);
    wave(1, 30, 16, amp, 1.5, -6.2831853 * k / 10.0);
    thin();
    col(20, 20, 40);
    fl_rect(x0, y0, 32, 32);
}

// Recording frame k (0..7): a disc whose light turns once in eight frames
// and a record dot that pulses.
void pen::hdrec_frame(int k) const {
    ground(196, 198, 206);
    col(70, 72, 84);
    disc(16, 17, 12);
    col(150, 152, 165);
    disc(16, 17, 9);
    col(70, 72, 84);
    disc(16, 17, 2);
    // The turning light: a bright spoke at 45 degrees per frame.
    const double a = 6.2831853 * k / 8.0;
    col(235, 235, 245);
    thick(2);
    line(16 + static_cast<int>(3 * std::cos(a)), 17 - static_cast<int>(3 * std::sin(a)),
         16 + static_cast<int>(9 * std::cos(a)), 17 - static_cast<int>(9 * std::sin(a)));
    thin();
    // The record dot: bright on even frames, dark on odd ones.
    col(k % 2 ? 120 : 240, k % 2 ? 20 : 30, k % 2 ? 20 : 30);
    disc(26, 5, 3);
    col(60, 220, 60);
    box(3, 28, 2 + 3 * k, 2);
}

void pen::toolbar(const std::string& n) const {
    ground(196, 198, 206);
    if (n == "WVTLOAD") {  // open folder, arrow out
        col(220, 170, 60);
        box(3, 12, 24, 15);
        col(245, 205, 100);
        tri(3, 27, 8, 16, 30, 16);
        box(3, 9, 9, 4);
        col(30, 110, 40);
        thick(2);
        line(21, 12, 21, 3);
        tri(17, 6, 21, 1, 25, 6);
    } else if (n == "WVTSAVE") {  // diskette
        col(40, 60, 120);
        box(4, 4, 24, 24);
        col(230, 230, 235);
        box(9, 5, 14, 8);
        col(40, 60, 120);
        box(18, 6, 3, 5);
        col(250, 250, 250);
        box(8, 17, 16, 10);
        col(150, 150, 160);
        line(10, 20, 22, 20);
        line(10, 23, 22, 23);
    } else if (n == "WVTEXIT") {  // door with an arrow leaving
        col(120, 70, 40);
        box(5, 3, 14, 26);
        col(255, 230, 150);
        disc(15, 16, 1);
        col(180, 30, 30);
        thick(3);
        line(14, 16, 28, 16);
        tri(24, 10, 31, 16, 24, 22);
    } else if (n == "WVTCALC") {  // calculator
        col(60, 60, 70);
        box(6, 2, 20, 28);
        col(170, 220, 160);
        box(8, 4, 16, 7);
        col(30, 60, 30);
        fl_font(FL_HELVETICA_BOLD, 7);
        fl_draw("MOD", x0 + 9, y0 + 10);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) {
                col(r == 2 && c == 2 ? 230 : 220, r == 2 && c == 2 ? 120 : 220, r == 2 && c == 2 ? 60 : 225);
                box(8 + 6 * c, 13 + 5 * r, 4, 3);
            }
    } else if (n == "SMPTEST") {  // speaker with waves
        col(50, 50, 60);
        box(4, 12, 6, 8);
        tri(9, 12, 17, 5, 17, 27);
        col(30, 110, 200);
        thick(2);
        arc(17, 16, 6, -45, 45);
        arc(17, 16, 11, -45, 45);
    } else if (n == "SMPRECORD") {  // microphone
        col(70, 70, 80);
        fl_pie(x0 + 10, y0 + 2, 12, 18, 0, 360);
        thick(2);
        arc(16, 12, 9, 200, 340);
        line(16, 22, 16, 28);
        line(10, 28, 22, 28);
        thin();
        col(220, 30, 30);
        disc(26, 5, 3);
    } else if (n == "HDRECSS") {  // disc with a record dot
        col(110, 110, 120);
        box(3, 9, 26, 16);
        col(160, 160, 170);
        box(3, 9, 26, 4);
        col(60, 220, 60);
        box(6, 20, 4, 2);
        col(220, 30, 30);
        disc(22, 19, 4);
    } else if (n == "HDMIXSS") {  // disc mixed into a wave
        col(110, 110, 120);
        box(3, 15, 26, 13);
        col(160, 160, 170);
        box(3, 15, 26, 3);
        col(30, 110, 200);
        thick(2);
        wave(3, 28, 7, 4, 2);
        col(230, 140, 20);
        line(22, 20, 22, 26);
        line(19, 23, 25, 23);
    } else {
        col(80, 80, 80);
        fl_rect(x0 + 4, y0 + 4, 24, 24);
    }
    thin();
}

// The digit at the end of an icon name, 0 when none.
int suffix(const std::string& n) {
    return (!n.empty() && n.back() >= '0' && n.back() <= '9') ? n.back() - '0' : 0;
}

// The art of the algorithm icons, by the icon names of the rows table
// (engine/rows.cpp): a family's drawing and the variant it draws.
struct rowart {
    const char* name;
    void (pen::*draw)(int variant) const;
    int variant;
};
const rowart row_art[] = {
    {"RANOVLAP", &pen::experimental, 0},  {"RANOVLAP1", &pen::experimental, 1}, {"RANOVLAP2", &pen::experimental, 2},
    {"RANOVLAP3", &pen::experimental, 3}, {"RANOVLAP4", &pen::experimental, 4}, {"RANOVLAP5", &pen::experimental, 5},
    {"RANOVLAP6", &pen::experimental, 6}, {"SMPOVLAP1", &pen::sampling, 1},     {"SMPOVLAP2", &pen::sampling, 2},
    {"SMPOVLAP3", &pen::sampling, 3},     {"SMPOVLAP4", &pen::sampling, 4},     {"MULOOP", &pen::sampling, 0},
    {"PHROVLAP1", &pen::phrase, 1},       {"PHROVLAP2", &pen::phrase, 2},       {"PHROVLAP3", &pen::phrase, 3},
    {"ENVOVLAP1", &pen::v34, 0},          {"MULRANGE", &pen::v34, 1},           {"CHORDLAP0", &pen::v34, 2},
    {"OSTINAT0", &pen::v34, 3},           {"OSTIWAV0", &pen::v34, 4},           {"RLFO1", &pen::v34, 5},
    {"WVMULPL", &pen::multiple, 0},       {"ALGEMPTY", &pen::empty, 0},
};

const rowart* art_of(const std::string& n) {
    for (const rowart& a : row_art)
        if (n == a.name) return &a;
    return nullptr;
}

}  // namespace

bool fl_icon_has_art(const char* name) { return name && art_of(name); }

void fl_icon_draw(const char* name, int x, int y, bool active) {
    const pen p{x, y, !active};
    const std::string n = name ? name : "";
    fl_push_clip(x, y, 32, 32);
    if (const rowart* a = art_of(n)) (p.*a->draw)(a->variant);
    else if (n == "WVTESSEL") p.tessel();
    else if (n.size() == 8 && n.rfind("WVTESSE", 0) == 0 && suffix(n) > 0) p.tessel_frame(suffix(n));
    else if (n.size() == 6 && n.rfind("HDREC", 0) == 0 && n[5] >= '0' && n[5] <= '7') p.hdrec_frame(n[5] - '0');
    else p.toolbar(n);
    fl_line_style(0);
    fl_pop_clip();
}

Fl_RGB_Image* fl_icon_image(const char* name) {
    if (!fl_display) return nullptr;
    Fl_Image_Surface surf(32, 32);
    surf.set_current();
    fl_icon_draw(name, 0, 0, true);
    Fl_RGB_Image* img = surf.image();
    Fl_Display_Device::display_device()->set_current();
    return img;
}
