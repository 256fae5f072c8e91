// Little-endian byte cursors for the records stored in files: independent of
// the host's byte order and struct layout. The caller guarantees the room.
#pragma once

#include <cstdint>

struct le_writer {
    uint8_t* p;
    void u8(uint8_t v) { *p++ = v; }
    void i8(int8_t v) { u8(static_cast<uint8_t>(v)); }
    void i16(int16_t v) {
        const auto u = static_cast<uint16_t>(v);
        u8(static_cast<uint8_t>(u & 0xff));
        u8(static_cast<uint8_t>(u >> 8));
    }
    void i32(int32_t v) {
        const auto u = static_cast<uint32_t>(v);
        i16(static_cast<int16_t>(u & 0xffff));
        i16(static_cast<int16_t>(u >> 16));
    }
};

struct le_reader {
    const uint8_t* p;
    uint8_t u8() { return *p++; }
    int8_t i8() { return static_cast<int8_t>(u8()); }
    int16_t i16() {
        const uint16_t u = static_cast<uint16_t>(p[0] | (p[1] << 8));
        p += 2;
        return static_cast<int16_t>(u);
    }
    int32_t i32() {
        const uint32_t lo = static_cast<uint16_t>(i16());
        const uint32_t hi = static_cast<uint16_t>(i16());
        return static_cast<int32_t>(lo | (hi << 16));
    }
};
