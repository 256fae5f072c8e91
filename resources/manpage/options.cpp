// Completes the manual page at build time: every command-line option of the
// options table (audio/options.h) that the page does not describe yet gets
// an entry at the end of the section of the commands that take it, written
// from its usage text. The entries the page has are left as they are.
// The rows come from the rows table (engine/rows.h): the section ALGORITHM
// ROWS gets the list of them with their titles at its end, and the strings
// \*[row-last] and \*[row-multiple] become the last row and Multiple play's.
//
// Usage: tess_manpage IN OUT
#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "audio/options.h"
#include "engine/rows.h"

namespace {

std::string escaped(const std::string& s) {
    std::string out;
    for (const char c : s) {
        if (c == '-')
            out += "\\-";
        else if (c == '\\')
            out += "\\e";
        else
            out += c;
    }
    return out;
}

// The .TP entry of an option: its flag, then its usage text as a sentence.
std::string entry(const wv_optdesc& d) {
    const std::string flag = d.flag;
    const std::size_t sp = flag.find(' ');
    std::string e = "\n.TP\n";
    if (sp == std::string::npos)
        e += ".B " + escaped(flag) + "\n";
    else
        e += ".BI " + escaped(flag.substr(0, sp)) + " \" " + flag.substr(sp + 1) + "\"\n";
    std::string text = wv_opt_text(d.usage, d, " to ");
    for (char& c : text)
        if (c == '\n') c = ' ';
    if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (!text.empty() && text.back() != '.') text += '.';
    return e + escaped(text);
}

// A line of text: a backslash doubled, a leading control character made text.
std::string text_line(const std::string& s) {
    std::string out = s.empty() || (s[0] != '.' && s[0] != '\'') ? "" : "\\&";
    for (const char c : s) out += c == '\\' ? std::string("\\e") : std::string(1, c);
    return out;
}

// The rows: each with its title (the empty algorithm has none), at the end
// of their section; false when the page has no such section.
bool add_rows(std::string& page) {
    const std::size_t sec = page.find("\n.SH ALGORITHM ROWS\n");
    if (sec == std::string::npos) return false;
    std::size_t end = page.find("\n.SH ", sec + 1);
    if (end == std::string::npos) end = page.size();
    std::string list = "\n.PD 0";
    for (int r = 0; r < rov_natab; ++r) {
        const char* title = rov_rows[r].tab.title;
        list += "\n.TP\n.B " + std::to_string(r) + "\n" + (title && *title ? text_line(title) : "(empty algorithm)");
    }
    page.insert(end, list + "\n.PD");
    return true;
}

void replace_all(std::string& page, const std::string& from, const std::string& to) {
    for (std::size_t at = page.find(from); at != std::string::npos; at = page.find(from, at + to.size()))
        page.replace(at, from.size(), to);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tess_manpage IN OUT\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string page = ss.str();
    if (!in || page.empty()) {
        std::fprintf(stderr, "tess_manpage: cannot read %s\n", argv[1]);
        return 1;
    }
    for (int i = 0; i < wv_optlist_n; ++i) {
        const wv_optdesc& d = *wv_optlist[i];
        if (!d.flag || d.cli == wv_cli_none) continue;
        const std::string section = d.cli == wv_cli_play ? "OPTIONS OF PLAY" : "OPTIONS OF RENDER AND PLAY";
        const std::size_t sec = page.find("\n.SH " + section + "\n");
        if (sec == std::string::npos) {
            std::fprintf(stderr, "tess_manpage: no section %s\n", section.c_str());
            return 1;
        }
        std::size_t end = page.find("\n.SH ", sec + 1);
        if (end == std::string::npos) end = page.size();
        const std::string flag = escaped(std::string(d.flag).substr(0, std::string(d.flag).find(' ')));
        const std::string body = page.substr(sec, end - sec);
        bool described = false;
        for (const char* tag : {"\n.B ", "\n.BI "}) {
            for (std::size_t at = body.find(tag + flag); at != std::string::npos && !described;
                 at = body.find(tag + flag, at + 1)) {
                const std::size_t after = at + std::string(tag).size() + flag.size();
                described = after >= body.size() || body[after] == ' ' || body[after] == '\n';
            }
        }
        if (!described) page.insert(end, entry(d));
    }
    if (!add_rows(page)) {
        std::fprintf(stderr, "tess_manpage: no section ALGORITHM ROWS\n");
        return 1;
    }
    replace_all(page, "\\*[row-last]", std::to_string(rov_natab - 1));
    replace_all(page, "\\*[row-multiple]", std::to_string(rov_row_multiple()));
    std::ofstream out(argv[2], std::ios::trunc);
    out << page;
    out.close();
    if (!out) {
        std::fprintf(stderr, "tess_manpage: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
