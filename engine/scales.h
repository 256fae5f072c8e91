// The note table: 61 equal-tempered pitch values from F1 (33) to f3 (1048),
// 262 = f1 at index 36, followed by the end mark 9999; and their names.
#pragma once

#include <cstdint>

extern const int16_t tonnotes[62];
extern const char* const tonnames[62];  // three characters, padded with blanks
