#include "shell/icon.h"

std::string sh_icon_frame(const sh_state& st) {
    if (st.icontim == 0) return "WVTESSEL";
    if (st.pg.recording()) return "HDREC" + std::to_string(((st.iconcnt % 8) + 8) % 8);
    const int n = ((st.iconcnt % 10) + 10) % 10;
    return n == 0 ? "WVTESSEL" : "WVTESSE" + std::to_string(n);
}

std::string sh_icon_tick(sh_state& st) {
    const std::string name = sh_icon_frame(st);
    ++st.iconcnt;
    // A recording that started during a cycle of ten starts its own at 0.
    if (st.iconcnt >= (st.pg.recording() ? 8 : 10)) st.iconcnt = 0;
    return name;
}
