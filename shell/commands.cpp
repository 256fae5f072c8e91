#include "shell/commands.h"

#include <cstdio>

#include "audio/refill.h"
#include "shell/calc.h"
#include "shell/convert.h"
#include "shell/files.h"
#include "shell/info.h"
#include "shell/menu.h"
#include "shell/smprec.h"

namespace {

std::string fmt(const char* f, auto... a) {
    char buf[256];
    std::snprintf(buf, sizeof buf, f, a...);
    return buf;
}

const char* const caption_exit = "WAVE TESSELLON TERMINATING";

// Runs the parameter dialog on the scratch value loaded with `v`; returns
// the value the dialog leaves (the old one after "&Cancel").
int edit_value(sh_state& st, const sh_ui& ui, const pardef& d, int v) {
    st.infoYpos1 = v;
    if (ui.pardlg) ui.pardlg(pd_on(d, &st.infoYpos1));
    return st.infoYpos1;
}

// Opens the editor on a row that can be started; a row that cannot (a
// setting may name one) is refused with a message.
void open_editor(sh_state& st, const sh_ui& ui, int row) {
    if (!sh_row_startable(st, row)) {
        const rov_rowdesc& d = rov_row(row);
        if (ui.message)
            ui.message({"WAVE-TESSELLON", std::string("\"") + d.tab.title + "\"\n" +
                                              (rov_row_sampling(row) && rov_row_computed(row)
                                                   ? "needs a sample: record or load one first."
                                                   : "is not available in this version."),
                        sh_btn_ok, sh_icon_info});
        return;
    }
    st.algomod = row;
    if (ui.editor) ui.editor(row);
}

void help_page(const sh_ui& ui, int row) {
    if (ui.help) ui.help("RANOVSP" + std::to_string(row));
}

}  // namespace

int sh_icon_period(const sh_state& st) { return st.pg.rate() > 0 ? 5000000 / st.pg.rate() : 800; }

void sh_set_voices(sh_state& st, int maxv) {
    st.opt.maxv = maxv;
    st.fg.g.rov_volshift = rov_volshift_for(maxv);
}

sh_question sh_info_buffers(const sh_state& st) {
    return {"WAVE-TESSELLON INFO",
            fmt("Buffer Size: %ld  Max. Voices: %ld\nDensity Mod: %d  Dynamic Mod: %d\n",
                static_cast<long>(st.opt.bufszorig) - 1024, static_cast<long>(st.opt.maxv),
                static_cast<int>(st.fg.s.rov_densmod), static_cast<int>(st.fg.s.rov_dynmod)),
            sh_btn_okcancel, sh_icon_info};
}

sh_question sh_info_setting(const sh_state& st) {
    const rov_setting& s = st.fg.s;
    return {"WAVE-TESSELLON SETTING",
            fmt("Current Setting: %d  Current Scale: %d\nPitch Mod: %d  Tonality Mod: %d\n"
                "Panning Mod: %d\n",
                st.pg.ws.setnr, st.pg.ws.tonr, static_cast<int>(s.rov_pitmod), static_cast<int>(s.rov_tonmod),
                static_cast<int>(s.rov_panmod)),
            sh_btn_ok, sh_icon_info};
}

void sh_select_device(sh_state& st, const sh_ui& ui, uint32_t devno) {
    st.opt.wvodevno = devno;
    // A fresh record: a device that does not answer must not keep the
    // formats of the device chosen before.
    sh_woc caps;
    const bool ok = ui.probe && ui.probe(devno, caps);
    st.opt.woc = ok ? caps : sh_woc{};
    if (!ok && ui.message)
        ui.message({"wave player checking ..", "wave output device not available", sh_btn_ok,
                    sh_icon_stop});
    st.opt.stereo16 = st.opt.stereoset = (st.opt.woc.dwFormats & sh_stereo16_bits) != 0;
}

int sh_probe_at_start(sh_state& st, const sh_ui& ui) {
    int flag = 0;
    sh_woc caps;
    if (ui.probe && ui.probe(sh_mapper, caps)) {
        flag = 2;
    } else {
        st.opt.wvodevno = 0;
        caps = sh_woc{};
        if (ui.probe && ui.probe(0, caps)) flag = 4;
        else caps = sh_woc{};
    }
    st.opt.woc = caps;
    st.opt.stereo16 = st.opt.stereoset = (caps.dwFormats & sh_stereo16_bits) != 0;
    if (st.opt.stereo16 && flag > 0) ++flag;
    return flag;
}

sh_question sh_intro_question(int introcap) {
    if (introcap > 0)
        return {"WAVE-TESSELLON STARTING", "Start intro with sound output ?", sh_btn_yesnocancel,
                sh_icon_question};
    return {"WAVE-TESSELLON STARTING", "Start intro ?", sh_btn_yesno, sh_icon_question};
}

int sh_intro_answer(int introcap, sh_answer a) {
    if (introcap > 0) {
        if (a == sh_ans_no) return 0;
        if (a == sh_ans_cancel) return -1;
        return introcap;
    }
    return a == sh_ans_no ? -1 : introcap;
}

std::vector<sh_question> sh_close_questions(const sh_state& st) {
    std::vector<sh_question> q;
    if (st.pg.recording())
        q.push_back({caption_exit,
                     "hard disc recording in progress,\nyour recorded file will be closed,\nif "
                     "you terminate. Terminate?",
                     sh_btn_yesno, sh_icon_stop});
    if (st.pg.smprecorded)
        q.push_back({caption_exit, "You recorded a sample, but you did\nnot store it. Terminate?",
                     sh_btn_yesno, sh_icon_stop});
    if (q.empty())
        q.push_back({caption_exit, "Thank you for using the WAVE TESSELLON!\nTerminate now?",
                     sh_btn_yesno, sh_icon_question});
    return q;
}

bool sh_close_request(const sh_state& st, const sh_ui& ui) {
    for (const sh_question& q : sh_close_questions(st))
        if (!ui.message || ui.message(q) != sh_ans_yes) return false;
    return true;
}

void sh_sys_start_cmd(sh_state& st, const sh_ui& ui) {
    st.icontim = 0;
    open_editor(st, ui, st.fg.s.rov_stdalg);
}

namespace {

// A switch of the menu: turned over unless a recording locks it; false
// when the option is none.
bool toggle_option(sh_state& st, const wv_optdesc& d) {
    if (d.kind != wv_opt_toggle) return false;
    if (!(st.pg.recording() && (d.lock & wv_lock_menu))) d.set(st.opt, !d.get(st.opt));
    return true;
}

// The dialog of a number option, on the value as the user sees it.
void edit_option(sh_state& st, const sh_ui& ui, const wv_optdesc& d) {
    d.set(st.opt, edit_value(st, ui, pd_of(d), d.get(st.opt) / d.unit) * d.unit);
}

// Choice k of an option, then the dialog that goes with it. A device is
// probed when it is chosen.
void choose(sh_state& st, const sh_ui& ui, const wv_optdesc& d, int k) {
    const wv_choice& c = d.choices[k];
    if (&d == &wv_opt_device)
        sh_select_device(st, ui, static_cast<uint32_t>(c.value));
    else
        d.set(st.opt, c.value);
    if (c.then) edit_option(st, ui, *c.then);
}

// The item of an option (k = -1) or its choice k.
void option_command(sh_state& st, const sh_ui& ui, const wv_optdesc& d, int k) {
    if (k >= 0) {
        choose(st, ui, d, k);
        return;
    }
    if (&d == &wv_opt_jack) {
        sh_select_device(st, ui, d.get(st.opt) ? wv_mapper : wv_jack_devno);
        // MIDI out follows the device: JACK's own port, or ALSA's sequencer.
        if (std::string why; st.opt.midi && !wv_program_midi(st.pg, why) && ui.message)
            ui.message({"MIDI Out", why + ".\nThe sound plays on without MIDI.", sh_btn_ok, sh_icon_info});
        return;
    }
    if (toggle_option(st, d)) {
        // MIDI out takes effect at once, and says so when it has nowhere to go.
        if (std::string why; &d == &wv_opt_midi && !wv_program_midi(st.pg, why) && ui.message)
            ui.message({"MIDI Out", why + ".\nThe sound plays on without MIDI.", sh_btn_ok, sh_icon_info});
        return;
    }
    if (&d == &wv_opt_voices)
        sh_set_voices(st, edit_value(st, ui, pd_of(wv_opt_voices), st.opt.maxv));
    else
        edit_option(st, ui, d);
}

// The commands that open a dialog or a box.
void dialog_command(sh_state& st, const sh_ui& ui, int id) {
    rov_setting& ros = st.fg.s;
    switch (id) {
    case cm_default: open_editor(st, ui, ros.rov_stdalg); break;
    case cm_load: sh_load(st, ui); break;
    case cm_save: sh_save(st, ui); break;
    case cm_hdmix: sh_hdmix_toggle(st, ui); break;
    case cm_hdrec: sh_hdrec_toggle(st, ui); break;
    case cm_testsample: sh_test_sample(st, ui); break;
    case cm_recsample: sh_record_sample(st, ui); break;
    case cm_densmod: ros.rov_densmod = static_cast<int16_t>(edit_value(st, ui, pdfdensmd, ros.rov_densmod)); break;
    case cm_dynmod: ros.rov_dynmod = static_cast<int16_t>(edit_value(st, ui, pdfdynmd, ros.rov_dynmod)); break;
    case cm_modcalc:
        if (ui.calc) ui.calc(ros);
        break;
    case cm_showcaps:
        if (ui.caps) ui.caps(st.opt.woc, st.opt.wvodevno);
        break;
    case cm_parameters:
        if (ui.message && ui.message(sh_info_buffers(st)) == sh_ans_ok) ui.message(sh_info_setting(st));
        break;
    default:
        for (const std::string& page : sh_info_pages_of(st, id))
            if (ui.help) ui.help(page);
        break;
    }
}

}  // namespace

void sh_command(sh_state& st, const sh_ui& ui, int id) {
    if (id == 0 || !sh_available(id)) return;
    if ((id >= 3 && id <= 17) || id == cm_testsample || id == cm_recsample) st.icontim = 0;

    const int row = sh_row_of_command(id);
    if (row >= 0) {
        if (sh_row_startable(st, row)) open_editor(st, ui, row);
    } else if (id >= cm_conv_expand && id <= cm_conv_last) {
        sh_convert_cmd(st, ui, id);
    } else if (id == cm_fuzz_same) {
        // The type stays; its degree, unless fuzz is off.
        if (st.opt.fuzztyp > 0) edit_option(st, ui, wv_opt_fuzzlevel);
    } else if (int k = -1; const wv_optdesc* d = wv_opt_of_menu(id, &k)) {
        option_command(st, ui, *d, k);
    } else {
        dialog_command(st, ui, id);
    }
    if (st.icontim == 0) st.icontim = sh_icon_period(st);
}

const char* const sh_slot_icon[sh_nslots + 1] = {
    nullptr,   "WVTLOAD", "WVTSAVE", "WVTEXIT", "WVTCALC", "SMPTEST",
    "WVTESSEL", "SMPRECORD", "WVMULPL", "HDRECSS", "HDMIXSS"};

sh_hit sh_hittest(int x, int y, bool shift) {
    if (y >= sh_band_top && y <= sh_band_bottom) {
        for (int k = 1; k <= sh_nslots; ++k)
            if (x >= sh_slot_x(k) && x <= sh_slot_x(k) + sh_icon_size - 1) return {sh_hit_slot, k};
        if (shift) return {};
    }
    for (int r = 0; r < rov_natab; ++r) {
        const rov_rowdesc& d = rov_row(r);
        if (d.multiple || d.empty) continue;  // Multiple play is toolbar slot 8; the empty one fills the gaps
        const rov_algtab& a = d.tab;
        if (x >= a.ixpos && x <= a.ixpos + sh_icon_size - 1 && y >= a.iypos &&
            y <= a.iypos + sh_icon_size - 1)
            return {sh_hit_row, r};
    }
    if (y < 45 || (y >= 85 && y < 117)) return {sh_hit_row, rov_row_empty()};
    return {};
}

sh_question sh_slot_help(const sh_state& st, int k) {
    switch (k) {
    case 1: return {"Load ...", "", sh_btn_ok, sh_icon_info};
    case 2: return {"Save ...", "", sh_btn_ok, sh_icon_info};
    case 3: return {"Exit ...", "", sh_btn_ok, sh_icon_info};
    case 4: {
        const rov_helpbox hb = sh_calc_help(sh_cc_ok);
        return {hb.caption, hb.text, sh_btn_ok, sh_icon_info};
    }
    case 5: return {"Sample Test ...", "", sh_btn_ok, sh_icon_info};
    case 7:
        return {"Sample Record ...",
                fmt("(%d Hz, %ld Bytes)", static_cast<int>(sh_record_rate(st)),
                    static_cast<long>(sh_sample_capacity(st))),
                sh_btn_ok, sh_icon_info};
    case 9: {
        const int setnr = (st.pg.ws.setnr >= 0 && st.pg.ws.setnr < rov_nsets) ? st.pg.ws.setnr : 0;
        const long rate = rov_rate(st.fg.s.rov_p[rov_nparams * setnr + rov_par::Rate]);
        return {"Harddisc Recording ...", st.pg.recording() ? "Stop" : fmt("Start (%ld Hz)", rate),
                sh_btn_ok, sh_icon_info};
    }
    case 10:
        return {"Harddisc Mixing In ...", st.pg.mixing() ? "Stop" : "Start", sh_btn_ok, sh_icon_info};
    default: return {};
    }
}

sh_result sh_click(sh_state& st, const sh_ui& ui, int x, int y, bool shift) {
    const sh_hit h = sh_hittest(x, y, shift);
    if (h.kind == sh_hit_slot) {
        const int k = h.n;
        if (shift) {
            if (k == 6) help_page(ui, st.fg.s.rov_stdalg);
            else if (k == 8) help_page(ui, rov_row_multiple());
            else if (ui.message) ui.message(sh_slot_help(st, k));
        } else {
            static const int slot_cmd[sh_nslots + 1] = {0,  cm_load, cm_save, 0,        cm_modcalc,
                                                        cm_testsample, 0, cm_recsample, 0,
                                                        cm_hdrec, cm_hdmix};
            if (k == 3) {
                if (sh_close_request(st, ui)) return sh_res_quit;
            } else if (k == 6) {
                st.icontim = 0;
                open_editor(st, ui, st.fg.s.rov_stdalg);
                st.icontim = sh_icon_period(st);
            } else if (k == 8) {
                if (sh_row_startable(st, rov_row_multiple())) {
                    st.icontim = 0;
                    open_editor(st, ui, rov_row_multiple());
                    st.icontim = sh_icon_period(st);
                }
            } else {
                sh_command(st, ui, slot_cmd[k]);
            }
        }
    } else if (h.kind == sh_hit_row) {
        if (shift) {
            help_page(ui, h.n);
        } else if (sh_row_startable(st, h.n)) {
            st.icontim = 0;
            open_editor(st, ui, h.n);
        }
    }
    if (st.icontim == 0) st.icontim = sh_icon_period(st);
    return sh_res_none;
}
