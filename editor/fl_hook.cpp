#include "editor/fl_hook.h"

#include <FL/Fl.H>
#include <FL/Fl_Widget.H>
#include <FL/fl_ask.H>

#include <cstdio>
#include <cstdlib>

// Asked of the environment each time: nothing is kept.
bool fl_test_hook() { return std::getenv("TESSELLON_TEST_HOOK") != nullptr; }

std::string fl_hook_quote(const std::string& s) {
    std::string r = "\"";
    for (char c : s) {
        if (c == '\n') r += "\\n";
        else if (c == '"' || c == '\\') (r += '\\') += c;
        else r += c;
    }
    return r + "\"";
}

void fl_hook(const std::string& line) {
    if (!fl_test_hook()) return;
    std::printf("hook: %s\n", line.c_str());
    std::fflush(stdout);
}

void fl_info_icon() {
    Fl_Widget* icon = fl_message_icon();
    icon->label("i");
    icon->color(FL_WHITE);
    icon->labelcolor(FL_BLUE);
}

void fl_okbox(const std::string& caption, const std::string& text) {
    fl_hook("message caption=" + fl_hook_quote(caption) + " text=" + fl_hook_quote(text));
    fl_message_title(caption.c_str());
    fl_info_icon();
    // The text goes through "%s" so that a '%' in it is shown as it is; the
    // one button sits in the middle, where Return reaches it.
    fl_choice("%s", nullptr, "OK", nullptr, text.c_str());
}

void fl_hook_changes(const std::string& who, const std::string& dump, std::map<std::string, std::string>& last) {
    std::size_t at = 0;
    while (at < dump.size()) {
        std::size_t nl = dump.find('\n', at);
        if (nl == std::string::npos) nl = dump.size();
        const std::string line = dump.substr(at, nl - at);
        at = nl + 1;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq), val = line.substr(eq + 1);
        auto it = last.find(key);
        if (it != last.end() && it->second == val) continue;
        last[key] = val;
        fl_hook(who + " " + key + "=" + fl_hook_quote(val));
    }
}
