// The fuzz stage of the output chain.
#include "audio/chain.h"
#include "player/fuzz.h"

void wv_fuzzstage::run(wv_chainbuf& b) {
    if (opt->fuzztyp > 0)
        wvfuzz(b.w, 2 * b.frames, sintab, static_cast<int16_t>(opt->fuzzlev), static_cast<int16_t>(opt->fuzztyp));
}
