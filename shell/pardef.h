// The setup parameter dialog: one small modal dialog edits any numeric
// option through a description record. The logic lives here; the window
// only translates scroll events and buttons into these calls.
#pragma once

#include <optional>
#include <string>

struct pardef {
    const char* descr;  // dialog title and caption of its help box
    const char* phlp;   // help text; nullptr: the help button does nothing
    int pmin, pmax;     // range
    int sstep;          // small step: line up/down, "&Plus", "&Minus"
    int lstep;          // large step: page up/down, "&Inc", "&Dec"
    int* pval;          // the value edited in place
};

struct wv_optdesc;

// The dialog of an option of the options table (audio/options.h).
pardef pd_of(const wv_optdesc& d);

// The descriptions that are not options'. pval is nullptr here; pd_on()
// binds one to its value. An option's dialog is pd_of() of its row.
extern const pardef pdfrectim;  // harddisc recording time, seconds (help text set at use)
extern const pardef pdfdensmd;  // density modulo
extern const pardef pdfdynmd;   // dynamic modulo

// The longest recording the dialog offers, seconds.
constexpr int pdfrectim_max = 3600;

inline pardef pd_on(const pardef& d, int* v) {
    pardef r = d;
    r.pval = v;
    return r;
}

// The recording-time help text for an output of `bytes_per_sec`.
std::string pdfrectim_help(long bytes_per_sec);

// Scroll codes of the dialog's scroll bar.
enum pd_code { pd_lineup, pd_linedown, pd_pageup, pd_pagedown, pd_thumb, pd_other };

// Keys that move the value, whatever control of the dialog has the focus.
enum pd_key {
    pd_key_up, pd_key_down, pd_key_left, pd_key_right, pd_key_pageup, pd_key_pagedown, pd_key_home, pd_key_end
};

// The scroll code a key sends, as the dialog's scroll bar sends it: the
// arrows along the bar a line, Page Up/Down a page. Home and End send a code
// without a step (the value is only clamped), so that no key moves the value
// by anything but the dialog's own steps. Empty for the arrows across the
// bar, which are left to move the focus between the controls.
std::optional<pd_code> pardlg_key_code(pd_key key, bool vertical);

// Control and system-menu ids of the dialog.
enum {
    pd_id_value = 101, pd_id_ok = 102, pd_id_help = 103, pd_id_cancel = 104,
    pd_sys_plus = 105, pd_sys_minus = 106, pd_sys_inc = 107, pd_sys_dec = 108, pd_sys_help = 109
};

// One open dialog: the description and the value it opened with.
struct pardlg {
    pardef pd{};
    int saved = 0;
};

// Opening: remembers the record and the current value.
void pardlg_open(pardlg& d, const pardef& pd);
// One scroll message: the step by code (thumb: `pos`), then the value is
// clamped to the range. The edited value changes at once.
void pardlg_scroll(pardlg& d, pd_code code, int pos);
// The scroll code of a system-menu item ("&Plus" is line down, ...), or
// pd_other for "&Help" and unknown ids.
pd_code pardlg_sysmenu_code(int id);
// "&Cancel": the value the dialog opened with goes back.
void pardlg_cancel(pardlg& d);
// The value text of the static 101.
std::string pardlg_text(const pardlg& d);
