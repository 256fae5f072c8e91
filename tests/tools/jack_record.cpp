// Records two JACK output ports as 16-bit stereo, and compares a recording
// with rendered samples.
//   jack_record record CLIENT SECONDS OUT.raw [MIDI.txt]
// Waits (at most 10 s) for CLIENT:out_left and CLIENT:out_right to appear,
// connects them to its own inputs and records SECONDS of them from then
// on; the floats are written as 16-bit samples (x * 32768, rounded), which
// gives back a 16-bit source exactly. With MIDI.txt it also records
// CLIENT:midi_out, one message a line: the frame of the recording it lies
// at, then its bytes in hex.
//   jack_record match REFERENCE.raw RECORDING.raw MIN_FRAMES
// The recording must hold, from its first sound on, the reference's frames
// bit for bit from wherever those first frames lie in it, for at least
// MIN_FRAMES, and nothing but silence after them (the stop). Prints the
// frame of the reference where the recording starts. Exit 0 when it holds,
// 1 when not, 2 on bad use.
#include <jack/jack.h>
#include <jack/midiport.h>

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct midi_event {
    std::size_t frame = 0;
    uint8_t len = 0;
    uint8_t b[3] = {};
};

struct rec {
    jack_port_t* in[2]{};
    jack_port_t* midi = nullptr;
    std::vector<int16_t> data;
    std::atomic<std::size_t> frames{0};
    std::vector<midi_event> events;  // room made before the client runs
    std::size_t nevents = 0;
};

int16_t to16(float x) {
    const float v = std::nearbyint(x * 32768.0f);
    return static_cast<int16_t>(v > 32767 ? 32767 : v < -32768 ? -32768 : v);
}

int process(jack_nframes_t n, void* arg) {
    auto& r = *static_cast<rec*>(arg);
    const auto* l = static_cast<const float*>(jack_port_get_buffer(r.in[0], n));
    const auto* rr = static_cast<const float*>(jack_port_get_buffer(r.in[1], n));
    std::size_t at = r.frames.load(std::memory_order_relaxed);
    if (r.midi && 2 * at + 1 < r.data.size()) {
        void* mb = jack_port_get_buffer(r.midi, n);
        const uint32_t count = jack_midi_get_event_count(mb);
        for (uint32_t i = 0; i < count && r.nevents < r.events.size(); ++i) {
            jack_midi_event_t ev;
            if (jack_midi_event_get(&ev, mb, i) != 0 || ev.size == 0 || ev.size > 3) continue;
            midi_event& e = r.events[r.nevents++];
            e.frame = at + ev.time;
            e.len = static_cast<uint8_t>(ev.size);
            std::memcpy(e.b, ev.buffer, ev.size);
        }
    }
    for (jack_nframes_t i = 0; i < n && 2 * at + 1 < r.data.size(); ++i, ++at) {
        r.data[2 * at] = to16(l[i]);
        r.data[2 * at + 1] = to16(rr[i]);
    }
    r.frames.store(at, std::memory_order_release);
    return 0;
}

int record(const std::string& client, double seconds, const char* out, const char* midi_out) {
    jack_client_t* c = jack_client_open("jack_record", JackNoStartServer, nullptr);
    if (!c) {
        std::fprintf(stderr, "jack_record: no JACK server\n");
        return 1;
    }
    rec r;
    const std::size_t total = static_cast<std::size_t>(seconds * jack_get_sample_rate(c));
    r.data.assign(2 * total, 0);
    r.in[0] = jack_port_register(c, "in_l", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    r.in[1] = jack_port_register(c, "in_r", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    if (midi_out) {
        r.midi = jack_port_register(c, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
        r.events.resize(1 << 16);
    }
    jack_set_process_callback(c, process, &r);
    if (jack_activate(c) != 0) return 1;
    const std::string left = client + ":out_left", right = client + ":out_right";
    // The ports exist before their client is active, and connect only then.
    const std::string me = jack_get_client_name(c);
    auto link = [&](const std::string& from, const char* to) {
        const int rc = jack_connect(c, from.c_str(), (me + to).c_str());
        return rc == 0 || rc == EEXIST;
    };
    bool linked = false;
    for (int i = 0; i < 1000 && !linked; ++i) {
        linked = link(left, ":in_l") && link(right, ":in_r") && (!midi_out || link(client + ":midi_out", ":midi_in"));
        if (!linked) usleep(10000);
    }
    if (!linked) {
        std::fprintf(stderr, "jack_record: cannot connect to %s\n", client.c_str());
        jack_client_close(c);
        return 1;
    }
    r.frames.store(0);
    while (r.frames.load() < total) usleep(20000);
    jack_client_close(c);
    if (midi_out) {
        FILE* m = std::fopen(midi_out, "w");
        if (!m) return 1;
        for (std::size_t i = 0; i < r.nevents; ++i) {
            std::fprintf(m, "%zu", r.events[i].frame);
            for (int k = 0; k < r.events[i].len; ++k) std::fprintf(m, " %02x", r.events[i].b[k]);
            std::fputc('\n', m);
        }
        if (std::fclose(m) != 0) return 1;
    }
    std::ofstream f(out, std::ios::binary);
    f.write(reinterpret_cast<const char*>(r.data.data()), static_cast<std::streamsize>(r.data.size() * 2));
    return f ? 0 : 1;
}

std::vector<uint32_t> frames_of(const char* path) {
    std::ifstream f(path, std::ios::binary);
    std::vector<char> b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    std::vector<uint32_t> out(b.size() / 4);
    std::memcpy(out.data(), b.data(), out.size() * 4);
    return out;
}

int match(const char* refp, const char* recp, std::size_t min) {
    const std::vector<uint32_t> ref = frames_of(refp), rec = frames_of(recp);
    std::size_t s = 0;
    while (s < rec.size() && rec[s] == 0) ++s;
    // The first 256 frames of sound, looked for in the reference.
    const std::size_t key = 256;
    if (s + key > rec.size()) {
        std::printf("jack_record: the recording holds no sound\n");
        return 1;
    }
    for (std::size_t j = 0; j + key <= ref.size(); ++j) {
        if (std::memcmp(&ref[j], &rec[s], key * 4) != 0) continue;
        std::size_t k = 0;
        while (s + k < rec.size() && j + k < ref.size() && rec[s + k] == ref[j + k]) ++k;
        std::printf("jack_record: the recording starts at frame %zu of the reference and matches %zu frames\n", j, k);
        if (k < min) return 1;
        for (std::size_t i = s + k; i < rec.size(); ++i) {
            if (rec[i] != 0) {
                std::printf("jack_record: frame %zu differs and is not silence\n", i);
                return 1;
            }
        }
        return 0;
    }
    std::printf("jack_record: the recording's first sound is nowhere in the reference\n");
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if ((argc == 5 || argc == 6) && std::strcmp(argv[1], "record") == 0)
        return record(argv[2], std::atof(argv[3]), argv[4], argc == 6 ? argv[5] : nullptr);
    if (argc == 5 && std::strcmp(argv[1], "match") == 0)
        return match(argv[2], argv[3], static_cast<std::size_t>(std::atol(argv[4])));
    std::fprintf(stderr, "usage: jack_record record CLIENT SECONDS OUT.raw [MIDI.txt] | match REF.raw REC.raw MIN_FRAMES\n");
    return 2;
}
