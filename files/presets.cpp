#include "files/presets.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::size_t at = 0;
    for (;;) {
        const std::size_t c = s.find(sep, at);
        out.push_back(s.substr(at, c == std::string::npos ? std::string::npos : c - at));
        if (c == std::string::npos) return out;
        at = c + 1;
    }
}

std::string trim(const std::string& s) {
    const std::size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool good_name(const std::string& n) {
    if (n.empty()) return false;
    for (const char c : n)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') return false;
    return true;
}

bool good_file(const std::string& f) { return !f.empty() && f.find('/') == std::string::npos && f != "." && f != ".."; }

bool number(const std::string& t, int lo, int hi, int& v) {
    if (t.empty() || t.size() > 3) return false;
    for (const char c : t)
        if (c < '0' || c > '9') return false;
    v = std::atoi(t.c_str());
    return v >= lo && v <= hi;
}

bool is_dir(const std::string& p) {
    struct stat sb {};
    return stat(p.c_str(), &sb) == 0 && S_ISDIR(sb.st_mode);
}

}  // namespace

fi_library fi_presets_parse(const std::string& text, const std::string& dir, std::vector<std::string>& errors) {
    fi_library lib;
    lib.dir = dir;
    std::istringstream in(text);
    std::string line;
    for (int no = 1; std::getline(in, line); ++no) {
        const std::string t = trim(line);
        if (t.empty() || t[0] == '#') continue;
        auto bad = [&](const std::string& why) { errors.push_back("index.txt:" + std::to_string(no) + ": " + why); };
        std::vector<std::string> f = split(t, '|');
        if (f.size() != 6) {
            bad("6 fields separated by '|' expected, not " + std::to_string(f.size()));
            continue;
        }
        for (std::string& x : f) x = trim(x);
        fi_preset p;
        p.name = f[0];
        p.family = f[1];
        p.description = f[5];
        if (!good_name(p.name)) {
            bad("the name '" + p.name + "' is not letters, digits and '-'");
            continue;
        }
        if (fi_preset_find(lib, p.name)) {
            bad("the name '" + p.name + "' is given twice");
            continue;
        }
        if (p.family.empty()) {
            bad("no family");
            continue;
        }
        if (!good_file(f[2])) {
            bad("no setting file, or one outside the folder");
            continue;
        }
        p.setting = dir + "/" + f[2];
        if (!number(f[3], 0, 9, p.setnr)) {
            bad("the set '" + f[3] + "' is not 0..9");
            continue;
        }
        bool ok = true;
        std::istringstream words(f[4]);
        for (std::string w; ok && words >> w;) {
            const std::size_t eq = w.find('=');
            const std::string k = eq == std::string::npos ? w : w.substr(0, eq);
            const std::string v = eq == std::string::npos ? "" : w.substr(eq + 1);
            if (k == "sample" && good_file(v)) {
                p.sample = dir + "/" + v;
            } else if (k == "bank" && good_file(v) && p.banks.size() < 3) {
                p.banks.push_back(dir + "/" + v);
            } else if (k == "voices" && number(v, 1, 64, p.voices)) {
            } else if (k == "algorithm" && number(v, 0, 99, p.row)) {
            } else {
                bad("the option '" + w + "' is not sample=FILE, bank=FILE (three at most), voices=1..64 or algorithm=ROW");
                ok = false;
            }
        }
        if (!ok) continue;
        if (std::find(lib.families.begin(), lib.families.end(), p.family) == lib.families.end())
            lib.families.push_back(p.family);
        lib.presets.push_back(std::move(p));
    }
    return lib;
}

std::vector<std::string> fi_presets_dirs(const std::string& exe_path) {
    std::vector<std::string> dirs;
    if (const char* e = std::getenv("TESSELLON_PRESETS"); e && *e) dirs.push_back(e);
    const std::size_t slash = exe_path.rfind('/');
    if (slash != std::string::npos) {
        const std::string bin = exe_path.substr(0, slash);
        dirs.push_back(bin + "/../share/tessellon/presets");
    }
#ifdef TESS_PRESETS_SOURCE
    dirs.push_back(TESS_PRESETS_SOURCE);
#endif
#ifdef TESS_PRESETS_INSTALLED
    dirs.push_back(TESS_PRESETS_INSTALLED);
#endif
    return dirs;
}

std::vector<std::string> fi_presets_dirs() {
    char exe[4096];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    return fi_presets_dirs(n > 0 ? std::string(exe, static_cast<std::size_t>(n)) : "");
}

bool fi_presets_load(const std::vector<std::string>& dirs, fi_library& lib, std::string& err,
                     std::vector<std::string>& errors) {
    for (const std::string& d : dirs) {
        std::ifstream in(d + "/index.txt");
        if (!in) continue;
        std::stringstream ss;
        ss << in.rdbuf();
        lib = fi_presets_parse(ss.str(), d, errors);
        return true;
    }
    err = "the preset library is not installed (no index.txt in";
    for (const std::string& d : dirs) err += " " + d;
    err += dirs.empty() ? " any folder)" : ")";
    return false;
}

const fi_preset* fi_preset_find(const fi_library& lib, const std::string& name) {
    const std::string n = lower(name);
    for (const fi_preset& p : lib.presets)
        if (lower(p.name) == n) return &p;
    return nullptr;
}

const fi_preset* fi_preset_pick(const fi_library& lib, uint32_t r) {
    if (lib.presets.empty()) return nullptr;
    return &lib.presets[r % lib.presets.size()];
}

std::string fi_preset_title(const std::string& name) {
    std::string t;
    bool start = true;
    for (const char c : name) {
        if (c == '-') {
            t += ' ';
            start = true;
        } else {
            t += start ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
            start = false;
        }
    }
    return t;
}

std::string fi_user_settings_dir() {
    if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x == '/') return std::string(x) + "/tessellon/settings";
    if (const char* h = std::getenv("HOME"); h && *h) return std::string(h) + "/.local/share/tessellon/settings";
    return "";
}

std::vector<std::string> fi_setting_files(const std::string& dir) {
    std::vector<std::string> out;
    DIR* d = opendir(dir.c_str());
    if (!d) return out;
    while (const dirent* e = readdir(d)) {
        const std::string n = e->d_name;
        if (n.size() > 4 && lower(n.substr(n.size() - 4)) == ".rov") {
            struct stat sb {};
            if (stat((dir + "/" + n).c_str(), &sb) == 0 && S_ISREG(sb.st_mode)) out.push_back(n);
        }
    }
    closedir(d);
    std::sort(out.begin(), out.end());
    return out;
}

bool fi_make_dirs(const std::string& dir, int& err) {
    if (dir.empty()) {
        err = ENOENT;
        return false;
    }
    for (std::size_t at = 1;; ++at) {
        at = dir.find('/', at);
        const std::string part = dir.substr(0, at);
        if (!is_dir(part) && mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
            err = errno;
            return false;
        }
        if (at == std::string::npos) break;
    }
    if (!is_dir(dir)) {
        err = ENOTDIR;
        return false;
    }
    return true;
}
