// `tessellon sample ...`: the sample commands without a window.
#pragma once

#include <string>
#include <vector>

// Dispatches `sample SUBCOMMAND ...`; returns the exit status.
int cmd_sample(const std::vector<std::string>& args);
