#include "shell/fl_menukeys.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <list>
#include <vector>

#include "shell/menukeys.h"

namespace {

sh_menukeys keys;
bool checking = false;
Fl_Menu_Item* menu_items = nullptr;
int menu_n = 0;

void nothing(void*) {}

// The key goes into the open menu as the window system gave it, with every
// item of the attached menu that has its letter ready to take it.
void deliver(sh_menukey& k) {
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
        for (int i = 0; i < menu_n; ++i) {
            Fl_Menu_Item& m = menu_items[i];
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
void pass(void*) {
    if (!Fl::grab()) {
        sh_menukey_closed(keys);
        return;
    }
    sh_menukey k;
    if (!sh_menukey_pass(keys, k)) return;
    deliver(k);
    // The menu loop looks at what the key did without waiting for an event.
    Fl::add_timeout(0.0, nothing);
}

}  // namespace

void fl_menukeys_attach(Fl_Menu_Item* items, int n) {
    menu_items = items;
    menu_n = n;
}

bool fl_menukey_take(int event) {
    if (event != FL_KEYBOARD || !Fl::grab()) return false;
    if (!checking) {
        Fl::add_check(pass);
        checking = true;
    }
    sh_menukey k;
    k.key = Fl::event_key();
    k.original = Fl::event_original_key();
    k.state = Fl::event_state();
    k.text.assign(Fl::event_text() ? Fl::event_text() : "", static_cast<size_t>(Fl::event_length()));
    if (sh_menukey_arrives(keys, k)) deliver(k);
    return true;
}
