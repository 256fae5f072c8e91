// What the editor's small modal windows (the player pad, the scale editor
// and the quad track mixer) have in common: sizes in dialog units, the
// controls placed in them, labels redrawn only when their text changes, the
// keys that move the focus to a control, the close box, and the modal run.
#pragma once

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>

#include <map>
#include <string>

#include "editor/fl_scrollbar.h"

// Pixels per dialog unit, each way.
constexpr int fl_du = 2;

// A push button of w x h units at (x, y) units, with a 12-point label.
Fl_Button* fl_du_button(int x, int y, int w, int h, const char* text, Fl_Callback* cb);
// A 12-point text of w x h units at (x, y) units, clipped to its box.
Fl_Box* fl_du_box(int x, int y, int w, int h, Fl_Align align = FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
// Gives a widget a label (a copy) and redraws it, only when the text differs.
void fl_set_label(Fl_Widget* w, const std::string& text);

// A modal window of the editor; its name (`who`) opens the test hook's
// lines about it: "<who> shown", "<who> closed", its dump's changes.
class fl_dialog : public Fl_Double_Window {
public:
    // The close box closes the window, and so does Escape when `escape`.
    fl_dialog(int w, int h, const char* title, const char* who, bool escape = true);
    // Shows the view the logic left (and the hook its changes).
    virtual void sync() = 0;
    // "&OK", the close box (and Escape): the window hides.
    void close_request();
    // Shows the window, hooks its tooltips when `tips`, and waits until it is closed.
    void run(bool tips);
    // Keys without Ctrl that no control takes move the focus (focus_key).
    int handle(int event) override;

protected:
    // The control that key `k` focuses (nullptr: none).
    virtual Fl_Widget* focus_key(int /*k*/) { return nullptr; }
    // The hook lines of the dump's changes since the last call.
    void hook_changes(const std::string& dump);

private:
    std::string who_;
    bool escape_;
    std::map<std::string, std::string> hooked_;
};

// The callback of "&OK": closes the button's dialog.
void fl_dialog_ok_cb(Fl_Widget* b, void*);

// The callback of a button that applies `f` to its dialog's logic record
// (member `d`) and shows the view that leaves.
template <class Win, auto f>
void fl_dialog_button_cb(Fl_Widget* b, void*) {
    Win* w = static_cast<Win*>(b->window());
    f(w->d);
    w->sync();
}

// The report of a scroll bar (its slot, what the user did, the thumb's
// position) to `f` on the logic record of the dialog `data`.
template <class Win, auto f>
void fl_dialog_scroll_cb(RovScrollbar* sb, rov_scrollcode code, int pos, void* data) {
    Win* w = static_cast<Win*>(data);
    f(w->d, sb->slot(), code, pos);
    w->sync();
}
