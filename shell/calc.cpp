#include "shell/calc.h"

#include <algorithm>
#include <cstdio>

std::string sh_calc_period(int x0, int m, int n) {
    char buf[48];
    if (n < 1) n = 1;
    int i = 1;
    int x = static_cast<int>((static_cast<int64_t>(x0) * m + 1) % n);
    while (x != x0 && i < n) {
        ++i;
        x = static_cast<int>((static_cast<int64_t>(m) * x + 1) % n);
    }
    if (i < n) {
        std::snprintf(buf, sizeof buf, "period length %d", i);
        return buf;
    }
    const int s = x;
    i = 1;
    x = static_cast<int>((static_cast<int64_t>(s) * m + 1) % n);
    while (x != s && i < n) {
        ++i;
        x = static_cast<int>((static_cast<int64_t>(m) * x + 1) % n);
    }
    std::snprintf(buf, sizeof buf, "***** period length %d", i);
    return buf;
}

void sh_calc_open(sh_calc& c) {
    c = sh_calc{};
    c.result = sh_calc_period(c.calcx0, c.calcm, c.calcn);
}

void sh_calc_scroll(sh_calc& c, sh_calcbar bar, pd_code code, int pos) {
    int* v = bar == sh_calc_x0 ? &c.calcx0 : bar == sh_calc_m ? &c.calcm : &c.calcn;
    const int limit = bar == sh_calc_n ? 2048 : c.calcn;
    int x = *v;
    switch (code) {
    case pd_lineup: x -= 1; break;
    case pd_linedown: x += 1; break;
    case pd_pageup: x -= 32; break;
    case pd_pagedown: x += 32; break;
    case pd_thumb: x = pos; break;
    default: break;
    }
    *v = std::clamp(x, 1, limit);
    if (bar == sh_calc_n) c.maxx0 = c.maxm = c.calcn;
    c.result = sh_calc_period(c.calcx0, c.calcm, c.calcn);
}

std::string sh_calc_text(const sh_calc& c, sh_calcbar bar) {
    char buf[24];
    if (bar == sh_calc_x0) std::snprintf(buf, sizeof buf, "x0=%d", c.calcx0);
    else if (bar == sh_calc_m) std::snprintf(buf, sizeof buf, "m=%d", c.calcm);
    else std::snprintf(buf, sizeof buf, "n=%d", c.calcn);
    return buf;
}

void sh_calc_store(const sh_calc& c, rov_setting& s, sh_calcstore which) {
    const auto n = static_cast<int16_t>(c.calcn);
    if (which == sh_store_pit) s.rov_pitmod = n;
    else if (which == sh_store_ton) s.rov_tonmod = n;
    else s.rov_panmod = n;
}

namespace {
const char* const calcinf =
    "Show Period Length of x[i+1] = (m*x[i]+1) MOD n\nor fix another Modulo value n for Pitch "
    "(Pit804),\nTones (Ton1001), or Panning (Pan700).";
}  // namespace

rov_helpbox sh_calc_help(sh_calcctl c) {
    switch (c) {
    case sh_cc_x0: return {"x0", "the start value x[0] of the sequence (1 to n)"};
    case sh_cc_m: return {"m", "the multiplicator m of the sequence (1 to n)"};
    case sh_cc_n: return {"n", "the modulo value n of the sequence (1 to 2048)"};
    case sh_cc_result:
        return {"period length",
                "the number of steps until x[0] comes back;\n***** when it never does: then the length\nof the "
                "cycle the sequence runs into"};
    case sh_cc_pit: return {"Pit804", "store n as the modulo value\nof the pitch sequence"};
    case sh_cc_ton: return {"Ton1001", "store n as the modulo value\nof the tonality sequence"};
    case sh_cc_pan: return {"Pan700", "store n as the modulo value\nof the panning sequence"};
    case sh_cc_ok: break;
    }
    return {"Calculator ...", calcinf};
}
