// What the window program shows of the rows comes from the rows table: the
// Edit/Play menu, the icons' art and the information pages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/rows.h"
#include "shell/fl_icons.h"
#include "shell/info.h"
#include "shell/menu.h"

TEST(RowTable, EditPlayMenuIsTheRowsItemsInTheirGroups) {
    // The menu as it has always been laid out.
    const std::vector<std::string> want = {
        "P&Edit/Play", "0&Cancel",
        "PE&xperimental", "0&Cancel", "3&Panning", "4&Dual Oscillator", "5Two &Scales", "6&Minimal", "7&Ambient",
        "8&Intervals", "15Ch&ords", "E",
        "P&Sampling", "0&Cancel", "9&Intervals", "10Cross&fade", "11&Static", "E",
        "P&Phrase", "0&Cancel", "12&Fantasy", "13&Session", "14&Jazzy", "E",
        "16&Default", "17&Multiple",
        "PV&3", "0&Cancel", "18&Envelope", "19&PitchRanges", "20&Sample Phrase", "21Cl&uster Chords", "22&Ostinato ",
        "E",
        "PV&4", "0&Cancel", "23&Waveforms", "24&LFO", "25&MultiLoop", "E",
        "E"};
    std::vector<std::string> got;
    int depth = 0;
    const std::vector<sh_menuitem> menus = sh_menus();
    for (int i = 0; i < static_cast<int>(menus.size()); ++i) {
        const sh_menuitem& m = menus[i];
        if (got.empty() && !(m.kind == sh_mk_popup && std::string(m.text) == "&Edit/Play")) continue;
        got.push_back(m.kind == sh_mk_popup ? "P" + std::string(m.text)
                      : m.kind == sh_mk_end ? "E"
                                            : std::to_string(m.id) + m.text);
        depth += m.kind == sh_mk_popup ? 1 : m.kind == sh_mk_end ? -1 : 0;
        if (depth == 0) break;
    }
    EXPECT_EQ(got, want);
    // Each row with an item is found again by its command.
    for (int r = 0; r < rov_natab; ++r) {
        if (rov_rows[r].tab.mitem) {
            EXPECT_EQ(sh_row_of_command(rov_rows[r].tab.mitem), r);
        }
    }
}

TEST(RowTable, EveryRowHasIconArtAndItsOwnInformationPage) {
    for (int r = 0; r < rov_natab; ++r) {
        const rov_rowdesc& d = rov_rows[r];
        if (!d.empty) {
            EXPECT_TRUE(fl_icon_has_art(d.tab.icon)) << r << " " << d.tab.icon;
        }
        const std::optional<sh_infopage> p = sh_info_page("RANOVSP" + std::to_string(r));
        ASSERT_TRUE(p) << r;
        EXPECT_EQ(p->title, d.empty ? "Mute Algorithm" : d.tab.title) << r;
        ASSERT_FALSE(p->text.empty());
        EXPECT_EQ(p->text[0], d.info) << r;
    }
    EXPECT_TRUE(fl_icon_has_art("ALGEMPTY"));
    EXPECT_FALSE(fl_icon_has_art("WVTLOAD"));
    EXPECT_FALSE(fl_icon_has_art(nullptr));
}
