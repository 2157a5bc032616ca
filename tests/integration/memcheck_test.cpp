// The program under valgrind's memcheck for a few seconds of typing, dragging and resizing. Mesa
// and the dynamic loader report errors of their own, so only an error or a definite leak whose
// innermost frame (past valgrind's own malloc and string functions) lies in our sources counts.
#include <X11/keysym.h>

#include <fstream>
#include <numeric>

#include "demo_test.h"

namespace {

constexpr std::chrono::seconds underValgrind{180};

// One report of the log: its headline and its frames' locations, innermost first.
struct Report {
    std::string headline;
    std::vector<std::string> frames;
};

std::vector<Report> readReports(const std::string& path) {
    std::vector<Report> reports;
    std::ifstream log(path);
    bool inReport = false;
    for (std::string line; std::getline(log, line);) {
        // Lines look like "==PID== text"; a bare "==PID==" ends a report.
        const std::size_t body = line.find("== ");
        if (body == std::string::npos) {
            inReport = false;
            continue;
        }
        const std::string text = line.substr(body + 3);
        const bool frame =
            text.find("at 0x") != std::string::npos || text.find("by 0x") != std::string::npos;
        if (frame && inReport) {
            reports.back().frames.push_back(text.substr(text.rfind('(') + 1));
        } else if (!frame && text.find_first_not_of(' ') == 0) {
            reports.push_back({text, {}});
            inReport = true;
        }
    }
    return reports;
}

// Whether the innermost frame past valgrind's own replacements is ours.
bool isOurs(const Report& report) {
    const auto inner = std::find_if(report.frames.begin(), report.frames.end(), [](auto& at) {
        return at.find("vgpreload") == std::string::npos &&
               at.find("vg_replace") == std::string::npos;
    });
    return inner != report.frames.end() && isOurLocation(*inner);
}

TEST(MemcheckTest, TypingDraggingAndResizingRaiseNoErrorInOurCode) {
    if (underWine) {
        GTEST_SKIP() << "valgrind cannot follow a Windows program into Wine";
    }
    DemoSession session;
    const std::string log = session.workDir() + "/../memcheck.log";
    ASSERT_TRUE(session.startServer());
    ASSERT_TRUE(session.launch(
        {}, {VALGRIND_EXE, "--tool=memcheck", "--log-file=" + log, "--num-callers=40",
             "--fullpath-after=", "--leak-check=full", "--show-leak-kinds=definite"}));
    ASSERT_TRUE(session.findWindows(underValgrind)) << session.stderrText();

    EXPECT_TRUE(session.typeText("Hello, GL! \xe9\t\b"));
    EXPECT_TRUE(session.pressKey(XK_space, {XK_Control_L}));  // code 0
    session.drag(View::still, 20, 20, 150, 200);
    session.drag(View::rotating, 100, 100, -50, 400, Button3);
    session.resize(300, 200);
    session.resize(640, 480);
    EXPECT_TRUE(session.typeText(std::string(40, 'x')));  // past the 31-character cap
    // Let the program work through all of it before it is asked to close.
    EXPECT_TRUE(session.waitForLayout(firstLayout, underValgrind));

    const std::optional<int> status = session.close(underValgrind);
    ASSERT_TRUE(status) << "did not exit under valgrind";
    EXPECT_TRUE(exitedCleanly(status)) << describeEnding(status);

    const std::vector<Report> reports = readReports(log);
    ASSERT_FALSE(reports.empty()) << "no valgrind log at " << log;
    int others = 0;
    for (const Report& report : reports) {
        if (isOurs(report)) {
            ADD_FAILURE() << std::accumulate(
                report.frames.begin(), report.frames.end(), report.headline,
                [](std::string all, auto& frame) { return all + "\n    " + frame; });
        } else if (!report.frames.empty()) {
            ++others;
        }
    }
    std::cout << "memcheck: " << others << " reports outside our code left aside\n";
}

}  // namespace
