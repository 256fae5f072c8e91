#include "shell/fl_menukeys.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <list>
#include <vector>

namespace {

void nothing(void*) {}

}  // namespace

fl_menukeys::fl_menukeys() { Fl::add_check(pass, this); }

fl_menukeys::~fl_menukeys() { Fl::remove_check(pass, this); }

// The key goes into the open menu as the window system gave it, with every
// item of the attached menu that has its letter ready to take it.
void fl_menukeys::deliver(sh_menukey& k) {
    Fl_Window* grab = Fl::grab();
    if (!grab) return;
    struct saved {
        Fl_Menu_Item* item;
        const char* text;
        int flags;
    };
    std::vector<saved> changed;
    std::list<std::string> texts;  // stays in place while the menu looks
    const char c = k.text.size() == 1 ? k.text[0] : 0;
    if (c != 0 && (k.state & (FL_CTRL | FL_META)) == 0) {
        for (int i = 0; i < n_; ++i) {
            Fl_Menu_Item& m = items_[i];
            if (!m.text) continue;
            std::string t = sh_mnemonic_as(m.text, c);
            if (sh_mnemonic(t.c_str()) != c) continue;
            changed.push_back({&m, m.text, m.flags});
            texts.push_back(std::move(t));
            m.text = texts.back().c_str();
            m.flags &= ~FL_MENU_INACTIVE;
        }
    }
    const int key = Fl::e_keysym, original = Fl::e_original_keysym, state = Fl::e_state, length = Fl::e_length;
    char* text = Fl::e_text;
    Fl::e_keysym = k.key;
    Fl::e_original_keysym = k.original;
    Fl::e_state = k.state;
    Fl::e_text = k.text.data();
    Fl::e_length = static_cast<int>(k.text.size());
    Fl::handle_(FL_KEYBOARD, grab);
    Fl::e_keysym = key;
    Fl::e_original_keysym = original;
    Fl::e_state = state;
    Fl::e_text = text;
    Fl::e_length = length;
    for (const saved& s : changed) {
        s.item->text = s.text;
        s.item->flags = s.flags;
    }
}

// Runs once before each pass of any event loop, the menu's too.
void fl_menukeys::pass(void* self) {
    fl_menukeys& m = *static_cast<fl_menukeys*>(self);
    if (!Fl::grab()) {
        sh_menukey_closed(m.keys_);
        return;
    }
    sh_menukey k;
    if (!sh_menukey_pass(m.keys_, k)) return;
    m.deliver(k);
    // The menu loop looks at what the key did without waiting for an event.
    Fl::add_timeout(0.0, nothing);
}

void fl_menukeys::attach(Fl_Menu_Item* items, int n) {
    items_ = items;
    n_ = n;
}

bool fl_menukeys::take(int event) {
    if (event != FL_KEYBOARD || !Fl::grab()) return false;
    sh_menukey k;
    k.key = Fl::event_key();
    k.original = Fl::event_original_key();
    k.state = Fl::event_state();
    k.text.assign(Fl::event_text() ? Fl::event_text() : "", static_cast<size_t>(Fl::event_length()));
    if (sh_menukey_arrives(keys_, k)) deliver(k);
    return true;
}
