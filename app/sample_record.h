// `tessellon sample record`: a sample recorded from the input device as the
// window program's "&Record Sample" does, saved as the window program saves
// a sample.
#pragma once

#include <string>
#include <vector>

#include "audio/capture.h"
#include "audio/sdlcalls.h"

// Runs `tessellon sample record` on its arguments (without "sample record");
// returns the exit status.
int cli_sample_record(const std::vector<std::string>& args);

// The same on a given input device layer (for tests).
int cli_sample_record_on(const std::vector<std::string>& args, wv_capture* cap, const wv_sdlcalls* calls = nullptr);

extern const char* const cli_sample_record_usage;
