// Sample conversion: the sample stretched to twice its length ("Expand"),
// cut to half ("Compress"), or brought to about 1 dB below full scale
// ("Optimize"), in place in its buffer, with integer arithmetic only.
#pragma once

#include <cstdint>

#include "files/wavload.h"

// expand != 0: the `origlen` mono words at w become 2 * origlen words in
// place (w has room), each new word between two old ones a cubic midpoint
// (the word before the first taken as silence), the last one linear.
// expand == 0: every second word is dropped, origlen / 2 remain. Sums are
// 32-bit, divisions by powers of two arithmetic shifts, results their low
// 16 bits. Expanding needs 3 words for the full shape; fewer get what of it
// fits.
void smpexpand(int16_t* w, long origlen, char expand);

// The peak magnitude of `origlen` words. With doit != 0 the words are also
// scaled so that the peak lands near 29127 (s * 16384 / (peak*9/16 + 2),
// truncating); a block too quiet for that (peak*9/16 == 0) returns 0 and is
// left alone.
int smplopt(int16_t* w, long origlen, char doit);

// The conversions of a loaded sample, with `capacity` the limit in bytes
// (smpszorig) the sample may grow to.
// Expand: only while the doubled length fits (capacity / 2 >= length);
// the words from the first sample word over length / 2 words are expanded
// and the length doubles. False when there is no room (nothing changed).
bool fi_sample_expand(fi_sample& s, int32_t capacity);
// Compress: length / 2 words halved, the length halves.
bool fi_sample_compress(fi_sample& s);
// Optimize: length / 2 words normalised. Returns smplopt's value.
int fi_sample_optimize(fi_sample& s);

// The rates a converted sample may be given (--adjust-rate, "Adjust Rate ?"):
// those of the playback rate table, from its lowest to its highest entry.
int32_t fi_rate_min();
int32_t fi_rate_max();
bool fi_rate_playable(long rate);
