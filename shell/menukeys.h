// Letters typed into an open menu. Two things kept them from the submenu
// that is shown: the window system hands the menu every waiting key at once,
// while a submenu opens only between keys; and the menu looks first for the
// letter in the case it was typed, in every open level, then for the other
// case, and it passes over grayed items - so Alt+O S I T, with "&Time" in
// the shown Display submenu, toggled "Buff.Bea&t" of Setup. The window layer
// therefore lets one key in per pass of the menu's loop, and for the moment
// the key is looked up it shows the menu every item with that letter in the
// typed case and not grayed; the menu then takes the item of the deepest
// open level, and a grayed one chosen that way does nothing.
#pragma once

#include <deque>
#include <string>

struct sh_menukey {
    int key = 0;           // the key symbol
    int original = 0;      // the key symbol before modifiers
    int state = 0;         // modifier and button state
    std::string text;      // the text the key typed
};

struct sh_menukeys {
    std::deque<sh_menukey> waiting;
    bool taken = false;  // a key has gone into the menu in this pass
};

// A key arrives for the open menu: true when it goes in now, false when it
// was put in the queue.
bool sh_menukey_arrives(sh_menukeys& q, const sh_menukey& k);
// A pass of the menu's event loop begins: true with the next waiting key,
// which goes in now.
bool sh_menukey_pass(sh_menukeys& q, sh_menukey& out);
// The menu has closed: the keys still waiting were meant for it and go.
void sh_menukey_closed(sh_menukeys& q);

// The underlined letter of a menu text ("&&" is a plain '&'), or 0.
char sh_mnemonic(const char* text);
// `text` with its underlined letter written as `c` when that is the same
// letter in either case; otherwise `text` unchanged.
std::string sh_mnemonic_as(const char* text, char c);
