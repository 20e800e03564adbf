// Whole-or-nothing file writes: the target changes only on commit, and no temporary file is left
// behind whatever happens.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "host/framework/AtomicFileWriter.h"
#include "support/ImageTestFiles.h"

namespace {

namespace fs = std::filesystem;
using imagetest::TempFolder;
using merrowhost::AtomicFileWriter;

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string textOf(const std::string& path) {
    const std::vector<uint8_t> bytes = imagetest::readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void writeText(const std::string& path, const std::string& text) {
    imagetest::writeBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

TEST(AtomicFileWriter, TargetChangesOnlyOnCommit) {
    TempFolder folder;
    const std::string target = folder.file("target.txt");
    writeText(target, "old");

    AtomicFileWriter writer;
    ASSERT_TRUE(writer.open(target)) << writer.error();
    ASSERT_NE(writer.stream(), nullptr);
    // The temporary file lies beside the target, so the rename never crosses file systems.
    EXPECT_EQ(fs::path(writer.temporaryPath()).parent_path(), fs::path(folder.path()));
    EXPECT_TRUE(fs::exists(writer.temporaryPath()));
    ASSERT_TRUE(writer.write("new ", 4));
    ASSERT_EQ(std::fputs("bytes", writer.stream()), 1);
    EXPECT_EQ(textOf(target), "old");

    ASSERT_TRUE(writer.commit()) << writer.error();
    EXPECT_EQ(writer.stream(), nullptr);
    EXPECT_EQ(textOf(target), "new bytes");
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"target.txt"});
}

TEST(AtomicFileWriter, AnUncommittedWriterRemovesItsTemporaryFile) {
    TempFolder folder;
    const std::string existing = folder.file("existing.txt");
    writeText(existing, "keep me");
    {
        AtomicFileWriter writer;
        ASSERT_TRUE(writer.open(existing));
        ASSERT_TRUE(writer.write("partial", 7));
    }
    {
        AtomicFileWriter writer;
        ASSERT_TRUE(writer.open(folder.file("new.txt")));
        ASSERT_TRUE(writer.write("partial", 7));
    }
    EXPECT_EQ(textOf(existing), "keep me");
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"existing.txt"});
}

TEST(AtomicFileWriter, OpenFailsWhereNoFileCanBeMade) {
    TempFolder folder;
    AtomicFileWriter missingFolder;
    EXPECT_FALSE(missingFolder.open(folder.file("missing/x.txt")));
    EXPECT_STRNE(missingFolder.error(), "");
    EXPECT_EQ(missingFolder.stream(), nullptr);
    EXPECT_FALSE(missingFolder.write("x", 1));
    EXPECT_FALSE(missingFolder.commit());

    AtomicFileWriter noName;
    EXPECT_FALSE(noName.open(""));
    EXPECT_STRNE(noName.error(), "");

    AtomicFileWriter twice;
    ASSERT_TRUE(twice.open(folder.file("once.txt")));
    EXPECT_FALSE(twice.open(folder.file("twice.txt")));
    ASSERT_TRUE(twice.commit());
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"once.txt"});
}

TEST(AtomicFileWriter, AFailedRenameLeavesTheTargetAndNoTemporary) {
    TempFolder folder;
    const std::string taken = folder.file("taken");
    fs::create_directory(taken);
    writeText(taken + "/inside.txt", "x");

    AtomicFileWriter writer;
    ASSERT_TRUE(writer.open(taken));
    ASSERT_TRUE(writer.write("bytes", 5));
    EXPECT_FALSE(writer.commit());
    EXPECT_STRNE(writer.error(), "");
    EXPECT_TRUE(fs::is_directory(taken));
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"taken"});
    EXPECT_EQ(namesIn(taken), std::vector<std::string>{"inside.txt"});
}

TEST(AtomicFileWriter, CommitRefusesAStreamThatSawAnError) {
    TempFolder folder;
    const std::string target = folder.file("target.txt");
    writeText(target, "old");

    AtomicFileWriter writer;
    ASSERT_TRUE(writer.open(target));
    ASSERT_TRUE(writer.write("bytes", 5));
    // Reading a write-only stream fails and marks the stream as failed, as a lost write would.
    EXPECT_EQ(std::fgetc(writer.stream()), EOF);
    ASSERT_NE(std::ferror(writer.stream()), 0);

    EXPECT_FALSE(writer.commit());
    EXPECT_STRNE(writer.error(), "");
    EXPECT_EQ(textOf(target), "old");
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"target.txt"});
}

TEST(AtomicFileWriter, WritersOfOneTargetKeepApartAndTheLastCommitWins) {
    TempFolder folder;
    const std::string target = folder.file("shared.txt");
    AtomicFileWriter first;
    AtomicFileWriter second;
    ASSERT_TRUE(first.open(target));
    ASSERT_TRUE(second.open(target));
    EXPECT_NE(first.temporaryPath(), second.temporaryPath());
    ASSERT_TRUE(first.write("first", 5));
    ASSERT_TRUE(second.write("second", 6));

    ASSERT_TRUE(second.commit());
    EXPECT_EQ(textOf(target), "second");
    ASSERT_TRUE(first.commit());
    EXPECT_EQ(textOf(target), "first");
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"shared.txt"});
}

// Nothing planted at a name the writer creates is opened: a link at the temporary name it is
// about to use, or at the name of a new file, is refused and what it points at stays as it was;
// a link at a target being replaced is itself replaced.
TEST(AtomicFileWriter, ALinkAtANameItWritesIsNeverFollowed) {
    TempFolder folder;
    const std::string victim = folder.file("victim.txt");
    writeText(victim, "secret");
    const std::string target = folder.file("target.txt");
    std::string next;
    {
        AtomicFileWriter first;
        ASSERT_TRUE(first.open(target)) << first.error();
        const std::string used = first.temporaryPath();
        const size_t dash = used.rfind('-');
        next = used.substr(0, dash + 1) + std::to_string(std::stoul(used.substr(dash + 1)) + 1);
    }
    fs::create_symlink(victim, next);
    AtomicFileWriter writer;
    EXPECT_FALSE(writer.open(target));
    EXPECT_TRUE(fs::is_symlink(next));
    fs::remove(next);

    const std::string fresh = folder.file("fresh.txt");
    fs::create_symlink(victim, fresh);
    AtomicFileWriter newFile;
    EXPECT_FALSE(newFile.openNew(fresh));
    std::string error;
    EXPECT_FALSE(
        merrowhost::writeWholeFile(fresh, "new", 3, merrowhost::FileCreation::kNew, &error));
    EXPECT_EQ(error.rfind(fresh + ": ", 0), 0u) << error;
    ASSERT_TRUE(
        merrowhost::writeWholeFile(fresh, "page", 4, merrowhost::FileCreation::kReplace, &error))
        << error;
    EXPECT_FALSE(fs::is_symlink(fresh));
    EXPECT_EQ(textOf(fresh), "page");
    EXPECT_EQ(textOf(victim), "secret");
}

TEST(AtomicFileWriter, ANewFileIsWrittenInPlaceAndRemovedWhenNotCommitted) {
    TempFolder folder;
    const std::string fresh = folder.file("fresh.txt");
    {
        AtomicFileWriter writer;
        ASSERT_TRUE(writer.openNew(fresh)) << writer.error();
        ASSERT_TRUE(writer.write("half", 4));
    }
    EXPECT_FALSE(fs::exists(fresh));
    std::string error;
    ASSERT_TRUE(
        merrowhost::writeWholeFile(fresh, "whole", 5, merrowhost::FileCreation::kNew, &error))
        << error;
    EXPECT_EQ(textOf(fresh), "whole");
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"fresh.txt"});
    // A new file never replaces one that is there.
    EXPECT_FALSE(
        merrowhost::writeWholeFile(fresh, "other", 5, merrowhost::FileCreation::kNew, &error));
    EXPECT_EQ(textOf(fresh), "whole");
}

}  // namespace
