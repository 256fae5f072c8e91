// `tessellon render`: computes buffers exactly as the streaming cycle would
// send them, into a WAV file or raw 16-bit samples.
#pragma once

#include <memory>
#include <string>
#include <vector>

// Runs the subcommand on its arguments (without the word "render"); returns
// the exit status. Messages go to stderr, the summary line to stdout.
int cmd_render(const std::vector<std::string>& args);

// One render in steps, as cmd_render runs it: each owns its program state,
// so that renders driven in turns, or on threads of their own, write what
// each writes alone.
struct render_state;
struct render_job {
    std::unique_ptr<render_state> st;
    render_job();
    ~render_job();
};
// Reads the arguments, prepares the program state, creates the output file
// and starts the cycle. -1 when the render goes on (render_next, then
// render_end); otherwise it is over and this is the exit status (--help,
// --list, a usage or file error, its message written).
int render_begin(render_job& j, const std::vector<std::string>& args);
// Runs the cycle until one more buffer has reached the output; false once
// it has ended (every buffer written, a failed write, a signal).
bool render_next(render_job& j);
// Runs what is left, then commits the output file (or removes it after a
// failure or a signal) and writes the summary line; the exit status.
int render_end(render_job& j);
