// Completes the manual page at build time: every command-line option of the
// options table (audio/options.h) that the page does not describe yet gets
// an entry at the end of the section of the commands that take it, written
// from its usage text. The entries the page has are left as they are.
//
// Usage: tess_manpage IN OUT
#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "audio/options.h"

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
    std::ofstream out(argv[2], std::ios::trunc);
    out << page;
    out.close();
    if (!out) {
        std::fprintf(stderr, "tess_manpage: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
