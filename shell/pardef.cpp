#include "shell/pardef.h"

#include <cstdio>

#include "audio/options.h"

const pardef pdfrectim = {"Recording Time in Seconds", nullptr, 1, pdfrectim_max, 1, 10, nullptr};
const pardef pdfbufsz = {"Buffer Size in Kilobyte",
                         "Select the size of the buffers for\nplaying soundscapes and for a sample",
                         3, 512, 1, 16, nullptr};
const pardef pdfdensmd = {"Density Modulo Value",
                          "Select the modulo value of the Density\ncontrolling sequence of numbers. "
                          "For\nthe resulting period lengths, you can\nuse the Modulo Calculator",
                          64, 128, 1, 8, nullptr};
const pardef pdfdynmd = {"Dynamic Modulo Value",
                         "Select the modulo value of the Dynamic\ncontrolling sequence of numbers. "
                         "For\nthe resulting period lengths, you can\nuse the Modulo Calculator",
                         64, 128, 1, 8, nullptr};
const pardef pdfvocn = {"Maximum Number of Voices",
                        "Select the maximum number of tones playing\nsimultaneously. If you try to "
                        "play more tones,\nthey are partially omitted, or they are cut by\n"
                        "subsequent tones",
                        1, 64, 1, 4, nullptr};
const pardef pdfpaus = {"Pauses between buffers",
                        "Adjust the time gaps between playing buffers\nif emergency play or "
                        "harddisc recording\nis active",
                        1, 64, 1, 4, nullptr};
const pardef pdflatency = {"Latency in Milliseconds",
                           "How much sound the sound server holds\nahead of you (at most half a buffer).\n"
                           "More rides out a busy machine;\nStart does not wait for it",
                           wv_latency_min_ms, wv_latency_max_ms, 10, 100, nullptr};
const pardef plylevl = {"Set playback level of file",
                        "Set the level in percentage\n(100 = unchanged) for mixing a 16 bit *.WAV\n"
                        "file into the playback",
                        0, 300, 1, 10, nullptr};
const pardef pdfuzz = {"Set fuzz degree", "Set the degree of distorsion\nof the output signal", 0,
                       1600, 1, 25, nullptr};
const pardef pdchg = {"Set time between program changes",
                      "The number of buffers between program\nchanges can be controlled. No "
                      "changes if 0\nor if buffer counter display mode is not chosen",
                      0, 3200, 10, 100, nullptr};

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
