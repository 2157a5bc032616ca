#include "shared_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void typeAll(SharedText& text, const std::string& keys) {
    for (char key : keys) {
        addKey(text, static_cast<unsigned char>(key));
    }
}

void expectNulBehindString(const SharedText& text) {
    const std::size_t length = std::char_traits<char>::length(text.chars);
    ASSERT_LT(length, textCapacity);
    for (std::size_t i = length; i < textCapacity; ++i) {
        EXPECT_EQ(text.chars[i], '\0') << "byte " << i;
    }
}

// From the start: the keys, in place of the placeholder, then one more after them.
void expectTypedThenAppended(const std::string& keys, char more) {
    SharedText text;
    typeAll(text, keys);
    EXPECT_EQ(std::string(text.chars), keys);
    EXPECT_TRUE(text.typed);
    addKey(text, static_cast<unsigned char>(more));
    EXPECT_EQ(std::string(text.chars), keys + more);
    expectNulBehindString(text);
}

TEST(SharedTextTest, StartsAsThePlaceholderWithZeroFill) {
    const SharedText text;
    EXPECT_STREQ(text.chars, "UXEN");
    EXPECT_FALSE(text.typed);
    expectNulBehindString(text);
}

TEST(AddKeyTest, FirstKeyReplacesThePlaceholder) {
    expectTypedThenAppended("a", 'b');
}

TEST(AddKeyTest, TypedPlaceholderIsKeptAndTheNextKeyAppends) {
    expectTypedThenAppended("UXEN", '!');
    expectTypedThenAppended("aUXEN", 'x');
}

TEST(AddKeyTest, CodeZeroLandsOnTheTerminator) {
    SharedText first;
    addKey(first, 0);  // still empties the placeholder
    EXPECT_STREQ(first.chars, "");
    EXPECT_TRUE(first.typed);
    expectNulBehindString(first);

    SharedText later;
    typeAll(later, "hi");
    addKey(later, 0);
    EXPECT_STREQ(later.chars, "hi");
    addKey(later, '!');
    EXPECT_STREQ(later.chars, "hi!");
}

TEST(AddKeyTest, ControlAndHighCodesAreStoredUnchanged) {
    expectTypedThenAppended("\b\t\r\x1b\x7f\x80\x9f\xe9", '\xff');
}

TEST(AddKeyTest, FullTextDropsFurtherKeys) {
    SharedText text;
    const std::string full(textCapacity - 1, 'x');
    typeAll(text, full);
    EXPECT_EQ(std::string(text.chars), full);
    typeAll(text, "yz");
    EXPECT_EQ(std::string(text.chars), full);
    expectNulBehindString(text);
}

TEST(WidenTextTest, EveryByteBecomesTheCharacterOfTheSameNumber) {
#ifdef _WIN32
    GTEST_SKIP() << "on Windows a byte stands for a character of the ANSI code page, which the "
                    "integration tests type under Wine on keyboards and locales that give it";
#endif
    SharedText text;
    typeAll(text, "A\x01\x7f\x80\xc8\xe9\xff");
    wchar_t wide[textCapacity];
    widenText(text.chars, wide);
    EXPECT_EQ(std::wstring(wide), (std::wstring{L'A', 1, 127, 128, 200, 233, 255}));
}

TEST(WidenTextTest, FullTextKeepsItsTerminator) {
    SharedText text;
    typeAll(text, std::string(textCapacity - 1, '\xE9'));
    wchar_t wide[textCapacity];
    widenText(text.chars, wide);
    EXPECT_EQ(wide[textCapacity - 2], 0xE9);
    EXPECT_EQ(wide[textCapacity - 1], L'\0');
}

}  // namespace
