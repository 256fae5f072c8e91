// Shared by the test programs: a private folder for a test, removed
// afterwards, whole-file helpers, and a limit on the size of written files.
#pragma once

#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

struct test_scratch {
    std::filesystem::path dir;
    test_scratch() {
        char tmpl[] = "/tmp/tessellon-test-XXXXXX";
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

inline std::vector<uint8_t> test_bytes(const std::string& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// Files may grow to at most `limit` bytes while it lives: a write past it
// fails with EFBIG, as on a full disc.
struct test_size_limit {
    rlimit old{};
    void (*old_handler)(int);
    explicit test_size_limit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &old);
        old_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit r = old;
        r.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &r);
    }
    ~test_size_limit() {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, old_handler);
    }
    test_size_limit(const test_size_limit&) = delete;
    test_size_limit& operator=(const test_size_limit&) = delete;
};
