// The setting editor's behaviour, independent of the window system.
#include "editor/editor.h"

#include <cstdio>
#include <cstring>

#include "editor/rovscroll.h"
#include "editor/tonality.h"
#include "engine/blocks.h"
#include "engine/scales.h"

namespace {

int16_t* playset(rov_editor& ed) { return &ed.roh->s->rov_p[16 * ed.play->setnr]; }

bool device_open(const rov_editor& ed) { return ed.hk.device_open && ed.hk.device_open(ed.hk.ctx); }

// User activity postpones the emergency, except while recording to disc,
// where the idle count counts the buffers still to record.
void activity(rov_editor& ed) {
    if (!(ed.opt.rec && ed.opt.rec->is_open()) && ed.hk.activity) ed.hk.activity(ed.hk.ctx);
}

void show_status(rov_editor& ed) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "setting %d, scale %d", ed.play->setnr, ed.play->tonr);
    ed.view.status = buf;
}

// The row whose names are shown: in Multiple play the active setting's own.
int naming_row(const rov_editor& ed) {
    return rov_row(ed.algomod).multiple ? ed.roh->s->rov_stdalg : ed.algomod;
}

// Labels and switch caption from the naming record.
void show_names(rov_editor& ed) {
    for (int s = 0; s < rov_ncurr; ++s) ed.view.label[s] = ed.names->rPar[s];
    ed.view.swname = ed.names->rSwi;
}

// Marks slot s (a gliding one) when its gliding value still differs from `target`.
void mark_if_gliding(rov_editor& ed, int s, int target) {
    const bool m = ed.roh->g->rov_currp[s] != target;
    ed.parmorph[s] = m ? 1 : 0;
    RovScr(ed, s, s, m ? 1 : 0);
}

// Page steps of Pitch follow the note table: down to the note below v - 1,
// up to the first note at or above v + 1. Values beyond the table's last
// note stop at its end.
int pitch_page(int v, bool up) {
    constexpr int last = 61;  // index of the end mark
    if (up) {
        v -= 1;
        int j = 1;
        while (j < last && tonnotes[j] < v) ++j;
        return tonnotes[j - 1];
    }
    v += 1;
    int j = 0;
    while (j < last && tonnotes[j] < v) ++j;
    return tonnotes[j];
}

// The scale remembered with set n; a damaged setting file may hold any
// number there, which would index past the ten scales.
int scale_of(const rov_setting& ros, int n) {
    const int t = ros.rov_tonindx[n];
    return t < 0 || t > 9 ? 0 : t;
}

int16_t sat16(int v) { return static_cast<int16_t>(v < -32768 ? -32768 : v > 32767 ? 32767 : v); }

}  // namespace

std::string rov_ed_caption(const char* title, const char* rovfil) {
    std::string c = title;
    if (std::strlen(rovfil) < 16) {
        c += " (";
        c += rovfil;
        c += ")";
    }
    return c;
}

void rov_ed_open(rov_editor& ed, rov_handle* roh, int algomod, int setnr, const char* rovfil,
                 const rov_edopts& opt, const rov_edhooks& hk) {
    if (algomod < 0 || algomod >= rov_natab) algomod = rov_row_empty();
    ed.roh = roh;
    ed.algomod = algomod;
    ed.play->setnr = setnr < 0 || setnr > 9 ? 0 : setnr;
    ed.opt = opt;
    ed.hk = hk;
    ed.view = rov_edview{};
    rov_setting& ros = *roh->s;
    ed.play->tonr = scale_of(ros, ed.play->setnr);

    ed.names = ranovs(naming_row(ed), 0, opt.o->tonalias);
    ed.view.caption = rov_ed_caption(ed.names->rName, rovfil ? rovfil : "");
    show_names(ed);
    show_status(ed);

    ed.boolread = true;
    ed.play->tonal = false;
    ed.view.read = true;
    ed.view.tonal = false;
    ed.view.swcheck = ros.rov_saw[ed.play->setnr] != 0;

    // Q records a sample by hand for a sampling row; otherwise it is Z.
    const bool q = rov_row_sampling(ed.algomod) && opt.sample && opt.o->recsmpopt == -1;
    ed.view.qcaption = q ? "&Q" : "&Z";

    for (int s = 0; s < 16; ++s) {
        const rov_scrollrow r = rovscroll_row(*ed.names, s, opt.o->maxv);
        ed.view.slot[s].min = r.physmin;
        ed.view.slot[s].max = r.physmax;
    }
    RovScr(ed, 0, rov_nparams - 1, 0);
    std::memset(ed.parmorph, 0, sizeof ed.parmorph);
}

void RovScr(rov_editor& ed, int first, int last, int morphmod) {
    int16_t* p = playset(ed);
    for (int s = first; s <= last; ++s) {
        int v = p[s];
        const rov_scrollrow r = rovscroll_row(*ed.names, s, ed.opt.o->maxv);
        if (v > r.physmax)
            v = r.physmax;
        else if (v < r.physmin)
            v = r.physmin;
        p[s] = static_cast<int16_t>(v);
        rov_slotview& sv = ed.view.slot[s];
        if (morphmod != 2) sv.pos = static_cast<int16_t>(v);
        rov_valtext(sv.text, r, v, morphmod == 1 ? '*' : ' ');
        if (s == rov_par::Volume && ed.hk.set_volume) ed.hk.set_volume(ed.hk.ctx, v);
    }
}

void rov_ed_scroll(rov_editor& ed, int s, rov_scrollcode code, int pos) {
    activity(ed);
    if (s < 0 || s >= rov_nparams) return;
    int16_t* p = playset(ed);
    int v = p[s];
    const int k = ed.names->range[s].largeinc;
    switch (code) {
    case rov_sc_lineup: v -= 1; break;
    case rov_sc_linedown: v += 1; break;
    case rov_sc_pageup: v = s == 2 ? pitch_page(v, true) : ((v - 1) / k) * k; break;
    case rov_sc_pagedown: v = s == 2 ? pitch_page(v, false) : (v / k + 1) * k; break;
    case rov_sc_thumbpos:
    case rov_sc_thumbtrack: v = pos; break;
    default: break;
    }
    p[s] = sat16(v);

    // The mark compares the gliding value with the value as scrolled, before
    // the redraw clamps it.
    if (ed.opt.o->shwmorph && device_open(ed) && s < rov_ncurr) {
        if (ed.roh->g->rov_currp[s] != p[s] && p[rov_par::ChgDly] != 0) {
            ed.parmorph[s] = 1;
            RovScr(ed, s, s, 1);
        } else {
            ed.parmorph[s] = 0;
            RovScr(ed, s, s, 0);
        }
    } else {
        RovScr(ed, s, s, 0);
    }
}

bool rov_ed_number_enabled(const rov_editor& ed) {
    // Editing a scale buffer needs the scale editor's window.
    return ed.boolread || !ed.play->tonal || ed.hk.edit_scale;
}

void rov_ed_number(rov_editor& ed, int n) {
    if (n < 0 || n > 9 || !rov_ed_number_enabled(ed)) return;
    activity(ed);
    rov_setting& ros = *ed.roh->s;
    if (ed.boolread && !ed.play->tonal) {  // select a parameter set
        if (n != ed.play->setnr) {
            ed.play->setnr = n;
            int16_t* p = playset(ed);
            std::memcpy(ed.parbkup, p, sizeof ed.parbkup);
            ed.sawbkup = ros.rov_saw[n];
            const bool open = device_open(ed);
            if (open && ed.opt.o->shwmorph) {
                RovScr(ed, rov_par::Rate, rov_par::ChgDly, 0);
                if (p[rov_par::ChgDly] == 0) {
                    std::memset(ed.parmorph, 0, sizeof ed.parmorph);
                    RovScr(ed, 0, rov_ncurr - 1, 0);
                } else {
                    for (int s = 0; s < rov_ncurr; ++s) mark_if_gliding(ed, s, p[s]);
                }
            } else if (!open || ed.opt.o->vistyp == 0) {
                RovScr(ed, 0, rov_nparams - 1, 0);
            }
            // While a visual effect plays over the dialog the scroll bars stay.
            ed.view.swcheck = ros.rov_saw[n] != 0;
            ed.play->tonr = scale_of(ros, n);
        }
    } else if (ed.boolread) {  // assign scale buffer n
        ed.play->tonr = n;
        ed.roh->g->rov_tonupd = 0;
    } else if (!ed.play->tonal) {  // duplicate the playing set into set n
        const int16_t* from = playset(ed);
        int16_t* to = &ros.rov_p[16 * n];
        for (int s = 0; s < 16; ++s) {
            ed.parbkup[s] = to[s];
            to[s] = from[s];
        }
        ed.sawbkup = ros.rov_saw[n];
        ros.rov_saw[n] = ros.rov_saw[ed.play->setnr];
        ed.play->setnr = n;
        ros.rov_tonindx[n] = static_cast<int8_t>(ed.play->tonr);
    } else {  // edit scale buffer n
        const int row = naming_row(ed);
        if (!ton_asks_assign(row) || (ed.hk.ask_assign && ed.hk.ask_assign(ed.hk.ctx))) {
            ed.play->tonr = n;
            ed.roh->g->rov_tonupd = 0;
        }
        show_status(ed);
        if (ed.hk.edit_scale) ed.hk.edit_scale(ed.hk.ctx, n, row);
    }
    show_status(ed);
}

void rov_ed_restore(rov_editor& ed) {
    int16_t* p = playset(ed);
    const bool morph = ed.opt.o->shwmorph;
    if (morph) {
        for (int s = 0; s < rov_ncurr; ++s)
            ed.parmorph[s] = ed.parbkup[rov_par::ChgDly] != 0 && p[s] != ed.parbkup[s] ? 1 : 0;
    }
    std::memcpy(p, ed.parbkup, sizeof ed.parbkup);
    rov_setting& ros = *ed.roh->s;
    ros.rov_saw[ed.play->setnr] = ed.sawbkup;
    if (morph) {
        RovScr(ed, rov_par::Rate, rov_par::ChgDly, 0);
        for (int s = 0; s < rov_ncurr; ++s) RovScr(ed, s, s, ed.parmorph[s]);
    } else {
        RovScr(ed, 0, rov_nparams - 1, 0);
    }
    ed.view.swcheck = ed.sawbkup != 0;
    ed.play->tonr = scale_of(ros, ed.play->setnr);
}

void rov_ed_switch(rov_editor& ed) {
    activity(ed);
    int8_t& sw = ed.roh->s->rov_saw[ed.play->setnr];
    sw = sw ? 0 : 1;
    ed.view.swcheck = sw != 0;
}

void rov_ed_tonality(rov_editor& ed) {
    activity(ed);
    ed.play->tonal = !ed.play->tonal;
    ed.view.tonal = ed.play->tonal;
}

void rov_ed_read(rov_editor& ed) {
    activity(ed);
    ed.boolread = !ed.boolread;
    ed.view.read = ed.boolread;
}

void rov_ed_startstop(rov_editor& ed) {
    if (ed.hk.start_stop) ed.hk.start_stop(ed.hk.ctx);
}

bool rov_ed_opens_mixer(const rov_editor& ed) {
    return rov_row(ed.algomod).multiple || ed.opt.o->fuzztyp > 0 || (ed.opt.mix && ed.opt.mix->is_open());
}

bool rov_ed_pause_enabled(const rov_editor& ed) {
    return rov_ed_opens_mixer(ed) ? ed.hk.mixer != nullptr : true;
}

void rov_ed_pause(rov_editor& ed) {
    // Pause is activity too: after the emergency paused the sound, the
    // button resumes it for another time to play.
    activity(ed);
    if (rov_ed_opens_mixer(ed)) {
        if (ed.hk.mixer) ed.hk.mixer(ed.hk.ctx);
    } else if (ed.hk.pause) {
        ed.hk.pause(ed.hk.ctx);
    }
}

bool rov_ed_q_enabled(const rov_editor& ed) {
    // With "&Manually" the button records a sample; in Multiple play Z
    // rotates the banks, otherwise it opens the player pad.
    if (ed.opt.o->recsmpopt == -1) return ed.hk.record_sample != nullptr;
    return rov_row(ed.algomod).multiple ? ed.hk.rotate != nullptr : ed.hk.play_pad != nullptr;
}

void rov_ed_q(rov_editor& ed) {
    if (!rov_ed_q_enabled(ed)) return;
    if (ed.opt.o->recsmpopt == -1) {
        ed.hk.record_sample(ed.hk.ctx);
        return;
    }
    if (!rov_row(ed.algomod).multiple) {
        ed.hk.play_pad(ed.hk.ctx, ed.play->setnr);
        return;
    }
    const char* rovfil = nullptr;
    if (!ed.hk.rotate(ed.hk.ctx, ed.play->setnr, ed.play->tonr, rovfil)) return;
    if (ed.play->setnr < 0 || ed.play->setnr > 9) ed.play->setnr = 0;
    if (ed.play->tonr < 0 || ed.play->tonr > 9) ed.play->tonr = 0;
    // Another setting is shown: its values, its switch and its names; the
    // marks belonged to the one before.
    std::memset(ed.parmorph, 0, sizeof ed.parmorph);
    RovScr(ed, 0, rov_nparams - 1, 0);
    ed.view.swcheck = ed.roh->s->rov_saw[ed.play->setnr] != 0;
    ed.names = ranovs(naming_row(ed), 0, ed.roh->g->rov_tonalias != 0);
    ed.view.caption = rov_ed_caption(ed.names->rName, rovfil ? rovfil : "");
    show_names(ed);
}

bool rov_ed_next_enabled(const rov_editor& ed) { return ed.boolread; }

void rov_ed_next(rov_editor& ed) {
    if (!ed.boolread) return;
    const int n = ed.play->tonal ? ed.play->tonr : ed.play->setnr;
    rov_ed_number(ed, n == 9 ? 0 : n + 1);
}

void rov_ed_recover(rov_editor& ed) {
    if (!ed.boolread) return;
    rov_ed_number(ed, ed.play->tonal ? ed.play->tonr : ed.play->setnr);
}

void rov_ed_rate(rov_editor& ed, bool half) {
    ranovpd(*ed.roh->s, ed.play->setnr, ed.algomod, half);
    RovScr(ed, 0, rov_par::Rate, 0);
}

bool rov_ed_help(const rov_editor& ed, int x, int y, rov_helpbox& out) {
    return teswinhlp(out, naming_row(ed), x, y, ed.boolread, ed.play->tonal, ed.play->setnr,
                     ed.roh->g->rov_tonalias != 0);
}

std::string rov_ed_tip(const rov_editor& ed, int item) {
    rov_helpbox hb;
    if (!teswinhlp_item(hb, item, naming_row(ed), ed.boolread, ed.play->tonal, ed.play->setnr,
                        ed.roh->g->rov_tonalias != 0))
        return {};
    return rov_help_tip(hb);
}

bool rov_ed_finish_morph(rov_editor& ed, int x, int y) {
    return teswinmph(ed.roh, ed.play->setnr, x, y);
}

void rov_ed_unmark_all(rov_editor& ed) {
    if (!ed.opt.o->shwmorph) return;
    for (int s = 0; s < rov_ncurr; ++s) {
        if (ed.parmorph[s]) {
            ed.parmorph[s] = 0;
            RovScr(ed, s, s, 2);
        }
    }
}

void rov_ed_unmark_arrived(rov_editor& ed) {
    if (!ed.opt.o->shwmorph) return;
    const int16_t* p = playset(ed);
    for (int s = 0; s < rov_ncurr; ++s) {
        if (ed.parmorph[s] && ed.roh->g->rov_currp[s] == p[s]) {
            ed.parmorph[s] = 0;
            RovScr(ed, s, s, 2);
        }
    }
}

std::string rov_ed_dump(const rov_editor& ed) {
    const rov_edview& v = ed.view;
    std::string d = "caption=" + v.caption + "\n";
    for (int s = 0; s < rov_ncurr; ++s) d += "label" + std::to_string(s) + "=" + v.label[s] + "\n";
    d += std::string("switch=") + v.swname + "\n";
    d += std::string("switchcheck=") + (v.swcheck ? "1" : "0") + "\n";
    for (int s = 0; s < 16; ++s) {
        d += "value" + std::to_string(s) + "=" + v.slot[s].text + "\n";
        d += "pos" + std::to_string(s) + "=" + std::to_string(v.slot[s].pos) + "\n";
    }
    d += std::string("tonality=") + (v.tonal ? "1" : "0") + "\n";
    d += std::string("read=") + (v.read ? "1" : "0") + "\n";
    d += "status=" + v.status + "\n";
    d += std::string("q=") + v.qcaption + "\n";
    return d;
}
