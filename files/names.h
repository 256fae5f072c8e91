// The names of loaded and saved files as the program keeps and shows them.
#pragma once

#include <string>

// Longest stored file name, in bytes.
constexpr std::size_t fi_name_max = 63;

// The file-name part of a path (after its last '/'), cut to its last 63
// bytes; a UTF-8 character that the cut would split is left out whole.
std::string fi_name63(const std::string& path);
