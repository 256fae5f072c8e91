// A private folder for a test, removed afterwards, and whole-file helpers.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

struct test_scratch {
    std::filesystem::path dir;
    test_scratch() {
        char tmpl[] = "/tmp/tessellon-files-XXXXXX";
        dir = mkdtemp(tmpl);
    }
    ~test_scratch() { std::filesystem::remove_all(dir); }
    std::string operator/(const std::string& name) const { return (dir / name).string(); }
    // The names in the folder.
    std::vector<std::string> names() const {
        std::vector<std::string> n;
        for (const auto& e : std::filesystem::directory_iterator(dir)) n.push_back(e.path().filename().string());
        return n;
    }
};

inline std::string test_slurp(const std::string& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

inline void test_put(const std::string& p, const std::string& bytes) {
    std::ofstream f(p, std::ios::binary);
    f << bytes;
}
