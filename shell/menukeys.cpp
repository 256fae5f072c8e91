#include "shell/menukeys.h"

bool sh_menukey_arrives(sh_menukeys& q, const sh_menukey& k) {
    if (q.taken || !q.waiting.empty()) {
        q.waiting.push_back(k);
        return false;
    }
    q.taken = true;
    return true;
}

bool sh_menukey_pass(sh_menukeys& q, sh_menukey& out) {
    q.taken = false;
    if (q.waiting.empty()) return false;
    out = std::move(q.waiting.front());
    q.waiting.pop_front();
    q.taken = true;
    return true;
}

void sh_menukey_closed(sh_menukeys& q) {
    q.waiting.clear();
    q.taken = false;
}

namespace {
// Position of the underlined letter in `text`, or -1.
long mnemonic_at(const char* text) {
    if (!text) return -1;
    for (const char* t = text; *t; ++t) {
        if (*t != '&') continue;
        if (t[1] == '&') {
            ++t;
            continue;
        }
        return t[1] ? t + 1 - text : -1;
    }
    return -1;
}
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

char sh_mnemonic(const char* text) {
    const long i = mnemonic_at(text);
    return i < 0 ? 0 : text[i];
}

std::string sh_mnemonic_as(const char* text, char c) {
    std::string s = text ? text : "";
    const long i = mnemonic_at(text);
    if (i >= 0 && c != 0 && lower(s[i]) == lower(c)) s[i] = c;
    return s;
}
