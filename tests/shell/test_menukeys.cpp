// Keys typed into an open menu in one batch go in one per pass, in order.
#include <gtest/gtest.h>

#include "shell/menukeys.h"

TEST(MenuKeys, OnePerPassInTheOrderTyped) {
    sh_menukeys q;
    auto key = [](const char* t) {
        sh_menukey k;
        k.key = t[0];
        k.text = t;
        return k;
    };
    sh_menukey out;
    EXPECT_FALSE(sh_menukey_pass(q, out));  // nothing waits
    // "s", "i" and "t" come in one batch: "s" goes in, the others wait.
    EXPECT_TRUE(sh_menukey_arrives(q, key("s")));
    EXPECT_FALSE(sh_menukey_arrives(q, key("i")));
    EXPECT_FALSE(sh_menukey_arrives(q, key("t")));
    ASSERT_TRUE(sh_menukey_pass(q, out));
    EXPECT_EQ(out.text, "i");
    // A key typed while others wait goes behind them, even in a new pass.
    ASSERT_TRUE(sh_menukey_pass(q, out));
    EXPECT_EQ(out.text, "t");
    EXPECT_FALSE(sh_menukey_arrives(q, key("x")));
    ASSERT_TRUE(sh_menukey_pass(q, out));
    EXPECT_EQ(out.text, "x");
    EXPECT_FALSE(sh_menukey_pass(q, out));
    EXPECT_TRUE(sh_menukey_arrives(q, key("y")));  // alone in its pass
    // A menu that closes takes its waiting keys with it.
    EXPECT_FALSE(sh_menukey_arrives(q, key("z")));
    sh_menukey_closed(q);
    EXPECT_FALSE(sh_menukey_pass(q, out));
    EXPECT_TRUE(sh_menukey_arrives(q, key("a")));
}

TEST(MenuKeys, TheUnderlinedLetterInTheCaseTyped) {
    EXPECT_EQ(sh_mnemonic("Buff.Bea&t"), 't');
    EXPECT_EQ(sh_mnemonic("&Time"), 'T');
    EXPECT_EQ(sh_mnemonic("Save && &Quit"), 'Q');  // "&&" is a plain '&'
    EXPECT_EQ(sh_mnemonic("No letter"), 0);
    EXPECT_EQ(sh_mnemonic("End&"), 0);
    EXPECT_EQ(sh_mnemonic(nullptr), 0);
    EXPECT_EQ(sh_mnemonic_as("&Time", 't'), "&time");
    EXPECT_EQ(sh_mnemonic_as("Buff.Bea&t", 'T'), "Buff.Bea&T");
    EXPECT_EQ(sh_mnemonic_as("&Time", 'x'), "&Time");
    EXPECT_EQ(sh_mnemonic_as("&5", '5'), "&5");
    EXPECT_EQ(sh_mnemonic_as("A && B", 'a'), "A && B");
}
