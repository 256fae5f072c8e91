// The information dialogs: the help and news pages by template name, the
// scrolling rule of their window, and the capability dialog "DEVCAPS".
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "shell/pardef.h"
#include "shell/state.h"

// One information page: its title and its paragraphs, top to bottom.
struct sh_infopage {
    std::string name;    // template name, "WVTMPHLP", "RANOVSP3", ...
    std::string title;
    std::vector<std::string> text;
};

// The page of a template name; none for a name that has none.
std::optional<sh_infopage> sh_info_page(const std::string& name);
// Every template name that has a page.
std::vector<std::string> sh_info_names();

// The page's window in pixels: its size and the scroll bar at its right.
constexpr int sh_info_w = 400, sh_info_h = 300, sh_info_bar_w = 16;
// The farthest the page scrolls down, in pixels.
constexpr int sh_info_max_scroll = 1100;

// Where a page's texts and its OK button go, in pixels of the unscrolled
// page: the texts one below the other, each box as tall as its text wrapped
// to the box's width, then the OK button.
struct sh_inforect {
    int x = 0, y = 0, w = 0, h = 0;
};
struct sh_infolayout {
    std::vector<sh_inforect> text;  // one per paragraph
    sh_inforect ok;
    int height = 0;                 // of the whole page
};
// `measure` gives the height of a text wrapped to a width (the window's
// font decides it).
sh_infolayout sh_info_layout(const sh_infopage& p, const std::function<int(const std::string&, int)>& measure);

// The page's scroll state: the offset in pixels (0 at the top, negative
// when scrolled down, never below -1100) and the bar's position.
struct sh_infoscroll {
    int ypos = 0;
    int bar = 0;
};
// One scroll message; returns the change of the offset (the contents move
// by it).
int sh_info_scroll(sh_infoscroll& s, pd_code code, int thumb);

// The texts of the capability dialog's statics 101..119 (index id - 101),
// blanked ("   ") for every format or feature the device lacks.
std::vector<std::string> sh_caps_texts(const sh_woc& woc);
// The same headed by the device's number (or WAVE MAPPER) and its whole name.
std::vector<std::string> sh_caps_texts(const sh_woc& woc, uint32_t devno);
// An output device as the menu and the capability box show it: its number
// (or WAVE MAPPER) and the name the sound system gives it, "0: Built-in
// Audio Analog Stereo"; the number alone when the name is empty.
std::string sh_device_title(uint32_t devno, const std::string& name);

// The template of an "&Info" menu command (103..112, 127), "" for others;
// "V&4Topics" shows two pages, one after the other.
std::vector<std::string> sh_info_pages_of(const sh_state& st, int id);

// The tooltip at client (x, y) of the icon field: the same text as the
// Shift-click help there (an algorithm's title; a toolbar slot's caption and
// text); "" where there is none.
std::string sh_tooltip(const sh_state& st, int x, int y);
