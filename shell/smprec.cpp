#include "shell/smprec.h"

#include <algorithm>

#include "shell/files.h"

namespace {

const char* const caption_rec = "wave recorder checking ...";

void tell(const sh_ui& ui, const char* text) {
    if (ui.message) ui.message({caption_rec, text, sh_btn_ok, sh_icon_stop});
}

void busy(const sh_ui& ui, bool on) {
    if (ui.busy) ui.busy(on);
}

// Bytes of the sample from its first word, as the device plays or records them.
uint32_t sample_bytes(const sh_state& st) {
    const std::size_t held = st.pg.sample.area.size() >= 24 ? st.pg.sample.area.size() - 24 : 0;
    return static_cast<uint32_t>(std::min<std::size_t>(static_cast<std::size_t>(std::max(st.pg.sample.length, 0)), held));
}

}  // namespace

int32_t sh_record_rate(const sh_state& st) { return wv_rec_rate(st.pg.rate(), st.pg.wvtrate); }

void sh_record_sample(sh_state& st, const sh_ui& ui) {
    const int32_t K = sh_sample_capacity(st);
    const int32_t rate = sh_record_rate(st);
    fi_sample smp;
    busy(ui, true);
    const wv_recres r = ui.capture ? wv_record_sample(*ui.capture, wv_mapper, rate, K, smp, ui.wait)
                                   : wv_recres::not_available;
    busy(ui, false);
    // A recording that did not complete leaves the sample as it was.
    switch (r) {
    case wv_recres::done: break;
    case wv_recres::not_available:
    case wv_recres::start_error: tell(ui, "wave input device not available"); return;
    case wv_recres::prep_error: tell(ui, "wave header preparation error"); return;
    case wv_recres::stalled:
        tell(ui, "the wave input device stopped delivering sound;\nno sample was recorded");
        return;
    case wv_recres::no_memory:
    case wv_recres::interrupted: return;
    }
    st.pg.wvtrate = rate;
    sh_sample_install(st, std::move(smp), K);
    st.pg.smprecorded = true;
}

void sh_test_sample(sh_state& st, const sh_ui& ui) {
    if (!st.pg.smploaded || !ui.output || st.pg.sample.rate <= 0) return;
    busy(ui, true);
    wv_play_blocking(*ui.output, st.opt.wvodevno, wv_mono16(st.pg.sample.rate), st.pg.sample.area.data() + 24,
                     sample_bytes(st), ui.wait);
    busy(ui, false);
}

void sh_background_target(sh_state& st, wv_samplerec& r) {
    r.wvtFormat = wv_mono16(st.pg.wvtrate);
    r.started = 0;
    r.wrote = r.completed = false;
    if (st.pg.smploaded && st.pg.sample.area.size() > 24) {
        r.lpData = st.pg.sample.area.data() + 24;
        r.dwBufferLength = sample_bytes(st);
    } else {
        r.lpData = nullptr;
        r.dwBufferLength = 0;
    }
}

void sh_background_done(sh_state& st, wv_samplerec& r) {
    if (r.wrote && st.pg.smploaded) st.pg.smprecorded = true;
    if (r.completed && st.pg.smploaded) st.pg.sample.rate = r.wvtFormat.nSamplesPerSec;
    r.lpData = nullptr;
    r.dwBufferLength = 0;
}
