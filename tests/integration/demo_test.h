// What the integration tests share: the default window's first layout, its
// clear grey, and what to leave behind when a test fails.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>

#include "x_session.h"

// Where the sub-windows sit once the 640x480 window is first laid out.
inline const ViewLayout firstLayout{{5, 5, 312, 240}, {323, 5, 312, 240}, {5, 250, 630, 120}};

// The top-level window's clear colour is 0.3 grey: 76.5 of 255, which a GL
// implementation may round either way.
inline bool isClearGrey(Rgb p) {
    return p.r == p.g && p.g == p.b && (p.r == 76 || p.r == 77);
}

// Prints the program's stderr and saves the top-level window as a PNG named
// after the failed test, in the temporary directory.
inline void reportFailure(DemoSession& session) {
    std::cerr << "program's stderr:\n" << session.stderrText();
    if (session.topLevel() == 0) {
        return;
    }
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name() + ".png";
    std::replace(name.begin(), name.end(), '/', '.');
    const std::filesystem::path path = std::filesystem::temp_directory_path() / name;
    if (session.savePng(session.topLevel(), path.string())) {
        std::cerr << "top-level window saved to " << path.string() << "\n";
    }
}
