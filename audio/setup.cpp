#include "audio/setup.h"

#include "audio/chain.h"
#include "audio/refill.h"
#include "engine/rows.h"

fi_setup wv_setup_from(const wv_options& o, int algomod) {
    fi_setup f;
    for (int i = 0; i < wv_optlist_n; ++i)
        if (const wv_optdesc& d = *wv_optlist[i]; d.store) d.store(f, d.get(o));
    f.recsmp = o.recsmpopt;
    f.wvodv = static_cast<int32_t>(o.wvodevno);  // the mapper is stored as all ones
    f.almod = static_cast<uint8_t>(algomod);
    f.stereoset = o.stereoset;
    return f;
}

namespace {

bool within(long v, long lo, long hi) { return v >= lo && v <= hi; }

// The options of one record that the table stores: a switch takes any
// byte, a value one in its stored range. While a recording is open the
// options locked by it stay.
void apply_record(const fi_setup& f, int record, wv_options& o, bool recording) {
    for (int i = 0; i < wv_optlist_n; ++i) {
        const wv_optdesc& d = *wv_optlist[i];
        if (!d.stored || d.record != record) continue;
        if (recording && (d.lock & wv_lock_setup)) continue;
        const long v = d.stored(f);
        if (d.kind == wv_opt_toggle)
            d.set(o, v != 0);
        else if (within(v, d.stored_lo, d.stored_hi))
            d.set(o, static_cast<int>(v));
    }
}

}  // namespace

bool wv_setup_apply(const fi_setup& f, int records, wv_setup_target& t) {
    if (records < 1) return true;
    wv_options& o = *t.opt;
    const bool recording = t.rec && t.rec->is_open();

    apply_record(f, 1, o, recording);
    if (t.volshift) *t.volshift = rov_volshift_for(o.maxv);
    o.recsmpopt = f.recsmp < -2 ? -2 : f.recsmp;

    // A known device is presumed to play 16-bit stereo until its
    // capabilities say otherwise; an unknown one gives the mapper, mono.
    const bool known = f.wvodv == -1 || f.wvodv == -2 || within(f.wvodv, 0, 3);
    o.wvodevno = known ? static_cast<unsigned>(f.wvodv) : wv_mapper;
    o.stereo16 = known;
    // A row outside the table is the empty algorithm, as for a setting file.
    if (t.algomod) *t.algomod = f.almod < rov_natab ? f.almod : rov_row_empty();

    wv_caps caps;
    const bool ok = t.probe && t.probe(o.wvodevno, caps);
    o.woc = ok ? caps : wv_caps{};
    if (!wv_stereo16(o.woc)) o.stereo16 = false;
    if (!recording) o.stereoset = o.stereo16;

    if (records >= 2) {
        apply_record(f, 2, o, recording);
        // A recording keeps its format; stereo is only ever turned off here,
        // never on.
        if (!recording && f.stereoset == 0) o.stereoset = false;
    }
    return ok;
}
