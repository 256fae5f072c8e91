#include "shell/presets.h"

#include <unistd.h>

#include "files/setting_file.h"
#include "shell/files.h"

void sh_presets_user_scan(sh_presets& p) {
    p.userfiles = p.userdir.empty() ? std::vector<std::string>{} : fi_setting_files(p.userdir);
    if (p.userfiles.size() > static_cast<std::size_t>(cm_user_last - cm_user_first + 1))
        p.userfiles.resize(cm_user_last - cm_user_first + 1);
}

void sh_presets_read(sh_presets& p, const std::vector<std::string>& dirs) {
    std::vector<std::string> bad;
    p.lib = {};
    p.error.clear();
    if (!fi_presets_load(dirs, p.lib, p.error, bad)) p.lib = {};
    p.titles.clear();
    for (const fi_preset& pr : p.lib.presets) p.titles.push_back(fi_preset_title(pr.name));
    p.userdir = fi_user_settings_dir();
    sh_presets_user_scan(p);
}

std::vector<sh_menuitem> sh_presets_menu(const sh_presets& p) {
    std::vector<sh_menuitem> out;
    out.push_back({sh_mk_popup, 0, "&Presets"});
    out.push_back({sh_mk_item, 0, "&Cancel"});
    out.push_back({sh_mk_item, cm_shuffle, "Play &Something"});
    for (const std::string& fam : p.lib.families) {
        out.push_back({sh_mk_popup, 0, fam.c_str()});
        for (std::size_t k = 0; k < p.lib.presets.size(); ++k)
            if (p.lib.presets[k].family == fam)
                out.push_back({sh_mk_item, cm_preset_first + static_cast<int>(k), p.titles[k].c_str()});
        out.push_back({sh_mk_end, 0, nullptr});
    }
    out.push_back({sh_mk_popup, 0, "&My Settings"});
    for (std::size_t k = 0; k < p.userfiles.size(); ++k)
        out.push_back({sh_mk_item, cm_user_first + static_cast<int>(k), p.userfiles[k].c_str()});
    out.push_back({sh_mk_end, 0, nullptr});
    out.push_back({sh_mk_end, 0, nullptr});
    return out;
}

bool sh_presets_command(int id) { return id == cm_shuffle || (id >= cm_preset_first && id <= cm_user_last); }

bool sh_preset_load(sh_state& st, const sh_ui& ui, const fi_preset& pr) {
    // Every file is looked at first, so that a damaged preset changes nothing.
    std::vector<std::string> settings = pr.banks;
    settings.push_back(pr.setting);
    std::string missing;
    for (const std::string& f : settings)
        if (rov_setting s{}; missing.empty() && fi_setting_read(f, s) != fi_read::ok) missing = f;
    if (missing.empty() && !pr.sample.empty() && access(pr.sample.c_str(), R_OK) != 0) missing = pr.sample;
    if (!missing.empty()) {
        if (ui.message)
            ui.message({"WAVE-TESSELLON", "The preset \"" + pr.name + "\" cannot be loaded:\n" + missing +
                                              "\nis missing or damaged.",
                        sh_btn_ok, sh_icon_stop});
        return false;
    }
    // Loaded in this order the banks end up as --bank gives them.
    for (const std::string& f : settings) sh_load_path(st, ui, sh_ft_setting, f);
    if (!pr.sample.empty()) {
        sh_load_path(st, ui, sh_ft_wave, pr.sample);
        if (!st.pg.smploaded) return false;
    }
    st.pg.ws.setnr = pr.setnr;
    st.pg.ws.tonr = st.fg.s.rov_tonindx[pr.setnr];
    if (pr.voices > 0) sh_set_voices(st, pr.voices);
    return true;
}

const fi_preset* sh_presets_pick(const sh_ui& ui, const sh_presets& p, int id, uint32_t r) {
    if (id == cm_shuffle) {
        const fi_preset* pr = fi_preset_pick(p.lib, r);
        if (!pr && ui.message) ui.message({"WAVE-TESSELLON", "No presets: " + p.error, sh_btn_ok, sh_icon_info});
        return pr;
    }
    if (id >= cm_preset_first && static_cast<std::size_t>(id - cm_preset_first) < p.lib.presets.size())
        return &p.lib.presets[static_cast<std::size_t>(id - cm_preset_first)];
    return nullptr;
}

void sh_preset_play(sh_state& st, const sh_ui& ui, const fi_preset& pr) {
    if (!sh_preset_load(st, ui, pr)) return;
    st.startplay = true;
    st.icontim = 0;
    const int row = pr.row >= 0 && pr.row < rov_natab ? pr.row : -1;
    sh_command(st, ui, row >= 0 ? rov_rows[row].tab.mitem : cm_default);
    st.startplay = false;
}

void sh_presets_run(sh_state& st, const sh_ui& ui, const sh_presets& p, int id, uint32_t r) {
    if (id >= cm_user_first && id <= cm_user_last) {
        const std::size_t k = static_cast<std::size_t>(id - cm_user_first);
        if (k < p.userfiles.size()) sh_load_path(st, ui, sh_ft_setting, p.userdir + "/" + p.userfiles[k]);
        return;
    }
    if (const fi_preset* pr = sh_presets_pick(ui, p, id, r)) sh_preset_play(st, ui, *pr);
}
