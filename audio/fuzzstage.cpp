// The fuzz stage of the output chain.
#include "audio/chain.h"
#include "player/fuzz.h"

// Fuzz: every computed buffer, while a fuzz type is chosen, with the
// options' degree (read at each buffer: the mixer may change it).
struct wv_fuzzstage final : wv_stage {
    const wv_options* opt;
    explicit wv_fuzzstage(const wv_options* o) : opt(o) {}
    void run(wv_chainbuf& b) override;
};

void wv_fuzzstage::run(wv_chainbuf& b) {
    if (opt->fuzztyp > 0)
        wvfuzz(b.w, 2 * b.frames, sintab, static_cast<int16_t>(opt->fuzzlev), static_cast<int16_t>(opt->fuzztyp));
}

// Built always: a fuzz type chosen while the sound plays takes effect at once.
extern const wv_effect wv_fuzz_effect;
constinit const wv_effect wv_fuzz_effect = {
    wv_fx_before_visuals,
    [](const wv_options&) { return true; },
    [](const wv_options& o) { return o.fuzztyp != 0; },
    [](const wv_options& o) -> std::unique_ptr<wv_stage> { return std::make_unique<wv_fuzzstage>(&o); },
};
