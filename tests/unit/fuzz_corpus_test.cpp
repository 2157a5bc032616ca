// The committed fuzz corpus starts the fuzzer at the cases that matter: each
// file, read as the fuzz target reads it, is the case its name says.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <tuple>

#include "../fuzz/fuzz_input.h"
#include "shared_text.h"

FuzzInput corpusFile(const std::string& name) {
    std::ifstream in(std::string(FUZZ_CORPUS) + "/" + name, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    return decodeFuzzInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

TEST(FuzzCorpusTest, EachFileIsTheCaseItsNameSays) {
    const FuzzInput window = corpusFile("default-window");
    EXPECT_EQ(std::make_tuple(window.width, window.height, window.keys),
              std::make_tuple(640, 480, ""));
    EXPECT_EQ(corpusFile("typed-placeholder").keys.rfind(placeholder, 0), 0u);
    // Small enough that the layout clamps every sub-window, and keys that are no letters.
    const FuzzInput tiny = corpusFile("tiny-window-control-keys");
    EXPECT_TRUE(tiny.width <= 10 && tiny.height <= 3) << tiny.width << "x" << tiny.height;
    EXPECT_TRUE(std::any_of(tiny.keys.begin(), tiny.keys.end(),
                            [](unsigned char key) { return key < 32 || key == 127; }));
    EXPECT_GE(corpusFile("full-text").keys.size(), textCapacity);
}
