// The check's track decoding on several threads gives each file the answer it gets alone, in the
// order given, whatever the number of threads.

#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "cli/check/TrackPicture.h"
#include "support/CliTestSupport.h"

namespace {

namespace fs = std::filesystem;

void writeRgbaPng(const fs::path& file, int width, int height) {
    std::vector<png_byte> pixels(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<png_byte>(i * 7);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    ASSERT_NE(png_image_write_to_file(&image, file.c_str(), 0, pixels.data(), 0, nullptr), 0);
}

TEST(TrackPictures, EveryFileGetsItsOwnAnswerWhateverTheThreads) {
    clitest::TemporaryFolder temp;
    std::vector<fs::path> files;
    for (int i = 0; i < 12; ++i) {
        const fs::path good = temp.path() / ("good_" + std::to_string(i) + ".png");
        writeRgbaPng(good, 40 + i, 30);
        files.push_back(good);
        if (i % 4 == 1) {
            const fs::path cut = temp.path() / ("cut_" + std::to_string(i) + ".png");
            const std::string bytes = clitest::readFile(good);
            clitest::writeFile(cut, bytes.substr(0, bytes.size() / 2));
            files.push_back(cut);
        }
        if (i % 4 == 2) files.push_back(temp.path() / ("missing_" + std::to_string(i) + ".png"));
        if (i % 4 == 3) {
            const fs::path text = temp.path() / ("text_" + std::to_string(i) + ".png");
            clitest::writeFile(text, "not a picture\n");
            files.push_back(text);
        }
    }
    std::vector<std::string> alone;
    for (const fs::path& file : files) alone.push_back(merrowcli::trackPictureProblem(file));
    // What each kind of file is told, by the start of its name.
    const std::vector<std::pair<std::string, std::string>> kinds = {{"good_", ""},
                                                                    {"cut_", "does not decode"},
                                                                    {"missing_", "missing"},
                                                                    {"text_", "not a PNG"}};
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string name = files[i].filename().string();
        for (const auto& [prefix, answer] : kinds) {
            if (name.rfind(prefix, 0) != 0) continue;
            EXPECT_EQ(alone[i].rfind(answer, 0), 0u) << name << ": " << alone[i];
            EXPECT_EQ(alone[i].empty(), answer.empty()) << name;
        }
    }
    for (const int threads : {0, 1, 2, 3, 64}) {
        EXPECT_EQ(merrowcli::trackPictureProblems(files, threads), alone) << threads;
    }
    EXPECT_TRUE(merrowcli::trackPictureProblems({}, 4).empty());
}

}  // namespace
