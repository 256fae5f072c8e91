// The parameter catalogue: the naming record a row shows, and value texts.
#include "editor/catalogue.h"

#include <cstdio>
#include <cstring>

#include "engine/rows.h"

const rov_strg* ranovs(int algomod, int setnr, bool tvar) {
    if (algomod < 0 || algomod >= rov_natab) return &slots_blank;
    const rov_rowdesc& d = rov_row(algomod);
    if (d.two_channels && (setnr & 1)) return d.names2;
    if (d.timbre_names && tvar) return d.names2;
    return d.names;
}

const char* rov_helptext(const char* text) { return text + std::strlen(text) + 1; }

void rov_valtext(char out[rov_valtext_max], const rov_slotrange& r, int v, char mark) {
    const int dv = r.disdiv;
    switch (r.invert) {
    case rov_show_volume:  // 255 is silent, 0 full
        std::snprintf(out, rov_valtext_max, "%d", ((255 - v) * 100 + 1) / 255);
        return;
    case rov_show_rate:  // rate index
        std::snprintf(out, rov_valtext_max, "%ld", static_cast<long>(rov_rate(v)));
        return;
    default:
        break;
    }
    if (dv < 2)
        std::snprintf(out, rov_valtext_max, "%d %c", v, mark);
    else if (dv < r.physmax)  // a number with two decimals: v / disdiv
        std::snprintf(out, rov_valtext_max, "%d.%02d %c", v / dv, ((v % dv) * 100) / dv, mark);
    else  // percent of disdiv with one decimal
        std::snprintf(out, rov_valtext_max, "%d.%01d %c", (v * 100) / dv, ((v * 1000) / dv) % 10,
                      mark);
}

void rov_valtext(char out[rov_valtext_max], int slot, int v, char mark) {
    rov_valtext(out, rov_slotranges[slot & 15], v, mark);
}
