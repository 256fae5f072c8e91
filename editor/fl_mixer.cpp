// The quad track mixer's window "Quad Track Player Mixer" (FLTK): 161 x 164
// dialog units, one unit two pixels each way. The widgets pass their events
// to the logic of player/mixer.h and show the view it leaves.
#include "editor/fl_mixer.h"

#include <FL/Fl.H>
#include <FL/Fl_Check_Button.H>

#include <string>

#include "editor/fl_dialog.h"
#include "editor/fl_helptip.h"
#include "editor/fl_hook.h"
#include "player/fuzz.h"

namespace {

constexpr int U = fl_du;

// Slider numbers of the scroll bars (their slot): tracks 0..3, file, fuzz.
qu_code code_of(rov_scrollcode c) {
    switch (c) {
    case rov_sc_lineup: return qu_lineleft;
    case rov_sc_linedown: return qu_lineright;
    case rov_sc_pageup: return qu_pageleft;
    case rov_sc_pagedown: return qu_pageright;
    case rov_sc_thumbpos:
    case rov_sc_thumbtrack: return qu_thumb;
    default: return qu_other;
    }
}

void scroll(qu_dlg& d, int slot, rov_scrollcode code, int pos) { qu_scroll(d, slot, code_of(code), pos); }

class MixWin : public fl_dialog {
public:
    explicit MixWin(qu_dlg& d);
    int handle(int event) override;
    void sync() override;

    qu_dlg& d;
    Fl_Box* wav;
    Fl_Box* name[4];
    Fl_Check_Button* mute[4];
    Fl_Box* db[4];
    RovScrollbar* bar[6];
    Fl_Box* filelabel;
    Fl_Box* fuzzlabel;
    Fl_Button* help;
    Fl_Button* ok;
    fl_helptips tips;

private:
    // The scroll bars' keys: 5 to 8 for the tracks, F and Z.
    Fl_Widget* focus_key(int k) override {
        return k >= '5' && k <= '8' ? bar[k - '5'] : k == 'f' ? bar[qu_sl_file] : k == 'z' ? bar[qu_sl_fuzz] : nullptr;
    }
};

void mute_cb(Fl_Widget* b, void* k) {
    auto* w = static_cast<MixWin*>(b->window());
    qu_mute(w->d, static_cast<int>(reinterpret_cast<intptr_t>(k)));
    w->sync();
}

void help_cb(Fl_Widget*, void*) { fl_okbox(qu_help_caption, qu_help_text); }

// Escape does not close the mixer; the close box does.
MixWin::MixWin(qu_dlg& dlg) : fl_dialog(161 * U, 164 * U, qu_title, "mixer", false), d(dlg) {
    wav = fl_du_box(10, 4, 141, 10);
    static const char* const mutes[4] = {"Mute      &1", "Mute      &2", "Mute      &3", "Mute      &4"};
    for (int k = 0; k < 4; ++k) {
        const int y = 17 + 26 * k;
        name[k] = fl_du_box(10, y, 141, 10);
        mute[k] = new Fl_Check_Button(10 * U, (y + 11) * U, 42 * U, 10 * U, mutes[k]);
        mute[k]->labelsize(12);
        mute[k]->callback(mute_cb, reinterpret_cast<void*>(static_cast<intptr_t>(k)));
        db[k] = fl_du_box(54, y + 11, 26, 10);
        bar[k] = new RovScrollbar(82 * U, (y + 11) * U, 69 * U, 10 * U, false, k);
        bar[k]->range(0, qu_track_max);
    }
    filelabel = fl_du_box(10, 122, 70, 10);
    bar[qu_sl_file] = new RovScrollbar(82 * U, 122 * U, 69 * U, 10 * U, false, qu_sl_file);
    bar[qu_sl_file]->range(0, d.qum->qu_pbmix_max);
    fuzzlabel = fl_du_box(10, 134, 70, 10);
    bar[qu_sl_fuzz] = new RovScrollbar(82 * U, 134 * U, 69 * U, 10 * U, false, qu_sl_fuzz);
    bar[qu_sl_fuzz]->range(wv_fuzz_degree_min, wv_fuzz_degree_max);
    for (RovScrollbar* b : bar) b->report(fl_dialog_scroll_cb<MixWin, scroll>, this);
    help = fl_du_button(10, 148, 50, 13, "&Help", help_cb);
    ok = fl_du_button(101, 148, 50, 13, "&OK", fl_dialog_ok_cb);
    end();
    auto tip = [this](Fl_Widget* w, qu_helpitem item) { tips.set(w, {qu_help_caption, qu_help_of(item)}); };
    for (int k = 0; k < 4; ++k) {
        tip(mute[k], qu_hi_mute);
        for (Fl_Widget* w : {static_cast<Fl_Widget*>(name[k]), static_cast<Fl_Widget*>(db[k]),
                             static_cast<Fl_Widget*>(bar[k])})
            tip(w, qu_hi_track);
    }
    for (Fl_Widget* w : {static_cast<Fl_Widget*>(filelabel), static_cast<Fl_Widget*>(bar[qu_sl_file]),
                         static_cast<Fl_Widget*>(fuzzlabel), static_cast<Fl_Widget*>(bar[qu_sl_fuzz])})
        tip(w, qu_hi_level);
    for (Fl_Widget* w : {static_cast<Fl_Widget*>(wav), static_cast<Fl_Widget*>(help), static_cast<Fl_Widget*>(ok)})
        tip(w, qu_hi_all);
}

int MixWin::handle(int event) {
    if (tips.shift_click(event)) return 1;
    return fl_dialog::handle(event);
}

void MixWin::sync() {
    const qu_view& v = d.view;
    fl_set_label(wav, v.wav);
    for (int k = 0; k < 4; ++k) {
        fl_set_label(name[k], v.tr[k].name);
        fl_set_label(db[k], v.tr[k].db);
        mute[k]->value(v.tr[k].mute ? 1 : 0);
        bar[k]->position(v.tr[k].pos);
        for (Fl_Widget* w : {static_cast<Fl_Widget*>(mute[k]), static_cast<Fl_Widget*>(bar[k])})
            v.tr[k].enabled ? w->activate() : w->deactivate();
    }
    fl_set_label(filelabel, v.file_label);
    bar[qu_sl_file]->position(v.file_pos);
    v.file_enabled ? bar[qu_sl_file]->activate() : bar[qu_sl_file]->deactivate();
    fl_set_label(fuzzlabel, v.fuzz_label);
    bar[qu_sl_fuzz]->position(v.fuzz_pos);
    v.fuzz_enabled ? bar[qu_sl_fuzz]->activate() : bar[qu_sl_fuzz]->deactivate();
    if (fl_test_hook()) hook_changes(qu_dump(d));
}

}  // namespace

void qu_dialog_run(qumix& m) {
    qu_dlg d;
    qu_open(d, &m);
    MixWin win(d);
    win.run(true);
}
