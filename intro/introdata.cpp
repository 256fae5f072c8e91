// The introduction's tables: its ten example sets and scales, the captions,
// the tour and the notes.
#include "engine/algs.h"
#include "intro/intro.h"

namespace {

// Parameter sets 0..9: sixteen parameters, the switch (1 in every set) and
// the scale each plays.
constexpr int16_t sets[wi_nexamples][rov_setrow] = {
    {48, 8, 262, 96, 256, 128, 0, 0, 30, 80, 44, 14, 224, 24, 100, 0, 1, 0},
    {32, 64, 262, 0, 64, 32, 97, 4, 25, 128, 44, 6, 128, 24, 100, 3, 1, 0},
    {16, 32, 262, 192, 64, 40, 97, 3, 32, 128, 44, 4, 224, 24, 100, 6, 1, 2},
    {24, 144, 262, 0, 64, 64, 97, 1, 32, 80, 11, 3, 240, 24, 100, 6, 1, 2},
    {32, 64, 932, 14, 192, 24, 89, 3, 0, 64, 6, 0, 208, 24, 0, 0, 1, 4},
    {96, 0, 932, 192, 192, 96, 26, 4, 0, 96, 44, 1, 112, 12, 80, 0, 1, 3},
    {80, 128, 466, 192, 128, 128, 26, 64, 40, 96, 44, 32, 144, 24, 100, 0, 1, 2},
    {80, 64, 247, 192, 0, 128, 26, 0, 40, 96, 44, 24, 176, 24, 100, 1, 1, 2},
    {32, 0, 131, 64, 256, 84, 0, 0, 32, 96, 45, 8, 192, 24, 100, 0, 1, 6},
    {8, 16, 600, 192, 256, 128, 0, 32, 12, 96, 45, 8, 160, 36, 100, 0, 1, 8},
};

// Scales 0..9 in Hz, 0 = rest.
constexpr int16_t scales[rov_nscales][rov_nvalues] = {
    {262, 349, 0, 466, 440, 175, 524, 233, 208, 311, 349, 392, 0, 196, 494, 294},
    {262, 524, 262, 466, 233, 233, 220, 220, 208, 196, 165, 175, 131, 392, 524, 784},
    {37, 46, 55, 74, 92, 110, 147, 148, 185, 220, 294, 370, 440, 588, 740, 880},
    {117, 175, 233, 349, 466, 59, 139, 87, 88, 277, 698, 233, 349, 117, 138, 277},
    {65, 98, 147, 165, 220, 196, 131, 262, 294, 330, 440, 392, 262, 524, 588, 660},
    {131, 247, 165, 220, 175, 196, 147, 131, 262, 494, 330, 440, 349, 392, 294, 262},
    {262, 0, 524, 311, 330, 524, 392, 0, 392, 440, 0, 524, 622, 660, 524, 0},
    {131, 131, 131, 131, 156, 165, 175, 175, 196, 196, 196, 220, 262, 262, 262, 262},
    {431, 431, 62, 431, 431, 0, 676, 431, 676, 0, 431, 676, 0, 431, 676, 891},
    {250, 250, 300, 300, 350, 400, 450, 500, 550, 600, 650, 700, 750, 800, 850, 900},
};

}  // namespace

const int16_t tutsave[rov_nparams] = {96, 0, 932, 192, 192, 96, 26, 4, 0, 96, 44, 1, 112, 12, 80, 0};

const char* const wi_captions[wi_nexamples] = {
    "A slow example of \"Phrase playing\"",
    "The same phrase, but shorter and faster",
    "Another phrase playing now",
    "Same phrase, still 11025 Hz rate",
    "A very fast sound cascade",
    "Random & Scaled Tones, trying 5512 Hz",
    "dual scale & random tones algorithm",
    "the same, but only random pitch",
    "phrase playing, blues theme",
    "trying 22050 Hz rate",
};

const char* const wi_icons[wi_nexamples] = {
    "PHROVLAP1", "PHROVLAP1", "PHROVLAP1", "PHROVLAP1", "PHROVLAP1",
    "RANOVLAP1", "RANOVLAP2", "RANOVLAP2", "PHROVLAP1", "PHROVLAP1",
};

const char* const tutarr[wi_ntour] = {
    "     ",
    "Here is a demonstration of what happens",
    "if you change some sound parameters",
    "V o i c e s  controls the maximum number",
    "of voices played simultaneously",
    "Change voices from 6.00 to 2.00",
    "Change voices to 16.00",
    "T o n a l i t y  controls the probability",
    "of fixed pitch values",
    "Change tonality from 75 to 50",
    "Change tonality to 25",
    "Change tonality to 0",
    "Pitch has two parameters",
    "P i t S p r e a d  controls the spread",
    "Change pitch spread from 192 to 128.",
    "Change pitch spread to 64",
    "Change pitch spread to 16",
    "Change pitch spread to 0",
    "Change tonality to 100",
    "B e a t   controls the time gaps",
    "between tones: change it from 1 to 3",
    "P i t c h   control sets the",
    "medium pitch level: 932 -> 880",
    "Density  parameters control the",
    "mode how tones are played resp. omitted",
    "D e n s i t y  the probability of tones",
    "D e n s M o d e  the rhythmic pattern",
    "A c c e n t s  and  A c c M o d e  control",
    "the accents in a similar way",
    "E n v e l o p e  controls attack and decay",
    "Change envelope from 0 to 25",
    "change envelope to 50",
    "W a v e f o r m  controls the waveform",
    "for example from triangle (50)",
    " . . . to . . . (75)",
    "sawtooth (100)",
    "C h g . D l y  controls the delay of your",
    "parameter changes, for example Waveform",
    "and Voices",
    "          ",
};

// The parameter of the tour's set each step changes (-1: text only), and its new value.
const int16_t tutpar[wi_ntour] = {-1, -1, -1, -1, -1, 0, 0,  0,  -1, 4,  4, 4,  -1, -1, 3, 3, 3,  3,  4, -1,
                                  11, -1, 2,  -1, -1, 5, 6,  9,  10, -1, 1, 1,  -1, 12, 12, 12, 15, 12, 0, -1};
const int16_t tutval[wi_ntour] = {0, 0,  0, 0,   0, 32, 256, 96, 0,   128, 64,  0,   0,   0,   128, 64, 16, 0, 256, 0,
                                  3, 0, 880, 0, 0,  64, 29, 64, 41, 0,   64,  128, 0, 128, 192, 256, 8, 128, 0, 0};

const char* const wi_line102 = "the Interactive Player for Soundscape Creation";
const char* const wi_credit = "made by the Wave Tessellon developers";

const char* const wi_notes =
    "Wave Tessellon makes ambient soundscapes that\n"
    "never repeat: generative algorithms compute the\n"
    "sound buffer by buffer while you listen, and\n"
    "every parameter can change while it plays.\n"
    "\n"
    "To start, click an algorithm icon in the main\n"
    "window. The setting editor opens: Start plays\n"
    "the setting, the scroll bars change it, and the\n"
    "sound glides towards the new values.\n"
    "\n"
    "A setting holds ten parameter sets and ten\n"
    "scales. The numbered buttons choose the set that\n"
    "plays; in edit mode they open the scale editor.\n"
    "Shift + left click on a control shows its help.\n"
    "\n"
    "Record a sample from the sound input, or load a\n"
    "WAV file, and the five sampling algorithms play\n"
    "it. Settings are saved as .rov files; four of\n"
    "them play at once in Multiple play, with a mixer.\n"
    "\n"
    "\"Harddisc Rec\" writes what you hear into a WAV\n"
    "file. The player pad adds tones by hand; the\n"
    "Options menu has blow-up, fuzz, visual effects\n"
    "and the setup of buffers, voices and devices.\n"
    "\n"
    "Without a window, \"tessellon render\" writes a\n"
    "setting into a WAV file, \"tessellon play\" plays\n"
    "it. Here, a click skips ahead, Shift + click\n"
    "goes to the next example, and OK begins.\n";

void wi_setting(rov_setting& s) { rov_setting_build(s, sets, scales); }

int32_t wi_rate(int p13) {
    if (p13 <= 18) return 5512;
    if (p13 <= 30) return 11025;
    return 22050;
}

rov_alg wi_routine(int setnr) {
    if (setnr == 5) return ranov1;
    if (setnr == 6 || setnr == 7) return ranov2;
    return ranov8;
}
