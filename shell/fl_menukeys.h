// Keys for an open menu reach the submenu that is shown (see
// shell/menukeys.h). The program's event dispatch asks fl_menukey_take first.
#pragma once

#include <FL/Fl_Menu_Item.H>

// The menu whose letters are matched in either case and also on grayed
// items: the main menu bar's items, `n` entries.
void fl_menukeys_attach(Fl_Menu_Item* items, int n);

// True when `event` is a key for an open menu; the layer has then taken it.
bool fl_menukey_take(int event);
