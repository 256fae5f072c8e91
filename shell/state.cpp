#include "shell/state.h"

#include <cstdlib>

#include "audio/chain.h"

void sh_init(sh_state& st) {
    st = sh_state{};
    rov_state_init(st.fg);
    rov_default_setting(st.fg.s);
    st.fg.g.rov_volshift = 12;
    st.tonr = st.fg.s.rov_tonindx[0];
    rov_banks_init(st.bk);
    const char* home = std::getenv("HOME");
    st.settingdir = home && *home ? home : "/";
}

int32_t sh_sample_capacity(const sh_state& st) {
    return st.opt.autotempo ? st.opt.bufszorig * wv_blowfactor(st.opt.blowopt) : st.opt.bufszorig;
}
