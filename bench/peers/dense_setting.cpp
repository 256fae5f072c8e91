// Writes the peers' load (bench/peers/dense.h) as a setting file.
//   peers_setting OUT.rov
#include <cstdio>

#include "bench/peers/dense.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: peers_setting OUT.rov\n");
        return 2;
    }
    rov_setting s;
    peers_dense_setting(s);
    uint8_t bytes[rov_setting_bytes];
    rov_setting_write(s, bytes);
    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(bytes, 1, sizeof bytes, f) != sizeof bytes || std::fclose(f) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
