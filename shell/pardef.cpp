#include "shell/pardef.h"

#include <cstdio>

#include "audio/options.h"

const pardef pdfrectim = {"Recording Time in Seconds", nullptr, 1, pdfrectim_max, 1, 10, nullptr};

pardef pd_of(const wv_optdesc& d) { return {d.title, d.help, d.lo, d.hi, d.sstep, d.lstep, nullptr}; }

const pardef pdfdensmd = {"Density Modulo Value",
                          "Select the modulo value of the Density\ncontrolling sequence of numbers. "
                          "For\nthe resulting period lengths, you can\nuse the Modulo Calculator",
                          64, 128, 1, 8, nullptr};
const pardef pdfdynmd = {"Dynamic Modulo Value",
                         "Select the modulo value of the Dynamic\ncontrolling sequence of numbers. "
                         "For\nthe resulting period lengths, you can\nuse the Modulo Calculator",
                         64, 128, 1, 8, nullptr};

std::string pdfrectim_help(long bytes_per_sec) {
    char buf[160];
    std::snprintf(buf, sizeof buf,
                  "Select the time you want to record.\nNote: Every second requires %ldBytes disk "
                  "storage!",
                  bytes_per_sec);
    return buf;
}

void pardlg_open(pardlg& d, const pardef& pd) {
    d.pd = pd;
    d.saved = *pd.pval;
}

void pardlg_scroll(pardlg& d, pd_code code, int pos) {
    // Widened so that a step from an extreme value cannot overflow.
    long v = *d.pd.pval;
    switch (code) {
    case pd_lineup: v -= d.pd.sstep; break;
    case pd_linedown: v += d.pd.sstep; break;
    case pd_pageup: v -= d.pd.lstep; break;
    case pd_pagedown: v += d.pd.lstep; break;
    case pd_thumb: v = pos; break;
    case pd_other: break;
    }
    if (v < d.pd.pmin) v = d.pd.pmin;
    if (v > d.pd.pmax) v = d.pd.pmax;
    *d.pd.pval = static_cast<int>(v);
}

pd_code pardlg_sysmenu_code(int id) {
    switch (id) {
    case pd_sys_plus: return pd_linedown;
    case pd_sys_minus: return pd_lineup;
    case pd_sys_inc: return pd_pagedown;
    case pd_sys_dec: return pd_pageup;
    default: return pd_other;
    }
}

std::optional<pd_code> pardlg_key_code(pd_key key, bool vertical) {
    switch (key) {
    case pd_key_up: return vertical ? std::optional(pd_lineup) : std::nullopt;
    case pd_key_down: return vertical ? std::optional(pd_linedown) : std::nullopt;
    case pd_key_left: return vertical ? std::nullopt : std::optional(pd_lineup);
    case pd_key_right: return vertical ? std::nullopt : std::optional(pd_linedown);
    case pd_key_pageup: return pd_pageup;
    case pd_key_pagedown: return pd_pagedown;
    case pd_key_home:
    case pd_key_end: return pd_other;
    }
    return std::nullopt;
}

void pardlg_cancel(pardlg& d) { *d.pd.pval = d.saved; }

std::string pardlg_text(const pardlg& d) { return std::to_string(*d.pd.pval); }
