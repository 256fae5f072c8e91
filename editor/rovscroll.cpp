#include "editor/rovscroll.h"

rov_scrollrow rovscroll_row(const rov_family& f, int s, int maxv) {
    rov_scrollrow r = f.range[s & 15];
    r.physmax = static_cast<int16_t>(rov_slotmax(f.range, s & 15, maxv));
    return r;
}
