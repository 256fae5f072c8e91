// `tessellon render`: computes buffers exactly as the streaming cycle would
// send them, into a WAV file or raw 16-bit samples.
#pragma once

#include <string>
#include <vector>

// Runs the subcommand on its arguments (without the word "render"); returns
// the exit status. Messages go to stderr, the summary line to stdout.
int cmd_render(const std::vector<std::string>& args);
