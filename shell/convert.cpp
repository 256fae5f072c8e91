#include "shell/convert.h"

#include <string>

#include "files/convert.h"
#include "shell/menu.h"

namespace {

bool ask(const sh_ui& ui, const char* text) {
    return ui.message && ui.message({"Sample Conversion", text, sh_btn_yesno, sh_icon_question}) == sh_ans_yes;
}

// "Adjust Rate ?" answered Yes: the new rate, unless no device plays it
// (a 1 Hz sample halved would be saved at 0 Hz); then the rate stays.
void adjust_rate(fi_sample& smp, const sh_ui& ui, long rate) {
    if (fi_rate_playable(rate)) {
        smp.rate = static_cast<int32_t>(rate);
        return;
    }
    if (ui.message)
        ui.message({"Sample Conversion",
                    std::to_string(rate) + " Hz is outside the playback rates (" + std::to_string(fi_rate_min()) +
                        ".." + std::to_string(fi_rate_max()) + " Hz): the rate stays " + std::to_string(smp.rate) +
                        " Hz",
                    sh_btn_ok, sh_icon_info});
}

}  // namespace

void sh_convert_cmd(sh_state& st, const sh_ui& ui, int id) {
    if (!st.pg.smploaded) return;
    fi_sample& smp = st.pg.sample;
    bool expanded = false;
    switch (id) {
    case cm_conv_expand:
        if (!fi_sample_expand(smp, st.pg.smpszorig)) return;
        expanded = true;
        if (smp.rate <= 22050 && ask(ui, "Adjust Rate ?")) adjust_rate(smp, ui, 2L * smp.rate);
        break;
    case cm_conv_compress:
        if (!fi_sample_compress(smp)) return;
        if (ask(ui, "Adjust Rate ?")) adjust_rate(smp, ui, smp.rate / 2);
        break;
    case cm_conv_optimize:
        fi_sample_optimize(smp);
        return;
    default: return;
    }
    st.pg.smpbytes = smp.length;
    // The active setting's own algorithm, if it plays the sample: its loop
    // and speed parameters may follow the new length.
    const int row = st.fg.s.rov_stdalg;
    if (rov_row_sampling(row) && ask(ui, "Adjust Parameters")) ranovps(st.fg.s, row, !expanded);
}
