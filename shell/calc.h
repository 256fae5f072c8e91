// The modulo calculator "WVMCALC": the period of x[i+1] = (m*x[i] + 1) mod n
// for x[0], m and n on three scroll bars, and n stored as one of the
// setting's moduli.
#pragma once

#include <string>

#include "editor/teswin.h"
#include "engine/rov.h"
#include "shell/pardef.h"

// The three bars: x[0], m, n.
enum sh_calcbar { sh_calc_x0, sh_calc_m, sh_calc_n };

struct sh_calc {
    int calcx0 = 1, calcm = 1, calcn = 120;
    int maxx0 = 120, maxm = 120;  // upper ends of the x[0] and m bars
    std::string result;           // static 108
};

// Opening: x[0] = 1, m = 1, n = 120, both small bars 1..120, and the period.
void sh_calc_open(sh_calc& c);
// One scroll message on a bar (thumb: `pos`); the value is clamped to
// 1..2048 for n and 1..n for x[0] and m; a new n becomes the range of the
// other two bars without clamping their values. The period follows.
void sh_calc_scroll(sh_calc& c, sh_calcbar bar, pd_code code, int pos);
// The value text of a bar: "x0=%d", "m=%d", "n=%d".
std::string sh_calc_text(const sh_calc& c, sh_calcbar bar);
// The period report for x[0], m, n: "period length %d", or "***** period
// length %d" when x[0] is not back within n steps (the cycle reached from it).
std::string sh_calc_period(int x0, int m, int n);
// The store buttons: "&Pit804", "&Ton1001", "P&an700".
enum sh_calcstore { sh_store_pit, sh_store_ton, sh_store_pan };
void sh_calc_store(const sh_calc& c, rov_setting& s, sh_calcstore which);

// The controls; their tooltips and Shift + click show their help. The help
// of OK says what the calculator is for, as its toolbar icon's does.
enum sh_calcctl { sh_cc_x0, sh_cc_m, sh_cc_n, sh_cc_result, sh_cc_pit, sh_cc_ton, sh_cc_pan, sh_cc_ok };
rov_helpbox sh_calc_help(sh_calcctl c);
