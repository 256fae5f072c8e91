// The main window's menu bar: the command table of the three menus and the
// state rules applied each time a menu opens.
#pragma once

#include <string>
#include <vector>

#include "shell/state.h"

// One entry of the flat menu table. A popup entry opens a level that the next
// sh_mk_end entry closes; the three top-level menus are popups too.
enum sh_menukind { sh_mk_item, sh_mk_popup, sh_mk_end };

// The menu text of output-device choice `c` with the device's name beside
// its number, '&' doubled so that only the choice's own mnemonic counts:
// "&0: Built-in Audio Analog Stereo"; the choice's text without a name.
std::string sh_device_item(const wv_choice& c, const std::string& name);

struct sh_menuitem {
    sh_menukind kind;
    int id;            // command id; 0 for the "&Cancel" items and popups
    const char* text;  // menu text with its & mnemonic
};

// The menus: the Edit/Play menu holds the rows' items (engine/rows.h), the
// options' items come from the options table (audio/options.h). They are
// written out from those tables where they are asked for.
std::vector<sh_menuitem> sh_menus();

// The text of command `id`, or nullptr.
const char* sh_command_text(int id);

// Command ids of the main window that are not options: the options' items
// have the ids of their rows in the options table (audio/options.h), the
// rows' items those of the rows table (engine/rows.h).
enum {
    cm_load = 1, cm_save = 2,
    cm_default = 16, cm_multiple = 17,
    cm_densmod = 46, cm_dynmod = 47,
    cm_showcaps = 85,
    cm_parameters = 101, cm_modcalc = 102, cm_geninfo = 103, cm_v4topics = 112,
    cm_hdmix = 123, cm_hdrec = 124, cm_testsample = 125, cm_recsample = 126, cm_about = 127,
    cm_conv_expand = 141, cm_conv_compress = 142, cm_conv_optimize = 143, cm_conv_last = 143,
    cm_fuzz_same = 151,
};

// System-menu command of the main window that opens the editor with the
// setting's own algorithm.
constexpr int sh_sys_start = 105;

// False for commands whose function is not part of this program yet: their
// items stay grayed and dispatching them does nothing.
bool sh_available(int id);

// What a menu item looks like when its popup opens.
struct sh_itemstate {
    bool grayed = false;
    bool checked = false;
    bool toggle = false;   // an on/off option (shows a check box)
};
sh_itemstate sh_menu_state(const sh_state& st, int id);

// The row whose menu command is `id`, or -1.
int sh_row_of_command(int id);

// The row can be started now: its description has a routine (or it is the
// empty algorithm), and a sampling row has its sample. A row that cannot is
// grayed in the menu, the toolbar and the icon field.
bool sh_row_startable(const sh_state& st, int row);
