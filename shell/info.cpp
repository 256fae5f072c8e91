#include "shell/info.h"

#include <algorithm>
#include <map>

#include "engine/rows.h"
#include "player/mixer.h"
#include "shell/commands.h"

namespace {

std::string availability(int row) {
    const rov_rowdesc& d = rov_row(row);
    if (d.empty) return "It is always available.";
    if (d.multiple)
        return std::string("Each track plays with its own setting's algorithm; tracks that loop (the Minimal "
                           "Music Machine) stay silent. Load setting files to fill the banks. In the editor, Z "
                           "turns the four settings, and Pause opens the \"") +
               qu_title + "\": a mute switch and a level for each track.";
    if (rov_row_computed(row))
        return rov_row_sampling(row) ? "Playable in this version once a sample is recorded or loaded."
                                     : "Playable in this version.";
    return "Not playable yet in this version: its icon and menu item stay grayed.";
}

std::map<std::string, sh_infopage> build() {
    std::map<std::string, sh_infopage> m;
    auto add = [&m](const std::string& name, const std::string& title, std::vector<std::string> text) {
        m[name] = {name, title, std::move(text)};
    };
    add("WVTMPHLP", "Wave Tessellon - Overview",
        {"Wave Tessellon computes a continuous soundscape, buffer by buffer, with one of its generative "
         "algorithms and plays it through SDL on the chosen output device.",
         "Click an algorithm icon (or choose it in the Edit/Play menu) to open the setting editor. Start "
         "plays; the scroll bars change the parameters of the playing set while the sound goes on, and the "
         "sound glides to the new values at the pace of Chg.Dly. Shift + click on a control, or the pointer "
         "resting on it, tells what it does.",
         "A setting holds ten parameter sets of sixteen values, ten scales of sixteen pitch values, five "
         "moduli of the pseudo-random sequences and its standard algorithm. The numbered buttons select a "
         "set; with Read Setting off they copy the playing set into another. With Tonality on they choose a "
         "scale buffer instead and open the scale editor, which edits its sixteen values as pitches, "
         "envelopes, waveforms or slow control shapes.",
         "The Z button of the editor opens the player pad, on which you play extra tones over the running "
         "sound (Info - Tessellon). In Multiple play Z turns the four tracks, and Pause opens the mixer of "
         "the tracks; with a fuzz type or a mixed-in WAV file Pause opens the mixer as well.",
         "Files: File - Load and Save read and write setting files (*.rov, exactly 672 bytes; each Load also "
         "puts the setting before it into the setting banks); a setup file (*.ini, 42 bytes) keeps the "
         "options. WAV files are loaded as the sample; File - Record Sample records one from the sound input "
         "and Test Sample plays it; File - Harddisc Rec writes the output into a WAV file, and File - "
         "Harddisc Mix mixes a WAV file into the output.",
         "Sound set-up: Options - Output Device chooses the device (the default one or 0 to 3) and shows "
         "its capabilities; Mono 8 bit plays 8-bit mono; Setup - Buffer Size sets the buffer (3 to 512 KB): "
         "larger buffers react later but leave more time to compute. Setup - Time to play sets when an idle "
         "sound stops by itself.",
         "The sound on its way out: Options - Fuzz distorts or thickens it (with a degree), Options - Blow "
         "Up computes at half or a quarter of the output rate and stretches the buffers, stepped, linear or "
         "cubic. Options - Convert Sample expands, compresses or optimizes the sample.",
         "The status line of the editor shows, as Options - Setup - Display says, the CPU charge and the "
         "emergency counters, a buffer counter with automatic program changes, the play time, or level "
         "discs. Options - Visual Effects draws a picture that follows the music below the controls. "
         "Options - Info - ModuloCalc shows the periods of the pseudo-random sequences.",
         "Command line: tessellon [--no-intro] [FILE.rov] opens this window; tessellon render computes a "
         "setting into a WAV file without a window, tessellon play plays it without a window, tessellon "
         "devices lists the output and input devices, tessellon sample converts or records a sample file; "
         "tessellon COMMAND --help tells the options."});
    add("RANOVHLP", "Experimental Algorithms with Random Tones or Intervals",
        {"The experimental algorithms (first icon row) start tones at beat steps. Each beat step reads "
         "pseudo-random sequences x[i+1] = (m*x[i] + 1) MOD n for pitch, tonality, density, dynamic and "
         "panning; the moduli are part of the setting and the Modulo Calculator shows their periods.",
         "Voices sets how many tones may sound at once, Pitch the centre of the pitch range and PitSpread "
         "its width, Beat the time between beat steps; Envelope shapes each tone (how long it grows louder); "
         "Tonality balances random pitches against the sixteen pitch values of the scale."});
    add("SMPOVHLP", "Overlapping Samples Algorithms",
        {"The sampling algorithms play the sample buffer instead of an oscillator: recorded from the input "
         "(File - Record Sample) or loaded from a WAV file (File - Load). Until a sample exists their icons "
         "are hidden and their menu items grayed.",
         "Pitch sets the playing speed of the sample; LoopLength, LoopDrift, LoopSkip and Position choose "
         "how long the loops are and where they start. With Options - Setup - Record Samples a new sample is "
         "taken from the input while they play: by hand with the editor's Q button, all the time, or every "
         "5, 20 or 100 buffers."});
    add("PHROVHLP", "Phrase Algorithms",
        {"The phrase algorithms compose around a phrase: sixteen values of a scale buffer are played as a "
         "melody, varied by the pseudo-random sequences. The phrase is taken from the scale buffer of the "
         "playing scale with its lowest bit cleared (the ostinato takes the playing scale itself)."});
    for (int r = 0; r < rov_natab; ++r) {
        const rov_rowdesc& d = rov_row(r);
        std::string title = d.empty ? "Mute Algorithm" : d.tab.title;
        std::vector<std::string> t{d.info, availability(r)};
        if (!d.empty) t.push_back("Icon " + std::string(d.tab.icon) + "; Shift + click on the icon shows this page.");
        add("RANOVSP" + std::to_string(r), title, t);
    }
    // The overview of the algorithm pages follows the last row's page.
    add("RANOVSP" + std::to_string(rov_natab), "The Algorithm Pages",
        {"Every algorithm has a page of its own: Shift + click on its icon, or Info - Last Played for the "
         "algorithm played last. Toolbar slot 6 (the animated icon) opens the editor with the setting's "
         "own algorithm; Shift + click on it shows that algorithm's page."});
    add("WVTOPROV", "The Tessellon Pad",
        {"The player pad, \"Wave Tessellon Player\", lets you play extra tones by hand over the running "
         "soundscape, or change the tones of its running scale or phrase. Open it with the Z button of the "
         "setting editor while the sound plays; OK closes it and the soundscape plays on.",
         "Click in the player area left of the sliders: higher positions give lower tones, each row of ten "
         "pixels one halftone in the halftone modes. The tone takes a free voice of the playing algorithm and sounds with its "
         "timbre. A click beside the area marks the area with stripes.",
         "The six sliders set the tones you play: Volume, Length, Pulsewidth, Detune, Digital Volume (of "
         "the whole output, in dB) and Panorama.",
         "The first button sets the pitches: Halftones and FreePitch play a tone, on halftones or on any "
         "pitch; HT Scale and FreeScale write the pitch into the running scale or phrase instead, one column "
         "of sixteen per entry. The second button sets the pitch range: High, Medium or Low.",
         "The third button says what the horizontal position of a click sets for that tone: Volume, Length, "
         "Pulsewidth, Detune, Envelope (further right, a tone grows in faster and fades more slowly) or "
         "Panning. The slider it stands for shows its value in brackets.",
         "Shift + click on a place of the pad tells what it does."});
    add("WVNEWV2", "New Topics in the Wave Tessellon Version 2.0",
        {"Sampling algorithms, setting files and the harddisc recording of the output into WAV files."});
    add("WVNEWV3", "What's New in Version 3",
        {"Envelope, pitch-range, cluster and ostinato algorithms; setting banks and Multiple play; the "
         "status display modes with buffer counter, play time and level discs."});
    add("WVNEWV35", "What's New in Version 3.5",
        {"Visual effects drawn from the playing voices: Pastel Circles, Balls, Rosette, Lightshow, "
         "Algorithmic, Waveform and Pixel. In this program the picture is drawn at 640 x 480 in memory and "
         "shown at half size below the editor's controls, so drawing never holds up the sound."});
    add("WVNEWV4", "What's New in Version 4.0",
        {"Complex waveforms, slow random controls and the multiple sample loops; this program runs on "
         "Linux with FLTK windows and SDL sound, and offers render, play, devices and sample on the command "
         "line."});
    add("WVABOUT", "About Wave Tessellon ...",
        {"Wave Tessellon - a real-time generative music synthesizer.",
         "It computes 16-bit sound with integer arithmetic, buffer by buffer, and sends it to the sound "
         "device through SDL2. Windows: FLTK 1.3. WAV files: libsndfile; rate conversion: libsoxr."});
    return m;
}

}  // namespace

// The pages are written out where they are asked for: nothing is kept.
std::optional<sh_infopage> sh_info_page(const std::string& name) {
    std::map<std::string, sh_infopage> pages = build();
    auto it = pages.find(name);
    if (it == pages.end()) return std::nullopt;
    return std::move(it->second);
}

std::vector<std::string> sh_info_names() {
    std::vector<std::string> n;
    for (const auto& [k, v] : build()) n.push_back(k);
    return n;
}

sh_infolayout sh_info_layout(const sh_infopage& p, const std::function<int(const std::string&, int)>& measure) {
    constexpr int margin = 10, gap = 12, ok_w = 88, ok_h = 28;
    constexpr int text_w = sh_info_w - sh_info_bar_w - 2 * margin;
    sh_infolayout l;
    int y = margin;
    for (const std::string& t : p.text) {
        const int h = std::max(measure(t, text_w), 0);
        l.text.push_back({margin, y, text_w, h});
        y += h + gap;
    }
    l.ok = {(sh_info_w - sh_info_bar_w - ok_w) / 2, y, ok_w, ok_h};
    // The page is at least as tall as the farthest the window scrolls shows.
    l.height = std::max(y + ok_h + margin, sh_info_max_scroll + sh_info_h);
    return l;
}

int sh_info_scroll(sh_infoscroll& s, pd_code code, int thumb) {
    int want = s.ypos;
    switch (code) {
    case pd_lineup: want += 5; break;
    case pd_linedown: want -= 5; break;
    case pd_pageup: want += 55; break;
    case pd_pagedown: want -= 55; break;
    case pd_thumb: want = -11 * thumb; break;
    default: break;
    }
    want = std::clamp(want, -sh_info_max_scroll, 0);
    const int change = want - s.ypos;
    s.ypos = want;
    s.bar = -s.ypos / 11;
    return change;
}

std::string sh_device_title(uint32_t devno, const std::string& name) {
    std::string t = devno == sh_mapper ? "WAVE MAPPER" : std::to_string(devno);
    if (name.empty()) return t;
    // One line of printable text, as long as a menu can show.
    std::string n;
    for (const char c : name) n += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? ' ' : c;
    if (n.size() > 60) {
        std::size_t cut = 57;
        while (cut > 0 && (static_cast<unsigned char>(n[cut]) & 0xc0) == 0x80) --cut;  // not inside a character
        n = n.substr(0, cut) + "...";
    }
    return t + ": " + n;
}

std::vector<std::string> sh_caps_texts(const sh_woc& woc, uint32_t devno) {
    std::vector<std::string> t = sh_caps_texts(woc);
    t[0] = sh_device_title(devno, woc.name);
    return t;
}

std::vector<std::string> sh_caps_texts(const sh_woc& woc) {
    std::vector<std::string> t = {woc.name.substr(0, 31),
                                  "8 bit mono rates:",   "11025 Hz", "22050 Hz", "44100 Hz",
                                  "8 bit stereo rates:", "11025 Hz", "22050 Hz", "44100 Hz",
                                  "16 bit mono rates:",  "11025 Hz", "22050 Hz", "44100 Hz",
                                  "16 bit stereo rates:", "11025 Hz", "22050 Hz", "44100 Hz",
                                  "only synchronous output!", "volume can be controlled"};
    // Row r (8-bit mono, 8-bit stereo, 16-bit mono, 16-bit stereo) at rate k:
    // bit (1 << r) << 4k, shown in static 103 + 4r + k.
    for (int r = 0; r < 4; ++r)
        for (int k = 0; k < 3; ++k)
            if (!(woc.dwFormats & ((1u << r) << (4 * k)))) t[2 + 4 * r + k] = "   ";
    if (!(woc.dwSupport & wv_sup_sync)) t[17] = "   ";
    if (!(woc.dwSupport & wv_sup_volume)) t[18] = "   ";
    return t;
}

std::vector<std::string> sh_info_pages_of(const sh_state& st, int id) {
    switch (id) {
    case 103: return {"WVTMPHLP"};
    case 104: return {"RANOVHLP"};
    case 105: return {"SMPOVHLP"};
    case 106: return {"PHROVHLP"};
    case 107: return {"RANOVSP" + std::to_string(std::clamp(st.algomod, 0, rov_natab - 1))};
    case 108: return {"RANOVSP" + std::to_string(rov_row_multiple())};
    case 109: return {"WVTOPROV"};
    case 110: return {"WVNEWV2"};
    case 111: return {"WVNEWV3"};
    case 112: return {"WVNEWV35", "WVNEWV4"};
    case 127: return {"WVABOUT"};
    default: return {};
    }
}

std::string sh_tooltip(const sh_state& st, int x, int y) {
    const sh_hit h = sh_hittest(x, y, true);
    auto page_title = [](int row) {
        const std::optional<sh_infopage> p = sh_info_page("RANOVSP" + std::to_string(row));
        return p ? p->title : std::string();
    };
    if (h.kind == sh_hit_row) return rov_row(h.n).empty ? std::string() : page_title(h.n);
    if (h.kind != sh_hit_slot) return {};
    if (h.n == 6) return page_title(std::clamp<int>(st.fg.s.rov_stdalg, 0, rov_natab - 1));
    if (h.n == 8) return page_title(rov_row_multiple());
    const sh_question q = sh_slot_help(st, h.n);
    return q.text.empty() ? q.caption : q.caption + "\n" + q.text;
}
