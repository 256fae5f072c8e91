// Shared by the program's FLTK windows: the test hook and the plain message
// box. With the environment variable TESSELLON_TEST_HOOK set, the windows
// report on standard output what they show, one line "hook: ..." each, so
// that tests driving the program through X events can check the texts.
#pragma once

#include <map>
#include <string>

bool fl_test_hook();
// One line "hook: ..." on standard output (only with the test hook).
void fl_hook(const std::string& line);
// The "key=value" lines of a window's dump whose value changed since the
// last call with the same record, one hook line "<who> key=value" each.
void fl_hook_changes(const std::string& who, const std::string& dump, std::map<std::string, std::string>& last);
// Text with newlines and quotes escaped, for hook lines.
std::string fl_hook_quote(const std::string& s);

// The information icon of the message boxes.
void fl_info_icon();
// A modal message box with an OK button (and the information icon).
void fl_okbox(const std::string& caption, const std::string& text);
