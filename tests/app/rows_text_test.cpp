// The rows as the usage text and the manual page tell them agree with the
// rows table: the range of --algorithm, Multiple play's row, and the manual's
// list of rows with their titles.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "app/cli.h"
#include "engine/rows.h"

namespace {

std::string manual() {
    std::ifstream f(std::string(TESS_BUILD_DIR) + "/tessellon.1");
    std::stringstream s;
    s << f.rdbuf();
    std::string t = s.str();
    for (std::size_t i; (i = t.find("\\-")) != std::string::npos;) t.replace(i, 2, "-");
    return t;
}

}  // namespace

TEST(RowTexts, UsageAndManualAgreeWithTheTable) {
    const std::string last = std::to_string(rov_natab - 1), multiple = std::to_string(rov_row_multiple());
    const std::string usage = cli_engine_usage;
    EXPECT_NE(usage.find("algorithm row 0.." + last + " "), std::string::npos);
    EXPECT_NE(usage.find("Multiple play is --algorithm " + multiple + ":"), std::string::npos);

    const std::string man = manual();
    ASSERT_FALSE(man.empty());
    EXPECT_NE(man.find("Algorithm row 0 to " + last + " "), std::string::npos);
    EXPECT_NE(man.find(".BR \"--algorithm " + multiple + "\""), std::string::npos);
    const std::size_t list = man.find(".SH ALGORITHM ROWS");
    ASSERT_NE(list, std::string::npos);
    const std::string rows = man.substr(list, man.find(".SH", list + 1) - list);
    int listed = 0;
    for (std::size_t at = 0; (at = rows.find(".B ", at)) != std::string::npos; ++listed) at += 3;
    EXPECT_EQ(listed, rov_natab + 2);  // the rows, "--algorithm" and "render --list"
    for (int r = 0; r < rov_natab; ++r) {
        const char* title = rov_row(r).tab.title;
        const std::string entry = ".TP\n.B " + std::to_string(r) + "\n" + (title[0] ? title : "(empty algorithm)") + "\n";
        EXPECT_NE(rows.find(entry), std::string::npos) << entry;
    }
}
