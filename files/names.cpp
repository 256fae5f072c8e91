#include "files/names.h"

std::string fi_name63(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.size() <= fi_name_max) return name;
    std::size_t from = name.size() - fi_name_max;
    // Continuation bytes (10xxxxxx) of a character whose first byte was cut.
    while (from < name.size() && (static_cast<unsigned char>(name[from]) & 0xc0) == 0x80) ++from;
    return name.substr(from);
}
