// What the messages say when no output device opens.
#include <gtest/gtest.h>

#include "audio/sdldev.h"

namespace {

const std::vector<std::string> systems = {"pulseaudio", "alsa", "sndio", "pipewire", "dsp", "disk", "dummy"};

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(AudioHint, WithoutTheVariableSdlTriesEverySystemUpToTheOneThatStarts) {
    // None started: every system SDL tries on its own, not dummy or disk.
    wv_audio_hint h = wv_audio_hint_for(nullptr, systems, nullptr);
    EXPECT_EQ(h.tried, "SDL tried the audio systems pulseaudio, alsa, sndio, pipewire, dsp; none of them could start");
    EXPECT_TRUE(has(h.advice, "start PulseAudio or PipeWire"));
    EXPECT_TRUE(has(h.advice, "SDL_AUDIODRIVER"));
    EXPECT_TRUE(has(h.advice, "(SDL has pulseaudio, alsa, sndio, pipewire, dsp)"));
    EXPECT_EQ(h.brief, "start PulseAudio or PipeWire, or set SDL_AUDIODRIVER");

    // ALSA started (no sound server) but has no device: the list ends there.
    h = wv_audio_hint_for("", systems, "alsa");
    EXPECT_EQ(h.tried, "SDL tried the audio systems pulseaudio, alsa; alsa runs but offers no output device");
}

TEST(AudioHint, TheVariableNamesWhatIsTried) {
    wv_audio_hint h = wv_audio_hint_for("pulseaudio", systems, nullptr);
    EXPECT_EQ(h.tried, "SDL tried the audio system pulseaudio; it could not start");
    // Several names, in their order, in any case; unknown ones are skipped.
    h = wv_audio_hint_for("PipeWire,nosuch,alsa", systems, nullptr);
    EXPECT_EQ(h.tried, "SDL tried the audio systems pipewire, alsa; none of them could start");
    // A system SDL uses only when named counts when named.
    h = wv_audio_hint_for("dummy", systems, "dummy");
    EXPECT_EQ(h.tried, "SDL tried the audio system dummy; dummy runs but offers no output device");
}

TEST(AudioHint, AVariableNamingNothingSdlHasSaysSo) {
    const wv_audio_hint h = wv_audio_hint_for("no-such-driver", systems, nullptr);
    EXPECT_EQ(h.tried,
              "SDL_AUDIODRIVER=no-such-driver names no audio system that SDL has "
              "(it has pulseaudio, alsa, sndio, pipewire, dsp, disk, dummy)");
    EXPECT_EQ(h.advice, "unset SDL_AUDIODRIVER, or set it to one of those");
    EXPECT_EQ(wv_audio_hint_for(",,", systems, nullptr).advice, "unset SDL_AUDIODRIVER, or set it to one of those");
    EXPECT_EQ(wv_audio_hint_for(nullptr, {}, nullptr).tried, "SDL has no audio system");
}
