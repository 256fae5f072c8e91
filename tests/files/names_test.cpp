// Stored file names: the last path component, at most its last 63 bytes.
#include <gtest/gtest.h>

#include <string>

#include "files/names.h"

TEST(FileName, IsTheLastComponent) {
    EXPECT_EQ(fi_name63("/home/u/music/A.ROV"), "A.ROV");
    EXPECT_EQ(fi_name63("A.ROV"), "A.ROV");
    EXPECT_EQ(fi_name63("dir/"), "");
    EXPECT_EQ(fi_name63(""), "");
}

TEST(FileName, KeepsTheLastSixtyThreeBytes) {
    const std::string n63(63, 'a');
    EXPECT_EQ(fi_name63("/x/" + n63), n63);
    const std::string longer = "0123456789" + std::string(60, 'b') + ".ROV";  // 74 bytes
    const std::string got = fi_name63("/x/y/" + longer);
    EXPECT_EQ(got, longer.substr(longer.size() - 63));
    EXPECT_EQ(got.size(), 63u);
}

TEST(FileName, NeverCutsACharacterInTwo) {
    // "ä" is two bytes; the cut at 63 would fall between them.
    const std::string name = "\xc3\xa4" + std::string(62, 'c');  // 64 bytes
    const std::string got = fi_name63("/" + name);
    EXPECT_EQ(got, std::string(62, 'c'));
    // Whole characters at the cut stay.
    const std::string fits = "x\xc3\xa4" + std::string(61, 'c');  // 64 bytes: the cut drops only "x"
    EXPECT_EQ(fi_name63(fits), "\xc3\xa4" + std::string(61, 'c'));
}
