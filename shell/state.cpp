#include "shell/state.h"

#include <cstdlib>

#include "audio/chain.h"

void sh_init(sh_state& st) {
    static_cast<sh_winstate&>(st) = sh_winstate{};
    wv_program_init(st.pg);
    const char* home = std::getenv("HOME");
    st.settingdir = home && *home ? home : "/";
}

int32_t sh_sample_capacity(const sh_state& st) {
    return st.opt.autotempo ? st.opt.bufszorig * wv_blowfactor(st.opt.blowopt) : st.opt.bufszorig;
}
