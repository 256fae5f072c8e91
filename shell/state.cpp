#include "shell/state.h"

void sh_init(sh_state& st) {
    st = sh_state{};
    rov_state_init(st.fg);
    rov_default_setting(st.fg.s);
    st.fg.g.rov_volshift = 12;
    st.tonr = st.fg.s.rov_tonindx[0];
}

namespace {
// Buffer sizes (bytes) and the loop algorithm's increment (shorts) for each.
constexpr int32_t bufsztab[] = {4096,  6144,  8192,   12288,  16384,  20480,  24576,
                                32768, 40960, 49152,  65536,  81920,  98304,  131072,
                                196608, 262144, 393216, 524288, 0};
constexpr int32_t bufincrtab[] = {512, 512,   512, 512,  1536, 512, 512, 512, 1536,
                                  512, 10752, 512, 9728, 512,  512, 2560, 512, 512, 0};
}  // namespace

int32_t sh_bufincr_for(int32_t bufszorig) {
    for (int i = 0; bufsztab[i] != 0; ++i)
        if (bufsztab[i] == bufszorig) return bufincrtab[i];
    return 512;
}

int sh_blowfactor(int blowopt) {
    if (blowopt >= 4) return 4;
    if (blowopt >= 1) return 2;
    return 1;
}

int32_t sh_sample_capacity(const sh_state& st) {
    return st.autotempo ? st.bufszorig * sh_blowfactor(st.blowopt) : st.bufszorig;
}
