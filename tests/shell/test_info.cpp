// The information pages, their scrolling and the capability dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "player/mixer.h"
#include "player/pad.h"
#include "shell/commands.h"
#include "shell/info.h"
#include "shell/menu.h"

TEST(InfoPages, EveryTemplateHasAPageWithItsTitle) {
    const std::pair<const char*, const char*> named[] = {
        {"WVTMPHLP", "Wave Tessellon - Overview"},
        {"RANOVHLP", "Experimental Algorithms with Random Tones or Intervals"},
        {"SMPOVHLP", "Overlapping Samples Algorithms"},
        {"PHROVHLP", "Phrase Algorithms"},
        {"RANOVSP3", "Minimal Music Machine"},
        {"RANOVSP21", "Quad Track Player"},
        {"RANOVSP22", "Mute Algorithm"},
        {"WVTOPROV", "The Tessellon Pad"},
        {"WVNEWV2", "New Topics in the Wave Tessellon Version 2.0"},
        {"WVNEWV3", "What's New in Version 3"},
        {"WVNEWV35", "What's New in Version 3.5"},
        {"WVNEWV4", "What's New in Version 4.0"},
        {"WVABOUT", "About Wave Tessellon ..."},
    };
    for (auto [name, title] : named) {
        const std::optional<sh_infopage> p = sh_info_page(name);
        ASSERT_TRUE(p) << name;
        EXPECT_EQ(p->title, title);
        EXPECT_FALSE(p->text.empty()) << name;
    }
    for (int r = 0; r <= 23; ++r) EXPECT_TRUE(sh_info_page("RANOVSP" + std::to_string(r))) << r;
    EXPECT_FALSE(sh_info_page("NOSUCH"));
}

namespace {

std::string plain(const char* menu_text) {
    std::string t;
    for (const char* c = menu_text; *c; ++c)
        if (*c != '&') t += *c;
    while (!t.empty() && t.back() == ' ') t.pop_back();
    return t;
}

std::string joined(const sh_infopage& p) {
    std::string all;
    for (const std::string& t : p.text) all += t + "\n";
    return all;
}

}  // namespace

TEST(InfoPages, ClaimNothingMissingAndNameWhatExists) {
    std::string all;
    for (const std::string& n : sh_info_names()) {
        std::string t = joined(*sh_info_page(n));
        all += t;
        std::transform(t.begin(), t.end(), t.begin(), [](unsigned char c) { return std::tolower(c); });
        for (const char* claim : {"not built", "not yet", "not playable", "not available", "later version"}) {
            EXPECT_EQ(t.find(claim), std::string::npos) << n << " says \"" << claim << "\"";
        }
    }
    // Every command of the File menu and every submenu of Options is named.
    int depth = 0;
    std::string top;
    const std::vector<sh_menuitem> menus = sh_menus();
    for (int i = 0; i < static_cast<int>(menus.size()); ++i) {
        const sh_menuitem& m = menus[i];
        if (m.kind == sh_mk_end) {
            --depth;
            continue;
        }
        if (depth == 0) top = plain(m.text);
        if (depth == 1 && (top == "File" || top == "Options") && (m.id != 0 || m.kind == sh_mk_popup)) {
            EXPECT_NE(all.find(plain(m.text)), std::string::npos) << top << " - " << plain(m.text);
        }
        if (m.kind == sh_mk_popup) ++depth;
    }
    // The pad's page names every choice of its three buttons; the Multiple
    // play page names the mixer.
    const std::string pad = joined(*sh_info_page("WVTOPROV"));
    for (int k = 0; k < 6; ++k) EXPECT_NE(pad.find(plain(pad_modetext(k))), std::string::npos) << k;
    for (int k = 0; k < 3; ++k) EXPECT_NE(pad.find(plain(pad_pitltext(k))), std::string::npos) << k;
    for (int k = 0; k < 4; ++k) EXPECT_NE(pad.find(plain(pad_pitqtext(k))), std::string::npos) << k;
    EXPECT_NE(joined(*sh_info_page("RANOVSP" + std::to_string(rov_row_multiple()))).find(qu_title), std::string::npos);
}

TEST(InfoPages, ParagraphsFollowEachOtherAndTheEndCanBeReached) {
    // A stand-in for the window's font: 7 pixels a character, 14 a line.
    auto measure = [](const std::string& t, int width) {
        return 14 * static_cast<int>(1 + t.size() * 7 / static_cast<std::size_t>(width));
    };
    for (const std::string& n : sh_info_names()) {
        const sh_infopage p = *sh_info_page(n);
        const sh_infolayout l = sh_info_layout(p, measure);
        ASSERT_EQ(l.text.size(), p.text.size()) << n;
        int below = 0;
        for (std::size_t i = 0; i < l.text.size(); ++i) {
            const sh_inforect& r = l.text[i];
            EXPECT_GE(r.y, below) << n << " paragraph " << i << " overlaps the one above";
            EXPECT_EQ(r.h, measure(p.text[i], r.w)) << n << " " << i;
            EXPECT_GE(r.x, 0);
            EXPECT_LE(r.x + r.w, sh_info_w - sh_info_bar_w) << n;
            below = r.y + r.h;
        }
        EXPECT_GE(l.ok.y, below) << n;
        // The window scrolled to its end shows the OK button.
        EXPECT_LE(l.ok.y + l.ok.h, sh_info_max_scroll + sh_info_h) << n;
        EXPECT_GE(l.height, l.ok.y + l.ok.h) << n;
    }
}

TEST(InfoPages, MenuCommandsNameTheirPages) {
    wv_program pg;
    sh_state st{pg};
    st.algomod = 5;
    EXPECT_EQ(sh_info_pages_of(st, 103), std::vector<std::string>{"WVTMPHLP"});
    EXPECT_EQ(sh_info_pages_of(st, 107), std::vector<std::string>{"RANOVSP5"});
    EXPECT_EQ(sh_info_pages_of(st, 108), std::vector<std::string>{"RANOVSP21"});
    EXPECT_EQ(sh_info_pages_of(st, 112), (std::vector<std::string>{"WVNEWV35", "WVNEWV4"}));
    EXPECT_EQ(sh_info_pages_of(st, 127), std::vector<std::string>{"WVABOUT"});
    for (int id = 103; id <= 112; ++id)
        for (const std::string& n : sh_info_pages_of(st, id)) EXPECT_TRUE(sh_info_page(n)) << n;
}

TEST(InfoScroll, StepsAndLimits) {
    sh_infoscroll s;
    EXPECT_EQ(sh_info_scroll(s, pd_lineup, 0), 0);  // already at the top
    EXPECT_EQ(sh_info_scroll(s, pd_linedown, 0), -5);
    EXPECT_EQ(sh_info_scroll(s, pd_pagedown, 0), -55);
    EXPECT_EQ(s.ypos, -60);
    EXPECT_EQ(s.bar, 5);
    EXPECT_EQ(sh_info_scroll(s, pd_pageup, 0), 55);
    // The thumb at 100 is the bottom: 1100 pixels, and no further.
    EXPECT_EQ(sh_info_scroll(s, pd_thumb, 100), -1095);
    EXPECT_EQ(s.ypos, -1100);
    EXPECT_EQ(s.bar, 100);
    EXPECT_EQ(sh_info_scroll(s, pd_pagedown, 0), 0);
    EXPECT_EQ(s.ypos, -1100);
    EXPECT_EQ(sh_info_scroll(s, pd_thumb, 0), 1100);
}

TEST(DeviceCaps, MissingFormatsAreBlanked) {
    sh_woc w;
    w.name = "a device with a name longer than thirty-one characters";
    w.dwFormats = 0x8 | 0x80 | 0x800 | 0x1;  // 16-bit stereo at all rates, 8-bit mono at 11025
    w.dwSupport = wv_sup_volume;
    const auto t = sh_caps_texts(w);
    ASSERT_EQ(t.size(), 19u);
    EXPECT_EQ(t[0].size(), 31u);
    EXPECT_EQ(t[103 - 101], "11025 Hz");
    EXPECT_EQ(t[104 - 101], "   ");
    EXPECT_EQ(t[105 - 101], "   ");
    for (int id = 107; id <= 113; ++id)
        if (id != 110) {
            EXPECT_EQ(t[id - 101], "   ") << id;
        }
    EXPECT_EQ(t[110 - 101], "16 bit mono rates:");
    EXPECT_EQ(t[115 - 101], "11025 Hz");
    EXPECT_EQ(t[116 - 101], "22050 Hz");
    EXPECT_EQ(t[117 - 101], "44100 Hz");
    EXPECT_EQ(t[118 - 101], "   ");  // not synchronous
    EXPECT_EQ(t[119 - 101], "volume can be controlled");
    w.dwSupport = wv_sup_sync;
    EXPECT_EQ(sh_caps_texts(w)[118 - 101], "only synchronous output!");
}

TEST(Tooltips, SameTextsAsTheShiftClickHelp) {
    wv_program pg;
    sh_state st{pg};
    st.fg.s.rov_stdalg = 3;
    // An algorithm icon: its title.
    const rov_algtab& a = rov_rows[0].tab;
    EXPECT_EQ(sh_tooltip(st, a.ixpos + 3, a.iypos + 3), a.title);
    // The calculator slot: its caption and text.
    const sh_question q = sh_slot_help(st, 4);
    EXPECT_EQ(sh_tooltip(st, sh_slot_x(4) + 1, sh_band_top + 1), q.caption + "\n" + q.text);
    // Slot 6: the page of the setting's algorithm.
    EXPECT_EQ(sh_tooltip(st, sh_slot_x(6) + 1, sh_band_top + 1), "Minimal Music Machine");
    // Empty space: nothing.
    EXPECT_EQ(sh_tooltip(st, 399, 200), "");
}
