// The output folder is replaced only by a complete output, and only when it holds nothing but
// a previous build's output.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/CliTestSupport.h"

namespace {

namespace fs = std::filesystem;
using clitest::readFile;
using clitest::writeFile;

class StagingFolder : public ::testing::Test {
protected:
    clitest::CommandResult build(const fs::path& outFolder) {
        const fs::path project = temp_.path() / "project";
        if (!fs::exists(project)) clitest::copyTestProject("small", temp_.path(), "project");
        return clitest::runMerrowkit({"build", project.string(), "-o", outFolder.string()},
                                     temp_.path());
    }

    clitest::CommandResult build(const fs::path& outFolder,
                                 const std::vector<std::string>& environment) {
        const fs::path project = temp_.path() / "project";
        if (!fs::exists(project)) clitest::copyTestProject("small", temp_.path(), "project");
        return clitest::runMerrowkit({"build", project.string(), "-o", outFolder.string()},
                                     temp_.path(), environment);
    }

    // The names beside out that start with ".out".
    std::vector<std::string> besideOut() const {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(temp_.path())) {
            const std::string name = entry.path().filename().string();
            if (name.rfind(".out", 0) == 0) names.push_back(name);
        }
        return names;
    }

    clitest::TemporaryFolder temp_;
};

ino_t inodeOf(const fs::path& file) {
    struct stat info {};
    return stat(file.c_str(), &info) == 0 ? info.st_ino : 0;
}

// A build killed at each step of writing and committing never loses the output: OUT_DIR holds
// the previous output or the new one, complete, and the next run (even one that fails at once)
// puts a forsaken previous output back and removes what the killed run left.
TEST_F(StagingFolder, KillAtAnyStepLosesNoOutput) {
    struct Step {
        const char* name;
        bool exchange;    // renameat2 swap, or the two-rename path
        bool outMissing;  // the killed run leaves no OUT_DIR
        bool newInPlace;  // the killed run leaves the new output in place
    };
    const Step steps[] = {
        {"staging", true, false, false}, {"created", true, false, false},
        {"track", true, false, false},   {"commit", true, false, false},
        {"swapped", true, false, true},  {"staging", false, false, false},
        {"track", false, false, false},  {"commit", false, false, false},
        {"aside", false, true, false},   {"swapped", false, false, true},
    };
    const fs::path out = temp_.path() / "out";
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(step.name) + (step.exchange ? " (swap)" : " (two renames)"));
        fs::remove_all(out);
        ASSERT_EQ(build(out).status, 0);
        const auto previous = clitest::folderContents(out);
        const ino_t previousTitle = inodeOf(out / "title.xml");
        ASSERT_GT(previous.size(), 2u);  // the document, the title and at least one track

        std::vector<std::string> environment = {std::string("MERROWKIT_TEST_KILL_AT=") + step.name};
        if (!step.exchange) environment.push_back("MERROWKIT_TEST_NO_EXCHANGE=1");
        const clitest::CommandResult killed = build(out, environment);
        ASSERT_EQ(killed.signal, SIGKILL) << killed.err;

        if (step.outMissing) {
            EXPECT_FALSE(fs::exists(out));
        } else {
            EXPECT_EQ(clitest::folderContents(out), previous);
            EXPECT_EQ(inodeOf(out / "title.xml") != previousTitle, step.newInPlace);
        }

        // A run that fails on its project still mends what the killed run left.
        const clitest::CommandResult failing = clitest::runMerrowkit(
            {"build", (temp_.path() / "no-project").string(), "-o", out.string()}, temp_.path());
        EXPECT_EQ(failing.status, 2);
        EXPECT_EQ(clitest::folderContents(out), previous);
        if (!step.newInPlace) {
            EXPECT_EQ(inodeOf(out / "title.xml"), previousTitle);
        }
        EXPECT_EQ(besideOut(), std::vector<std::string>{});
    }
}

// The tracks' encodings are on disk, in the staging folder, as soon as the component has made
// them: a build killed right after it returned leaves them there, and not in its memory to the
// end.
TEST_F(StagingFolder, EncodedTracksAreWrittenAsTheyAreMade) {
    const fs::path out = temp_.path() / "out";
    ASSERT_EQ(build(out).status, 0);
    std::map<std::string, int> tracks;  // bytes, files
    for (const fs::directory_entry& entry : fs::directory_iterator(out / "tracks")) {
        ++tracks[readFile(entry.path())];
    }
    EXPECT_FALSE(fs::exists(out / ".encoded"));

    const clitest::CommandResult killed =
        build(temp_.path() / "killed", {"MERROWKIT_TEST_KILL_AT=created"});
    ASSERT_EQ(killed.signal, SIGKILL) << killed.err;
    std::vector<fs::path> staging;
    for (const fs::directory_entry& entry : fs::directory_iterator(temp_.path())) {
        if (entry.path().filename().string().rfind(".killed.staging-", 0) == 0) {
            staging.push_back(entry.path());
        }
    }
    ASSERT_EQ(staging.size(), 1u);
    std::map<std::string, int> spooled;
    for (const fs::directory_entry& entry : fs::directory_iterator(staging[0] / ".encoded")) {
        ++spooled[readFile(entry.path())];
    }
    // Every picture of the tracks and nothing else (the project has no background, which the
    // host encodes only when the title is written). A picture is spooled once unless an
    // identical one was being encoded at the same moment on the other worker, which the encoder
    // allows (both give the same bytes), so a count of files per picture is not asked for.
    ASSERT_FALSE(spooled.empty());
    for (const auto& entry : spooled) EXPECT_EQ(tracks.count(entry.first), 1u);
    EXPECT_EQ(spooled.size(), tracks.size());
}

// Folders beside OUT_DIR are removed only when they are of our naming and carry the stamp of a
// run that is gone; one without the stamp, or of a process that still runs, stays.
TEST_F(StagingFolder, OnlyFoldersStampedByAGoneRunAreRemoved) {
    const fs::path out = temp_.path() / "out";
    const std::string gone = "merrowkit 99999999\n";  // above any process id Linux gives
    const std::string running = "merrowkit " + std::to_string(getpid()) + "\n";
    const std::map<std::string, std::string> stamps = {
        {".out.staging-99999999-abcdef", ""},    // our naming, no stamp: someone else's
        {".out.old-99999999-abcdef", ""},        //
        {".out.staging-1-abcdef", running},      // stamped by a run that is still going
        {".out.staging-mine", "merrowkit x\n"},  // not a stamp of ours
        {".out.staging-2-abcdef", gone},         // left by a run that is gone
        {".out.old-3-abcdef", gone},
    };
    for (const auto& [name, stamp] : stamps) {
        writeFile(temp_.path() / name / "title.xml", "kept?");
        if (!stamp.empty()) writeFile(temp_.path() / name / ".merrowkit-run", stamp);
    }
    fs::create_symlink(temp_.path() / ".out.staging-2-abcdef",
                       temp_.path() / ".out.staging-4-abcdef");
    ASSERT_EQ(build(out).status, 0);
    for (const auto& [name, stamp] : stamps) {
        SCOPED_TRACE(name);
        EXPECT_EQ(fs::exists(temp_.path() / name), stamp != gone);
    }
    EXPECT_TRUE(fs::is_symlink(temp_.path() / ".out.staging-4-abcdef"));
    EXPECT_FALSE(fs::exists(out / ".merrowkit-run"));
}

// A missing OUT_DIR is put back from a previous output moved aside only when that folder
// carries the stamp of a run that is gone.
TEST_F(StagingFolder, OnlyAStampedPreviousOutputIsPutBack) {
    const fs::path out = temp_.path() / "out";
    writeFile(temp_.path() / ".out.old-99999999-abcdef" / "title.xml", "someone's");
    ASSERT_EQ(build(out).status, 0);
    EXPECT_EQ(readFile(temp_.path() / ".out.old-99999999-abcdef" / "title.xml"), "someone's");
    EXPECT_NE(readFile(out / "title.xml"), "someone's");

    fs::remove_all(out);
    writeFile(temp_.path() / ".out.old-5-abcdef" / "title.xml", "previous");
    writeFile(temp_.path() / ".out.old-5-abcdef" / ".merrowkit-run", "merrowkit 99999999\n");
    const clitest::CommandResult failing = clitest::runMerrowkit(
        {"build", (temp_.path() / "no-project").string(), "-o", out.string()}, temp_.path());
    EXPECT_EQ(failing.status, 2);
    EXPECT_EQ(readFile(out / "title.xml"), "previous");
    EXPECT_FALSE(fs::exists(out / ".merrowkit-run"));
}

// A file saved into OUT_DIR while the build runs is never swapped away: the build stops, names
// it, and leaves the new output in its staging folder, which no later run cleans up.
TEST_F(StagingFolder, AFileSavedDuringTheBuildIsKept) {
    const fs::path out = temp_.path() / "out";
    ASSERT_EQ(build(out).status, 0);
    const auto previous = clitest::folderContents(out);
    const clitest::CommandResult run =
        build(out, {"MERROWKIT_TEST_PLANT_AT=commit:" + (out / "notes.txt").string()});
    EXPECT_EQ(run.status, 2);
    const std::string said = "merrowkit: " + out.string() +
                             ": not replaced: 'notes.txt' appeared in it while this run was "
                             "writing; the new output is left in " +
                             (temp_.path() / ".out.staging-").string();
    ASSERT_EQ(run.err.rfind(said, 0), 0u) << run.err;
    EXPECT_EQ(readFile(out / "notes.txt"), "planted\n");
    auto now = clitest::folderContents(out);
    now.erase("notes.txt");
    EXPECT_EQ(now, previous);
    const fs::path left(run.err.substr(run.err.find(" left in ") + 9,
                                       run.err.size() - run.err.find(" left in ") - 10));
    EXPECT_EQ(clitest::folderContents(left), previous);  // the same project gives the same bytes

    // Later runs leave it there; a folder in place of OUT_DIR that was missing counts as well.
    const fs::path fresh = temp_.path() / "fresh";
    fs::create_directories(fresh);
    const clitest::CommandResult second =
        build(fresh, {"MERROWKIT_TEST_PLANT_AT=commit:" + (fresh / "draft.txt").string()});
    EXPECT_EQ(second.status, 2);
    EXPECT_NE(second.err.find("'draft.txt' appeared"), std::string::npos) << second.err;
    EXPECT_EQ(readFile(fresh / "draft.txt"), "planted\n");
    EXPECT_TRUE(fs::is_regular_file(left / "title.xml"));

    // A file changed in it is kept the same way.
    fs::remove(out / "notes.txt");
    const clitest::CommandResult changed =
        build(out, {"MERROWKIT_TEST_PLANT_AT=commit:" + (out / "title.xml").string()});
    EXPECT_EQ(changed.status, 2);
    EXPECT_NE(changed.err.find("'title.xml' changed"), std::string::npos) << changed.err;
}

// A file saved in the moment between that last look and the swap ends up in the previous
// output, which is then kept and named instead of removed.
TEST_F(StagingFolder, AFileSavedJustBeforeTheSwapKeepsThePreviousOutput) {
    for (const bool exchange : {true, false}) {
        SCOPED_TRACE(exchange ? "swap" : "two renames");
        const fs::path out = temp_.path() / (exchange ? "out" : "out2");
        ASSERT_EQ(build(out).status, 0);
        std::vector<std::string> environment = {"MERROWKIT_TEST_PLANT_AT=swap:" +
                                                (out / "late.txt").string()};
        if (!exchange) environment.push_back("MERROWKIT_TEST_NO_EXCHANGE=1");
        const clitest::CommandResult run = build(out, environment);
        EXPECT_EQ(run.status, 0) << run.err;
        const size_t at = run.err.find(": the previous output is kept: 'late.txt' appeared in ");
        ASSERT_NE(at, std::string::npos) << run.err;
        const fs::path kept(run.err.substr(std::string("merrowkit: warning: ").size(),
                                           at - std::string("merrowkit: warning: ").size()));
        EXPECT_EQ(readFile(kept / "late.txt"), "planted\n");
        EXPECT_FALSE(fs::exists(kept / ".merrowkit-run"));
        EXPECT_FALSE(fs::exists(out / "late.txt"));
        EXPECT_FALSE(fs::exists(out / ".merrowkit-run"));
    }
}

TEST_F(StagingFolder, OutputFolderModeFollowsTheUmask) {
    const fs::path out = temp_.path() / "out";
    const mode_t saved = umask(027);
    const clitest::CommandResult run = build(out);
    umask(saved);
    ASSERT_EQ(run.status, 0) << run.err;
    struct stat info {};
    ASSERT_EQ(stat(out.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0750u);
}

TEST_F(StagingFolder, FolderWithOtherFilesIsNotReplaced) {
    const fs::path out = temp_.path() / "documents";
    writeFile(out / "notes.txt", "my notes");
    writeFile(out / "title.xml", "mine");
    const clitest::CommandResult run = build(out);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "merrowkit: " + out.string() +
                           ": not replaced: it holds 'notes.txt', which merrowkit build does "
                           "not write\n");
    EXPECT_EQ(readFile(out / "notes.txt"), "my notes");
    EXPECT_EQ(readFile(out / "title.xml"), "mine");
}

TEST_F(StagingFolder, TracksFolderWithOtherFilesIsNotReplaced) {
    const fs::path out = temp_.path() / "out";
    writeFile(out / "tracks" / "keep.jpg", "picture");
    const clitest::CommandResult run = build(out);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("'tracks/keep.jpg'"), std::string::npos) << run.err;
    EXPECT_EQ(readFile(out / "tracks" / "keep.jpg"), "picture");
}

TEST_F(StagingFolder, FileInPlaceOfTheFolderIsNotReplaced) {
    const fs::path out = temp_.path() / "out";
    writeFile(out, "a file");
    const clitest::CommandResult run = build(out);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
              "merrowkit: " + out.string() + ": exists and is not a folder; not replaced\n");
    EXPECT_EQ(readFile(out), "a file");
}

TEST_F(StagingFolder, EmptyFolderAndMissingParentsAreFine) {
    const fs::path empty = temp_.path() / "empty";
    fs::create_directories(empty);
    EXPECT_EQ(build(empty).status, 0);
    EXPECT_TRUE(fs::is_regular_file(empty / "title.xml"));

    const fs::path nested = temp_.path() / "a" / "b" / "out";
    EXPECT_EQ(build(nested).status, 0);
    EXPECT_TRUE(fs::is_regular_file(nested / "title.xml"));
}

TEST_F(StagingFolder, TrailingSeparatorNamesTheSameFolder) {
    const fs::path out = temp_.path() / "out";
    ASSERT_EQ(build(fs::path(out.string() + "/")).status, 0);
    EXPECT_TRUE(fs::is_regular_file(out / "title.xml"));
}

TEST_F(StagingFolder, RootIsNoOutputFolder) {
    const clitest::CommandResult run = build("/");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "merrowkit: /: cannot be used as the output folder\n");
}

}  // namespace
