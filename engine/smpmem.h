// The memory around a sample. A sampling routine is handed the words of a
// sample, but its loops and cross-fades may read a little before the first
// word or after the last one. Whoever hands a sample to the routines also
// names the buffer it lives in (rov_handle::smp); a read outside the words
// handed to a routine then reads the buffer's own word at that place, and 0
// outside it. The sine table, handed over when there is no sample, reads as
// its 257 entries (the closing entry is 0).
#pragma once

#include <cstdint>

// What a sampling routine may read: w[lo..hi), lo <= 0 <= len <= hi.
struct rov_smpview {
    const int16_t* w = nullptr;  // word 0 of the sample
    int32_t len = 0;             // the sample's words
    int64_t lo = 0, hi = 0;      // readable words around it
    // Word i of the sample (any i): the buffer's word there, or 0.
    int32_t at(int64_t i) const {
        return static_cast<uint64_t>(i - lo) < static_cast<uint64_t>(hi - lo) ? w[i] : 0;
    }
    // Words i and i + 1 both lie in the readable range.
    bool inside(int64_t i) const { return i >= lo && i + 1 < hi; }
};

// The words [begin, end) of the buffer a sample lives in; none: empty.
struct rov_smparea {
    const int16_t* begin = nullptr;
    const int16_t* end = nullptr;
};

// The view of `len` words at `tab`: within the buffer `mem`, its whole
// extent; the sine table, its 257 entries; anything else, just the words.
rov_smpview rov_smpview_of(const int16_t* tab, int64_t len, const rov_smparea& mem);
