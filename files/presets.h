// The preset library: named settings that ship with the program, each a
// setting file with the set it plays and what else it needs (a sample, the
// banks of Multiple play, a voice maximum), grouped by family, and the
// user's own settings folder beside them.
//
// The library is a folder with the files and one index, "index.txt", of one
// line per preset, fields separated by '|':
//
//     name|family|setting file|set|options|description
//
// options are space-separated words: sample=FILE.wav, bank=FILE.rov (up to
// three, pushed into the banks in order), voices=N and algorithm=ROW (the
// row played, when it is not the setting's own: Multiple play). Empty lines and
// lines starting with '#' are comments. File names are relative to the
// folder and hold no '/'.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct fi_preset {
    std::string name;         // unique; letters, digits and '-'
    std::string family;
    std::string setting;      // full path of the setting file
    int setnr = 0;            // the set it plays, 0..9
    std::string sample;       // full path of its sample; empty: none
    std::vector<std::string> banks;  // full paths, pushed into the banks in order
    int voices = 0;           // voice maximum 1..64; 0: the program's
    int row = -1;             // the algorithm row played; -1: the setting's own
    std::string description;
};

struct fi_library {
    std::string dir;                   // the folder it was read from
    std::vector<fi_preset> presets;    // in the index's order
    std::vector<std::string> families; // in order of first appearance
};

// Parses an index whose files lie in `dir`. Lines that cannot be used are
// left out, each with a message "index.txt:LINE: reason" in `errors`.
fi_library fi_presets_parse(const std::string& text, const std::string& dir, std::vector<std::string>& errors);

// The folders the library is looked for in, in order: $TESSELLON_PRESETS
// when set, share/tessellon/presets beside the program's own folder (an
// installed or relocated program), the build's source tree, the install
// prefix's data folder.
std::vector<std::string> fi_presets_dirs(const std::string& exe_path);
// The same for the running program (/proc/self/exe).
std::vector<std::string> fi_presets_dirs();

// Reads the library from the first of `dirs` that holds an index. False with
// a message when none does; `errors` gets the index's unusable lines.
bool fi_presets_load(const std::vector<std::string>& dirs, fi_library& lib, std::string& err,
                     std::vector<std::string>& errors);

// The preset called `name` (letter case ignored); nullptr when none is.
const fi_preset* fi_preset_find(const fi_library& lib, const std::string& name);

// The preset for a random number r: r % count; nullptr when empty.
const fi_preset* fi_preset_pick(const fi_library& lib, uint32_t r);

// A name shown in a menu: "glass-rain" as "Glass Rain".
std::string fi_preset_title(const std::string& name);

// The user's own settings folder: $XDG_DATA_HOME/tessellon/settings, or
// $HOME/.local/share/tessellon/settings; empty when neither is set.
std::string fi_user_settings_dir();

// The setting files (*.rov, any letter case) of a folder, sorted by name;
// none when the folder cannot be read.
std::vector<std::string> fi_setting_files(const std::string& dir);

// Makes a folder and its missing parents (mode 0755); false with err = errno.
bool fi_make_dirs(const std::string& dir, int& err);
