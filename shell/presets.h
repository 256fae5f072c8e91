// The "&Presets" menu of the main window: the preset library grouped by
// family, "Play &Something" (a preset picked at random) and the user's own
// settings folder beside them. Choosing a preset loads its setting, sample
// and banks as the File menu would, selects its set and opens the editor
// playing it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/presets.h"
#include "shell/commands.h"
#include "shell/menu.h"

// Where the "play something" button sits: in the toolbar band, right of
// slot 10.
constexpr int sh_shuffle_x = 355;

// Command ids: "Play Something", preset k, the user's setting file k.
enum { cm_shuffle = 160, cm_preset_first = 2000, cm_user_first = 3000, cm_user_last = 3999 };

// What the menu lists: the library, the titles shown for its presets and
// the user's folder with its setting files.
struct sh_presets {
    fi_library lib;
    std::vector<std::string> titles;     // one per preset
    std::string userdir;                 // the user's settings folder ("": none)
    std::vector<std::string> userfiles;  // its setting files, at most 1000
    std::string error;                   // why the library is missing
};

// The library from `dirs` (files/presets.h) and the user's folder.
void sh_presets_read(sh_presets& p, const std::vector<std::string>& dirs);
// The user's folder read again (after a save).
void sh_presets_user_scan(sh_presets& p);

// The "&Presets" popup: its cancel item, "Play &Something", a popup per
// family, and "&My Settings" with the user's files. The texts point into `p`.
std::vector<sh_menuitem> sh_presets_menu(const sh_presets& p);

// Whether `id` is one of this menu's commands.
bool sh_presets_command(int id);

// Runs command `id` of the menu; `r` picks the preset of "Play Something".
// A preset is loaded and the editor opened on its row, playing.
void sh_presets_run(sh_state& st, const sh_ui& ui, const sh_presets& p, int id, uint32_t r);

// The preset of command `id` (r for "Play Something"); nullptr for another
// command or an empty library (the latter told through ui.message).
const fi_preset* sh_presets_pick(const sh_ui& ui, const sh_presets& p, int id, uint32_t r);
// Loads preset `pr` and opens the editor on its row, playing.
void sh_preset_play(sh_state& st, const sh_ui& ui, const fi_preset& pr);

// Loads preset `pr` into the program as the File menu loads files: its
// banks, then its setting, then its sample; selects its set and voice
// maximum. False (after a message) when a file of it cannot be loaded.
bool sh_preset_load(sh_state& st, const sh_ui& ui, const fi_preset& pr);
