// The naming records of the routine families that the rows table names:
// caption, slot and switch texts, button help and slot ranges. See slots.h.
#include "engine/slots.h"

namespace {

// Titles.
constexpr char alg0txt[] = "Experimental - with Adjustable Panning";
constexpr char alg1txt[] = "Experimental - with Dual Oscillator";
constexpr char alg2txt[] = "Experimental - mixing Two Scales with Random Tones";
constexpr char alg3txt[] = "Minimal Music Machine";
constexpr char alg4txt[] = "Ambient Experimental - Echo, Fuzzy, and Chords";
constexpr char alg5txt[] = "Interval Studies - with Noise Option";
constexpr char alg6txt[] = "Interval Studies - with Samples";
constexpr char alg7txt[] = "Sample Player - with Crossfade Loops";
constexpr char alg8txt[] = "Sample Player - with Static Loops";
constexpr char alg9txt[] = "Fantasy - composing around a given phrase";
constexpr char alg10txt[] = "Session - with two channels and two fixed phrases";
constexpr char alg11txt[] = "Jazzy Playing - changing a phrase automatically";
constexpr char alg12txt[] = "Stumbling Chords - Triple Oscillator alternatively";
constexpr char alg13txt[] = "Experimental - with Complex Envelope";
constexpr char alg14txt[] = "Multiple Pitch Range - with Glissando";
constexpr char alg15txt[] = "Sample Player - around a given phrase";
constexpr char alg16txt[] = "Cluster - with scaled envelopes";
constexpr char alg17txt[] = "Ostinato phrase";
constexpr char alg18txt[] = "Ostinato and complex waveforms";
constexpr char alg19txt[] = "Random Pitch with Slow Controls";
constexpr char alg20txt[] = "Multiple Sample Loop Algorithm";
constexpr char algnotxt[] = "Empty Algorithm- doing nothing!";

// Parameter and switch texts: name, NUL, help text.
constexpr char px[] = "                \0" "                ";
constexpr char p0[] = "Voices\0" "maximum number of overlapping \nvoices. This parameter affects \nthe length of the tones and the\nprocessor charge";
constexpr char p1[] = "Envelope\0" "the part of time a tone grows\nlouder. Low values imitate plucked \ninstruments, medium values wind\nor bowed instruments";
constexpr char p2[] = "Pitch\0" "Generally the basic pitch of the soundscape\n(coarse adjustment in steps of halftones)";
constexpr char p3[] = "PitSpread\0" "the range around the basic \npitch for random tones";
constexpr char p4[] = "Tonality\0" "the balance between random pitch (0) and scaled\npitch (100). A scaled pitch is selected from one\nof 16 fixed pitch values defined in the associated\n(user defined) scale.";
constexpr char p5[] = "Density\0" "the balance between played tones (100) and rests (0).\nMedium values may create rhythmic patterns that are\ndependent of DensMode.";
constexpr char p6[] = "DensMode\0" "a parameter affecting the patterns\ncreated by Density in a rather \ncomplex way (the multiplicator m in \nx = (m*x + 1) MOD n)";
constexpr char p7[] = "Detune\0" "Tuning the second oszillator slightly\nhigher than the first one adds a \nbeautiful chorus effect";
constexpr char p8[] = "Filter\0" "High frequency overtones can be damped.\nUsing the filter (>0) slightly increases\nthe processor charge";
constexpr char p9[] = "Accents\0" "the balance between louder (100) and lower tones.\nMany algorithms provide 3 dynamic levels, some only 2";
constexpr char p10[] = "AccMode\0" "a parameter affecting the rhythm\nof accents in a rather complex \nway (the multiplicator m in \nx = (m*x + 1) MOD n)";
constexpr char p11[] = "Beat\0" "the basic time gap between two tones: \n(256/(value of Rate))*((value of Beat)+1) sec.";
constexpr char p12[] = "Waveform\0" "selecting a waveform between saw \nand triangle, between pulse and rectangle, \nor special (algorithm dependent) waveforms";
constexpr char p13[] = "Panning\0" "selecting the stereo panorama position";
constexpr char p14[] = "PanVar\0" "the amount of random variations in the \nstereo panorama";
constexpr char p15[] = "PhrCreate\0" "determines how often a new phrase \nwill be created";
constexpr char p16[] = "Tonality2\0" "the random pitch part left by \"Tonality\" can \nbe mixed with another scale of 16 fixed pitch values,\napproximately in steps of 1/128.";
constexpr char p17[] = "Select\0" "selecting the second scale of fixed \npitch values, the second phrase, or \na programmable envelope (see parameter \nabove). Divide displayed value by 8.";
constexpr char p18[] = "Echo\0" "the delay time of a panorama echo. \nThe time depends on the buffer size";
constexpr char p19[] = "EchoFB\0" "the echo feedback, the number of \naudible echoes";
constexpr char p20[] = "Fuzz\0" "the amount of distortion or the \nfrequency relation of an oscillator \nsync simulation. No sync/fuzz if adjusted \nto a value less than 16.";
constexpr char p21[] = "FuzzEnv\0" "the amount of timbre variation \nby envelope when fuzz or sync is used.";
constexpr char p22[] = "PitRange\0" "the range of interval or phrase pitch\nvalues. The minimum is one octave, the\nmaximum about 5 octaves. Pitch values \noutside this range are brought back by \noctave transposition";
constexpr char p23[] = "Intervals\0" "specifying how many pitch \nvalues are intervals to previous \nones (instead of absolute values). \nThe user scale is subdivided into \n8 absolute pitch values and 8 intervals";
constexpr char p24[] = "Noise\0" "adding a noise modulation to the sound.";
constexpr char p25[] = "NoiseType\0" "type of noise modulation: \n0 detuning, 1 low frequency modulation, \nelse more or less periodic noise";
constexpr char p26[] = "LoopDrift\0" "specifies how fast the loop \nstart point drifts along the sample. \nVery surprising sound effects between \nsynthetic and natural sound!";
constexpr char p27[] = "LoopSkip\0" "specifies the distance between two\nneighbouring loop start points (of\nfour ones randomly selected while playing)";
constexpr char p28[] = "LoopLength\0" "Fine adjustment of the loop length:\ni in ((sample length)/(1+i+128*j))";
constexpr char p29[] = "..Coarse\0" "Coarse adjustment of the loop length:\nj in ((sample length)/(1+i+128*j))";
constexpr char p30[] = "Beat\0" "the basic time gap between two tones: \n(64/(value of Rate))*((value of Beat) + 3) sec";
constexpr char p31[] = "Position\0" "the loop start point position provided\nthat the whole loop still fits into the\nrest of the sample";
constexpr char p32[] = "Length\0" "Fine adjustment of the loop length:\ni in ((16*sample length)/(16+i+128*j))";
constexpr char p33[] = "..Coarse\0" "Coarse adjustment of the loop length:\nj in ((16*sample length)/(16+i+128*j))";
constexpr char p34[] = "Phrase\0" "the probability of phrase play \nstarting (instead of pitch values from \nthe \"transposition scale\")";
constexpr char p35[] = "PhraseLen\0" "the length of the phrase. \nAdjust (n - 1)*6 for n tones";
constexpr char p36[] = "PhrLenMod\0" "enables a random phrase length variation";
constexpr char p37[] = "DetEnv\0" "adds a pitch change to the second oscillator\nwhile the tone fades out. No change if\nadjusted to 32.";
constexpr char p38[] = "Phrase2\0" "Balance between the main phrase (0)\nand an alternative phrase (100).\nThe alternative phrase is selected by \nthe parameter below.";
constexpr char p39[] = "Hold\0" "The higher the value, the longer a tone\nholds the maximum volume level \n(high values create organ like sounds)";
constexpr char p40[] = "Chords\0" "Balance between triple oscillator \ntones and chords";
constexpr char p41[] = "Stumble\0" "adds a \"stumbling\" to the \nrhythm. The kind of stumbling is \nalso dependent of the parameter below \nand the buffer size.";
constexpr char p42[] = "StumMode\0" "specifies the period of \n\"stumbling\" (see parameter above)";
constexpr char p43[] = "Detune2\0" "detuning the third oscillator";
constexpr char p44[] = "Rate\0" "Sampling rate. It is recommended to use\n11025, 22050, 44100, or (if possible) 5512 Hz.";
constexpr char p45[] = "Volume\0" "Volume control to the Wave Output Device";
constexpr char p46[] = "Chg.Dly\0" "Delay of parameter changes. \nChanges of parameters only work immediately \nif ChgDly is set to 0. Values > 0 are for \nmorphing between soundscapes";
constexpr char p47[] = "Honky\0" "Honky adds a small, varying pitch change to\nevery tone";
constexpr char p48[] = "EnvSelect\0" "select a 16 step envelope from the user\nscale buffer. Divide displayed value by 8";
constexpr char p49[] = "PitSpread\0" "the ranges around the 8 basic pitch values\nin the user scale buffer (controller 0,2,4..).\nThe spread is also dependent of the individual\nspread controllers in the user scale\n(controller 1,3,5,..).";
constexpr char p50[] = "PitRaster\0" "controlling the pitch raster from almost\ncontinuous to audible overtone chords";
constexpr char p51[] = "Gliss1\0" "glissando effect during the attack phase.\nIn the medium position there is no glissando";
constexpr char p52[] = "Gliss2\0" "glissando effect during the release phase.\nIn the medium position there is no glissando";
constexpr char p53[] = "LoopLength\0" "adjustment of the loop length:\ni in ((16*sample length)/(16+i)) for i <= 64\nfor i > 64 coarse adjustment";
constexpr char p54[] = "Phrase\0" "the probability of phrase play \nstarting (instead of playing freely \nwith the phrase pitch values)";
constexpr char p55[] = "ScaleSize\0" "the number of pitch values in the scale\ncan be modified (ScaleDistr = 0), resp. \nthe distribution of the pitch values can \nbe changed from asymmetric to symmetric";
constexpr char p56[] = "ScaleDistr\0" "the period of the scale pitch distribution\ncan be modified";
constexpr char p57[] = "EnvScaling\0" "in a high position, higher tones are shortened.\nin a low position, lower tones are shortened.\nno effect in a medium position";
constexpr char p58[] = "Clustering\0" "sets the number of tones that are gathered to\nchords or clusters. The range of this parameter\nis dependent of the parameter Voices";
constexpr char p59[] = "Phrase\0" "the balance between phrase playing sequentially\nand playing the phrase notes in a random sequence";
constexpr char p60[] = "PhaseMod\0" "adding a phase modulation to the waveform";
constexpr char p61[] = "WaveSel\0" "select a waveform or a phase modulation table\nfrom the user scale memory. Divide displayed\nvalue by 16.";
constexpr char p62[] = "Vibrato\0" "add a vibrato effect, oscillating 16, 8, 4, or\n2 times during the decay phase";
constexpr char p63[] = "LFO1speed\0" "adjust low frequency oscillator 1 speed\n(depends also on Beat)";
constexpr char p64[] = "LFO1Voice\0" "adjust the effect of LFO1 for the\nVoices parameter";
constexpr char p65[] = "LFO1Wave\0" "adjust the effect of LFO1 for the\nWaveform parameter";
constexpr char p66[] = "LFO2speed\0" "adjust low frequency oscillator 2 speed\n(depends also on Beat)";
constexpr char p67[] = "LFO2Env\0" "adjust the effect of LFO2 for the\nEnvelope parameter";
constexpr char p68[] = "LFO2Beat\0" "adjust the effect of LFO2 for the\nBeat parameter";
constexpr char p69[] = "LFO2Spread\0" "adjust the effect of LFO2 for the\nPitch Spread parameter";
constexpr char p70[] = "Waveform\0" "selecting a waveform between saw and\ntriangle, or sine";
constexpr char p71[] = "Crossfade\0" "Adjust the crossfade between\nsample loops";
constexpr char p72[] = "LoopSel\0" "Select 8 pairs of (Loop Position, Loop\nLength) from the \"user scale memories\".\nDivide displayed value by 8";
constexpr char p73[] = "LoopChng\0" "Select the time between the Changes\nbetween Loops";
constexpr char p74[] = "LFO1Pitch\0" "adjust the effect of LFO1 for the\nPitch parameter";
constexpr char p75[] = "WaveSweep\0" "add a \"waveform sweep\" effect to the\nsound in the decay phase";
constexpr char sw0[] = "&Saw\0" "If on, triangle and sawtooth like \nwaveforms can be created. If off, pulse \nand other waveforms can be created";
constexpr char sw1[] = "&Sync\0" "If on, an oscillator sync sound \nis created, else an overdrive sound.";
constexpr char sw2[] = "Loop      &S\0" "Loop playing is possible only if switched on";
constexpr char sw3[] = "Pha&s\0" "Use waveform for a phase modulation of\na triangle wave.";
constexpr char sw4[] = "Rand      &S\0" "Add to LFO2 a pseudo random con-\ntrol based on the \"Tone\" sequence\nof numbers";
constexpr char sw5[] = "Hold      &S\0" "Substitute the triangle envelope by\nan organ envelope";

// Help texts of the numbered buttons in scale mode: assigning, then
// viewing or editing.
constexpr char ass0[] = "assigning a user defined scale of \n16 pitch values to the soundscape";
constexpr char ass1[] = "assigning a scale of 8 pitch values \nand 8 intervals to the soundscape";
constexpr char ass2[] = "assigning a phrase (even storage number) \nand a scale (odd storage number) \n(paired in 0/1, 2/3, 4/5, 6/7, 8/9) \nto the soundscape";
constexpr char ass3[] = "assigning the main phrase to the soundscape";
constexpr char ass4[] = "assigning 8 fixed pitch values and 4 chords \nto the soundscape";
constexpr char ass5[] = "assigning 8 pairs of pitch and pitch spread\nto the soundscape";
constexpr char ass6[] = "assigning a phrase & scale (even storage\nnumber) and a transposition table (odd storage\nnumber; paired in 0/1, 2/3, 4/5, 6/7, 8/9)\nto the soundscape";
constexpr char ass7[] = "assigning LFO1 waveform (controller 0 to 7)\nand LFO2 waveform (controller 8 to 15)";
constexpr char vw0[] = "viewing or editing a user defined scale";
constexpr char vw1[] = "viewing or editing a scale (controller 0 to 7) \nand a set of intervals (controller 8 to 15), \nbasic pitch is 262/f1";
constexpr char vw2[] = "viewing or editing a phrase (even storage \nnumber, basic pitch is 262/f1), \nor a scale (odd storage number)";
constexpr char vw3[] = "viewing or editing the main phrase \n(basic pitch is 262/f1)";
constexpr char vw4[] = "viewing or editing pitch and chords: \npitch 0 to 3 transpose chords f1/8/9 and f1/12/13,\npitch 4 to 7 transpose chords f1/10/11 and f1/14/15";
constexpr char vw5[] = "viewing or editing a scale or an envelope: \nsliders 0 to 8 for the attack phase, and\nsliders 8 to 15 for the release phase";
constexpr char vw6[] = "viewing or editing 8 pairs of pitch and \npitch spread values";
constexpr char vw7[] = "viewing or editing a phrase (even storage \nnumber, basic pitch is 262/f1), \nor a transposition table (odd storage number)";
constexpr char vw8[] = "viewing or editing a phrase (even storage \nnumber), a transposition table (odd storage\nnumber), or a waveform (extra assignment)";
constexpr char vw9[] = "viewing or editing LFO waveforms\n(controller 0 to  7 for LFO1,\n controller 8 to 15 for LFO2)";

}  // namespace

constexpr rov_family slots_panning = {alg0txt, {p0, p1, p2, p3, p4, p5, p6, p13, p14, p9, p10, p11, p12, p44, p45, p46}, sw0, ass0, vw0, rov_slot_std};
constexpr rov_family slots_dual = {alg1txt, {p0, p1, p2, p3, p4, p5, p6, p7, p8, p9, p10, p11, p12, p44, p45, p46}, sw0, ass0, vw0, rov_slot_std};
constexpr rov_family slots_twoscales = {alg2txt, {p0, p1, p2, p3, p4, p5, p6, p16, p17, p9, p10, p11, p12, p44, p45, p46}, sw0, ass0, vw0, rov_slot_std};
constexpr rov_family slots_minimal = {alg3txt, {p0, p1, p2, p3, p4, p5, p6, p7, p8, p9, p10, p11, p12, p44, p45, p46}, sw0, ass0, vw0, rov_slot_std};
constexpr rov_family slots_ambient = {alg4txt, {p0, p1, p2, p3, p4, p18, p19, p20, p21, p9, p10, p11, p12, p44, p45, p46}, sw1, ass0, vw0, rov_slot_std};
constexpr rov_family slots_intervals = {alg5txt, {p0, p1, p2, p22, p23, p5, p6, p24, p25, p9, p10, p11, p12, p44, p45, p46}, sw0, ass1, vw1, rov_slot_std};
constexpr rov_family slots_smpintervals = {alg6txt, {p0, p1, p2, p22, p23, p26, p27, p28, p29, p9, p10, p30, p31, p44, p45, p46}, sw2, ass1, vw1, rov_slot_std};
constexpr rov_family slots_crossfade = {alg7txt, {p0, p1, p2, p3, p4, p26, p27, p28, p29, p9, p10, p30, p31, p44, p45, p46}, sw2, ass0, vw0, rov_slot_std};
constexpr rov_family slots_staticloops = {alg8txt, {p0, p1, p2, p3, p4, p5, p6, p32, p33, p9, p10, p30, p31, p44, p45, p46}, sw2, ass0, vw0, rov_slot_std};
constexpr rov_family slots_fantasy = {alg9txt, {p0, p1, p2, p22, p34, p35, p36, p7, p37, p9, p10, p11, p12, p44, p45, p46}, sw0, ass2, vw2, rov_slot_std};
constexpr rov_family slots_session = {alg10txt, {p0, p1, p2, p22, p34, p35, p36, p38, p17, p9, p10, p11, p12, p44, p45, p46}, sw0, ass0, vw0, rov_slot_std};
constexpr rov_family slots_session_odd = {alg10txt, {p0, p1, p2, p22, p34, p35, p36, p38, p17, p9, p10, p11, p12, p44, p45, p46}, sw0, ass3, vw3, rov_slot_std};
constexpr rov_family slots_jazzy = {alg11txt, {p0, p1, p2, p22, p34, p35, p36, p7, p15, p9, p10, p11, p12, p44, p45, p46}, sw0, ass0, vw0, rov_slot_std};
constexpr rov_family slots_chords = {alg12txt, {p0, p1, p2, p39, p40, p41, p42, p7, p43, p9, p10, p11, p12, p44, p45, p46}, sw0, ass4, vw4, rov_slot_std};
constexpr rov_family slots_envelope = {alg13txt, {p0, p1, p2, p3, p4, p5, p6, p47, p48, p9, p10, p11, p12, p44, p45, p46}, sw0, ass0, vw5, rov_slot_std};
constexpr rov_family slots_ranges = {alg14txt, {p0, p1, p2, p49, p50, p5, p6, p51, p52, p9, p10, p11, p12, p44, p45, p46}, sw0, ass5, vw6, rov_slot_std};
constexpr rov_family slots_samphrase = {alg15txt, {p0, p1, p2, p22, p54, p35, p36, p53, p26, p9, p10, p30, p31, p44, p45, p46}, sw2, ass6, vw7, rov_slot_std};
constexpr rov_family slots_cluster = {alg16txt, {p0, p1, p2, p3, p4, p55, p56, p57, p58, p9, p10, p11, p12, p44, p45, p46}, sw0, ass0, vw0, rov_slot_std};
constexpr rov_family slots_ostinato = {alg17txt, {p0, p1, p2, p22, p59, p35, p36, p7, p60, p9, p10, p11, p12, p44, p45, p46}, sw0, ass3, vw3, rov_slot_std};
constexpr rov_family slots_waveforms = {alg18txt, {p0, p1, p2, p22, p59, p35, p61, p7, p62, p9, p10, p11, p12, p44, p45, p46}, sw3, ass2, vw8, rov_slot_std};
constexpr rov_family slots_waveforms_tv = {alg18txt, {p0, p1, p2, p22, p59, p35, p61, p7, p75, p9, p10, p11, p12, p44, p45, p46}, sw3, ass2, vw8, rov_slot_std};
constexpr rov_family slots_lfo = {alg19txt, {p0, p1, p2, p3, p63, p64, p65, p66, p67, p68, p69, p11, p70, p44, p45, p46}, sw4, ass7, vw9, rov_slot_std};
constexpr rov_family slots_lfo_tv = {alg19txt, {p0, p1, p2, p3, p63, p64, p65, p66, p74, p68, p69, p11, p70, p44, p45, p46}, sw4, ass7, vw9, rov_slot_std};
constexpr rov_family slots_multiloop = {alg20txt, {p0, p1, p2, p3, p4, p5, p6, p71, p72, p9, p10, p30, p73, p44, p45, p46}, sw5, ass0, vw0, rov_slot_std};
constexpr rov_family slots_blank = {algnotxt, {px, px, px, px, px, px, px, px, px, px, px, px, px, p44, p45, px}, sw0, ass0, vw0, rov_slot_std};


namespace {

constexpr bool complete(const rov_family& f) { return rov_family_complete(f); }

static_assert(complete(slots_panning) && complete(slots_dual) && complete(slots_twoscales) &&
              complete(slots_minimal) && complete(slots_ambient) && complete(slots_intervals) &&
              complete(slots_smpintervals) && complete(slots_crossfade) && complete(slots_staticloops) &&
              complete(slots_fantasy) && complete(slots_session) && complete(slots_session_odd) &&
              complete(slots_jazzy) && complete(slots_chords) && complete(slots_envelope) &&
              complete(slots_ranges) && complete(slots_samphrase) && complete(slots_cluster) &&
              complete(slots_ostinato) && complete(slots_waveforms) && complete(slots_waveforms_tv) &&
              complete(slots_lfo) && complete(slots_lfo_tv) && complete(slots_multiloop) && complete(slots_blank));

}  // namespace
