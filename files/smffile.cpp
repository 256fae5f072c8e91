#include "files/smffile.h"

#include <glib.h>  // before smf.h, which includes it inside extern "C"
#include <smf.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <numeric>

#include "files/outfile.h"

struct fi_smfdata {
    smf_t* smf = nullptr;
    smf_track_t* track = nullptr;
    ~fi_smfdata() {
        if (smf) smf_delete(smf);
    }
};

fi_smftiming fi_smf_timing(int32_t rate) {
    fi_smftiming t;
    if (rate <= 0) return t;
    // tick = tempo / ppqn microseconds = 1 / rate seconds: tempo * rate = ppqn * 10^6.
    const int64_t g = std::gcd<int64_t, int64_t>(rate, 1000000);
    const int64_t p0 = rate / g, t0 = 1000000 / g;
    if (p0 <= 0x7fff) {
        // The multiple nearest to 120 beats a minute that still fits.
        int64_t k = std::llround(500000.0 / static_cast<double>(t0));
        k = std::max<int64_t>(1, std::min<int64_t>({k, 0x7fff / p0, 0xffffff / t0}));
        t.ppqn = static_cast<int>(p0 * k);
        t.tempo = static_cast<int>(t0 * k);
        t.exact = true;
        return t;
    }
    t.ppqn = 24000;
    t.tempo = static_cast<int>(std::llround(24000.0e6 / rate));
    return t;
}

fi_smfwriter::fi_smfwriter() = default;
fi_smfwriter::~fi_smfwriter() = default;

bool fi_smfwriter::start(int32_t rate) {
    d = std::make_unique<fi_smfdata>();
    events = last = 0;
    const fi_smftiming t = fi_smf_timing(rate);
    if (t.ppqn <= 0) return false;
    d->smf = smf_new();
    if (!d->smf || smf_set_ppqn(d->smf, t.ppqn) != 0) return false;
    d->track = smf_track_new();
    if (!d->track) return false;
    smf_add_track(d->smf, d->track);
    uint8_t tempo[6] = {0xff, 0x51, 3, static_cast<uint8_t>(t.tempo >> 16), static_cast<uint8_t>(t.tempo >> 8),
                        static_cast<uint8_t>(t.tempo)};
    smf_event_t* e = smf_event_new_from_pointer(tempo, 6);
    if (!e) return false;
    smf_track_add_event_pulses(d->track, e, 0);
    return true;
}

void fi_smfwriter::add(uint64_t frame, const uint8_t* b, int len) {
    if (!d || !d->track || len < 1 || len > 3 || frame > fi_smf_maxframes) return;
    if (frame < last) frame = last;  // never backwards
    last = frame;
    smf_event_t* e = smf_event_new_from_bytes(b[0], len > 1 ? b[1] : -1, len > 2 ? b[2] : -1);
    if (!e) return;
    smf_track_add_event_pulses(d->track, e, static_cast<int>(frame));
    ++events;
}

bool fi_smfwriter::save(const std::string& path, uint64_t end, std::string& err) {
    if (!d || !d->track) {
        err = "the MIDI data could not be set up";
        return false;
    }
    if (end > fi_smf_maxframes) end = fi_smf_maxframes;
    if (end < last) end = last;
    if (smf_track_add_eot_pulses(d->track, static_cast<int>(end)) != 0) {
        err = "the MIDI data could not be ended";
        return false;
    }
    // libsmf writes by name: into the temporary file beside the target,
    // which replaces the target only once complete.
    outfile o;
    if (!outfile_open(o, path)) {
        err = std::strerror(errno);
        return false;
    }
    const std::string& target = o.direct ? path : o.tmppath;
    if (smf_save(d->smf, target.c_str()) != 0) {
        err = "libsmf could not write it";
        outfile_discard(o);
        return false;
    }
    if (!outfile_commit(o)) {
        err = std::strerror(o.err ? o.err : errno);
        return false;
    }
    return true;
}
