#include "files/setup_file.h"

#include <cstring>

#include "engine/le_bytes.h"

int fi_setup_decode(const uint8_t* p, std::size_t n, fi_setup& out) {
    if (n < fi_setup_rec1) return 0;
    le_reader r{p};
    out.bufsiz0 = r.i32();
    out.sampmaxid = r.i32();
    out.recsmp = r.i32();
    out.wvodv = r.i32();
    out.maxvoc = r.u8();
    out.almod = r.u8();
    out.empha = r.u8();
    out.tonalia = r.u8();
    out.emerge = r.u8();
    out.emrot = r.u8();
    out.wvomea = r.u8();
    r.u8();  // padding
    if (n < fi_setup_bytes) return 1;
    out.playpaus = r.i16();
    out.dispmode = r.i16();
    out.blowopt = r.i16();
    out.playbmix = r.i16();
    out.fuzzlev = r.i16();
    out.fuzztyp = r.i16();
    out.vistyp = r.i16();
    out.autotempo = r.u8();
    out.shwmorph = r.u8();
    out.stereoset = r.u8();
    return 2;  // the reserved byte is not read
}

void fi_setup_encode(const fi_setup& f, uint8_t out[fi_setup_bytes]) {
    le_writer w{out};
    w.i32(f.bufsiz0);
    w.i32(f.sampmaxid);
    w.i32(f.recsmp);
    w.i32(f.wvodv);
    w.u8(f.maxvoc);
    w.u8(f.almod);
    w.u8(f.empha);
    w.u8(f.tonalia);
    w.u8(f.emerge);
    w.u8(f.emrot);
    w.u8(f.wvomea);
    w.u8(0);  // padding
    w.i16(f.playpaus);
    w.i16(f.dispmode);
    w.i16(f.blowopt);
    w.i16(f.playbmix);
    w.i16(f.fuzzlev);
    w.i16(f.fuzztyp);
    w.i16(f.vistyp);
    w.u8(f.autotempo);
    w.u8(f.shwmorph);
    w.u8(f.stereoset);
    w.u8(0);  // reserved
}

namespace {

constexpr uint8_t ext_tag[4] = {'W', 'T', 'l', 't'};

}  // namespace

fi_read fi_setup_read(const std::string& path, fi_setup& out, int& records) {
    records = 0;
    uint8_t bytes[fi_setup_bytes + fi_setup_ext];
    std::size_t n = 0;
    const fi_read r = fi_read_head(path, bytes, sizeof bytes, n);
    if (r != fi_read::ok) return r;
    records = fi_setup_decode(bytes, n, out);
    if (n == sizeof bytes && std::memcmp(bytes + fi_setup_bytes, ext_tag, sizeof ext_tag) == 0)
        out.latency = le_reader{bytes + fi_setup_bytes + sizeof ext_tag}.i16();
    return records > 0 ? fi_read::ok : fi_read::too_short;
}

bool fi_setup_write(const std::string& path, const fi_setup& f, int& err) {
    uint8_t bytes[fi_setup_bytes + fi_setup_ext] = {};
    fi_setup_encode(f, bytes);
    if (f.latency == 0) return fi_write_whole(path, bytes, fi_setup_bytes, err);
    std::memcpy(bytes + fi_setup_bytes, ext_tag, sizeof ext_tag);
    le_writer{bytes + fi_setup_bytes + sizeof ext_tag}.i16(f.latency);
    return fi_write_whole(path, bytes, sizeof bytes, err);
}
