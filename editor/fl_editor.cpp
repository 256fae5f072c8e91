// The setting editor's window (FLTK): 280 x 160 dialog units, one dialog unit
// two pixels each way. The widgets only pass events to the editor's logic
// (editor/editor.h) and show the view it leaves; the streaming cycle
// (audio/stream.h) runs inside this window's event handling.
//
// FLTK windows have no system menu: its six items ("S&tart/Stop", "Pa&use",
// "&Next", "&Recover", "&Half Rate", "&Double Rate") are in the small menu
// button at the top right and in a right-click menu anywhere on the dialog.
#include "editor/editor_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Button.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>
#include <string>

#include "audio/evqueue.h"
#include "editor/fl_cycle.h"
#include "editor/fl_dialog.h"
#include "audio/program.h"
#include "audio/stream.h"
#include "editor/editor.h"
#include "editor/fl_helptip.h"
#include "editor/fl_hook.h"
#include "editor/fl_look.h"
#include "editor/fl_scrollbar.h"
#include "editor/fl_mixer.h"
#include "editor/fl_pad.h"
#include "editor/quadmix.h"
#include "editor/fl_tonality.h"
#include "engine/scales.h"
#include "player/vis.h"
#include "player/vis_raster.h"

namespace {

constexpr int U = fl_du;  // pixels per dialog unit

// The level discs of the status line, painted over the top-left corner of
// the dialog after every buffer in the level display modes.
class DiscStrip : public Fl_Widget {
public:
    DiscStrip() : Fl_Widget(0, 0, 210, 30) { box(FL_NO_BOX); }
    void draw() override {
        for (int i = 0; i < n; ++i) {
            const wv_disc& d = disc[i];
            fl_color(fl_rgb_color(static_cast<uchar>(d.rgb >> 16), static_cast<uchar>(d.rgb >> 8),
                                  static_cast<uchar>(d.rgb)));
            fl_pie(d.x0, d.y0, d.x1 - d.x0 + 1, d.y1 - d.y0 + 1, 0, 360);
        }
    }
    // Shows the discs of a status update; the old ones vanish.
    void show_discs(const wv_statusline& l) {
        if (n == 0 && l.ndisc == 0) return;
        n = l.ndisc;
        for (int i = 0; i < n; ++i) disc[i] = l.disc[i];
        window()->damage(FL_DAMAGE_ALL, x(), y(), w(), h());
    }
    int handle(int) override { return 0; }

private:
    int n = 0;
    wv_disc disc[6];
};

// The visual effects' field, shown at half size (320 x 240) below the
// controls. The effects paint the full 640 x 480 picture in memory while the
// cycle runs; this widget copies it out at most 25 times a second, so the
// window system never holds up a buffer.
class VisField : public Fl_Widget {
public:
    VisField(int x, int y, const vis_raster& f) : Fl_Widget(x, y, vis_field_w / 2, vis_field_h / 2), field(f) {}
    void draw() override {
        field.half_size(rgb);
        fl_draw_image(rgb.data(), x(), y(), w(), h(), 3);
    }
    int handle(int) override { return 0; }

private:
    const vis_raster& field;
    std::vector<uint8_t> rgb;
};

// System-menu items; data is the item number.
enum { sm_startstop, sm_pause, sm_next, sm_recover, sm_half, sm_double };

class EdWin : public Fl_Double_Window, public wv_vissink {
public:
    EdWin(rov_editor_shell& sh, rov_editor_memory& mem);
    ~EdWin() override;
    int handle(int event) override;

    void sync();           // shows the editor's view and the cycle's state
    void sync_tips();      // the controls' tooltips: their Shift-click help as the editor stands
    void write_dump();     // the test hook: texts that changed, on standard output
    void pump();           // dispatches the cycle's notifications
    void close_request();  // Exit or the close box
    // The visual effects of one computed buffer, painted in memory.
    void frame(const int16_t* w, int32_t frames, int16_t* mem) override {
        ranovis(ws.roh, w, frames, ws.opt->vistyp, mem, *field);
    }
    // Grows the window by the visual field.
    void add_field();
    static void field_timer(void* self);
    std::unique_ptr<vis_raster> field;
    VisField* fieldview = nullptr;

    rov_editor_shell& sh;
    rov_editor& ed;
    ton_editor& te;  // the scale editor's record, kept between its openings
    wv_stream& ws;
    fl_cycle cyc;
    bool dispatching = false;
    bool closed = false;
    std::string shown_ws_status;  // last status text of the cycle shown
    unsigned shown_line_seq = 0;  // last status update of the cycle shown
    std::map<std::string, std::string> hooked;  // texts last reported to the test hook

    Fl_Box* heads[3];      // "Rate", "Volume", "Chg.Dly"
    Fl_Box* names[13];
    Fl_Box* value[16];
    RovScrollbar* bar[16];
    Fl_Check_Button* swbox;
    Fl_Return_Button* startbtn;
    Fl_Button* exitbtn;
    Fl_Check_Button* tonalbox;
    Fl_Check_Button* readbox;
    Fl_Button* number[10];
    Fl_Box* status;
    Fl_Button* pausebtn;
    Fl_Button* vbtn;
    Fl_Button* qbtn;
    Fl_Menu_Button* sysmenu;
    // The system menu's items (their active state follows the editor's).
    Fl_Menu_Item sysitems[sm_double + 2]{};
    DiscStrip* discs;
};

// --- hooks of the editor's logic into the cycle ---

EdWin* win_of(void* ctx) { return static_cast<EdWin*>(ctx); }

void hk_activity(void* ctx) { wv_activity(win_of(ctx)->ws); }

void hk_startstop(void* ctx) {
    EdWin* w = win_of(ctx);
    // Start copies the sets into the gliding values: every mark goes.
    if (!w->ws.dev) return;  // no output device layer
    if (wv_idle(w->ws)) rov_ed_unmark_all(w->ed);
    wv_button(w->ws);
}

void hk_pause(void* ctx) {
    rov_globphase* g = win_of(ctx)->ed.roh->g;
    g->rov_stopped = g->rov_stopped ? 0 : 1;
}

void hk_volume(void* ctx, int v) {
    wv_stream& ws = win_of(ctx)->ws;
    const uint16_t vol = wv_volume_for(v);
    if (ws.dev) ws.dev->volume(vol, vol);
}

bool hk_device_open(void* ctx) { return win_of(ctx)->ws.hwaveout; }

bool hk_ask_assign(void*) { return ton_ask_assign(); }

// The scale editor on scale buffer n of the playing setting; its record is
// kept with the editor's, so its clipboards survive closing.
void hk_edit_scale(void* ctx, int n, int algo) {
    EdWin* w = win_of(ctx);
    w->sync();
    tonscal ts;
    ts.rovtones = &w->ed.roh->s->rov_tones[16 * n];
    ts.tnotes = tonnotes;
    ts.tnames = tonnames;
    ts.ttonr = n;
    ts.algo = algo;
    ton_dialog_run(w->te, ts);
}

void hk_play_pad(void* ctx, int setnr) {
    win_of(ctx)->sync();
    pad_dialog_run(win_of(ctx)->ed.pad, setnr);
}

void hk_record_sample(void* ctx) {
    wv_stream& ws = win_of(ctx)->ws;
    if (ws.srec) wv_rec_bg_start(*ws.srec);
}

// Z in Multiple play: the cycle turns the settings, the names go with them.
// The set and scale the editor passes are the stream's own.
bool hk_rotate(void* ctx, int&, int&, const char*& rovfil) {
    EdWin* w = win_of(ctx);
    if (!wv_rotate(w->ws)) return false;
    std::string** f = w->sh.files;
    if (f[0] && f[1] && f[2] && f[3]) {
        std::string first = std::move(*f[0]);
        *f[0] = std::move(*f[1]);
        *f[1] = std::move(*f[2]);
        *f[2] = std::move(*f[3]);
        *f[3] = std::move(first);
    }
    rovfil = f[0] ? f[0]->c_str() : "";
    return true;
}

void hk_mixer(void* ctx) {
    EdWin* w = win_of(ctx);
    w->sync();
    const char* files[4];
    for (int k = 0; k < 4; ++k) files[k] = w->sh.files[k] ? w->sh.files[k]->c_str() : "";
    qumix m;
    const bool mixopen = w->ws.mix && w->ws.mix->is_open();
    qu_build(m, w->ws, files, w->sh.wavname, mixopen);
    qu_dialog_run(m);
}

// --- widget callbacks ---

void check_cb(void* w) { static_cast<EdWin*>(w)->pump(); }

// Twice a second: a sound device lost while playing (a server that ended, a
// card unplugged) stops the cycle, and the status line says so.
void watch_cb(void* p) {
    auto* w = static_cast<EdWin*>(p);
    if (wv_check_device(w->ws)) w->sync();
    Fl::repeat_timeout(0.5, watch_cb, p);
}

void after(EdWin* w) { w->sync(); }

void scroll_report(RovScrollbar* sb, rov_scrollcode code, int pos, void* data) {
    EdWin* w = static_cast<EdWin*>(data);
    rov_ed_scroll(w->ed, sb->slot(), code, pos);
    after(w);
}

void number_cb(Fl_Widget* b, void* data) {
    EdWin* w = static_cast<EdWin*>(b->window());
    rov_ed_number(w->ed, static_cast<int>(reinterpret_cast<intptr_t>(data)));
    after(w);
}

void v_cb(Fl_Widget* b, void*) {
    EdWin* w = static_cast<EdWin*>(b->window());
    rov_ed_restore(w->ed);
    after(w);
}

void q_cb(Fl_Widget* b, void*) {
    EdWin* w = static_cast<EdWin*>(b->window());
    rov_ed_q(w->ed);
    after(w);
}

void switch_cb(Fl_Widget* b, void*) {
    EdWin* w = static_cast<EdWin*>(b->window());
    rov_ed_switch(w->ed);
    after(w);
}

void tonal_cb(Fl_Widget* b, void*) {
    EdWin* w = static_cast<EdWin*>(b->window());
    rov_ed_tonality(w->ed);
    after(w);
}

void read_cb(Fl_Widget* b, void*) {
    EdWin* w = static_cast<EdWin*>(b->window());
    rov_ed_read(w->ed);
    after(w);
}

void start_cb(Fl_Widget* b, void*) {
    EdWin* w = static_cast<EdWin*>(b->window());
    rov_ed_startstop(w->ed);
    after(w);
}

void pause_cb(Fl_Widget* b, void*) {
    EdWin* w = static_cast<EdWin*>(b->window());
    rov_ed_pause(w->ed);
    after(w);
}

void exit_cb(Fl_Widget* b, void*) { static_cast<EdWin*>(b->window())->close_request(); }

void window_cb(Fl_Widget* o, void*) {
    // Escape does not close the dialog; the close box does.
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
    static_cast<EdWin*>(o)->close_request();
}

void sysmenu_cb(Fl_Widget* o, void*) {
    auto* mb = static_cast<Fl_Menu_Button*>(o);
    EdWin* w = static_cast<EdWin*>(mb->window());
    const Fl_Menu_Item* it = mb->mvalue();
    if (!it) return;
    switch (static_cast<int>(it->argument())) {
    case sm_startstop: rov_ed_startstop(w->ed); break;
    case sm_pause: rov_ed_pause(w->ed); break;
    case sm_next: rov_ed_next(w->ed); break;
    case sm_recover: rov_ed_recover(w->ed); break;
    case sm_half: rov_ed_rate(w->ed, true); break;
    case sm_double: rov_ed_rate(w->ed, false); break;
    default: break;
    }
    after(w);
}

// The texts of the system-menu items, in item-number order.
constexpr const char* sysmenu_texts[sm_double + 1] = {"S&tart/Stop", "Pa&use", "&Next",
                                                      "&Recover", "&Half Rate", "&Double Rate"};
constexpr Fl_Align centred = FL_ALIGN_CENTER | FL_ALIGN_INSIDE | FL_ALIGN_CLIP;

EdWin::EdWin(rov_editor_shell& shell, rov_editor_memory& mem)
    : Fl_Double_Window(280 * U, 160 * U, "Random Tones Overlapping"),
      sh(shell),
      ed(mem.ed),
      te(mem.te),
      ws(shell.pg->ws) {
    for (int s = 0; s < 13; ++s) names[s] = fl_du_box(10, 10 + 10 * s, 40, 10);
    static const char* const headings[3] = {"Rate", "Volume", "Chg.Dly"};
    for (int k = 0; k < 3; ++k) (heads[k] = fl_du_box(175 + 30 * k, 10, 30, 10, centred))->label(headings[k]);
    for (int s = 0; s < 16; ++s) {
        if (s <= 12) {
            value[s] = fl_du_box(50, 10 + 10 * s, 25, 10);
            bar[s] = new RovScrollbar(80 * U, (10 + 10 * s) * U, 83 * U, 10 * U, false, s);
        } else {
            static const int vx[3] = {178, 205, 235}, vw[3] = {24, 30, 30}, bx[3] = {186, 216, 246};
            value[s] = fl_du_box(vx[s - 13], 20, vw[s - 13], 10, centred);
            bar[s] = new RovScrollbar(bx[s - 13] * U, 30 * U, 10 * U, 83 * U, true, s);
        }
        value[s]->labelsize(11);
        bar[s]->report(scroll_report, this);
    }
    swbox = new Fl_Check_Button(170 * U, 130 * U, 25 * U, 10 * U, "&saw");
    swbox->labelsize(12);
    swbox->callback(switch_cb);
    startbtn = new Fl_Return_Button(197 * U, 125 * U, 30 * U, 15 * U, "S&tart");
    startbtn->labelsize(12);
    startbtn->callback(start_cb);
    exitbtn = fl_du_button(232, 134, 30, 15, "E&xit", exit_cb);
    tonalbox = new Fl_Check_Button(10 * U, 142 * U, 36 * U, 10 * U, "Tonalit&y");
    tonalbox->labelsize(11);
    tonalbox->callback(tonal_cb);
    readbox = new Fl_Check_Button(50 * U, 142 * U, 50 * U, 10 * U, "&Read Setting");
    readbox->labelsize(11);
    readbox->callback(read_cb);
    static const char* const numlabels[10] = {"&0", "&1", "&2", "&3", "&4",
                                              "&5", "&6", "&7", "&8", "&9"};
    for (int n = 0; n < 10; ++n) {
        number[n] = fl_du_button(167, 11 + 10 * n, 10, 8, numlabels[n], number_cb);
        number[n]->labelsize(10);
        number[n]->user_data(reinterpret_cast<void*>(static_cast<intptr_t>(n)));
    }
    status = fl_du_box(105, 144, 125, 10);
    pausebtn = fl_du_button(232, 116, 30, 15, "Pa&use", pause_cb);
    fl_look_held(pausebtn);  // shown pressed while the track is paused
    vbtn = fl_du_button(167, 111, 10, 8, "&V", v_cb);
    vbtn->labelsize(10);
    qbtn = fl_du_button(167, 121, 10, 8, "&Z", q_cb);
    qbtn->labelsize(10);
    sysmenu = new Fl_Menu_Button(268 * U, 1 * U, 11 * U, 8 * U, "@-2menu");
    sysmenu->labelsize(10);
    for (int k = sm_startstop; k <= sm_double; ++k) {
        sysitems[k].text = sysmenu_texts[k];
        sysitems[k].user_data_ = reinterpret_cast<void*>(static_cast<intptr_t>(k));
    }
    sysmenu->menu(sysitems);
    sysmenu->callback(sysmenu_cb);
    sysmenu->tooltip("window menu (also on the right mouse button)");
    discs = new DiscStrip;
    end();
    callback(window_cb);
    set_modal();

    // The cycle reports to this window.
    ws.sink = &cyc;
    ws.timer = &cyc;
    Fl::add_check(check_cb, this);
    Fl::add_timeout(0.5, watch_cb, this);
}

EdWin::~EdWin() {
    Fl::remove_check(check_cb, this);
    Fl::remove_timeout(watch_cb, this);
    Fl::remove_timeout(field_timer, this);
    cyc.kill();
}

void EdWin::add_field() {
    field = std::make_unique<vis_raster>();
    constexpr int below = 160 * U + 6;
    size(w(), below + vis_field_h / 2 + 6);
    begin();
    fieldview = new VisField((w() - vis_field_w / 2) / 2, below, *field);
    end();
    ws.vis = this;
    Fl::add_timeout(0.04, field_timer, this);
}

void EdWin::field_timer(void* self) {
    auto* w = static_cast<EdWin*>(self);
    if (w->field->take_changed()) w->fieldview->redraw();
    Fl::repeat_timeout(0.04, field_timer, self);
}

int EdWin::handle(int event) {
    if (event == FL_PUSH && Fl::event_button() != FL_LEFT_MOUSE) {
        // The controls answer the left button only; the right one opens the
        // window menu anywhere.
        if (Fl::event_button() != FL_RIGHT_MOUSE) return 1;
        const Fl_Menu_Item* it = sysitems->popup(Fl::event_x(), Fl::event_y());
        if (it) {
            sysmenu->value(it);
            sysmenu->do_callback();
        }
        return 1;
    }
    if (event == FL_PUSH && Fl::event_button() == FL_LEFT_MOUSE) {
        if (Fl_Double_Window::handle(event)) return 1;
        const int x = rov_du_x(Fl::event_x()), y = rov_du_y(Fl::event_y());
        if (Fl::event_state(FL_SHIFT)) {
            rov_helpbox hb;
            if (rov_ed_help(ed, x, y, hb)) {
                fl_okbox(hb.caption, hb.text);
            }
            return 1;
        }
        if (Fl::event_state(FL_CTRL)) {
            rov_ed_finish_morph(ed, x, y);
            return 1;
        }
        return 0;
    }
    if (event == FL_SHORTCUT && !Fl::event_state(FL_CTRL | FL_META)) {
        if (Fl_Double_Window::handle(event)) return 1;
        // Keys a to p move the focus to the scroll bars of slots 0 to 15.
        const int k = Fl::event_key();
        if (k >= 'a' && k <= 'p') {
            bar[k - 'a']->take_focus();
            return 1;
        }
        return 0;
    }
    return Fl_Double_Window::handle(event);
}

void EdWin::pump() {
    if (dispatching || closed) return;
    dispatching = true;
    bool any = false;
    wv_event ev;
    while (wv_evq_pop(cyc.q, ev)) {
        // A close notification or the gap timer sends the next buffer: the
        // marks of slots whose glide has arrived go first.
        if (ev.kind == wv_evkind::close || ev.kind == wv_evkind::timer) rov_ed_unmark_arrived(ed);
        // The automatic program change of the buffer display mode changes
        // the set and scale the editor shows.
        wv_dispatch(ws, ev);
        any = true;
    }
    dispatching = false;
    if (any) sync();
}

void EdWin::sync() {
    const rov_edview& v = ed.view;
    if (!label() || v.caption != label()) copy_label(v.caption.c_str());
    for (int s = 0; s < 13; ++s) {
        if (!names[s]->label() || std::string(names[s]->label()) != v.label[s]) {
            names[s]->copy_label(v.label[s]);
            names[s]->redraw_label();
        }
    }
    for (int s = 0; s < 16; ++s) {
        if (!value[s]->label() || std::string(value[s]->label()) != v.slot[s].text) {
            value[s]->copy_label(v.slot[s].text);
            value[s]->redraw_label();
        }
        bar[s]->position(v.slot[s].pos);
    }
    if (!swbox->label() || std::string(swbox->label()) != v.swname) {
        swbox->copy_label(v.swname);
        swbox->redraw_label();
    }
    swbox->value(v.swcheck ? 1 : 0);
    tonalbox->value(v.tonal ? 1 : 0);
    readbox->value(v.read ? 1 : 0);

    // The status line after every computed buffer, as the display mode says.
    if (ws.line.seq != shown_line_seq) {
        shown_line_seq = ws.line.seq;
        ed.view.status = ws.line.text;
    }
    discs->show_discs(ws.line);
    // The cycle's own status texts (Stop with Measure, a device failure)
    // replace the editor's until the editor writes a new one.
    if (ws.status != shown_ws_status) {
        shown_ws_status = ws.status;
        if (!ws.status.empty()) ed.view.status = ws.status;
    }
    if (!status->label() || std::string(status->label()) != ed.view.status) {
        status->copy_label(ed.view.status.c_str());
        // A long text (the hint when no sound device opens) is cut off in
        // the box: the pointer over it shows the whole.
        status->copy_tooltip(ed.view.status.c_str());
        status->redraw_label();
    }
    sync_tips();
    const char* st = ws.playing ? "S&top" : "S&tart";
    if (std::string(startbtn->label()) != st) startbtn->label(st);

    const bool num = rov_ed_number_enabled(ed);
    for (Fl_Button* b : number) num ? b->activate() : b->deactivate();
    rov_ed_pause_enabled(ed) ? pausebtn->activate() : pausebtn->deactivate();
    pausebtn->value(ed.roh && ed.roh->g->rov_stopped && !rov_ed_opens_mixer(ed) ? 1 : 0);
    if (std::string(qbtn->label()) != v.qcaption) qbtn->label(v.qcaption);
    rov_ed_q_enabled(ed) ? qbtn->activate() : qbtn->deactivate();
    write_dump();
    const bool rd = rov_ed_next_enabled(ed);
    const bool pz = rov_ed_pause_enabled(ed);
    for (Fl_Menu_Item* it = sysitems; it->label(); ++it) {
        const auto arg = it->argument();
        const bool on = arg == sm_next || arg == sm_recover ? rd : arg == sm_pause ? pz : true;
        on ? it->activate() : it->deactivate();
    }
}

void EdWin::sync_tips() {
    for (int s = 0; s < 16; ++s) {
        const std::string tip = rov_ed_tip(ed, s);
        if (s < 13) fl_set_tip(names[s], tip);
        else fl_set_tip(heads[s - 13], tip);
        fl_set_tip(value[s], tip);
        fl_set_tip(bar[s], tip);
    }
    const std::string numbered = rov_ed_tip(ed, rov_hi_numbered);
    for (Fl_Button* b : number) fl_set_tip(b, numbered);
    fl_set_tip(vbtn, rov_ed_tip(ed, rov_hi_v));
    fl_set_tip(qbtn, rov_ed_tip(ed, rov_hi_q));
    fl_set_tip(swbox, rov_ed_tip(ed, rov_hi_switch));
    fl_set_tip(tonalbox, rov_ed_tip(ed, rov_hi_tonality));
    fl_set_tip(readbox, rov_ed_tip(ed, rov_hi_read));
    const std::string play = rov_ed_tip(ed, rov_hi_play);
    for (Fl_Button* b : {static_cast<Fl_Button*>(startbtn), pausebtn, exitbtn}) fl_set_tip(b, play);
    // The status text in full (it may be cut off in the box), then the
    // line's help.
    const std::string line = rov_ed_tip(ed, rov_hi_status);
    fl_set_tip(status, ed.view.status.empty() ? line : ed.view.status + "\n\n" + line);
}

void EdWin::write_dump() {
    if (!fl_test_hook()) return;
    std::string d = rov_ed_dump(ed);
    d += std::string("start=") + startbtn->label() + "\n";
    d += std::string("paused=") + (pausebtn->value() ? "1" : "0") + "\n";
    fl_hook_changes("editor", d, hooked);
}

void EdWin::close_request() {
    if (closed) return;
    closed = true;
    wv_stream_close(ws);
    hide();
    fl_hook("editor closed");
}

}  // namespace

void rov_editor_run(int algomod, rov_editor_shell& sh) {
    fl_cycle_threads();
    fl_look_apply();
    wv_program& pg = *sh.pg;
    wv_stream& ws = pg.ws;
    // Without a memory of its caller's, the editor keeps nothing of this opening.
    std::unique_ptr<rov_editor_memory> fresh;
    if (!sh.memory) fresh = std::make_unique<rov_editor_memory>();
    rov_editor_memory& mem = sh.memory ? *sh.memory : *fresh;
    rov_editor& ed = mem.ed;
    if (algomod < 0 || algomod >= rov_natab) algomod = rov_row_empty();

    rov_edopts opt;
    opt.o = ws.opt;
    opt.rec = pg.hd.get();
    opt.mix = pg.mix.get();
    opt.sample = ws.sample.data != nullptr;

    // Play set-up first: it copies the options into the global phase.
    ws.roh = &pg.fg.h;
    ws.banks = &pg.bk;
    ws.algomod = algomod;
    EdWin* w = new EdWin(sh, mem);
    // With a visual effect chosen the window grows by the field (the menu
    // that chooses it is out of reach while the editor is open).
    if (ws.opt->vistyp > 0) w->add_field();
    wv_stream_open(ws);

    rov_edhooks hk;
    hk.ctx = w;
    hk.activity = hk_activity;
    hk.start_stop = hk_startstop;
    hk.pause = hk_pause;
    hk.set_volume = hk_volume;
    hk.device_open = hk_device_open;
    hk.ask_assign = hk_ask_assign;
    hk.edit_scale = hk_edit_scale;
    hk.play_pad = hk_play_pad;
    hk.record_sample = hk_record_sample;
    hk.rotate = hk_rotate;
    hk.mixer = hk_mixer;
    ed.play = &ws;  // the editor changes the set and scale the stream plays
    rov_ed_open(ed, &pg.fg.h, algomod, ws.setnr, sh.files[0] ? sh.files[0]->c_str() : "", opt, hk);
    pad_prepare(ed.pad, algomod, &pg.fg.h, ws.sample.data, ws.sample.len);
    for (int s = 0; s < 16; ++s) w->bar[s]->range(ed.view.slot[s].min, ed.view.slot[s].max);
    w->sync();
    if (sh.icon_image && !rov_row(algomod).empty) {
        if (Fl_RGB_Image* icon = sh.icon_image(rov_row(algomod).tab.icon)) {
            w->icon(icon);  // the window keeps a copy
            delete icon;
        }
    }
    w->show();
    fl_hook_tips("editor", *w);
    fl_hook("editor shown");
    if (sh.start) {
        rov_ed_startstop(ed);
        after(w);
    }
    while (w->shown()) Fl::wait();
    w->close_request();  // in case the window went away some other way

    ws.sink = nullptr;
    ws.timer = nullptr;
    ws.vis = nullptr;
    ed.play = &ed.own;  // the set and scale played last stay with the stream
    delete w;
}
