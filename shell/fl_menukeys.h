// Keys for an open menu reach the submenu that is shown (see
// shell/menukeys.h). The main window's menu bar owns the layer; the
// program's event dispatch asks its take() first.
#pragma once

#include <FL/Fl_Menu_Item.H>

#include "shell/menukeys.h"

class fl_menukeys {
public:
    // Runs once before each pass of any event loop while it lives.
    fl_menukeys();
    ~fl_menukeys();
    fl_menukeys(const fl_menukeys&) = delete;
    fl_menukeys& operator=(const fl_menukeys&) = delete;

    // The menu whose letters are matched in either case and also on grayed
    // items: the main menu bar's items, `n` entries.
    void attach(Fl_Menu_Item* items, int n);

    // True when `event` is a key for an open menu; the layer has then taken it.
    bool take(int event);

private:
    static void pass(void* self);
    void deliver(sh_menukey& k);

    sh_menukeys keys_;
    Fl_Menu_Item* items_ = nullptr;
    int n_ = 0;
};
