// The visual effects: once per computed buffer `ranovis` looks at the voices
// of the playing engine state, turns a pitch into a colour and a place and an
// envelope into a size, and paints over the picture on a 640 x 480 field.
// No picture is kept here: the canvas keeps what has been drawn.
//
// Colours are 24-bit values with red in the low byte, green in the middle
// byte and blue in the high byte (0x00BBGGRR).
#pragma once

#include <cstdint>

#include "engine/rov.h"

constexpr int vis_field_w = 640, vis_field_h = 480;

// The effects (the option's values), in the menu's order, with the menu's
// text and its & mnemonic; effect 0 draws nothing.
constexpr const char* vis_names[] = {
    "&None",     "&Pastel Circles", "&Balls",    "&Rosette",
    "&Lightshow", "&Algorithmic",   "&Waveform", "Pi&xel",
};
constexpr int vis_count = static_cast<int>(sizeof vis_names / sizeof vis_names[0]);
constexpr int vis_nmem = 64;

// A brush: a solid colour, or an 8 x 8 one-bit pattern whose 1 bits show
// `colour` and whose 0 bits show `zero` (rows top to bottom, the most
// significant bit leftmost; pixel (x, y) of the field uses bit x mod 8 of
// row y mod 8).
struct vis_brush {
    uint32_t colour = 0;
    bool pattern = false;
    uint8_t rows[8] = {};
    uint32_t zero = 0;
};

// Where the effects draw. Boxes are given by two corners, both inclusive; a
// box with its corners swapped is the same box.
struct vis_canvas {
    // A rectangle or the ellipse inside the box, filled with `b` and outlined
    // one pixel wide in `pen`.
    virtual void shape(bool rect, int x0, int y0, int x1, int y1, const vis_brush& b, uint32_t pen) = 0;
    // A line `width` pixels wide (0 and 1: one pixel) with round ends.
    virtual void line(int x0, int y0, int x1, int y1, uint32_t colour, int width) = 0;
    // A one-pixel polyline through n points (x[i], y[i]).
    virtual void polyline(const int* x, const int* y, int n, uint32_t colour) = 0;

  protected:
    ~vis_canvas() = default;
};

// Tables of the effects.
extern const uint32_t rainbow[24];
extern const int sizetab[41];
extern const int hinotes[14];
extern const int hix[13], hiy[13];
extern const int xtab[12], ytab[12];

// Size step of a value: the sizetab entries before the end mark that are <= v.
int vis_sizestep(int v);
// Colour of a pitch value by its octave (a quarter of the hue circle per
// octave), `fallback` below the lowest octave.
uint32_t vis_octave_colour(uint16_t p, uint32_t fallback);
// Colour of the stored pitch by its semitone: white for a pitch <= 0.
uint32_t vis_semitone_colour(int16_t p);
// Semitone 0..11 of a positive pitch within the octave of hinotes.
int vis_semitone(int p);

// --- drawing primitives ---

// A filled ellipse (or rectangle) of half-size rx, ry around (x, y) with fill
// ic and outline mc; nothing unless x >= rx and y >= ry.
void racirc(vis_canvas& cv, int x, int y, int rx, int ry, uint32_t ic, uint32_t mc, bool rect);
// The same shape filled with the 8 x 8 pattern of the first 16 bytes of
// `testmap` (a row per 16-bit word, its low byte), 1 bits in ic, 0 bits
// black; outlined in black.
void rabirc(vis_canvas& cv, int x, int y, int rx, int ry, uint32_t ic, const int16_t* testmap, bool rect);
// A line; with `flash` a glow of three strokes (wide and dim, middle, thin white).
void raline(vis_canvas& cv, int xf, int yf, int xt, int yt, uint32_t ic, int thick, bool flash);
// An oscilloscope of the first 321 frames of `wave` (fewer when `frames` is
// smaller): x = 2k, y = 240 - (L >> 8) - (R >> 8).
void raoscil(vis_canvas& cv, uint32_t ic, const int16_t* wave, int32_t frames, int thick, bool flash);
// A shaded ball of radius r lit from direction ld (0..11; 10 flat, 11 tall),
// blended towards the grey level br * 63.
void raball(vis_canvas& cv, int x, int y, int r, uint32_t ic, int ld, int br);
// A pitch as a point around (bx, by): a semitone every 30 degrees, further
// out by octave. `ht`, when given, receives a semitone number.
void relpos(int pitch, int bx, int by, int r, int* x, int* y, int* ht);

// The effect `visnr` (1..vis_count - 1; anything else draws nothing) for one computed
// buffer of `frames` interleaved stereo frames of the engine state `roh`.
void ranovis(const rov_handle* roh, const int16_t* buffer, int32_t frames, int visnr, int16_t* visar,
             vis_canvas& cv);
