// gltextdemo-snapshot, the headless run of ./run.sh: a picture of the whole
// window once every place in it is drawn, and none if the program dies first.
#include <sys/wait.h>

#include <fstream>

#include "demo_test.h"

namespace {

namespace fs = std::filesystem;

class SnapshotTest : public ::testing::Test {
  protected:
    // The tool's wait status, or none if it is still running after the time
    // it may take to start the program and then wait for the drawing.
    std::optional<int> run(std::vector<std::string> args) {
        args.insert(args.begin(), SNAPSHOT_EXE);
        ChildProcess tool;
        tool.start({args, {}, dir, dir + "/stderr.txt"});
        return tool.waitForExit(3 * patience);
    }
    std::string said() const { return readText(dir + "/stderr.txt"); }

    TempDir temp{"gltextdemo-snapshot"};
    const std::string& dir = temp.path();
    const std::string picture = dir + "/window.png";
};

TEST_F(SnapshotTest, PictureShowsTheWholeWindowWithTheSampleLine) {
    const std::optional<int> status = run({"--methods", dir + "/methods.png", picture});
    ASSERT_TRUE(exitedCleanly(status)) << describeEnding(status) << said();
    const std::optional<Image> window = readPng(picture);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->bounds(), (Box{0, 0, 640, 480}));
    EXPECT_TRUE(isClearGrey(window->at(639, 479)));
    // The typed line: all "Hello, GL!" at 24 pixels, where the placeholder takes 63 and no "!" 106.
    const std::optional<Box> typed = boundingBox(*window, placesAt(640, 480).typedLine, black);
    ASSERT_TRUE(typed);
    EXPECT_NEAR(typed->width, 112, 4);
    EXPECT_TRUE(readPng(dir + "/methods.png"));
}

TEST_F(SnapshotTest, ProgramThatDiesFailsTheRun) {
    // One dies before its window shows, the other runs the real demo and
    // crashes as it closes: only the first leaves no picture.
    std::string demo;
    for (const std::string& word : programCommand) {
        demo += "'" + word + "' ";
    }
    const std::string scripts[] = {"kill -9 $$\n", demo + "; kill -SEGV $$\n"};
    for (const std::string& script : scripts) {
        SCOPED_TRACE(script);
        const std::string standIn = dir + "/dies.sh";
        std::ofstream(standIn) << "#!/bin/sh\n" << script;
        fs::permissions(standIn, fs::perms::owner_all);
        const std::optional<int> status = run({"--program", standIn, picture});
        ASSERT_TRUE(status);
        // 1: the run failed, where 2 would be a command line it did not take.
        EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 1)
            << "status " << *status << said();
        EXPECT_EQ(fs::exists(picture), script != scripts[0]);
    }
    EXPECT_NE(said().find("did not close cleanly: signal 11"), std::string::npos) << said();
}

}  // namespace
