#include "shell/menu.h"

#include <cstring>

namespace {
constexpr sh_menuitem P(const char* t) { return {sh_mk_popup, 0, t}; }
constexpr sh_menuitem I(int id, const char* t) { return {sh_mk_item, id, t}; }
constexpr sh_menuitem E() { return {sh_mk_end, 0, nullptr}; }
constexpr sh_menuitem Cancel() { return {sh_mk_item, 0, "&Cancel"}; }
constexpr sh_menuitem CAncel() { return {sh_mk_item, 0, "C&ancel"}; }
}  // namespace

// Every popup starts with its cancel item; "C&ancel" where "&C" is taken.
const sh_menuitem sh_menutab[] = {
    P("&File"),
      Cancel(),
      I(1, "&Load"), I(2, "&Save"),
      I(123, "Harddisc &Mix"), I(124, "&Harddisc Rec"),
      I(125, "&Test Sample"), I(126, "&Record Sample"),
    E(),
    P("&Edit/Play"),
      Cancel(),
      P("E&xperimental"),
        Cancel(),
        I(3, "&Panning"), I(4, "&Dual Oscillator"), I(5, "Two &Scales"), I(6, "&Minimal"),
        I(7, "&Ambient"), I(8, "&Intervals"), I(15, "Ch&ords"),
      E(),
      P("&Sampling"),
        Cancel(),
        I(9, "&Intervals"), I(10, "Cross&fade"), I(11, "&Static"),
      E(),
      P("&Phrase"),
        Cancel(),
        I(12, "&Fantasy"), I(13, "&Session"), I(14, "&Jazzy"),
      E(),
      I(16, "&Default"), I(17, "&Multiple"),
      P("V&3"),
        Cancel(),
        I(18, "&Envelope"), I(19, "&PitchRanges"), I(20, "&Sample Phrase"),
        I(21, "Cl&uster Chords"), I(22, "&Ostinato "),
      E(),
      P("V&4"),
        Cancel(),
        I(23, "&Waveforms"), I(24, "&LFO"), I(25, "&MultiLoop"),
      E(),
    E(),
    P("&Options"),
      CAncel(),
      P("&Setup"),
        CAncel(),
        I(45, "&Buffer Size"), I(63, "Buff.Bea&t"),
        I(46, "Variation &Density"), I(47, "Variation D&ynamic"), I(48, "Voice &Numbers"),
        P("Time to &play"),
          Cancel(),
          I(76, "&Test"), I(77, "&Short"), I(78, "&Normal"), I(79, "&Long"),
        E(),
        I(80, "Timbre &Variation"), I(81, "&Emphasis"), I(82, "E&mergency Play"),
        I(65, "Time &Gap Size"), I(83, "&Rotate"), I(66, "L&atency"),
        P("D&isplay"),
          Cancel(),
          I(49, "&Off"), I(50, "Cre&dit"), I(51, "&Buffer"), I(52, "&Time"), I(53, "&Level"),
          I(54, "&All Levels"),
        E(),
        I(84, "Mea&sure"), I(64, "S&how Morph"),
        P("Re&cord Samples"),
          Cancel(),
          I(91, "&No"), I(92, "&Manually"), I(93, "&Permanent"), I(94, "&5"), I(95, "&20"),
          I(96, "&100"),
        E(),
      E(),
      P("&Blow Up"),
        Cancel(),
        I(130, "&None"), I(131, "&Stepped2"), I(132, "Linear&2"), I(133, "Cu&bic2"),
        I(134, "S&tepped4"), I(135, "Linear&4"), I(136, "C&ubic4"),
      E(),
      P("&Convert Sample"),
        CAncel(),
        I(141, "E&xpand"), I(142, "&Compress"), I(143, "&Optimize"),
      E(),
      P("&Fuzz"),
        Cancel(),
        I(151, "Sa&me"), I(152, "&None"), I(153, "Cli&p"), I(154, "&Knee"), I(155, "&Sine"),
        I(156, "&Reso"), I(157, "ResC&hor"), I(158, "Ch&orus"), I(159, "&Bias"),
      E(),
      P("&Visual Effects"),
        Cancel(),
        I(161, "&None"), I(162, "&Pastel Circles"), I(163, "&Balls"), I(164, "&Rosette"),
        I(165, "&Lightshow"), I(166, "&Algorithmic"), I(167, "&Waveform"), I(168, "Pi&xel"),
      E(),
      P("&Output Device"),
        Cancel(),
        I(85, "&Show Caps"), I(97, "&Mono 8 bit"),
        I(86, "&WAVE MAPPER"), I(87, "&0"), I(88, "&1"), I(89, "&2"), I(90, "&3"),
      E(),
      P("&Info"),
        Cancel(),
        I(101, "&Parameters"), I(102, "&ModuloCalc"), I(103, "&General Info"),
        I(104, "Rand&om Pitch"), I(105, "&Sample Alg"), I(106, "P&hrase Alg"),
        I(107, "&Last Played"), I(108, "Four &Track"), I(109, "&Tessellon"),
        I(110, "V&2Topics"), I(111, "V&3Topics"), I(112, "V&4Topics"), I(127, "&About"),
      E(),
    E(),
};
const int sh_menutab_n = sizeof sh_menutab / sizeof sh_menutab[0];

const char* sh_command_text(int id) {
    if (id == 0) return nullptr;
    for (int i = 0; i < sh_menutab_n; ++i)
        if (sh_menutab[i].kind == sh_mk_item && sh_menutab[i].id == id) return sh_menutab[i].text;
    return nullptr;
}

const int32_t sh_sampmaxidle_tab[4] = {120000, 1200000, 6000000, 24000000};
const int sh_recsmp_tab[6] = {-2, -1, 0, 5, 20, 100};

// Every command of the menus is built.
bool sh_available(int /*id*/) { return true; }

int sh_row_of_command(int id) {
    if (id == 0) return -1;
    for (int r = 0; r < rov_natab; ++r)
        if (atab[r].mitem == id) return r;
    return -1;
}

bool sh_row_startable(const sh_state& st, int row) {
    return rov_row_available(row, true) && !(rov_row_sampling(row) && !st.pg.smploaded);
}

sh_itemstate sh_menu_state(const sh_state& st, int id) {
    sh_itemstate s;
    // Mutually exclusive choices: the one in effect is grayed.
    if (id >= cm_blow_first && id <= cm_blow_last) s.grayed = (id == cm_blow_first + st.opt.blowopt);
    if (id >= cm_disp_off && id <= cm_disp_alllevels) s.grayed = (id == st.opt.dispmode);
    if (id >= cm_fuzz_none && id <= cm_fuzz_last) s.grayed = (id == cm_fuzz_none + st.opt.fuzztyp);
    if (id == cm_fuzz_same) s.grayed = (st.opt.fuzztyp == 0);
    if (id >= cm_vis_first && id <= cm_vis_last) s.grayed = (id == cm_vis_first + st.opt.vistyp);
    if (id >= cm_time_test && id <= cm_time_long)
        s.grayed = (sh_sampmaxidle_tab[id - cm_time_test] == st.opt.sampmaxidle);
    if (id >= cm_dev_mapper && id <= cm_dev_3) {
        const int cur = st.opt.wvodevno == sh_mapper ? cm_dev_mapper
                                                 : cm_dev_mapper + 1 + static_cast<int>(st.opt.wvodevno);
        s.grayed = (id == cur);
    }
    if (id >= cm_rec_no && id <= cm_rec_100) s.grayed = (sh_recsmp_tab[id - cm_rec_no] == st.opt.recsmpopt);

    // Toggles.
    switch (id) {
    case cm_autotempo: s.toggle = true; s.checked = st.opt.autotempo; s.grayed = st.pg.recording(); break;
    case cm_emphasis: s.toggle = true; s.checked = st.opt.emphas; break;
    case cm_timbre: s.toggle = true; s.checked = st.opt.tonalias; break;
    case cm_emergency: s.toggle = true; s.checked = st.opt.emergency; s.grayed = st.pg.recording(); break;
    case cm_rotate: s.toggle = true; s.checked = st.opt.emrotate; break;
    case cm_measure: s.toggle = true; s.checked = st.opt.wvomeasure; break;
    case cm_showmorph: s.toggle = true; s.checked = st.opt.shwmorph; break;
    case cm_mono8:
        s.toggle = true;
        s.checked = !st.opt.stereoset;
        s.grayed = st.pg.recording() || !st.opt.stereo16;
        break;
    default: break;
    }

    // Items that need a sample.
    const int row = sh_row_of_command(id);
    const bool needs_sample = id == cm_testsample || (id >= cm_conv_expand && id <= cm_conv_last);
    if (needs_sample && !st.pg.smploaded) s.grayed = true;
    if (row >= 0 && !sh_row_startable(st, row)) s.grayed = true;
    if (id == cm_conv_expand && st.pg.smploaded && st.pg.smpszorig / 2 < st.pg.smpbytes) s.grayed = true;

    if (!sh_available(id)) s.grayed = true;
    return s;
}
