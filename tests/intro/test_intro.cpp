// The introduction driven by a controllable clock: a virtual device whose
// buffers play only when the rig lets time pass, and a timer that runs out
// only when the rig says so.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "audio/virtdev.h"
#include "intro/intro.h"

namespace {

struct rig : wv_notify, wv_timer, wi_view {
    wv_virtdev dev;
    wv_stream ws;
    wv_intro w;
    std::deque<wv_event> q;
    int pending = -1;          // ms of the running timer, -1 none
    std::vector<int> timer_sets;
    int64_t ms = 0;            // the clock
    std::map<int, std::string> lines;
    std::vector<std::pair<int, std::string>> shown;  // every line shown, in order
    std::vector<std::string> icons;
    int busy_on = 0;

    void post(const wv_event& ev) override { q.push_back(ev); }
    void set(int t) override {
        pending = t;
        timer_sets.push_back(t);
    }
    void kill() override { pending = -1; }
    void line(int id, const std::string& text) override {
        lines[id] = text;
        shown.emplace_back(id, text);
    }
    void icon(const std::string& name) override { icons.push_back(name); }
    void busy(bool on) override { busy_on += on ? 1 : 0; }

    explicit rig(int flag, const std::string& notes = wi_notes, bool fail_open = false, bool fail_write = false) {
        dev.fail_open = fail_open;
        dev.fail_write = fail_write;
        ws.dev = &dev;
        ws.sink = this;
        ws.timer = this;
        w.ws = &ws;
        w.view = this;
        wvintro_init(w, flag, "Welcome", notes);
    }

    // Lets things happen until the next tick has counted; false when
    // nothing more can happen (the cycle stopped).
    bool step() {
        const int before = w.bufidle;
        while (w.bufidle == before) {
            if (!q.empty()) {
                const wv_event ev = q.front();
                q.pop_front();
                wvintro_dispatch(w, ev);
            } else if (pending >= 0) {
                ms += pending;
                pending = -1;
                wvintro_dispatch(w, {wv_evkind::timer, 0});
            } else if (dev.busy) {
                const int64_t left = dev.frames - dev.pos;
                ms += left * 1000 / dev.fmt.nSamplesPerSec;
                wv_virt_advance(dev, left);
            } else {
                return false;
            }
        }
        return true;
    }
    void run_to(int bufidle) {
        while (w.bufidle < bufidle) ASSERT_TRUE(step()) << "stopped at " << w.bufidle;
    }
};

std::vector<std::string> notes_shown(const rig& r) {
    std::vector<std::string> out;
    for (const auto& [id, text] : r.shown)
        if (id >= wi_line_notes && id <= wi_line_last_note && text != std::string(40, ' ')) out.push_back(text);
    return out;
}

}  // namespace

TEST(Intro, WithoutSoundTheTextAndIconRunOnTheTimer) {
    rig r(0);
    EXPECT_EQ(r.dev.opens, 0);
    EXPECT_TRUE(r.w.wv[0].empty() && r.w.wv[1].empty());
    EXPECT_EQ(r.lines[wi_line_first], "Welcome");
    ASSERT_EQ(r.timer_sets, std::vector<int>{500});
    r.run_to(1);
    EXPECT_EQ(r.ms, 500);
    r.run_to(101);
    EXPECT_EQ(r.ms, 500 + 100 * 250);  // 250 ms per tick after the first
    EXPECT_EQ(r.dev.opens, 0);
    EXPECT_EQ(r.lines[wi_line_first + 1], wi_line102);
    EXPECT_EQ(r.lines[wi_line_first + 2], wi_credit);
    EXPECT_EQ(r.lines[wi_line_first + 3], "no wave player found !");
    // The icon cycles through ten images, one per tick.
    std::vector<std::string> last(r.icons.end() - 10, r.icons.end());
    std::sort(last.begin(), last.end());
    EXPECT_EQ(last, (std::vector<std::string>{"WVTESSE1", "WVTESSE2", "WVTESSE3", "WVTESSE4", "WVTESSE5", "WVTESSE6",
                                              "WVTESSE7", "WVTESSE8", "WVTESSE9", "WVTESSEL"}));
    EXPECT_EQ(r.icons.back(), "WVTESSE1");  // tick 101
    // Notes at ticks 80 and 100; no example caption without sound.
    EXPECT_EQ(notes_shown(r).size(), 2u);
    EXPECT_EQ(r.lines.count(wi_line_caption), 0u);
    EXPECT_EQ(r.busy_on, 0);
}

TEST(Intro, StereoThroughTheMapperPlaysEachExampleAtItsRate) {
    rig r(3);
    ASSERT_TRUE(wvintro_sounding(r.w));
    ASSERT_EQ(r.dev.log.size(), 1u);  // silence first
    EXPECT_EQ(r.dev.log[0].devno, wv_mapper);
    EXPECT_EQ(r.dev.log[0].bytes, std::vector<uint8_t>(15360, 0));
    std::map<int, std::set<int>> rates;   // example -> rates it was sent at
    std::map<int, int> loudest;           // example -> largest sample sent while it played
    std::set<int> gaps;                   // ticks that waited for the 50 ms timer
    while (r.w.bufidle < 2800) {
        const int ex = r.w.setnr, at = r.w.bufidle;
        const std::size_t sent = r.dev.log.size();
        const std::size_t sets = r.timer_sets.size();
        ASSERT_TRUE(r.step());
        ASSERT_EQ(r.dev.log.size(), sent + 1);
        const wv_virtdev::sent& b = r.dev.log.back();
        EXPECT_EQ(b.fmt.nChannels, 2);
        EXPECT_EQ(b.fmt.nBitsSamp, 16);
        EXPECT_EQ(b.fmt.nAvgBytesPerSec, 4 * b.fmt.nSamplesPerSec);
        ASSERT_EQ(b.bytes.size(), 15360u);
        rates[ex].insert(b.fmt.nSamplesPerSec);
        if (r.timer_sets.size() > sets) gaps.insert(at);
        for (std::size_t i = 0; i + 1 < b.bytes.size(); i += 2)
            loudest[ex] = std::max(loudest[ex], std::abs(static_cast<int16_t>(b.bytes[i] | b.bytes[i + 1] << 8)));
    }
    for (int ex = 0; ex < wi_nexamples; ++ex) {
        const int want = ex == 5 ? 5512 : ex == 9 ? 22050 : 11025;
        EXPECT_EQ(rates[ex], std::set<int>{want}) << "example " << ex;
        EXPECT_GT(loudest[ex], 1000) << "example " << ex << " is silent";
    }
    // A 50 ms gap before the buffers of the first 20 ticks of every 200.
    for (int t = 0; t < 2800; ++t) EXPECT_EQ(gaps.count(t) > 0, t % 200 < 20) << "tick " << t;
    EXPECT_EQ(r.lines[wi_line_first + 3], "wave player is WAVE_MAPPER");
    EXPECT_EQ(r.w.setnr, 0);  // the cycle wrapped from example 9
}

TEST(Intro, ExampleFiveHoldsUntilTheTourHasShownEveryStep) {
    rig r(3);
    r.run_to(1199);
    EXPECT_EQ(r.w.setnr, 4);
    r.run_to(1200);
    EXPECT_EQ(r.w.setnr, 5);
    EXPECT_EQ(r.w.tonr, 3);
    EXPECT_EQ(r.w.tutnr, 1);
    EXPECT_EQ(r.lines[wi_line_caption], "Random & Scaled Tones, trying 5512 Hz");
    EXPECT_EQ(r.icons.back(), "RANOVLAP1");
    std::vector<std::string> tour;
    const std::size_t from = r.shown.size();
    r.run_to(1999);
    EXPECT_EQ(r.w.setnr, 5);
    EXPECT_EQ(r.w.tutnr, 0);
    for (std::size_t i = from; i < r.shown.size(); ++i)
        if (r.shown[i].first == wi_line_caption) tour.push_back(r.shown[i].second);
    ASSERT_EQ(tour.size(), 39u);
    for (int i = 1; i <= 39; ++i) EXPECT_EQ(tour[i - 1], tutarr[i]);
    EXPECT_EQ(tour[21], "medium pitch level: 932 -> 880");
    r.run_to(2000);
    EXPECT_EQ(r.w.setnr, 6);
    EXPECT_EQ(r.lines[wi_line_caption], "dual scale & random tones algorithm");

    // Set 5 keeps the tour's last values until the cycle wraps to example 0.
    const int16_t* set5 = r.w.eng.s.rov_p + 5 * rov_nparams;
    const std::vector<int16_t> toured = {0, 128, 880, 0, 256, 64, 29, 4, 0, 64, 41, 3, 128, 12, 80, 8};
    EXPECT_EQ(std::vector<int16_t>(set5, set5 + 16), toured);
    r.run_to(2799);
    EXPECT_EQ(std::vector<int16_t>(set5, set5 + 16), toured);
    r.run_to(2800);
    EXPECT_EQ(r.w.setnr, 0);
    EXPECT_EQ(std::vector<int16_t>(set5, set5 + 16), std::vector<int16_t>(tutsave, tutsave + 16));
}

TEST(Intro, ClicksSkipAhead) {
    rig r(3);
    r.run_to(900);
    EXPECT_EQ(r.w.setnr, 3);
    wvintro_click(r.w, true);
    EXPECT_EQ(r.w.bufidle, 1195);
    for (int i = 0; i < 4; ++i) r.step();
    EXPECT_EQ(r.w.setnr, 3);
    r.step();
    EXPECT_EQ(r.w.setnr, 4);  // five ticks after the Shift-click
    EXPECT_EQ(r.lines[wi_line_caption], "A very fast sound cascade");

    // A plain click: the next text step two ticks later.
    const std::size_t notes = notes_shown(r).size();
    r.run_to(1203);
    wvintro_click(r.w, false);
    EXPECT_EQ(r.w.bufidle, 1238);
    r.step();
    EXPECT_EQ(notes_shown(r).size(), notes);
    r.step();
    EXPECT_EQ(notes_shown(r).size(), notes + 1);
    // On a boundary itself, Shift goes five ticks before the next one.
    rig s(0);
    s.run_to(5);
    wvintro_click(s.w, true);  // over the ticks of the header lines
    s.step();
    EXPECT_EQ(s.w.bufidle, 396);
    EXPECT_EQ(s.lines[wi_line_first + 1], wi_line102);
    EXPECT_EQ(s.lines[wi_line_first + 2], wi_credit);
    EXPECT_EQ(s.lines[wi_line_first + 3], "no wave player found !");
    s.w.bufidle = 400;
    wvintro_click(s.w, true);
    EXPECT_EQ(s.w.bufidle, 595);
    s.w.bufidle = 0;
    wvintro_click(s.w, false);
    EXPECT_EQ(s.w.bufidle, 18);
}

TEST(Intro, NotesScrollByParagraphAndWrapWithOrWithoutAFinalLineFeed) {
    for (const std::string notes : {"one\ntwo\n\nthree\n", "one\ntwo\n\nthree"}) {
        rig r(0, notes);
        r.run_to(200);  // notes at 80, 100, ..., 200
        EXPECT_EQ(notes_shown(r), (std::vector<std::string>{"one", "two", "three", "one", "two", "three", "one"}))
            << notes;
        // Each paragraph starts on a cleared page at the first notes line.
        EXPECT_EQ(r.lines[wi_line_notes], "one");
        EXPECT_EQ(r.lines[wi_line_notes + 1], std::string(40, ' '));
    }
    // A paragraph longer than six lines goes on over a cleared page, never
    // into the caption line.
    rig r(0, "1\n2\n3\n4\n5\n6\n7\n8\n");
    r.run_to(220);
    EXPECT_EQ(r.lines.count(wi_line_caption), 0u);
    EXPECT_EQ(r.lines[wi_line_notes], "7");
}

TEST(Intro, TheNotesFitTheDialog) {
    std::istringstream in(wi_notes);
    std::string line;
    int run = 0;
    const std::string text = wi_notes;
    ASSERT_EQ(text.back(), '\n');
    while (std::getline(in, line)) {
        EXPECT_LE(line.size(), 50u) << line;
        run = line.empty() ? 0 : run + 1;
        EXPECT_LE(run, 6) << "a paragraph longer than six lines ends at: " << line;
    }
    EXPECT_EQ(text.find("\n\n\n"), std::string::npos);
}

TEST(Intro, EightBitMonoIsTheStereoSoundConverted) {
    rig mono(2), stereo(3);
    EXPECT_EQ(mono.dev.log[0].bytes, std::vector<uint8_t>(3840, 128));
    for (int t = 0; t < 40; ++t) {
        ASSERT_TRUE(mono.step());
        ASSERT_TRUE(stereo.step());
    }
    ASSERT_EQ(mono.dev.log.size(), stereo.dev.log.size());
    int differ = 0;
    for (std::size_t k = 0; k < mono.dev.log.size(); ++k) {
        const auto& m = mono.dev.log[k];
        const auto& s = stereo.dev.log[k].bytes;
        EXPECT_EQ(m.fmt.nChannels, 1);
        EXPECT_EQ(m.fmt.nBitsSamp, 8);
        EXPECT_EQ(m.fmt.nBlockAlign, 1);
        ASSERT_EQ(m.bytes.size(), 3840u);
        for (std::size_t i = 0; i < 3840; ++i) {
            const int l = static_cast<int16_t>(s[4 * i] | s[4 * i + 1] << 8);
            const int rr = static_cast<int16_t>(s[4 * i + 2] | s[4 * i + 3] << 8);
            ASSERT_EQ(m.bytes[i], 128 + (l >> 9) + (rr >> 9)) << "buffer " << k << " byte " << i;
            differ += m.bytes[i] != 128;
        }
    }
    EXPECT_GT(differ, 1000);
    EXPECT_EQ(mono.lines[wi_line_first + 3], "");
    mono.run_to(60);
    EXPECT_EQ(mono.lines[wi_line_first + 3], "wave player is WAVE_MAPPER");
    rig dev0(5);
    EXPECT_EQ(dev0.dev.log[0].devno, 0u);
    dev0.run_to(60);
    EXPECT_EQ(dev0.lines[wi_line_first + 3], "wave player is device 0");
}

TEST(Intro, DeviceFailuresLeaveTheIntroSilentOrStopped) {
    {  // the device does not open at start: text only
        rig r(3, wi_notes, true);
        EXPECT_FALSE(wvintro_sounding(r.w));
        EXPECT_EQ(r.timer_sets, std::vector<int>{500});
        r.run_to(60);
        EXPECT_EQ(r.ms, 500 + 59 * 250);
        EXPECT_EQ(r.lines[wi_line_first + 3], "no wave player found !");
    }
    {  // the buffers cannot be had: as without sound
        wv_virtdev d;
        rig r(3);
        wv_stream s;
        s.dev = &d;
        s.sink = &r;
        s.timer = &r;
        wv_intro w;
        w.ws = &s;
        w.view = &r;
        w.fail_alloc = true;
        wvintro_init(w, 3, "Welcome");
        EXPECT_FALSE(wvintro_sounding(w));
        EXPECT_EQ(d.opens, 0);
        EXPECT_EQ(r.pending, 500);
    }
    {  // the first buffer is refused: the device closes and the cycle stops
        rig r(3, wi_notes, false, true);
        EXPECT_EQ(r.dev.opens, 1);
        EXPECT_EQ(r.dev.closes, 1);
        EXPECT_FALSE(r.step());
        EXPECT_EQ(r.w.bufidle, 0);
        EXPECT_EQ(r.dev.opens, 1);
    }
    {  // the device stops opening while playing: the intro goes on silently
        rig r(3);
        r.run_to(30);
        r.dev.fail_open = true;
        const int64_t t = r.ms;
        r.run_to(31);
        EXPECT_FALSE(wvintro_sounding(r.w));
        EXPECT_GE(r.ms - t, 500);  // the refused tick, then 500 ms to the next
        const int64_t u = r.ms;
        r.run_to(61);
        EXPECT_EQ(r.ms - u, 30 * 250);
        EXPECT_EQ(r.lines[wi_line_first + 3], "no wave player found !");
    }
    {  // a buffer refused later: the cycle stops
        rig r(3);
        r.run_to(30);
        r.dev.fail_write = true;
        EXPECT_FALSE(r.step());
        EXPECT_FALSE(r.ws.hwaveout);
        EXPECT_FALSE(r.dev.isopen);
    }
    {  // the sound server goes away: silence, text on the timer
        rig r(3);
        r.run_to(30);
        EXPECT_FALSE(wvintro_check_device(r.w));
        r.dev.gone = true;
        EXPECT_TRUE(wvintro_check_device(r.w));
        EXPECT_FALSE(wvintro_sounding(r.w));
        EXPECT_FALSE(r.dev.isopen);
        r.run_to(40);
        EXPECT_EQ(r.lines[wi_line_first + 2], wi_credit);
    }
}

TEST(Intro, ExposureRedrawsTheIconAndCloseReleasesEverything) {
    rig r(3);
    r.run_to(25);
    EXPECT_EQ(r.icons.back(), "WVTESSEL");
    const std::size_t n = r.icons.size();
    r.step();
    EXPECT_EQ(r.icons.size(), n);
    wvintro_paint(r.w);
    r.step();
    ASSERT_EQ(r.icons.size(), n + 1);
    EXPECT_EQ(r.icons.back(), "WVTESSEL");

    // Close while a buffer plays and while the gap timer runs.
    ASSERT_TRUE(r.dev.busy);
    wvintro_close(r.w);
    EXPECT_FALSE(r.dev.isopen);
    EXPECT_EQ(r.dev.resets, 1);
    EXPECT_FALSE(wvintro_sounding(r.w));
    const std::size_t sent = r.dev.log.size();
    while (!r.q.empty()) {
        wvintro_dispatch(r.w, r.q.front());
        r.q.pop_front();
    }
    EXPECT_EQ(r.dev.log.size(), sent);
    EXPECT_EQ(r.pending, -1);
    // The stream is at rest and its turns are the engine's again.
    EXPECT_TRUE(wv_idle(r.ws));
    EXPECT_EQ(r.ws.turns, nullptr);

    rig g(3);
    g.run_to(3);
    ASSERT_TRUE(g.step());  // ticks below 20 wait for the gap timer
    while (!g.q.empty()) {
        wvintro_dispatch(g.w, g.q.front());
        g.q.pop_front();
    }
    if (g.dev.busy) wv_virt_advance(g.dev, g.dev.frames);
    while (!g.q.empty()) {
        wvintro_dispatch(g.w, g.q.front());
        g.q.pop_front();
    }
    EXPECT_EQ(g.pending, 50);
    wvintro_close(g.w);
    EXPECT_EQ(g.pending, -1);
    EXPECT_FALSE(g.ws.timerset);
}
