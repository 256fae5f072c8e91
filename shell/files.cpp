#include "shell/files.h"

#include <cstdio>

#include "audio/chain.h"
#include "audio/refill.h"
#include "audio/setup.h"
#include "files/names.h"
#include "files/presets.h"
#include "files/setting_file.h"
#include "files/setup_file.h"

namespace {

void tell(const sh_ui& ui, const std::string& caption, const std::string& text, sh_icon icon = sh_icon_stop) {
    if (ui.message) ui.message({caption, text, sh_btn_ok, icon});
}

void not_opened(const sh_ui& ui, bool save) { tell(ui, save ? "Write File" : "Read File", "File not opened"); }

// The folder part of a path ("" for a bare name).
std::string folder_of(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
}

// Runs a file dialog; false when cancelled. The chosen path, its folder and
// the file type are remembered for the next dialog.
bool ask_file(sh_state& st, const sh_ui& ui, bool save, std::string& path) {
    if (!ui.filedlg) return false;
    sh_filereq req{save, st.filterindex, st.settingfile, st.settingdir};
    if (!ui.filedlg(req) || req.path.empty()) return false;
    if (req.filter >= sh_ft_setting && req.filter <= sh_ft_harddisc) st.filterindex = req.filter;
    st.settingfile = path = req.path;
    const std::string dir = folder_of(req.path);
    if (!dir.empty()) st.settingdir = dir;
    st.dirchosen = true;
    return true;
}

// --- settings ---------------------------------------------------------------

void load_setting(sh_state& st, const sh_ui& ui, const std::string& path) {
    rov_setting s = st.fg.s;
    switch (fi_setting_read(path, s)) {
    case fi_read::not_opened: not_opened(ui, false); return;
    case fi_read::too_short:
        tell(ui, "Read File", "not a setting file:\nit is shorter than 672 bytes");
        return;
    case fi_read::ok: break;
    }
    // The active setting goes into the banks, with its name.
    rov_bank_push(st.bk, st.fg.s, st.fg.g, st.pg.ws.setnr, st.pg.ws.tonr);
    st.rovfil3 = st.rovfil2;
    st.rovfil2 = st.rovfil1;
    st.rovfil1 = st.rovfil;
    st.rovfil = fi_name63(path);
    st.fg.s = s;
    st.algomod = s.rov_stdalg >= 0 && s.rov_stdalg < rov_natab ? s.rov_stdalg : rov_row_empty();
}

void save_setting(sh_state& st, const sh_ui& ui, const std::string& path) {
    st.fg.s.rov_stdalg = static_cast<int16_t>(st.algomod);
    int err = 0;
    if (!fi_setting_write(path, st.fg.s, err)) {
        not_opened(ui, true);
        return;
    }
    st.rovfil = fi_name63(path);
}

// --- setups -----------------------------------------------------------------

void load_setup(sh_state& st, const sh_ui& ui, const std::string& path) {
    fi_setup f;
    int records = 0;
    if (fi_setup_read(path, f, records) == fi_read::not_opened) {
        not_opened(ui, false);
        return;
    }
    st.inifil = fi_name63(path);
    wv_setup_target t{&st.opt, &st.algomod, &st.fg.g.rov_volshift, st.pg.hd.get(), ui.probe};
    if (!wv_setup_apply(f, records, t)) tell(ui, "wave player checking ...", "wave player not available");
}

void save_setup(sh_state& st, const sh_ui& ui, const std::string& path) {
    int err = 0;
    if (!fi_setup_write(path, wv_setup_from(st.opt, st.algomod), err)) {
        not_opened(ui, true);
        return;
    }
    st.inifil = fi_name63(path);
}

// --- the sample -----------------------------------------------------------

// Frees every slot of an engine state that plays a sampling routine: its
// loop starts point into the sample that is going away.
void end_sample_tones(rov_tonephase* t, int row) {
    if (!rov_row_sampling(row)) return;
    for (int k = 0; k < rov_nslots; ++k) {
        t[k].rov_ephas = 0;
        t[k].rov_ecurr = 0;
    }
}

void end_all_sample_tones(sh_state& st) {
    const int row = rov_row(st.algomod).multiple ? st.fg.s.rov_stdalg : st.algomod;
    end_sample_tones(st.fg.t, row);
    for (int b = 0; b < rov_nbanks; ++b) end_sample_tones(st.bk.rotbk + b * rov_nslots, st.bk.rosbk[b].rov_stdalg);
}

void load_sample(sh_state& st, const sh_ui& ui, const std::string& path) {
    const int32_t K = sh_sample_capacity(st);
    std::vector<fi_filemsg> msgs;
    fi_sample smp;
    const fi_wav r = fi_sample_load(path, K, smp, msgs);
    if (r == fi_wav::not_opened) {
        not_opened(ui, false);
        return;
    }
    for (const fi_filemsg& m : msgs) tell(ui, m.caption, m.text, r == fi_wav::loaded ? sh_icon_info : sh_icon_stop);
    // A refused file leaves the sample in memory as it was: it may be a
    // recording not saved yet.
    if (r != fi_wav::loaded) return;
    st.wavfil = fi_name63(path);
    st.pg.smprecorded = false;
    sh_sample_install(st, std::move(smp), K);
}

void save_sample(sh_state& st, const sh_ui& ui, const std::string& path) {
    if (!st.pg.smploaded) {
        tell(ui, "Write File", "no sample in memory");
        return;
    }
    int err = 0;
    if (!fi_sample_save(path, st.pg.sample, err)) {
        not_opened(ui, true);
        return;
    }
    st.wavfil = fi_name63(path);
    st.pg.smprecorded = false;
}

// --- harddisc -------------------------------------------------------------

void open_mix(sh_state& st, const sh_ui& ui, const std::string& path) {
    auto m = std::make_unique<wv_mixfile_source>();
    if (!m->f.open(path)) {
        if (m->f.open_error())
            not_opened(ui, false);
        else
            tell(ui, "open file for playback", "not a 16 bit *.WAV file");
        return;
    }
    if (st.pg.mix) st.pg.mix->close();
    st.pg.mix = std::move(m);
    if (ui.pardlg) ui.pardlg(pd_on(pd_of(wv_opt_mixlevel), &st.opt.playbmix));
}

void start_recording(sh_state& st, const sh_ui& ui, const std::string& path) {
    if (st.pg.recording()) {
        tell(ui, "Write File", "harddisc recording (" + st.hdrfil + ") still in progress");
        return;
    }
    // The file is created before its length is asked: a folder that cannot
    // take it is told at once.
    if (std::FILE* fp = std::fopen(path.c_str(), "wb")) {
        std::fclose(fp);
    } else {
        not_opened(ui, true);
        return;
    }
    st.hdrfil = fi_name63(path);
    st.opt.emergency = false;
    st.opt.autotempo = false;

    // The buffers are recorded at the rate they are played at, a blow-up's
    // raised one included; the count of buffers and the header use it.
    const int setnr = st.pg.ws.setnr >= 0 && st.pg.ws.setnr < rov_nsets ? st.pg.ws.setnr : 0;
    const int32_t frames = wv_frames(st.opt.bufszorig);
    const int32_t rate = rov_rate(
        wv_blowup_for(st.fg.s.rov_p[setnr * rov_nparams + rov_par::Rate], st.opt.blowopt, frames).rateidx);
    const bool stereo = st.opt.stereoset;
    const int align = stereo ? 4 : 1;
    const long bps = static_cast<long>(rate) * align;

    int seconds = 15;
    const std::string help = pdfrectim_help(bps);
    pardef d = pd_on(pdfrectim, &seconds);
    d.phlp = help.c_str();
    if (ui.pardlg) ui.pardlg(d);
    if (seconds < pdfrectim.pmin || seconds > pdfrectim.pmax) seconds = 15;

    const int64_t n = int64_t{rate} * seconds / frames;
    const uint64_t planned = static_cast<uint64_t>(frames) * static_cast<uint64_t>(n) * align;
    auto h = std::make_unique<wv_hdrec_sink>();
    int err = 0;
    if (!h->f.create(path, stereo ? 2 : 1, stereo ? 16 : 8, rate, static_cast<uint32_t>(planned), err)) {
        not_opened(ui, true);
        return;
    }
    st.pg.hd = std::move(h);
    st.pg.ws.bufrest = static_cast<int>(n);
}

}  // namespace

void sh_sample_release(sh_state& st) {
    end_all_sample_tones(st);
    st.pg.sample = fi_sample{};
    st.pg.smploaded = false;
    st.pg.smpbytes = 0;
    st.pg.smpszorig = 0;
    if (st.pg.sample_changed) st.pg.sample_changed();
}

void sh_sample_install(sh_state& st, fi_sample&& smp, int32_t K) {
    end_all_sample_tones(st);
    st.pg.sample = std::move(smp);
    st.pg.smploaded = true;
    st.pg.smpbytes = st.pg.sample.length;
    st.pg.smpszorig = K - 96;
    if (st.pg.sample_changed) st.pg.sample_changed();
}

void sh_sample_refreshed(sh_state& st) {
    if (!st.pg.smploaded) return;
    st.pg.smpbytes = st.pg.sample.length;
    if (st.pg.sample_changed) st.pg.sample_changed();
}

wv_sample sh_sample_words(const sh_state& st) {
    if (!st.pg.smploaded) return {};
    return {st.pg.sample.words(), st.pg.sample.nwords(), st.pg.sample.around()};
}

void sh_load_path(sh_state& st, const sh_ui& ui, int type, const std::string& path) {
    switch (type) {
    case sh_ft_setting: load_setting(st, ui, path); break;
    case sh_ft_wave: load_sample(st, ui, path); break;
    case sh_ft_setup: load_setup(st, ui, path); break;
    case sh_ft_harddisc: open_mix(st, ui, path); break;
    default: break;
    }
}

void sh_save_path(sh_state& st, const sh_ui& ui, int type, const std::string& path) {
    switch (type) {
    case sh_ft_setting: save_setting(st, ui, path); break;
    case sh_ft_wave: save_sample(st, ui, path); break;
    case sh_ft_setup: save_setup(st, ui, path); break;
    case sh_ft_harddisc: start_recording(st, ui, path); break;
    default: break;
    }
}

void sh_load(sh_state& st, const sh_ui& ui) {
    std::string path;
    if (ask_file(st, ui, false, path)) sh_load_path(st, ui, st.filterindex, path);
}

void sh_save(sh_state& st, const sh_ui& ui) {
    // Until a folder is chosen, a setting is offered the user's own settings
    // folder, made when missing.
    if (st.filterindex == sh_ft_setting && !st.dirchosen) {
        const std::string mine = fi_user_settings_dir();
        if (int err = 0; !mine.empty() && fi_make_dirs(mine, err)) st.settingdir = mine;
    }
    std::string path;
    if (ask_file(st, ui, true, path)) sh_save_path(st, ui, st.filterindex, path);
}

void sh_hdrec_toggle(sh_state& st, const sh_ui& ui) {
    if (st.pg.recording()) {
        st.pg.hd->finish();
        return;
    }
    st.settingfile = st.hdrfil.empty() ? "HDREC.WAV" : st.hdrfil;
    st.filterindex = sh_ft_harddisc;
    sh_save(st, ui);
}

void sh_hdmix_toggle(sh_state& st, const sh_ui& ui) {
    if (st.pg.mixing()) {
        st.pg.mix->close();
        return;
    }
    st.settingfile = st.hdrfil.empty() ? "HDMIX.WAV" : st.hdrfil;
    st.filterindex = sh_ft_harddisc;
    sh_load(st, ui);
}

void sh_close_files(sh_state& st) {
    if (st.pg.recording()) st.pg.hd->finish();
    if (st.pg.mix) st.pg.mix->close();
}
