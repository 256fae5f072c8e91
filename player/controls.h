// What the dialogs' controls report, shared by the setting editor and the
// player pad: the codes of a scroll-bar message and a help box.
#pragma once

#include <string>

// Scroll codes of a scroll-bar message.
enum rov_scrollcode {
    rov_sc_lineup,
    rov_sc_linedown,
    rov_sc_pageup,
    rov_sc_pagedown,
    rov_sc_thumbpos,
    rov_sc_thumbtrack,
    rov_sc_other,
};

// A message box with an OK button.
struct rov_helpbox {
    std::string caption;
    std::string text;
};
