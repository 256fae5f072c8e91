// The visual field in memory: a 640 x 480 picture that the effects paint
// into and that a window shows. Drawing here costs no round trip to the
// window system, so the streaming cycle can paint every buffer and the
// window copies the picture out at its own pace.
#pragma once

#include <cstdint>
#include <vector>

#include "player/vis.h"

class vis_raster final : public vis_canvas {
public:
    vis_raster();
    void shape(bool rect, int x0, int y0, int x1, int y1, const vis_brush& b, uint32_t pen) override;
    void line(int x0, int y0, int x1, int y1, uint32_t colour, int width) override;
    void polyline(const int* x, const int* y, int n, uint32_t colour) override;

    // The pixel at (x, y), 0x00BBGGRR; black outside the field.
    uint32_t at(int x, int y) const;
    // 8-bit red, green, blue per pixel, row by row.
    const uint8_t* rgb() const { return px_.data(); }
    // The picture at half size (320 x 240), each pixel the mean of four.
    void half_size(std::vector<uint8_t>& out) const;
    // Counts the changes since the last call (for a window to repaint).
    bool take_changed();

private:
    void put(int x, int y, uint32_t c);
    void hspan(int y, int x0, int x1, const vis_brush& b);
    void dot(int x, int y, uint32_t c, int width);
    std::vector<uint8_t> px_;
    bool changed_ = true;
};
