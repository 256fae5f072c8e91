// Help boxes and morph finishing of the setting editor.
#include "editor/teswin.h"

#include <cstdio>

#include "editor/catalogue.h"

namespace {

enum { item_none = -1 };

// The item under (x, y); the first region that contains the point wins. The
// regions cover the labels and the background beside the buttons.
int helpitem(int x, int y) {
    if (x >= 10 && x <= 74 && y >= 10 && y <= 139) return (y - 10) / 10;
    if (x >= 175 && x <= 264 && y >= 10 && y <= 29) return (x - 175) / 30 + 13;
    if (x >= 167 && x <= 185 && y >= 30 && y <= 129)
        return y < 110 ? rov_hi_numbered : y < 120 ? rov_hi_v : rov_hi_q;
    if (x >= 170 && x <= 194 && y >= 140 && y <= 149) return rov_hi_switch;
    if (x >= 10 && x <= 99 && y >= 152) return x < 50 ? rov_hi_tonality : rov_hi_read;
    if (x >= 105 && x <= 229 && y >= 144) return x < 170 ? rov_hi_status : rov_hi_play;
    return item_none;
}

void namehelp(rov_helpbox& out, const char* t) {
    out.caption = t;
    out.text = rov_helptext(t);
}

}  // namespace

std::string rov_help_tip(const rov_helpbox& hb) {
    auto blank = [](const std::string& t) { return t.find_first_not_of(" \n") == std::string::npos; };
    if (blank(hb.text)) return blank(hb.caption) ? std::string() : hb.caption;
    return blank(hb.caption) ? hb.text : hb.caption + "\n" + hb.text;
}

bool teswinhlp(rov_helpbox& out, int algomod, int x, int y, bool rd, bool sca, int setnr,
               bool tvar) {
    return teswinhlp_item(out, helpitem(x, y), algomod, rd, sca, setnr, tvar);
}

bool teswinhlp_item(rov_helpbox& out, int item, int algomod, bool rd, bool sca, int setnr, bool tvar) {
    if (item < 0 || item == 16 || item > rov_hi_play) return false;
    const rov_strg* r = ranovs(algomod, setnr, tvar);
    if (item <= 15) {
        namehelp(out, r->rPar[item]);
        return true;
    }
    switch (item) {
    case rov_hi_switch:
        namehelp(out, r->rSwi);
        break;
    case rov_hi_numbered:
        out.caption = "numbered buttons";
        if (!sca)
            out.text = rd ? "Select another soundscape" : "Duplicate soundscape parameters";
        else
            out.text = rd ? r->rNumAssg : r->rNumChg;
        break;
    case rov_hi_v:
        out.caption = "V button";
        out.text =
            "If you changed parameters after selecting\nanother soundscape, you can restore the\n"
            "original setting";
        break;
    case rov_hi_q:
        out.caption = "Z or Q button";
        out.text =
            "Start wave tessellon player panel, or\nget a new sample while playing (Q), or\n"
            "switch from track to track (Quad Track Player)";
        break;
    case rov_hi_tonality: {
        out.caption = "Tonality button";
        char buf[160];
        std::snprintf(buf, sizeof buf,
                      "assign, view or edit %s buffer\ninstead of soundscape parameters",
                      r->rPar[4]);
        out.text = buf;
        break;
    }
    case rov_hi_read:
        out.caption = "Read button";
        out.text = "read/assign\ninstead of duplicate/edit";
        break;
    case rov_hi_status:
        out.caption = "message line";
        out.text =
            "showing soundscape setting and scale buffer\nnumber, playback buffer countdown, and "
            "optionally\nthe processor charge";
        break;
    default:  // rov_hi_play
        out.caption = "Start, Stop, Pause, Exit";
        out.text =
            "Stop interrupts the sound output.\nPause performs a soft fade out.\nIn the Quad Track "
            "Player, Pause calls the mixer.\nExit closes this window, also stopping the sound";
        break;
    }
    return true;
}

bool teswinmph(rov_handle* roh, int setnr, int x, int y) {
    if (setnr < 0 || setnr > 9) return false;
    const int16_t* p = &roh->s->rov_p[16 * setnr];
    if (x >= 10 && x <= 74 && y >= 10 && y <= 139) {
        const int r = (y - 10) / 10;
        roh->g->rov_currp[r] = p[r];
        return true;
    }
    if (x >= 235 && x <= 264 && y >= 10 && y <= 29) {
        for (int r = 0; r < rov_ncurr; ++r) roh->g->rov_currp[r] = p[r];
        return true;
    }
    return false;
}
