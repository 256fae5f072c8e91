#include "audio/alsamidi.h"

#include <unistd.h>

#include <rtmidi_c.h>  // RtMidi's C interface: no stream objects to construct at start-up

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

using clk = std::chrono::steady_clock;

struct item {
    clk::time_point due;
    uint8_t len;
    uint8_t b[3];
};

class alsa_port final : public wv_midiport {
  public:
    explicit alsa_port(RtMidiOutPtr o) : out(o), th([this] { run(); }) {}
    ~alsa_port() override {
        {
            std::lock_guard<std::mutex> l(mu);
            quit = true;
        }
        cv.notify_all();
        th.join();
        silence();
        rtmidi_out_free(out);
    }

    void put(const wv_midimsg* msgs, uint32_t count, int32_t rate, uint32_t frames) override {
        if (rate <= 0) return;
        const clk::time_point now = clk::now();
        std::lock_guard<std::mutex> l(mu);
        const clk::time_point start = next > now ? next : now;
        auto at = [&](uint32_t f) {
            return start + std::chrono::duration_cast<clk::duration>(std::chrono::duration<double>(double(f) / rate));
        };
        for (uint32_t i = 0; i < count; ++i)
            q.push_back({at(msgs[i].frame), msgs[i].len, {msgs[i].b[0], msgs[i].b[1], msgs[i].b[2]}});
        next = at(frames);
        cv.notify_all();
    }

    void all_off() override {
        std::lock_guard<std::mutex> l(mu);
        // What waits is sent at once: its note offs must not be lost.
        for (item& i : q) i.due = clk::time_point{};
        stop = true;
        next = clk::time_point{};
        cv.notify_all();
    }

  private:
    // A port that went away fails the send: the sound plays on without MIDI.
    void send(const uint8_t* b, std::size_t n) { rtmidi_out_send_message(out, b, static_cast<int>(n)); }
    // All notes off and the bends centred on every channel.
    void silence() {
        for (uint8_t c = 0; c < 16; ++c) {
            const uint8_t off[3] = {static_cast<uint8_t>(0xb0 | c), 123, 0};
            send(off, 3);
        }
    }
    void run() {
        std::unique_lock<std::mutex> l(mu);
        while (!quit) {
            if (q.empty()) {
                if (stop) {
                    stop = false;
                    l.unlock();
                    silence();
                    l.lock();
                    continue;
                }
                cv.wait(l);
                continue;
            }
            const item i = q.front();
            if (i.due > clk::now()) {
                cv.wait_until(l, i.due);
                continue;
            }
            q.pop_front();
            l.unlock();
            send(i.b, i.len);
            l.lock();
        }
    }

    RtMidiOutPtr out;
    std::mutex mu;
    std::condition_variable cv;
    std::deque<item> q;
    clk::time_point next{};
    bool quit = false, stop = false;
    std::thread th;
};

}  // namespace

std::unique_ptr<wv_midiport> wv_alsa_midi_open(std::string& err, const char* seq) {
    if (access(seq, R_OK | W_OK) != 0) {
        err = std::string("no MIDI output available: ALSA's sequencer (") + seq + ") is not there";
        return nullptr;
    }
    RtMidiOutPtr out = rtmidi_out_create(RTMIDI_API_LINUX_ALSA, "Wave Tessellon");
    if (out && out->ok) rtmidi_open_virtual_port(out, "Wave Tessellon");
    if (!out || !out->ok) {
        err = std::string("no MIDI output available: ") + (out && out->msg ? out->msg : "ALSA's sequencer did not open");
        if (out) rtmidi_out_free(out);
        return nullptr;
    }
    return std::make_unique<alsa_port>(out);
}
