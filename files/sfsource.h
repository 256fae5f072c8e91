// What libsndfile reads of a sound file. A chunked file (RIFF, RIFX, RF64
// and BW64 WAVE; AIFF and AIFC) is shown to it as its format chunk and its
// sound data chunk alone, found by a walk over the chunk headers that never
// goes past the file's end: the other chunks (lists, cue points, instrument
// data) are where a damaged file can send the library into an endless loop,
// and they hold no sound. A chunk before the data that claims more bytes
// than the file has is refused at once. Every other file (FLAC, Ogg, ...)
// is shown as it is.
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <string>
#include <vector>

struct fi_sfsource {
    fi_sfsource() = default;
    ~fi_sfsource();
    fi_sfsource(const fi_sfsource&) = delete;
    fi_sfsource& operator=(const fi_sfsource&) = delete;

    // The file at `path` (kept open while libsndfile reads it), or bytes in
    // memory (which must outlive the reading). False when the file cannot be
    // opened (errno set).
    bool open_path(const std::string& path);
    void open_memory(const uint8_t* data, std::size_t n);

    // libsndfile on the view; nullptr when it does not read it, or when a
    // RIFF/WAVE file has no format or no data chunk.
    SNDFILE* open_sndfile(SF_INFO& info);

    // --- the view, for the virtual reading functions ---
    std::vector<uint8_t> head;   // the rebuilt header (empty: the file as it is)
    int64_t data_off = 0;        // where the shown data starts in the source
    int64_t data_len = 0;        // bytes of it shown
    int64_t pos = 0;             // reading position in the view
    bool broken = false;         // a chunked file refused before libsndfile sees it
    std::string fault;           // why, for the user ("" when not broken)

    int64_t size() const { return static_cast<int64_t>(head.size()) + data_len; }
    // Bytes of the source from offset `off`; the number read.
    int64_t read_source(int64_t off, void* buf, int64_t n) const;

private:
    void build_view();
    int fd_ = -1;
    const uint8_t* mem_ = nullptr;
    int64_t src_size_ = 0;
};
