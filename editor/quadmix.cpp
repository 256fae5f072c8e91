#include "editor/quadmix.h"

void qu_build(qumix& m, wv_stream& ws, const char* const files[4], const char* wav, bool mixopen) {
    m = qumix{};
    m.qu_wav = wav ? wav : "";
    m.qu_hdrf = mixopen;
    m.qu_pbmix = &ws.opt->playbmix;
    m.qu_pbmix_max = wv_opt_mixlevel.hi;
    m.qu_pbmix_page = wv_opt_mixlevel.lstep;
    m.qu_fztyp = static_cast<int16_t>(ws.opt->fuzztyp);
    m.qu_fzlev = &ws.opt->fuzzlev;
    m.qu_mainalg = ws.algomod;
    for (int k = 0; k < 4; ++k) {
        onetrmix& t = m.qutr[k];
        t.qu_file = files && files[k] ? files[k] : "";
        if (k == 0) {
            t.qu_alg = ws.roh->s->rov_stdalg;
            t.qu_shift = &ws.roh->g->rov_volshift;
            t.qu_stopped = &ws.roh->g->rov_stopped;
            t.qu_setnr = ws.setnr;
        } else if (ws.banks) {
            t.qu_alg = ws.banks->rosbk[k - 1].rov_stdalg;
            t.qu_shift = &ws.banks->rogbk[k - 1].rov_volshift;
            t.qu_stopped = &ws.banks->rogbk[k - 1].rov_stopped;
            t.qu_setnr = ws.banks->setnrbk[k - 1];
        }
    }
}
