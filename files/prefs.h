// The user's remembered choices: a small text file of "key=value" lines in
// $XDG_CONFIG_HOME/tessellon/tessellon.conf (~/.config/tessellon/ when the
// variable is unset or not an absolute path). Lines starting with '#' and
// empty lines are comments. A line the program cannot take is reported and
// left out; the rest of the file still counts. The file is always written
// whole through a temporary file, so that a crash or a full disc leaves the
// old one.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct fi_prefs {
    std::vector<std::pair<std::string, std::string>> items;  // in the file's order, keys unique

    // The value of `key`, or nullptr.
    const std::string* find(const std::string& key) const;
    // Sets `key` (in its place, or at the end when new); erase removes it.
    void set(const std::string& key, const std::string& value);
    void erase(const std::string& key);
};

// Longest file taken, in bytes: anything longer is not a file of ours.
constexpr std::size_t fi_prefs_max_bytes = 65536;

// A key: letters, digits, '.', '-' and '_', 1 to 64 of them.
bool fi_prefs_key_ok(const std::string& key);

// The file's path for the given values of XDG_CONFIG_HOME and HOME (either
// may be null); "" when neither gives an absolute folder.
std::string fi_prefs_path(const char* xdg_config_home, const char* home);

// Takes the lines of `text`: spaces around keys and values are dropped; a
// line without '=', with a bad key or with a control character in its value
// adds a message (with its line number) to `problems` and is left out; of a
// key given twice the last line counts.
void fi_prefs_parse(const std::string& text, fi_prefs& p, std::vector<std::string>& problems);
// The file's text: a comment line, then one line per item.
std::string fi_prefs_text(const fi_prefs& p);

// Reads the file into p (emptied first). A missing file is no problem: no
// choices were remembered yet. A file that cannot be read, is too long or
// is no text adds a message naming the path and gives no items.
void fi_prefs_load(const std::string& path, fi_prefs& p, std::vector<std::string>& problems);
// A file with lines the program could not take keeps them: before the
// choices are written anew it is renamed to `aside` (the path + ".bad", an
// older one replaced). True when that is done or there is no file; false
// with err = errno.
bool fi_prefs_set_aside(const std::string& path, std::string& aside, int& err);
// Writes the file whole, creating its folder (mode 0700) when needed; false
// with err = errno of the failing step, and the old file unchanged.
bool fi_prefs_save(const std::string& path, const fi_prefs& p, int& err);
