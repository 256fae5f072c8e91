// Building the rows of the options table (audio/options.h). Each row is a
// constant built at compile time, beside what it drives: the general ones in
// audio/options.cpp, an output effect's beside its stage. Every row must stay
// constant-initialised (declare it constinit): the table is read before main.
#pragma once

#include <iterator>
#include <type_traits>

#include "audio/options.h"
#include "files/setup_file.h"

namespace wv_optrow {

// The value of option field M, and setting it.
template <auto M>
constexpr int get(const wv_options& o) {
    return static_cast<int>(o.*M);
}
template <auto M>
void set(wv_options& o, int v) {
    using T = std::remove_cvref_t<decltype(o.*M)>;
    if constexpr (std::is_same_v<T, bool>)
        o.*M = v != 0;
    else
        o.*M = static_cast<T>(v);
}

// The setup file's field F.
template <auto F>
long stored(const fi_setup& f) {
    return static_cast<long>(f.*F);
}
template <auto F>
void store(fi_setup& f, int v) {
    f.*F = static_cast<std::remove_cvref_t<decltype(f.*F)>>(v);
}

// A row: the parts every kind has; the rest is filled in per kind below.
constexpr wv_optdesc row(const char* key, wv_optkind kind, int (*g)(const wv_options&), void (*s)(wv_options&, int),
                         int lo, int hi) {
    wv_optdesc d{};
    d.key = key;
    d.kind = kind;
    d.get = g;
    d.set = s;
    d.lo = lo;
    d.hi = hi;
    d.unit = 1;
    return d;
}

constexpr wv_optdesc with_menu(wv_optdesc d, int id, const char* text) {
    d.menu_id = id;
    d.menu = text;
    return d;
}

// `c`: an array of the choices.
template <class C>
constexpr wv_optdesc with_choices(wv_optdesc d, int first_id, const char* popup, const C& c) {
    d.menu_id = first_id;
    d.menu = popup;
    d.choices = std::data(c);
    d.nchoices = static_cast<int>(std::size(c));
    return d;
}

constexpr wv_optdesc with_dialog(wv_optdesc d, const char* title, const char* help, int sstep, int lstep) {
    d.title = title;
    d.help = help;
    d.sstep = sstep;
    d.lstep = lstep;
    return d;
}

constexpr wv_optdesc with_setup(wv_optdesc d, long (*g)(const fi_setup&), void (*s)(fi_setup&, int), int record,
                                long lo, long hi) {
    d.stored = g;
    d.store = s;
    d.record = record;
    d.stored_lo = lo;
    d.stored_hi = hi;
    return d;
}

constexpr wv_optdesc with_flag(wv_optdesc d, wv_cligroup group, const char* flag, const char* usage) {
    d.cli = group;
    d.flag = flag;
    d.usage = usage;
    return d;
}

// The option holds the value times `unit`.
constexpr wv_optdesc with_unit(wv_optdesc d, int unit) {
    d.unit = unit;
    return d;
}

constexpr wv_optdesc with_lock(wv_optdesc d, int lock) {
    d.lock = lock;
    return d;
}

// An output effect's row: the stage of the chain it drives.
constexpr wv_optdesc with_effect(wv_optdesc d, const wv_effect* e) {
    d.effect = e;
    return d;
}

// A switch that is on or off.
template <auto M>
constexpr wv_optdesc toggle(const char* key, int id, const char* text) {
    return with_menu(row(key, wv_opt_toggle, get<M>, set<M>, 0, 1), id, text);
}

// A switch stored in the setup file as one byte.
template <auto M, auto F>
constexpr wv_optdesc stored_toggle(const char* key, int id, const char* text, int record) {
    return with_setup(toggle<M>(key, id, text), stored<F>, store<F>, record, 0, 255);
}

}  // namespace wv_optrow
