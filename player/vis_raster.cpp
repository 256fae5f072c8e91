#include "player/vis_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

vis_raster::vis_raster() : px_(static_cast<std::size_t>(vis_field_w) * vis_field_h * 3, 0) {}

void vis_raster::put(int x, int y, uint32_t c) {
    if (x < 0 || y < 0 || x >= vis_field_w || y >= vis_field_h) return;
    uint8_t* p = &px_[(static_cast<std::size_t>(y) * vis_field_w + x) * 3];
    p[0] = static_cast<uint8_t>(c);
    p[1] = static_cast<uint8_t>(c >> 8);
    p[2] = static_cast<uint8_t>(c >> 16);
}

uint32_t vis_raster::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= vis_field_w || y >= vis_field_h) return 0;
    const uint8_t* p = &px_[(static_cast<std::size_t>(y) * vis_field_w + x) * 3];
    return p[0] | (p[1] << 8) | (static_cast<uint32_t>(p[2]) << 16);
}

bool vis_raster::take_changed() {
    const bool c = changed_;
    changed_ = false;
    return c;
}

void vis_raster::hspan(int y, int x0, int x1, const vis_brush& b) {
    if (y < 0 || y >= vis_field_h) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, vis_field_w - 1);
    if (!b.pattern) {
        for (int x = x0; x <= x1; ++x) put(x, y, b.colour);
        return;
    }
    const uint8_t row = b.rows[y & 7];
    for (int x = x0; x <= x1; ++x) put(x, y, (row >> (7 - (x & 7))) & 1 ? b.colour : b.zero);
}

void vis_raster::shape(bool rect, int x0, int y0, int x1, int y1, const vis_brush& b, uint32_t pen) {
    changed_ = true;
    if (x0 > x1) std::swap(x0, x1);
    if (y0 > y1) std::swap(y0, y1);
    // Far outside the field nothing shows: keep the loops to the field.
    if (x1 < 0 || y1 < 0 || x0 >= vis_field_w || y0 >= vis_field_h) return;
    vis_brush outline;
    outline.colour = pen;
    if (rect) {
        for (int y = std::max(y0, 0); y <= std::min(y1, vis_field_h - 1); ++y) {
            if (y == y0 || y == y1) {
                hspan(y, x0, x1, outline);
            } else {
                hspan(y, x0 + 1, x1 - 1, b);
                put(x0, y, pen);
                put(x1, y, pen);
            }
        }
        return;
    }
    // The ellipse inside the box: per row the span of pixel centres inside
    // it; a pixel is on the outline when a row above or below does not reach it.
    const double cx = (x0 + x1) / 2.0, cy = (y0 + y1) / 2.0;
    const double a = (x1 - x0 + 1) / 2.0, bb = (y1 - y0 + 1) / 2.0;
    auto span = [&](int y, int& lo, int& hi) {
        const double dy = (y - cy) / bb;
        if (y < y0 || y > y1 || dy * dy > 1.0) return false;
        const double hw = a * std::sqrt(1.0 - dy * dy);
        lo = static_cast<int>(std::ceil(cx - hw + 0.5 - 1e-9));
        hi = static_cast<int>(std::floor(cx + hw - 0.5 + 1e-9));
        if (lo > hi) lo = hi = static_cast<int>(std::lround(cx));
        return true;
    };
    const int ya = std::max(y0, -1), yb = std::min(y1, vis_field_h);
    int plo = 0, phi = -1, lo = 0, hi = -1, nlo = 0, nhi = -1;
    bool pin = span(ya - 1, plo, phi), in = span(ya, lo, hi);
    for (int y = ya; y <= yb; ++y) {
        const bool nin = span(y + 1, nlo, nhi);
        if (in) {
            // Outline where the neighbouring rows are narrower.
            const int ilo = std::max({lo + 1, pin ? plo : hi + 1, nin ? nlo : hi + 1});
            const int ihi = std::min({hi - 1, pin ? phi : lo - 1, nin ? nhi : lo - 1});
            if (ilo <= ihi) {
                hspan(y, lo, ilo - 1, outline);
                hspan(y, ilo, ihi, b);
                hspan(y, ihi + 1, hi, outline);
            } else {
                hspan(y, lo, hi, outline);
            }
        }
        pin = in;
        plo = lo;
        phi = hi;
        in = nin;
        lo = nlo;
        hi = nhi;
    }
}

void vis_raster::dot(int x, int y, uint32_t c, int width) {
    if (width <= 1) {
        put(x, y, c);
        return;
    }
    const double r = width / 2.0;
    const int ri = width / 2;
    for (int dy = -ri; dy <= ri; ++dy)
        for (int dx = -ri; dx <= ri; ++dx)
            if (dx * dx + dy * dy <= r * r) put(x + dx, y + dy, c);
}

void vis_raster::line(int x0, int y0, int x1, int y1, uint32_t colour, int width) {
    changed_ = true;
    // A line far off the field is drawn only where it can show.
    const int m = width + 2;
    if (std::max(x0, x1) < -m || std::max(y0, y1) < -m || std::min(x0, x1) >= vis_field_w + m ||
        std::min(y0, y1) >= vis_field_h + m)
        return;
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (int guard = 0; guard < 1 << 20; ++guard) {
        dot(x0, y0, colour, width);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void vis_raster::polyline(const int* x, const int* y, int n, uint32_t colour) {
    for (int i = 1; i < n; ++i) line(x[i - 1], y[i - 1], x[i], y[i], colour, 1);
}

void vis_raster::half_size(std::vector<uint8_t>& out) const {
    constexpr int w = vis_field_w / 2, h = vis_field_h / 2;
    out.resize(static_cast<std::size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                auto p = [&](int xx, int yy) {
                    return px_[(static_cast<std::size_t>(yy) * vis_field_w + xx) * 3 + c];
                };
                const int sum = p(2 * x, 2 * y) + p(2 * x + 1, 2 * y) + p(2 * x, 2 * y + 1) + p(2 * x + 1, 2 * y + 1);
                out[(static_cast<std::size_t>(y) * w + x) * 3 + c] = static_cast<uint8_t>((sum + 2) / 4);
            }
}
