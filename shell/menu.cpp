#include "shell/menu.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/rows.h"
#include "shell/info.h"

namespace {

// An entry as this table writes it: a plain one, or one the options table
// fills (audio/options.h).
enum {
    mk_option = sh_mk_end + 1,  // an option's item, or the items of its choices
    mk_choices,                 // the popup of an option's choices, with its cancel item
    mk_effects,                 // a popup (or an item) for each output effect not named here
    mk_rows,                    // the items of the rows of a menu group (engine/rows.h)
};
struct mi {
    int kind;
    int id;
    const char* text;  // the text; the option's key for the entries above
};

constexpr mi P(const char* t) { return {sh_mk_popup, 0, t}; }
constexpr mi I(int id, const char* t) { return {sh_mk_item, id, t}; }
constexpr mi E() { return {sh_mk_end, 0, nullptr}; }
constexpr mi Cancel() { return {sh_mk_item, 0, "&Cancel"}; }
constexpr mi CAncel() { return {sh_mk_item, 0, "C&ancel"}; }
constexpr mi O(const char* key) { return {mk_option, 0, key}; }
constexpr mi OP(const char* key) { return {mk_choices, 0, key}; }
constexpr mi FX() { return {mk_effects, 0, nullptr}; }
// The items of the rows of menu group `g`, in row order: in a popup titled
// `popup`, or on the level of this entry when `popup` is null.
constexpr mi Rows(rov_menugroup g, const char* popup = nullptr) { return {mk_rows, static_cast<int>(g), popup}; }

// Every popup starts with its cancel item; "C&ancel" where "&C" is taken.
const mi menu[] = {
    P("&File"),
      Cancel(),
      I(cm_load, "&Load"), I(cm_save, "&Save"),
      I(cm_hdmix, "Harddisc &Mix"), I(cm_hdrec, "&Harddisc Rec"),
      I(cm_testsample, "&Test Sample"), I(cm_recsample, "&Record Sample"),
    E(),
    P("&Edit/Play"),
      Cancel(),
      Rows(rov_menugroup::experimental, "E&xperimental"),
      Rows(rov_menugroup::sampling, "&Sampling"),
      Rows(rov_menugroup::phrase, "&Phrase"),
      I(cm_default, "&Default"), Rows(rov_menugroup::top),
      Rows(rov_menugroup::v3, "V&3"),
      Rows(rov_menugroup::v4, "V&4"),
    E(),
    P("&Options"),
      CAncel(),
      P("&Setup"),
        CAncel(),
        O("bufsize"), O("buffbeat"),
        I(cm_densmod, "Variation &Density"), I(cm_dynmod, "Variation D&ynamic"), O("voices"),
        OP("timetoplay"), O("timetoplay"), E(),
        O("timbre"), O("emphasis"), O("emergency"),
        O("gap"), O("rotate"), O("latency"),
        OP("display"), O("display"), E(),
        O("measure"), O("showmorph"),
        OP("recsamples"), O("recsamples"), E(),
      E(),
      OP("blowup"), O("blowup"), E(),
      P("&Convert Sample"),
        CAncel(),
        I(cm_conv_expand, "E&xpand"), I(cm_conv_compress, "&Compress"), I(cm_conv_optimize, "&Optimize"),
      E(),
      OP("fuzztype"), I(cm_fuzz_same, "Sa&me"), O("fuzztype"), E(),
      FX(),
      OP("visual"), O("visual"), E(),
      OP("device"), I(cm_showcaps, "&Show Caps"), O("mono8"), O("midi"), O("device"), O("jack"), E(),
      P("&Info"),
        Cancel(),
        I(cm_parameters, "&Parameters"), I(cm_modcalc, "&ModuloCalc"), I(cm_geninfo, "&General Info"),
        I(104, "Rand&om Pitch"), I(105, "&Sample Alg"), I(106, "P&hrase Alg"),
        I(107, "&Last Played"), I(108, "Four &Track"), I(109, "&Tessellon"),
        I(110, "V&2Topics"), I(111, "V&3Topics"), I(cm_v4topics, "V&4Topics"), I(cm_about, "&About"),
      E(),
    E(),
};

// The option's item, or the items of its choices.
void option_items(std::vector<sh_menuitem>& out, const wv_optdesc& d) {
    if (d.kind != wv_opt_choice) {
        out.push_back({sh_mk_item, d.menu_id, d.menu});
        return;
    }
    for (int k = 0; k < d.nchoices; ++k) out.push_back({sh_mk_item, d.menu_id + k, d.choices[k].menu});
}

// A popup titled `title`, with its cancel item.
void choices_popup(std::vector<sh_menuitem>& out, const char* title) {
    out.push_back({sh_mk_popup, 0, title});
    out.push_back({sh_mk_item, 0, "&Cancel"});
}

}  // namespace

// The menus with the options table's entries filled in. An option named
// here that the table lacks is a fault of the program: the menus are then
// empty, which the main window's start and the menu tests find.
std::vector<sh_menuitem> sh_menus() {
    std::vector<sh_menuitem> out;
    std::vector<const wv_optdesc*> named;
    for (const mi& m : menu) {
        if (m.kind == mk_option || m.kind == mk_choices) {
            const wv_optdesc* d = wv_opt(m.text);
            if (!d) return {};
            named.push_back(d);
            if (m.kind == mk_option)
                option_items(out, *d);
            else
                choices_popup(out, d->menu);
        } else if (m.kind == mk_rows) {
            const auto g = static_cast<rov_menugroup>(m.id);
            if (m.text) choices_popup(out, m.text);
            for (int r = 0; r < rov_natab; ++r)
                if (rov_rows[r].menu.group == g) out.push_back({sh_mk_item, rov_rows[r].tab.mitem, rov_rows[r].menu.text});
            if (m.text) out.push_back({sh_mk_end, 0, nullptr});
        } else if (m.kind == mk_effects) {
            for (int i = 0; i < wv_optlist_n; ++i) {
                const wv_optdesc& d = *wv_optlist[i];
                if (!d.effect || std::find(named.begin(), named.end(), &d) != named.end()) continue;
                if (d.kind == wv_opt_choice) choices_popup(out, d.menu);
                option_items(out, d);
                if (d.kind == wv_opt_choice) out.push_back({sh_mk_end, 0, nullptr});
            }
        } else {
            out.push_back({static_cast<sh_menukind>(m.kind), m.id, m.text});
        }
    }
    return out;
}

std::string sh_device_item(const wv_choice& c, const std::string& name) {
    if (name.empty()) return c.menu;
    const std::string title = sh_device_title(static_cast<uint32_t>(c.value), name);
    // The choice's text ("&0", "&WAVE MAPPER") stands for the number.
    const std::string number = c.value == static_cast<int>(sh_mapper) ? "WAVE MAPPER" : std::to_string(c.value);
    std::string t = c.menu;
    for (std::size_t k = number.size(); k < title.size(); ++k) {
        if (title[k] == '&') t += '&';
        t += title[k];
    }
    return t;
}

const char* sh_command_text(int id) {
    if (id == 0) return nullptr;
    for (const sh_menuitem& m : sh_menus())
        if (m.kind == sh_mk_item && m.id == id) return m.text;
    return nullptr;
}

// Every command of the menus is built.
bool sh_available(int /*id*/) { return true; }

int sh_row_of_command(int id) {
    if (id == 0) return -1;
    for (int r = 0; r < rov_natab; ++r)
        if (rov_rows[r].tab.mitem == id) return r;
    return -1;
}

bool sh_row_startable(const sh_state& st, int row) {
    return rov_row_available(row, true) && !(rov_row_sampling(row) && !st.pg.smploaded);
}

sh_itemstate sh_menu_state(const sh_state& st, int id) {
    sh_itemstate s;
    // The options: of mutually exclusive choices the one in effect is
    // grayed; a switch shows its check box, grayed while a recording locks it.
    int k = -1;
    if (const wv_optdesc* d = wv_opt_of_menu(id, &k)) {
        if (k >= 0) {
            s.grayed = d->get(st.opt) == d->choices[k].value;
        } else if (d->kind == wv_opt_toggle) {
            s.toggle = true;
            s.checked = d->get(st.opt) != 0;
            s.grayed = st.pg.recording() && (d->lock & wv_lock_menu);
        }
    }
    if (id == cm_fuzz_same) s.grayed = (st.opt.fuzztyp == 0);
    // Back to 16-bit stereo only where the device plays it.
    if (id == wv_opt_mono8.menu_id && !st.opt.stereo16) s.grayed = true;

    // Items that need a sample.
    const int row = sh_row_of_command(id);
    const bool needs_sample = id == cm_testsample || (id >= cm_conv_expand && id <= cm_conv_last);
    if (needs_sample && !st.pg.smploaded) s.grayed = true;
    if (row >= 0 && !sh_row_startable(st, row)) s.grayed = true;
    if (id == cm_conv_expand && st.pg.smploaded && st.pg.smpszorig / 2 < st.pg.smpbytes) s.grayed = true;

    if (!sh_available(id)) s.grayed = true;
    return s;
}
