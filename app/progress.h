// Progress of the long command-line jobs, on one line of stderr that is
// rewritten in place: only when stderr is a terminal, so that logs and pipes
// get the summary lines alone. The line is cleared before the summary.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "audio/filedev.h"

// A time as the lines show it: m:ss.s, or h:mm:ss from an hour on.
std::string cli_clock(double seconds);
// "render: 42 %, 0:12.5 of 0:30.0 sound, 812 x real time"
std::string render_progress_text(double done_s, double total_s, double elapsed_s);
// "playing 1:02.0, underruns 3", and ", lost 2048 frames" once any are
std::string play_status_text(double elapsed_s, uint64_t underruns, uint64_t lost_frames = 0);

// The line itself.
struct cli_statusline {
    bool tty = false;         // stderr is a terminal: nothing is drawn otherwise
    std::size_t width = 0;    // characters of the line on screen (0: none)
    double drawn_at = -1e300; // when it was last drawn
    void draw(const std::string& text, double now);
    void clear();
};

// The render's progress: counts the sound time of the bytes on their way to
// the file (a sink in front of the file's), shown once the job has run a
// second, at most five times a second.
struct render_progress final : wv_bytesink {
    render_progress(wv_bytesink* next, double total_s, int bytes_per_frame, bool tty);
    bool put(const void* data, std::size_t bytes, int32_t rate) override;
    void tick(double now);  // draws the line when due
    void finish() { line.clear(); }

    wv_bytesink* next;
    double total_s, done_s = 0, t0;
    int bpf;
    cli_statusline line;
};

// play's status: the time played, the underruns and the frames lost so
// far, redrawn when any of them changes.
struct play_status {
    play_status(const std::atomic<uint64_t>* underruns, std::function<uint64_t()> lost, bool tty);
    void tick(double elapsed_s, double now);
    void finish() { line.clear(); }
    bool active() const { return line.tty; }

    const std::atomic<uint64_t>* underruns;
    std::function<uint64_t()> lost;
    std::string last;
    cli_statusline line;
};

// True when stderr is a terminal.
bool cli_stderr_tty();
