// The fuzz stage of the output chain, and its options.
#include <array>

#include "audio/chain.h"
#include "audio/optrow.h"
#include "player/fuzz.h"

using namespace wv_optrow;

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

// The fuzz types as player/fuzz.h names them; a fuzz type asks for its degree.
namespace {
constexpr std::array<wv_choice, wv_fuzz_types> fuzz_types = [] {
    std::array<wv_choice, wv_fuzz_types> c{};
    for (int k = 0; k < wv_fuzz_types; ++k)
        c[k] = {k, wv_fuzz_names[k].menu, wv_fuzz_names[k].name, k != wv_fuzz_none ? &wv_opt_fuzzlevel : nullptr};
    return c;
}();
}  // namespace

constinit const wv_optdesc wv_opt_fuzztype = with_effect(
    with_flag(with_setup(with_choices(row("fuzztype", wv_opt_choice, get<&wv_options::fuzztyp>,
                                          set<&wv_options::fuzztyp>, 0, wv_fuzz_types - 1),
                                      152, "&Fuzz", fuzz_types),
                         stored<&fi_setup::fuzztyp>, store<&fi_setup::fuzztyp>, 2, 0, 32767),
              wv_cli_engine, "--fuzz TYPE", "fuzz type {R}: {N}"),
    &wv_fuzz_effect);

constinit const wv_optdesc wv_opt_fuzzlevel = with_flag(
    with_setup(with_dialog(row("fuzzlevel", wv_opt_number, get<&wv_options::fuzzlev>, set<&wv_options::fuzzlev>,
                               wv_fuzz_degree_min, wv_fuzz_degree_max),
                           "Set fuzz degree", "Set the degree of distorsion\nof the output signal",
                           wv_fuzz_degree_step, wv_fuzz_degree_page),
               stored<&fi_setup::fuzzlev>, store<&fi_setup::fuzzlev>, 2, wv_fuzz_degree_min, wv_fuzz_degree_max),
    wv_cli_engine, "--fuzz-degree D", "fuzz degree {R} (default {D})");
