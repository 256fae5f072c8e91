// The options table: each row is whole, and every option it stores in the
// setup file comes back from a saved file.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "audio/chain.h"
#include "audio/options.h"
#include "audio/setup.h"
#include "files/setup_file.h"

namespace {

// A value other than the default that the option can hold.
int other_value(const wv_optdesc& d) {
    if (d.kind == wv_opt_choice) return d.choices[d.nchoices - 1].value == d.def() ? d.choices[0].value : d.choices[d.nchoices - 1].value;
    return (d.def() == d.hi ? d.lo : d.hi) * d.unit;
}

}  // namespace

TEST(OptionsTable, RowsAreWholeAndTheirIdsAndFlagsUnique) {
    std::set<std::string> keys, flags;
    std::set<int> ids;
    const wv_options defaults;
    for (int i = 0; i < wv_optlist_n; ++i) {
        const wv_optdesc& d = *wv_optlist[i];
        SCOPED_TRACE(d.key);
        EXPECT_TRUE(keys.insert(d.key).second);
        EXPECT_EQ(wv_opt(d.key), &d);
        ASSERT_TRUE(d.get && d.set);
        // The default is the record's and lies in the range.
        EXPECT_EQ(d.get(defaults), d.kind == wv_opt_choice ? d.def() : d.def() * d.unit);
        if (d.kind == wv_opt_number) {
            EXPECT_TRUE(d.lo <= d.def() && d.def() <= d.hi);
            EXPECT_TRUE(d.title && d.help && d.sstep > 0 && d.lstep >= d.sstep);
        }
        if (d.kind == wv_opt_choice) {
            ASSERT_TRUE(d.choices && d.nchoices > 1);
            bool has_default = false;
            for (int k = 0; k < d.nchoices; ++k) {
                EXPECT_TRUE(d.choices[k].menu && *d.choices[k].menu);
                has_default = has_default || d.choices[k].value == d.def();
            }
            EXPECT_TRUE(has_default);
        }
        // Each menu id names one item; the menu finds the row by it.
        for (int k = d.kind == wv_opt_choice ? 0 : -1; k < (d.kind == wv_opt_choice ? d.nchoices : 0); ++k) {
            const int id = d.menu_id + (k < 0 ? 0 : k);
            if (d.menu_id == 0) continue;
            EXPECT_TRUE(ids.insert(id).second) << id;
            int found = -2;
            EXPECT_EQ(wv_opt_of_menu(id, &found), &d);
            EXPECT_EQ(found, k);
        }
        if (d.flag) {
            EXPECT_TRUE(flags.insert(std::string(d.flag).substr(0, std::string(d.flag).find(' '))).second);
            EXPECT_TRUE(d.usage && d.cli != wv_cli_none);
        }
        if (d.effect) {
            EXPECT_TRUE(d.effect->built && d.effect->alters && d.effect->make);
        }
    }
}

TEST(OptionsTable, EveryStoredOptionComesBackFromASavedSetup) {
    for (int i = 0; i < wv_optlist_n; ++i) {
        const wv_optdesc& d = *wv_optlist[i];
        if (!d.stored) continue;
        SCOPED_TRACE(d.key);
        wv_options o;
        const int v = other_value(d);
        d.set(o, v);
        ASSERT_EQ(d.get(o), v);
        uint8_t bytes[fi_setup_bytes];
        fi_setup_encode(wv_setup_from(o, 0), bytes);
        fi_setup f;
        ASSERT_EQ(fi_setup_decode(bytes, sizeof bytes, f), 2);
        f.latency = wv_setup_from(o, 0).latency;  // the extension, as fi_setup_read adds it
        wv_options back;
        wv_setup_target t{&back, nullptr, nullptr, nullptr, nullptr};
        wv_setup_apply(f, 2, t);
        EXPECT_EQ(d.get(back), v);
        // Out of the stored range, the option keeps what it had.
        if (d.kind != wv_opt_toggle && d.stored_lo > INT16_MIN) {
            d.store(f, static_cast<int>(d.stored_lo - 1));
            if (d.stored(f) == d.stored_lo - 1) {
                wv_setup_apply(f, 2, t);
                EXPECT_EQ(d.get(back), v);
            }
        }
    }
}
