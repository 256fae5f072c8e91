#include "files/prefs.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "files/setting_file.h"

const std::string* fi_prefs::find(const std::string& key) const {
    for (const auto& [k, v] : items)
        if (k == key) return &v;
    return nullptr;
}

void fi_prefs::set(const std::string& key, const std::string& value) {
    for (auto& [k, v] : items)
        if (k == key) {
            v = value;
            return;
        }
    items.emplace_back(key, value);
}

void fi_prefs::erase(const std::string& key) {
    std::erase_if(items, [&](const auto& kv) { return kv.first == key; });
}

bool fi_prefs_key_ok(const std::string& key) {
    if (key.empty() || key.size() > 64) return false;
    return std::all_of(key.begin(), key.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
               c == '_';
    });
}

std::string fi_prefs_path(const char* xdg_config_home, const char* home) {
    std::string base;
    if (xdg_config_home && xdg_config_home[0] == '/')
        base = xdg_config_home;
    else if (home && home[0] == '/')
        base = std::string(home) + "/.config";
    else
        return {};
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base + "/tessellon/tessellon.conf";
}

namespace {

std::string trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

bool has_control(const std::string& s) {
    return std::any_of(s.begin(), s.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7f;
    });
}

}  // namespace

void fi_prefs_parse(const std::string& text, fi_prefs& p, std::vector<std::string>& problems) {
    std::size_t at = 0;
    for (int line = 1; at < text.size(); ++line) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string l = trimmed(text.substr(at, end - at));
        at = end + 1;
        if (l.empty() || l[0] == '#') continue;
        const auto eq = l.find('=');
        const std::string where = "line " + std::to_string(line) + ": ";
        if (eq == std::string::npos) {
            problems.push_back(where + "no '=' (a line is key=value)");
            continue;
        }
        const std::string key = trimmed(l.substr(0, eq)), value = trimmed(l.substr(eq + 1));
        if (!fi_prefs_key_ok(key)) {
            problems.push_back(where + "'" + (has_control(key) ? std::string("?") : key.substr(0, 64)) +
                               "' is no key (letters, digits, '.', '-', '_')");
            continue;
        }
        if (has_control(value)) {
            problems.push_back(where + "the value of " + key + " holds a control character");
            continue;
        }
        p.set(key, value);
    }
}

std::string fi_prefs_text(const fi_prefs& p) {
    std::string t = "# Wave Tessellon: the choices it remembers from one start to the next.\n";
    for (const auto& [k, v] : p.items) t += k + "=" + v + "\n";
    return t;
}

void fi_prefs_load(const std::string& path, fi_prefs& p, std::vector<std::string>& problems) {
    p.items.clear();
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        if (errno != ENOENT) problems.push_back(path + ": " + std::strerror(errno));
        return;
    }
    std::string text;
    char buf[4096];
    bool failed = false;
    for (;;) {
        const std::size_t n = std::fread(buf, 1, sizeof buf, f);
        text.append(buf, n);
        if (text.size() > fi_prefs_max_bytes) break;
        if (n < sizeof buf) {
            failed = std::ferror(f) != 0;
            break;
        }
    }
    const int read_err = errno;
    std::fclose(f);
    if (failed) {
        problems.push_back(path + ": " + std::strerror(read_err));
        return;
    }
    if (text.size() > fi_prefs_max_bytes) {
        problems.push_back(path + ": longer than " + std::to_string(fi_prefs_max_bytes) +
                           " bytes, not a file of remembered choices; ignored");
        return;
    }
    if (text.find('\0') != std::string::npos) {
        problems.push_back(path + ": not a text file; ignored");
        return;
    }
    std::vector<std::string> lines;
    fi_prefs_parse(text, p, lines);
    for (const std::string& l : lines) problems.push_back(path + ": " + l + "; ignored");
}

bool fi_prefs_set_aside(const std::string& path, std::string& aside, int& err) {
    aside = path + ".bad";
    err = 0;
    if (std::rename(path.c_str(), aside.c_str()) == 0 || errno == ENOENT) return true;
    err = errno;
    return false;
}

bool fi_prefs_save(const std::string& path, const fi_prefs& p, int& err) {
    err = 0;
    // The folders up to the file's, as mkdir -p makes them.
    for (std::size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1)) {
        const std::string dir = path.substr(0, at);
        if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
            err = errno;
            return false;
        }
    }
    const std::string t = fi_prefs_text(p);
    return fi_write_whole(path, reinterpret_cast<const uint8_t*>(t.data()), t.size(), err);
}
