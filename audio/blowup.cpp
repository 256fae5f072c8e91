#include "audio/blowup.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "audio/optrow.h"

namespace {

inline int16_t lo16(int32_t v) { return static_cast<int16_t>(static_cast<uint16_t>(v)); }

// Input frames moved to their final places, from the last frame down so
// that the move never overwrites unread input: frame k to output frame
// f*k + f - 1, or (stepped) to all f output frames f*k .. f*k + f - 1.
void spread(int16_t* w, long n, int f, bool stepped) {
    for (long k = n - 1; k >= 0; --k) {
        const int16_t l = w[2 * k], r = w[2 * k + 1];
        for (int i = stepped ? 0 : f - 1; i < f; ++i) {
            w[2 * (f * k + i)] = l;
            w[2 * (f * k + i) + 1] = r;
        }
    }
}

// One channel (c = 0 left, 1 right) after spreading: x(k) is input frame
// k, x(-1) the carried value.
struct chan {
    int16_t* w;
    int c;
    int f;
    int32_t carry;
    int32_t x(long k) const { return k < 0 ? carry : w[2 * (f * k + f - 1) + c]; }
    void y(long m, int32_t v) const { w[2 * m + c] = lo16(v); }
};

void linear2(const chan& h, long n) {
    h.y(0, (h.x(-1) + h.x(0)) >> 1);
    for (long k = 1; k < n; ++k) h.y(2 * k, (h.x(k - 1) + h.x(k)) >> 1);
}

void linear4(const chan& h, long n) {
    for (long k = 0; k < n; ++k) {
        const int32_t a = h.x(k - 1), b = h.x(k);
        h.y(4 * k, (3 * a + b) >> 2);
        h.y(4 * k + 1, (a + b) >> 1);
        h.y(4 * k + 2, (3 * b + a) >> 2);
    }
}

void cubic2(const chan& h, long n) {
    h.y(0, (h.x(0) + h.x(-1)) >> 1);
    if (n >= 3) h.y(2, (9 * (h.x(0) + h.x(1)) - h.x(-1) - h.x(2)) >> 4);
    for (long k = 2; k <= n - 2; ++k) h.y(2 * k, (9 * (h.x(k - 1) + h.x(k)) - h.x(k - 2) - h.x(k + 1)) >> 4);
    if (n >= 2) h.y(2 * n - 2, (h.x(n - 2) + h.x(n - 1)) >> 1);
}

void cubic4(const chan& h, long n) {
    const int32_t a = h.x(-1), b = h.x(0);
    h.y(0, (3 * a + b) >> 2);
    h.y(1, (a + b) >> 1);
    h.y(2, (3 * b + a) >> 2);
    for (long k = 1; k <= n - 2; ++k) {
        const int32_t p = h.x(k - 2), q = h.x(k - 1), r = h.x(k), s = h.x(k + 1);
        h.y(4 * k, (105 * q + 35 * r - 7 * p - 5 * s) >> 7);
        h.y(4 * k + 1, (9 * (q + r) - p - s) >> 4);
        h.y(4 * k + 2, (35 * q + 105 * r - 5 * p - 7 * s) >> 7);
    }
    if (n >= 2) {
        const int32_t p = h.x(n - 2), q = h.x(n - 1);
        h.y(4 * n - 4, (3 * p + q) >> 2);
        h.y(4 * n - 3, (p + q) >> 1);
        h.y(4 * n - 2, (3 * q + p) >> 2);
    }
}

}  // namespace

void wvexpand(int16_t* w, int16_t* wvoflow, long origlen, int option) {
    if (option < 1 || option >= wv_blow_nmethods || !w || !wvoflow) return;
    const long n = origlen / 2;
    if (n <= 0) return;
    const int f = wv_blow_methods[option].factor;
    const bool stepped = wv_blow_stepped(option);
    spread(w, n, f, stepped);
    if (stepped) return;
    for (int c = 0; c < 2; ++c) {
        const chan h{w, c, f, wvoflow[c]};
        switch (option) {
        case 2: linear2(h, n); break;
        case 3: cubic2(h, n); break;
        case 5: linear4(h, n); break;
        case 6: cubic4(h, n); break;
        default: break;
        }
        wvoflow[c] = static_cast<int16_t>(h.x(n - 1));
    }
}

void wv_blowstage::run(wv_chainbuf& b) {
    if (b.blowup > 0) wvexpand(b.w, blowo, 2L * b.frames, b.blowup);
}

void wv_blowstage::reset() { std::fill(std::begin(blowo), std::end(blowo), int16_t{0}); }

// The blow-up in the output chain: the method is chosen when the chain is built.
extern const wv_effect wv_blowup_effect;
constinit const wv_effect wv_blowup_effect = {
    wv_fx_after_levels,
    [](const wv_options& o) { return o.blowopt > 0; },
    [](const wv_options& o) { return o.blowopt != 0; },
    [](const wv_options&) -> std::unique_ptr<wv_stage> { return std::make_unique<wv_blowstage>(); },
};

// Its option: the methods as the menu shows them.
using namespace wv_optrow;

namespace {
constexpr std::array<wv_choice, wv_blow_nmethods> blowup_methods = [] {
    std::array<wv_choice, wv_blow_nmethods> c{};
    for (int k = 0; k < wv_blow_nmethods; ++k) c[k] = {k, wv_blow_methods[k].menu, nullptr};
    return c;
}();
}  // namespace

constinit const wv_optdesc wv_opt_blowup = with_effect(
    with_flag(with_setup(with_choices(row("blowup", wv_opt_choice, get<&wv_options::blowopt>,
                                          set<&wv_options::blowopt>, 0, wv_blow_nmethods - 1),
                                      130, "&Blow Up", blowup_methods),
                         stored<&fi_setup::blowopt>, store<&fi_setup::blowopt>, 2, 0, wv_blow_nmethods - 1),
              wv_cli_engine, "--blowup M",
              "blow-up method {R}: the routine computes 1/2 or 1/4 of the\n"
              "frames and the output is stretched back at a higher rate:\n"
              "0 none (default), 1 stepped 2x, 2 linear 2x, 3 cubic 2x,\n"
              "4 stepped 4x, 5 linear 4x, 6 cubic 4x (dropped for a set\n"
              "whose raised rate would pass 44100 Hz)"),
    &wv_blowup_effect);
