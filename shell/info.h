// The information dialogs: the help and news pages by template name, the
// scrolling rule of their window, and the capability dialog "DEVCAPS".
#pragma once

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

// The page of a template name; nullptr for a name that has none.
const sh_infopage* sh_info_page(const std::string& name);
// Every template name that has a page.
std::vector<std::string> sh_info_names();

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

// The template of an "&Info" menu command (103..112, 127), "" for others;
// "V&4Topics" shows two pages, one after the other.
std::vector<std::string> sh_info_pages_of(const sh_state& st, int id);

// The tooltip at client (x, y) of the icon field: the same text as the
// Shift-click help there (an algorithm's title; a toolbar slot's caption and
// text); "" where there is none.
std::string sh_tooltip(const sh_state& st, int x, int y);
