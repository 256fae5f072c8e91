#include "audio/setup.h"

#include "audio/chain.h"
#include "audio/refill.h"
#include "engine/rows.h"

fl_setup wv_setup_from(const wv_options& o, int algomod) {
    fl_setup f;
    f.bufsiz0 = o.bufszorig;
    f.sampmaxid = o.sampmaxidle;
    f.recsmp = o.recsmpopt;
    f.wvodv = static_cast<int32_t>(o.wvodevno);  // the mapper is stored as all ones
    f.maxvoc = static_cast<uint8_t>(o.maxv);
    f.almod = static_cast<uint8_t>(algomod);
    f.empha = o.emphas;
    f.tonalia = o.tonalias;
    f.emerge = o.emergency;
    f.emrot = o.emrotate;
    f.wvomea = o.wvomeasure;
    f.playpaus = static_cast<int16_t>(o.playpaus);
    f.dispmode = static_cast<int16_t>(o.dispmode);
    f.blowopt = static_cast<int16_t>(o.blowopt);
    f.playbmix = static_cast<int16_t>(o.playbmix);
    f.fuzzlev = static_cast<int16_t>(o.fuzzlev);
    f.fuzztyp = static_cast<int16_t>(o.fuzztyp);
    f.vistyp = static_cast<int16_t>(o.vistyp);
    f.autotempo = o.autotempo;
    f.shwmorph = o.shwmorph;
    f.stereoset = o.stereoset;
    // Stored only when not the default: a default setup stays the 42 bytes
    // that every version reads alike.
    f.latency = static_cast<int16_t>(o.latency_ms != wv_latency_default_ms ? o.latency_ms : 0);
    return f;
}

namespace {

bool within(long v, long lo, long hi) { return v >= lo && v <= hi; }

// The second record: play pauses, display, blow-up, mix level, fuzz, visuals.
void apply_second(const fl_setup& f, wv_options& o, bool recording) {
    if (within(f.playpaus, 1, 64)) o.playpaus = f.playpaus;
    if (within(f.dispmode, wv_disp_off, wv_disp_alllevels)) o.dispmode = f.dispmode;
    if (within(f.blowopt, 0, 6)) o.blowopt = f.blowopt;
    if (within(f.playbmix, 0, 300)) o.playbmix = f.playbmix;
    if (within(f.fuzzlev, 0, 1600)) o.fuzzlev = f.fuzzlev;
    if (f.fuzztyp >= 0) o.fuzztyp = f.fuzztyp;
    if (f.vistyp >= 0) o.vistyp = f.vistyp;
    o.shwmorph = f.shwmorph != 0;
    // A recording keeps its tempo and its format; stereo is only ever
    // turned off here, never on.
    if (!recording) {
        o.autotempo = f.autotempo != 0;
        if (f.stereoset == 0) o.stereoset = false;
    }
}

}  // namespace

bool wv_setup_apply(const fl_setup& f, int records, wv_setup_target& t) {
    if (records < 1) return true;
    wv_options& o = *t.opt;

    if (within(f.maxvoc, 1, 64)) o.maxv = f.maxvoc;
    if (t.volshift) *t.volshift = rov_volshift_for(o.maxv);

    o.recsmpopt = f.recsmp < -2 ? -2 : f.recsmp;
    if (within(f.bufsiz0, wv_setup_bufmin, wv_setup_bufmax)) {
        o.bufszorig = f.bufsiz0 & ~1023;
        o.bufincr = wv_bufincr(o.bufszorig);
    }
    o.emphas = f.empha != 0;
    o.tonalias = f.tonalia != 0;
    o.emergency = f.emerge != 0;
    o.emrotate = f.emrot != 0;
    o.wvomeasure = f.wvomea != 0;
    if (within(f.sampmaxid, wv_setup_idlemin, wv_setup_idlemax)) o.sampmaxidle = f.sampmaxid;
    if (within(f.latency, wv_latency_min_ms, wv_latency_max_ms)) o.latency_ms = f.latency;

    // A known device is presumed to play 16-bit stereo until its
    // capabilities say otherwise; an unknown one gives the mapper, mono.
    const bool known = f.wvodv == -1 || within(f.wvodv, 0, 3);
    o.wvodevno = known ? static_cast<unsigned>(f.wvodv) : wv_mapper;
    o.stereo16 = known;
    // A row outside the table is the empty algorithm, as for a setting file.
    if (t.algomod) *t.algomod = f.almod < rov_natab ? f.almod : rov_row_empty();

    wv_caps caps;
    const bool ok = t.probe && t.probe(o.wvodevno, caps);
    o.woc = ok ? caps : wv_caps{};
    if (!wv_stereo16(o.woc)) o.stereo16 = false;
    const bool recording = t.rec && t.rec->is_open();
    if (!recording) o.stereoset = o.stereo16;

    if (records >= 2) apply_second(f, o, recording);
    return ok;
}
