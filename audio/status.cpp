#include "audio/status.h"

#include <cstdio>
#include <cstdlib>

int wv_peak(const int16_t* w, int32_t words) {
    int p = 0;
    for (int32_t i = 0; i < words; ++i) {
        const int a = std::abs(static_cast<int>(w[i]));
        if (a > p) p = a;
    }
    return p;
}

void buftotime(char* text, std::size_t size, int32_t n, int32_t bytes_per_sec, int32_t bufsize) {
    // Bytes per hundredth of a second; a rate below 100 bytes per second
    // would divide by zero. 64-bit products: large buffers times long plays
    // pass 32 bits.
    const int64_t b = bytes_per_sec / 100 > 0 ? bytes_per_sec / 100 : 1;
    const int64_t played = bufsize - 1024 > 0 ? bufsize - 1024 : 0;
    const int64_t cnt = n > 0 ? n : 0;
    const int64_t t = (cnt / b) * played + played * (cnt % b) / b;
    const int64_t s = t / 100, hs = t % 100;
    const int64_t m = s / 60, h = m / 60;
    if (h == 0 && m == 0)
        std::snprintf(text, size, "%02lld.%02lld", static_cast<long long>(s), static_cast<long long>(hs));
    else if (h == 0)
        std::snprintf(text, size, "%02lld:%02lld.%02lld", static_cast<long long>(m), static_cast<long long>(s % 60),
                      static_cast<long long>(hs));
    else
        std::snprintf(text, size, "%03lld:%02lld:%02lld.%02lld", static_cast<long long>(h),
                      static_cast<long long>(m % 60), static_cast<long long>(s % 60), static_cast<long long>(hs));
}

uint32_t wv_level_colour(int level) {
    if (level <= 0) return 0x000000;
    if (level < 2048) return 0x0000ff;
    if (level < 8192) return 0x00ff00;
    if (level < 20480) return 0xffff00;
    if (level < 30000) return 0xff0000;
    return 0xffffff;
}

namespace {

void add_disc(wv_statusline& out, int slot, int level) {
    if (level < 0 || out.ndisc >= 6) return;
    wv_disc& d = out.disc[out.ndisc++];
    d.x0 = 5 + 25 * slot;
    d.x1 = 25 + 25 * slot;
    d.y0 = 5;
    d.y1 = 25;
    d.rgb = wv_level_colour(level);
}

template <typename... A>
void line(wv_statusline& out, const char* f, A... a) {
    char buf[96];
    std::snprintf(buf, sizeof buf, f, a...);
    out.text = buf;
    ++out.seq;
}

// Sound lost on the way to the listener is never kept quiet.
void add_lost(wv_statusline& out, uint64_t lost) {
    if (lost > 0) out.text += ", lost " + std::to_string(lost) + " frames";
}

}  // namespace

void wv_status_update(wv_statusline& out, wv_statusin& in, int& bufcuup) {
    const wv_options& o = *in.opt;
    out.ndisc = 0;
    switch (o.dispmode) {
    case wv_disp_credit:
        if (o.wvomeasure)
            line(out, "set %d, scal %d, CPU %d buf %d/%d/%d", in.setnr, in.tonr, in.charge, in.bufidle, in.bufidle2,
                 in.InCount);
        else
            line(out, "setting %d, scale %d, buffers %d", in.setnr, in.tonr, in.bufidle);
        break;
    case wv_disp_buffer: {
        const int count = bufcuup++;
        if (o.plchdist > 0 && count % o.plchdist == 0) {
            if (in.tonal) {
                in.tonr = (in.tonr + 1) % 10;
            } else {
                in.setnr = (in.setnr + 1) % 10;
                // A setting file may remember any number as a set's scale.
                const int t = in.tonindx ? in.tonindx[in.setnr] : 0;
                in.tonr = t >= 0 && t <= 9 ? t : 0;
            }
        }
        line(out, "setting %d, scale %d, buffers %d", in.setnr, in.tonr, count);
        break;
    }
    case wv_disp_time: {
        char t[32];
        buftotime(t, sizeof t, bufcuup, in.bytes_per_sec, in.bufsize);
        ++bufcuup;
        line(out, "%s", t);
        break;
    }
    case wv_disp_level:
    case wv_disp_alllevels: {
        static const wv_levelset none;
        const wv_levelset& l = in.levels ? *in.levels : none;
        line(out, "setting %d, scale %d, lev %d", in.setnr, in.tonr, l.lev[0]);
        add_disc(out, 0, l.lev[0]);
        if (o.dispmode == wv_disp_alllevels) {
            if (l.tracks)
                for (int k = 2; k <= 5; ++k) add_disc(out, k, l.lev[k]);
            add_disc(out, 7, l.lev[7]);
        }
        break;
    }
    default:  // "&Off": the line keeps its last text
        return;
    }
    add_lost(out, in.lost);
}
