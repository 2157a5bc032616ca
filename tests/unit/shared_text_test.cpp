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

TEST(SharedTextTest, StartsAsThePlaceholderWithZeroFill) {
    const SharedText text;
    EXPECT_STREQ(text.chars, "UXEN");
    EXPECT_FALSE(text.typed);
    expectNulBehindString(text);
}

TEST(AddKeyTest, FirstKeyReplacesThePlaceholder) {
    SharedText text;
    addKey(text, 'a');
    EXPECT_STREQ(text.chars, "a");
    EXPECT_TRUE(text.typed);
    addKey(text, 'b');
    EXPECT_STREQ(text.chars, "ab");
    expectNulBehindString(text);
}

TEST(AddKeyTest, TypedPlaceholderIsKeptAndTheNextKeyAppends) {
    SharedText text;
    typeAll(text, "UXEN");
    EXPECT_STREQ(text.chars, "UXEN");
    EXPECT_TRUE(text.typed);
    addKey(text, '!');
    EXPECT_STREQ(text.chars, "UXEN!");

    SharedText later;
    typeAll(later, "aUXEN");
    addKey(later, 'x');
    EXPECT_STREQ(later.chars, "aUXENx");
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
    SharedText text;
    for (unsigned key : {8u, 9u, 13u, 27u, 127u, 128u, 159u, 233u, 255u}) {
        addKey(text, static_cast<unsigned char>(key));
    }
    const unsigned char expected[] = {8, 9, 13, 27, 127, 128, 159, 233, 255, 0};
    for (std::size_t i = 0; i < sizeof expected; ++i) {
        EXPECT_EQ(static_cast<unsigned char>(text.chars[i]), expected[i]) << "byte " << i;
    }
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

TEST(WidenLatin1Test, EveryByteBecomesTheCharacterOfTheSameNumber) {
    SharedText text;
    for (unsigned key : {65u, 1u, 127u, 128u, 200u, 233u, 255u}) {
        addKey(text, static_cast<unsigned char>(key));
    }
    wchar_t wide[textCapacity];
    widenLatin1(text.chars, wide);
    const wchar_t expected[] = {L'A', 1, 127, 128, 200, 233, 255, 0};
    for (std::size_t i = 0; i < sizeof expected / sizeof *expected; ++i) {
        EXPECT_EQ(wide[i], expected[i]) << "character " << i;
    }
}

TEST(WidenLatin1Test, FullTextKeepsItsTerminator) {
    SharedText text;
    typeAll(text, std::string(textCapacity - 1, '\xE9'));
    wchar_t wide[textCapacity];
    widenLatin1(text.chars, wide);
    EXPECT_EQ(wide[textCapacity - 2], 0xE9);
    EXPECT_EQ(wide[textCapacity - 1], L'\0');
}

}  // namespace
