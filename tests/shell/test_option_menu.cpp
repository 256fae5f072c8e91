// The main window's options come from the options table: each option's item
// or choices are in the menus with the table's texts, a choice sets its value
// (and opens the dialog that goes with it), is grayed while in effect, and a
// switch turns over unless a recording locks it.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "fake_ui.h"
#include "shell/menu.h"
#include "support/fake_files.h"

namespace {

// The index of the item with `id` in the menu table, or -1.
int item_at(const std::vector<sh_menuitem>& menus, int id) {
    for (int i = 0; i < static_cast<int>(menus.size()); ++i)
        if (menus[i].kind == sh_mk_item && menus[i].id == id) return i;
    return -1;
}

bool stereo_device(uint32_t, sh_woc& c) {
    c.dwFormats = wv_fmt_all;
    return true;
}

}  // namespace

TEST(OptionMenu, EveryOptionOfTheTableIsInTheMenusAndActs) {
    const std::vector<sh_menuitem> menus = sh_menus();
    for (int i = 0; i < wv_optlist_n; ++i) {
        const wv_optdesc& d = *wv_optlist[i];
        if (d.menu_id == 0) continue;
        SCOPED_TRACE(d.key);
        auto pg = std::make_unique<wv_program>();
        auto st = std::make_unique<sh_state>(*pg);
        sh_init(*st);
        st->opt.stereo16 = true;
        fake_ui f;
        f.probe_result = stereo_device;
        const sh_ui ui = f.ui(*st);
        if (d.kind == wv_opt_choice) {
            // The popup with the option's text holds the choices in order.
            const int first = item_at(menus, d.menu_id);
            ASSERT_GE(first, 0);
            int popup = first;
            while (popup > 0 && menus[popup].kind != sh_mk_popup) --popup;
            EXPECT_STREQ(menus[popup].text, d.menu);
            for (int k = d.nchoices - 1; k >= 0; --k) {
                const int at = item_at(menus, d.menu_id + k);
                EXPECT_EQ(at, first + k);
                EXPECT_STREQ(menus[at].text, d.choices[k].menu);
                f.dialogs.clear();
                sh_command(*st, ui, d.menu_id + k);
                EXPECT_EQ(d.get(st->opt), d.choices[k].value) << k;
                EXPECT_TRUE(sh_menu_state(*st, d.menu_id + k).grayed) << k;
                EXPECT_EQ(f.dialogs, d.choices[k].then ? std::vector<std::string>{d.choices[k].then->title}
                                                       : std::vector<std::string>{})
                    << k;
            }
            continue;
        }
        const int at = item_at(menus, d.menu_id);
        ASSERT_GE(at, 0);
        EXPECT_STREQ(menus[at].text, d.menu);
        if (d.kind == wv_opt_number) {
            // Its dialog, from the bottom of the range up one large step.
            f.scrolls.push_back({pd_thumb, pd_pagedown});
            sh_command(*st, ui, d.menu_id);
            ASSERT_EQ(f.dialogs, std::vector<std::string>{d.title});
            EXPECT_EQ(d.get(st->opt), std::min(d.lo + d.lstep, d.hi) * d.unit);
            continue;
        }
        const int was = d.get(st->opt);
        sh_command(*st, ui, d.menu_id);
        EXPECT_EQ(d.get(st->opt), !was);
        EXPECT_EQ(sh_menu_state(*st, d.menu_id).checked, !was);
        fake_recording(*pg, true);
        sh_command(*st, ui, d.menu_id);
        EXPECT_EQ(d.get(st->opt), (d.lock & wv_lock_menu) ? !was : was);
        EXPECT_EQ(sh_menu_state(*st, d.menu_id).grayed, (d.lock & wv_lock_menu) != 0);
    }
}
