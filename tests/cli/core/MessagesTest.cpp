// The message writer: one line per message, places unprefixed, verbosity and warning counts.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "cli/core/Messages.h"

namespace {

using merrowcli::Messages;

// What a writer wrote into a memory stream.
class Captured {
public:
    Captured() : stream_(open_memstream(&data_, &size_)) {}
    ~Captured() {
        std::fclose(stream_);
        std::free(data_);
    }
    std::FILE* stream() { return stream_; }
    std::string text() {
        std::fflush(stream_);
        return std::string(data_, size_);
    }

private:
    char* data_ = nullptr;
    size_t size_ = 0;
    std::FILE* stream_;
};

TEST(Messages, PlacesStayUnprefixedEverythingElseIsPrefixed) {
    Captured out;
    Captured err;
    Messages messages(out.stream(), err.stream());
    messages.error("p/project.xml:3: unknown attribute 'x'");
    messages.error("p/project.xml:3:7: Opening and ending tag mismatch");
    messages.error("p/project.xml: no such file");
    messages.error("no command given");
    messages.warning("p/presentation.xml", 12, "thumbnailID is not an attribute of <dayInfo>");
    messages.warning("the old output folder could not be removed");
    messages.skipped("media/2024/broken.jpg", "not a JPEG file");
    EXPECT_EQ(err.text(),
              "p/project.xml:3: unknown attribute 'x'\n"
              "p/project.xml:3:7: Opening and ending tag mismatch\n"
              "merrowkit: p/project.xml: no such file\n"
              "merrowkit: no command given\n"
              "p/presentation.xml:12: warning: thumbnailID is not an attribute of <dayInfo>\n"
              "merrowkit: warning: the old output folder could not be removed\n"
              "media/2024/broken.jpg: skipped: not a JPEG file\n");
    EXPECT_EQ(messages.warningCount(), 3);
    EXPECT_EQ(out.text(), "");
}

TEST(Messages, EveryMessageIsOneLine) {
    EXPECT_EQ(Messages::oneLine("Input is not proper UTF-8\nBytes: 0x97 0x20\n"),
              "Input is not proper UTF-8; Bytes: 0x97 0x20");
    EXPECT_EQ(Messages::oneLine("a  \r\n\n  b"), "a; b");
    EXPECT_EQ(Messages::oneLine("plain"), "plain");
    EXPECT_FALSE(Messages::namesPlace("a: b"));
    EXPECT_FALSE(Messages::namesPlace("12: b"));
    EXPECT_TRUE(Messages::namesPlace("C:/x.xml:4: y"));
}

TEST(Messages, QuietDropsTheSummaryVerboseAddsNotes) {
    Captured out;
    Captured err;
    Messages messages(out.stream(), err.stream());
    messages.note("hidden");
    messages.summary("built");
    messages.setVerbosity(Messages::Verbosity::kQuiet);
    messages.summary("dropped");
    messages.error("still shown");
    messages.setVerbosity(Messages::Verbosity::kVerbose);
    messages.note("reading");
    EXPECT_EQ(out.text(), "merrowkit: built\n");
    EXPECT_EQ(err.text(), "merrowkit: still shown\nmerrowkit: reading\n");
}

}  // namespace
