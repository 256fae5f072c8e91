// The main window "WVTESSEL": menu bar, icon field and toolbar. Events are
// translated into the calls of shell/commands.h; the window only draws.
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Image.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Tooltip.H>
#include <FL/Fl_Widget.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <deque>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "editor/fl_look.h"
#include "shell/commands.h"
#include "shell/fl_dialogs.h"
#include "shell/fl_filedlg.h"
#include "shell/files.h"
#include "shell/fl_icons.h"
#include "shell/fl_instance.h"
#include "shell/fl_main.h"
#include "shell/fl_menukeys.h"
#include "shell/fl_msg.h"
#include "shell/fl_pardlg.h"
#include "shell/hooks.h"
#include "shell/icon.h"
#include "shell/info.h"
#include "shell/menu.h"
#include "shell/remember.h"
#include "shell/presets.h"

namespace {

constexpr int win_w = 400, win_h = 240, menu_h = 25;
// User data of the system-menu items, apart from the command ids.
constexpr int sys_base = 10000;
constexpr int sys_close = sys_base + 1;

class icon_field;
class main_menu;
class main_window;

// The running main window: the state, the window-system services and the
// widgets. The window, its widgets and their timers reach it through the
// window object or their callback's user data.
struct session {
    explicit session(wv_program& pg) : st(pg) {}
    sh_state st;
    sh_ui ui;
    sh_presets presets;
    std::minstd_rand rng{std::random_device{}()};
    main_window* win = nullptr;
    icon_field* field = nullptr;
    // While a sample function blocks, the windows are drawn but take no input.
    bool deaf = false;
    // SIGINT, SIGTERM or SIGHUP arrived.
    bool quit_signal = false;
};

class main_window : public Fl_Double_Window {
public:
    main_window(session& ses, int w, int h, const char* title) : Fl_Double_Window(w, h, title), s(ses) {}
    session& s;
    main_menu* menu = nullptr;
};

// The main window among the windows shown, or nullptr: FLTK's event
// dispatch hook carries no data of its own.
main_window* shown_main() {
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
        if (auto* m = dynamic_cast<main_window*>(w)) return m;
    return nullptr;
}

bool menukey_take(main_window& m, int event);

// Every event of the program passes here.
int deaf_dispatch(int event, Fl_Window* w) {
    main_window* m = shown_main();
    if (m && menukey_take(*m, event)) return 1;
    if (m && m->s.deaf) {
        switch (event) {
        case FL_PUSH: case FL_RELEASE: case FL_DRAG: case FL_MOUSEWHEEL: case FL_KEYDOWN: case FL_KEYUP:
        case FL_SHORTCUT: case FL_CLOSE: case FL_DND_ENTER: case FL_DND_DRAG: case FL_DND_RELEASE: case FL_PASTE:
            return 1;
        default: break;
        }
    }
    return Fl::handle_(event, w);
}

// Lets `ms` milliseconds pass in the event loop (it sleeps between events);
// false when the program is ending.
bool blocking_wait(session& s, int ms) {
    Fl_Window* const mainwin = s.win;
    s.deaf = true;
    using clock = std::chrono::steady_clock;
    const clock::time_point end = clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        if (!mainwin || !mainwin->shown()) break;
        const double left = std::chrono::duration<double>(end - clock::now()).count();
        if (left <= 0) break;
        Fl::wait(left);
    }
    s.deaf = false;
    return mainwin && mainwin->shown();
}

void busy_cursor(session& s, bool on) {
    fl_hook(on ? "sample busy" : "sample idle");
    if (s.win) s.win->cursor(on ? FL_CURSOR_WAIT : FL_CURSOR_DEFAULT);
    if (on) Fl::flush();
}

// The test hook learns what a command did to the sample.
std::string sample_facts(const sh_state& st) {
    return "sample loaded=" + std::to_string(st.pg.smploaded) + " unsaved=" + std::to_string(st.pg.smprecorded) +
           " bytes=" + std::to_string(st.pg.smploaded ? st.pg.sample.length : 0) +
           " rate=" + std::to_string(st.pg.smploaded ? st.pg.sample.rate : 0);
}
void report_sample(const sh_state& st, const std::string& before) {
    if (!fl_test_hook()) return;
    const std::string now = sample_facts(st);
    if (now != before) fl_hook(now);
}

sh_ui make_ui(session& s, const wv_program& pg, const sh_parts& parts) {
    sh_ui ui;
    ui.message = fl_msgbox;
    ui.pardlg = fl_pardlg_run;
    ui.editor = [&s, &parts](int row) {
        const char* title = (row >= 0 && row < rov_natab) ? rov_rows[row].tab.title : "";
        fl_hook("open-editor row=" + std::to_string(row) + " title=" + fl_hook_quote(title));
        if (parts.editor) parts.editor(s.st, row);
        else if (!fl_test_hook())
            fl_msgbox({"WVTESSEL", "The setting editor is not part of this build.", sh_btn_ok,
                       sh_icon_stop});
    };
    ui.help = [](const std::string& name) {
        fl_hook("help-page " + name);
        fl_info_run(name);
    };
    ui.calc = fl_calc_run;
    ui.caps = fl_caps_run;
    ui.probe = [&pg](uint32_t devno, sh_woc& caps) { return pg.probe && pg.probe(devno, caps); };
    ui.filedlg = fl_filedlg;
    ui.capture = pg.capture;
    ui.output = pg.output;
    ui.wait = [&s](int ms) { return blocking_wait(s, ms); };
    ui.busy = [&s](bool on) { busy_cursor(s, on); };
    return ui;
}


// A command of the Presets menu (or the "play something" button).
void preset_command(session& s, int id) {
    fl_hook("command " + std::to_string(id));
    if (const fi_preset* p = sh_presets_pick(s.ui, s.presets, id, static_cast<uint32_t>(s.rng()))) {
        fl_hook("preset " + p->name);
        sh_preset_play(s.st, s.ui, *p);
    } else if (id >= cm_user_first) {
        sh_presets_run(s.st, s.ui, s.presets, id, 0);  // a file of the user's folder
    }
    if (s.win) s.win->redraw();
}

void request_close(session& s) {
    if (sh_close_request(s.st, s.ui)) {
        fl_hook("quit");
        s.win->hide();
    }
}

// The icon field: the client area below the menu bar.
class icon_field : public Fl_Widget {
public:
    icon_field(session& ses, int x, int y, int w, int h) : Fl_Widget(x, y, w, h), s(ses) {}

    void draw() override {
        const sh_state& st = s.st;
        fl_color(fl_rgb_color(118, 124, 136));
        fl_rectf(x(), y(), w(), h());
        const int ox = x(), oy = y();
        for (int r = 0; r < rov_natab; ++r) {
            const rov_rowdesc& d = rov_row(r);
            if (d.empty || (rov_row_sampling(r) && !st.pg.smploaded)) continue;
            fl_icon_draw(d.tab.icon, ox + d.tab.ixpos, oy + d.tab.iypos, sh_row_startable(st, r));
        }
        static const int slot_cmd[sh_nslots + 1] = {0,  cm_load, cm_save, 0, cm_modcalc,
                                                    cm_testsample, 0, cm_recsample, 0, cm_hdrec,
                                                    cm_hdmix};
        for (int k = 1; k <= sh_nslots; ++k) {
            if (k == 8) continue;  // the Multiple play icon sits there
            if (k == 5 && !st.pg.smploaded) continue;
            const bool active = slot_cmd[k] == 0 || sh_available(slot_cmd[k]);
            fl_icon_draw(sh_slot_icon[k], ox + sh_slot_x(k), oy + sh_band_top, active);
        }
        fl_icon_draw(sh_empty_icon, ox + sh_empty_x, oy + sh_empty_y);
        fl_icon_draw(frame.empty() ? "WVTESSEL" : frame.c_str(), ox + sh_slot_x(6), oy + sh_band_top);
    }

    // The frame of the animated icon in slot 6 ("" for the still icon).
    std::string frame;
    std::string tip;
    session& s;

    int handle(int event) override {
        if (event == FL_ENTER) return 1;
        if (event == FL_MOVE) {
            // The tooltip of the icon under the mouse: its Shift-click help.
            const int cx = Fl::event_x() - x(), cy = Fl::event_y() - y();
            tip = sh_tooltip(s.st, cx, cy);
            if (tip.empty()) {
                Fl_Tooltip::enter_area(this, 0, 0, 0, 0, nullptr);
            } else {
                // The area is in window coordinates: the pointer's pixel.
                Fl_Tooltip::enter_area(this, Fl::event_x(), Fl::event_y(), 1, 1, tip.c_str());
            }
            return 1;
        }
        if (event != FL_PUSH || Fl::event_button() != FL_LEFT_MOUSE) return Fl_Widget::handle(event);
        const bool shift = Fl::event_state(FL_SHIFT) != 0;
        const std::string before = sample_facts(s.st);
        const sh_result r = sh_click(s.st, s.ui, Fl::event_x() - x(), Fl::event_y() - y(), shift);
        report_sample(s.st, before);
        redraw();
        if (r == sh_res_quit) {
            fl_hook("quit");
            s.win->hide();
        }
        return 1;
    }
};

// The main window's timer: the next frame of the animated icon, at the
// period of the moment; while the timer is stopped the still icon shows and
// the timer only looks again a little later.
void icon_timer(void* data) {
    session& s = *static_cast<session*>(data);
    sh_state& st = s.st;
    if (icon_field* f = s.field) {
        f->frame = st.icontim > 0 ? sh_icon_tick(st) : "";
        f->damage(FL_DAMAGE_ALL, f->x() + sh_slot_x(6), f->y() + sh_band_top, sh_icon_size, sh_icon_size);
        if (st.icontim > 0) fl_hook("icon " + f->frame);
    }
    Fl::repeat_timeout((st.icontim > 0 ? st.icontim : 200) / 1000.0, icon_timer, data);
}

// The menu bar: the menu state is applied each time a menu opens.
class main_menu : public Fl_Menu_Bar {
public:
    main_menu(session& ses, int x, int y, int w, int h) : Fl_Menu_Bar(x, y, w, h), s(ses) {
        build();
        menu(items_.data());
        keys.attach(items_.data(), static_cast<int>(items_.size()));
    }

    session& s;
    fl_menukeys keys;

    int handle(int event) override {
        if (event == FL_PUSH || event == FL_SHORTCUT || event == FL_KEYBOARD) {
            // A setting saved meanwhile shows under "My Settings".
            const std::vector<std::string> had = s.presets.userfiles;
            sh_presets_user_scan(s.presets);
            if (s.presets.userfiles != had) {
                build();
                menu(items_.data());
                keys.attach(items_.data(), static_cast<int>(items_.size()));
            }
            refresh();
        }
        return Fl_Menu_Bar::handle(event);
    }

private:
    // `w` is the menu bar, whichever level the item is on.
    static void item_cb(Fl_Widget* w, void* data) {
        const int id = static_cast<int>(reinterpret_cast<intptr_t>(data));
        session& s = static_cast<main_menu*>(w)->s;
        sh_state& st = s.st;
        const std::string before = sample_facts(st);
        if (sh_presets_command(id)) {
            preset_command(s, id);
            return;
        } else if (id == sys_close) {
            request_close(s);
        } else if (id == sys_base + sh_sys_start) {
            fl_hook("command system-start");
            sh_sys_start_cmd(st, s.ui);
        } else if (id > 0) {
            // A grayed item reached by its letter does nothing.
            if (sh_menu_state(st, id).grayed) return;
            fl_hook("command " + std::to_string(id));
            sh_command(st, s.ui, id);
        }
        report_sample(st, before);
        if (s.win) s.win->redraw();
    }

    static Fl_Menu_Item item(const char* text, int data, int flags) {
        Fl_Menu_Item m{};
        m.text = text;
        m.callback_ = item_cb;
        m.user_data_ = reinterpret_cast<void*>(static_cast<intptr_t>(data));
        m.flags = flags;
        return m;
    }

    void build() {
        items_.clear();
        // The window's system menu, which FLTK does not offer: "S&tart" and close.
        items_.push_back(item("@-2menu", 0, FL_SUBMENU));
        items_.push_back(item("S&tart", sys_base + sh_sys_start, 0));
        items_.push_back(item("&Close", sys_close, 0));
        items_.push_back(Fl_Menu_Item{});
        for (const sh_menuitem& m : sh_menus()) {
            if (m.kind == sh_mk_popup) items_.push_back(item(m.text, 0, FL_SUBMENU));
            else if (m.kind == sh_mk_end) items_.push_back(Fl_Menu_Item{});
            else items_.push_back(item(device_text(m), m.id, 0));
        }
        for (const sh_menuitem& m : sh_presets_menu(s.presets)) {
            if (m.kind == sh_mk_popup) items_.push_back(item(m.text, 0, FL_SUBMENU));
            else if (m.kind == sh_mk_end) items_.push_back(Fl_Menu_Item{});
            else items_.push_back(item(m.text, m.id, 0));
        }
        items_.push_back(Fl_Menu_Item{});
    }

    void refresh() {
        const sh_state& st = s.st;
        for (Fl_Menu_Item& m : items_) {
            if (!m.text || (m.flags & FL_SUBMENU)) continue;
            const int id = static_cast<int>(reinterpret_cast<intptr_t>(m.user_data_));
            if (id <= 0 || id >= sys_base || sh_presets_command(id)) continue;
            const sh_itemstate s = sh_menu_state(st, id);
            int f = 0;
            if (s.toggle) f |= FL_MENU_TOGGLE;
            if (s.checked) f |= FL_MENU_VALUE;
            if (s.grayed) f |= FL_MENU_INACTIVE;
            m.flags = f;
        }
    }

    // An output device's item with the name the sound system gives the
    // device (as the start found them); any other item's own text.
    const char* device_text(const sh_menuitem& m) {
        int k = -1;
        const wv_optdesc* d = wv_opt_of_menu(m.id, &k);
        if (d != &wv_opt_device || k < 0) return m.text;
        const wv_choice& c = d->choices[k];
        const auto devno = static_cast<uint32_t>(c.value);
        if (devno != sh_mapper && (c.value < d->lo || c.value > d->hi)) return m.text;
        sh_woc caps;
        if (!s.ui.probe || !s.ui.probe(devno, caps)) return m.text;
        labels_.push_back(fl_symbol_free(sh_device_item(c, caps.name)));
        fl_hook("device-item " + fl_hook_quote(labels_.back()));
        return labels_.back().c_str();
    }

    std::vector<Fl_Menu_Item> items_;
    std::deque<std::string> labels_;  // the device items' texts (stable addresses)
};

bool menukey_take(main_window& m, int event) { return m.menu && m.menu->keys.take(event); }

// SIGINT, SIGTERM and SIGHUP end the program as its close box does, without
// the questions: the handler only writes to a pipe that the event loop
// watches, and the loop closes every window.

// The pipe's end the handler writes to. Process-wide: a signal handler is
// given nothing but the signal.
int signal_fd = -1;

void on_signal(int) {
    const char c = 1;
    const ssize_t n = write(signal_fd, &c, 1);
    (void)n;
}

void on_sigpipe(FL_SOCKET fd, void* data) {
    char buf[16];
    while (read(fd, buf, sizeof buf) > 0) {}
    fl_hook("quit signal");
    static_cast<session*>(data)->quit_signal = true;
    while (Fl_Window* w = Fl::first_window()) w->hide();
}

// The user's file of remembered choices; its problems go to standard error,
// and none of them keeps the program from starting.
struct remembered {
    std::string path = fi_prefs_path(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    fi_prefs prefs;
    bool bad_file = false;  // the file held lines (or bytes) that were left out

    sh_intro_pref load(sh_state& st, const sh_ui& ui) {
        if (path.empty()) return sh_intro_ask;
        std::vector<std::string> problems;
        fi_prefs_load(path, prefs, problems);
        const std::size_t from_file = problems.size();
        bad_file = from_file > 0;
        sh_apply_remembered(st, ui, prefs, problems);
        const sh_intro_pref pref = sh_intro_pref_of(prefs, problems);
        for (std::size_t k = 0; k < problems.size(); ++k)
            std::fprintf(stderr, "tessellon: %s%s\n", k < from_file ? "" : (path + ": ").c_str(), problems[k].c_str());
        return pref;
    }
    void save() {
        int err = 0;
        if (path.empty()) return;
        if (bad_file) {
            // What the program could not read stays for the user to see.
            std::string aside;
            if (!fi_prefs_set_aside(path, aside, err)) {
                std::fprintf(stderr, "tessellon: cannot keep %s as %s: %s; the choices are not remembered\n",
                             path.c_str(), aside.c_str(), std::strerror(err));
                return;
            }
            std::fprintf(stderr, "tessellon: the file of choices it could not read is kept as %s\n", aside.c_str());
            bad_file = false;
        }
        if (fi_prefs_save(path, prefs, err)) fl_hook("remembered " + fl_hook_quote(path));
        else std::fprintf(stderr, "tessellon: cannot remember the choices in %s: %s\n", path.c_str(), std::strerror(err));
    }
};

// Watches the signals for `s`; returns the pipe's end the loop reads (-1:
// none), which stop_signals(fd) hands back.
int catch_signals(session& s) {
    int sigpipe[2];
    if (pipe(sigpipe) != 0) return -1;
    fcntl(sigpipe[0], F_SETFL, O_NONBLOCK);
    fcntl(sigpipe[1], F_SETFL, O_NONBLOCK);
    fcntl(sigpipe[0], F_SETFD, FD_CLOEXEC);
    fcntl(sigpipe[1], F_SETFD, FD_CLOEXEC);
    signal_fd = sigpipe[1];
    Fl::add_fd(sigpipe[0], FL_READ, on_sigpipe, &s);
    struct sigaction sa {};
    sa.sa_handler = on_signal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    return sigpipe[0];
}

// The loop no longer watches the pipe. Both ends stay open: a late signal
// still finds its pipe.
void stop_signals(int fd) {
    if (fd >= 0) Fl::remove_fd(fd);
}

}  // namespace

int sh_window_main(wv_program& pg, const sh_parts& parts, const std::string& setting, bool intro,
                   const std::string& preset) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr,
                     "tessellon: cannot open the X display (is DISPLAY set?); the window program "
                     "needs one.\n"
                     "Without a display, use 'tessellon render' to compute a setting into a WAV file\n"
                     "or 'tessellon play' to play it on the sound device.\n");
        return 1;
    }
    fl_open_display(d);
    fl_look_apply();  // one scheme and palette for every window
    if (const fl_instance_kind who = fl_instance_claim(d); who != fl_inst_first) {
        std::fprintf(stderr, "%s\n", fl_instance_text(who));  // the running instance has been raised
        if (!setting.empty())
            std::fprintf(stderr, "tessellon: %s is not opened here; load it in the running program (File > Load)\n",
                         setting.c_str());
        return 0;
    }

    Fl::event_dispatch(deaf_dispatch);
    session s(pg);
    sh_state& st = s.st;
    s.ui = make_ui(s, pg, parts);
    sh_init(st);
    sh_presets_read(s.presets, fi_presets_dirs());
    const int sigfd = catch_signals(s);
    // The device probe decides how the introduction is offered; it runs
    // modally before the main window shows.
    const int introcap = sh_probe_at_start(st, s.ui);
    // The choices remembered from the last run: the device and setup over
    // what the probe chose, and maybe the answer to the question.
    remembered mem;
    const sh_intro_pref pref = mem.load(st, s.ui);
    if (intro) {
        int flag = -1;
        if (pref == sh_intro_ask) {
            bool remember = false;
            const sh_answer a = fl_msgbox_remember(sh_intro_question(introcap), remember);
            flag = sh_intro_answer(introcap, a);
            if (remember && !s.quit_signal) {
                sh_remember_intro(mem.prefs, introcap, a);
                mem.save();
            }
        } else {
            flag = sh_intro_flag(pref, introcap);
            fl_hook("intro not asked flag=" + std::to_string(flag));
        }
        if (flag >= 0 && !s.quit_signal && parts.intro) parts.intro(flag);
    }
    // A signal during the questions or the introduction ends the program.
    if (s.quit_signal) {
        stop_signals(sigfd);
        return 0;
    }
    st.iconcnt = 0;
    st.icontim = 800;

    main_window win(s, win_w, win_h, "WVTESSEL");
    s.win = &win;
    win.xclass("WVTESSEL");
    win.menu = new main_menu(s, 0, 0, win_w, menu_h);
    auto* field = new icon_field(s, 0, menu_h, win_w, win_h - menu_h);
    s.field = field;
    // "Play something": a preset picked at random, beside the toolbar.
    auto* shuffle = new Fl_Button(sh_shuffle_x, menu_h + sh_band_top, sh_icon_size, sh_icon_size, "@>");
    shuffle->labelcolor(fl_rgb_color(40, 120, 40));
    shuffle->tooltip("Play something: a preset of the library picked at random");
    shuffle->callback([](Fl_Widget*, void* data) { preset_command(*static_cast<session*>(data), cm_shuffle); }, &s);
    win.resizable(field);
    win.end();
    win.callback(
        [](Fl_Widget*, void* data) {
            // Escape does not close the main window; the close box asks first.
            if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
            request_close(*static_cast<session*>(data));
        },
        &s);
    if (Fl_RGB_Image* icon = fl_icon_image("WVTESSEL")) {
        win.icon(icon);
        delete icon;
    }
    win.show();
    fl_instance_publish(d, fl_xid(&win));
    fl_hook("main-window shown");
    Fl::add_timeout(st.icontim / 1000.0, icon_timer, &s);
    if (!setting.empty()) sh_load_path(st, s.ui, sh_ft_setting, setting);
    if (!preset.empty()) {
        if (const fi_preset* p = fi_preset_find(s.presets.lib, preset)) {
            preset_command(s, cm_preset_first + static_cast<int>(p - s.presets.lib.presets.data()));
        } else {
            fl_msgbox({"WAVE-TESSELLON", "There is no preset \"" + preset + "\"." +
                                             (s.presets.error.empty() ? "" : "\n" + s.presets.error),
                       sh_btn_ok, sh_icon_info});
        }
    }
    // The loop sleeps until an event or timer arrives.
    while (win.shown()) Fl::wait();
    Fl::remove_timeout(icon_timer, &s);
    s.field = nullptr;
    // Whatever ended the program, a recording keeps every buffer written.
    sh_close_files(st);
    sh_remember_setup(mem.prefs, st);
    mem.save();
    stop_signals(sigfd);
    return 0;
}
