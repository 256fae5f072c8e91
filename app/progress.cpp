#include "app/progress.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>

#include "app/cycle.h"

std::string cli_clock(double seconds) {
    if (!(seconds > 0)) seconds = 0;
    char t[48];
    if (seconds >= 3600) {
        const long s = static_cast<long>(seconds);
        std::snprintf(t, sizeof t, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    } else {
        const long tenths = static_cast<long>(seconds * 10);
        std::snprintf(t, sizeof t, "%ld:%02ld.%ld", tenths / 600, tenths / 10 % 60, tenths % 10);
    }
    return t;
}

std::string render_progress_text(double done_s, double total_s, double elapsed_s) {
    // 100 % only once everything is written (a rate change may shift the total).
    int pct = total_s > 0 ? static_cast<int>(std::floor(100 * done_s / total_s)) : 0;
    if (pct > 99) pct = 99;
    if (pct < 0) pct = 0;
    char t[160];
    std::snprintf(t, sizeof t, "render: %d %%, %s of %s sound, %.0f x real time", pct, cli_clock(done_s).c_str(),
                  cli_clock(total_s).c_str(), elapsed_s > 0 ? done_s / elapsed_s : 0.0);
    return t;
}

std::string play_status_text(double elapsed_s, uint64_t underruns, uint64_t lost_frames) {
    std::string t = "playing " + cli_clock(elapsed_s) + ", underruns " + std::to_string(underruns);
    if (lost_frames > 0) t += ", lost " + std::to_string(lost_frames) + " frames";
    return t;
}

bool cli_stderr_tty() { return isatty(STDERR_FILENO) == 1; }

void cli_statusline::draw(const std::string& text, double now) {
    if (!tty) return;
    // The new text, then blanks over what is left of a longer old one.
    std::string t = "\r" + text;
    if (text.size() < width) t += std::string(width - text.size(), ' ') + "\r" + text;
    std::fputs(t.c_str(), stderr);
    std::fflush(stderr);
    width = text.size();
    drawn_at = now;
}

void cli_statusline::clear() {
    if (!tty || width == 0) return;
    std::fprintf(stderr, "\r%s\r", std::string(width, ' ').c_str());
    std::fflush(stderr);
    width = 0;
}

render_progress::render_progress(wv_bytesink* n, double total, int bytes_per_frame, bool tty)
    : next(n), total_s(total), t0(cli_now()), bpf(bytes_per_frame > 0 ? bytes_per_frame : 1) {
    line.tty = tty;
}

bool render_progress::put(const void* data, std::size_t bytes, int32_t rate) {
    const bool ok = next->put(data, bytes, rate);
    if (rate > 0) done_s += static_cast<double>(bytes / static_cast<std::size_t>(bpf)) / rate;
    if (line.tty) tick(cli_now());
    return ok;
}

void render_progress::tick(double now) {
    if (now - t0 < 1.0 || now - line.drawn_at < 0.2) return;
    line.draw(render_progress_text(done_s, total_s, now - t0), now);
}

play_status::play_status(const std::atomic<uint64_t>* u, std::function<uint64_t()> l, bool tty)
    : underruns(u), lost(std::move(l)) {
    line.tty = tty;
}

void play_status::tick(double elapsed_s, double now) {
    if (!line.tty) return;
    const std::string t = play_status_text(elapsed_s, underruns ? underruns->load() : 0, lost ? lost() : 0);
    // The time is shown in tenths; redrawn when that or the underruns change.
    if (t != last) {
        last = t;
        line.draw(t, now);
    }
}
