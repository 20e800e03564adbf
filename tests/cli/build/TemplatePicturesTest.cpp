// Which template pictures a project needs and misses, and the library path of the installed
// command.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/build/ComponentLoader.h"
#include "cli/build/TemplatePictures.h"
#include "cli/core/ProgramPaths.h"
#include "host/dom/DocumentRegistry.h"
#include "host/dom/XmlOutputFileGlue.h"
#include "support/CliTestSupport.h"

namespace {

namespace fs = std::filesystem;
using merrowcli::MissingTemplatePicture;

constexpr const char* kCalendar = "Content/Menu Template/HD Popup/16x9/BD Calendar/";
constexpr const char* kApplication = "Content/Menu Template/BD Application/";

class TemplatePictures : public ::testing::Test {
protected:
    void SetUp() override {
        settings_.projectFile = "design/project.xml";
        settings_.presentationFile = "presentation.xml";
    }
    void TearDown() override {
        if (domId_ != 0) merrowhost::releaseDocument(domId_);
    }

    void loadDocument(const std::string& layout) {
        const std::string xml = "<root xmlns='http://merrowkit.example/reference/1.0'><layout>" +
                                layout + "</layout></root>";
        domId_ = merrowhost::loadDocumentString(xml, "presentation.xml", nullptr);
        ASSERT_NE(domId_, 0u);
    }

    std::vector<std::string> roots() const {
        return {(temp_.path() / "program").string() + "/",
                (temp_.path() / "installed").string() + "/"};
    }

    std::vector<std::string> missingFiles() {
        std::vector<std::string> names;
        for (const MissingTemplatePicture& picture :
             merrowcli::missingTemplatePictures("design", settings_, domId_, roots())) {
            names.push_back(picture.file);
        }
        return names;
    }

    void addPicture(const std::string& root, const std::string& path) {
        clitest::writeFile(temp_.path() / root / path, "picture");
    }

    clitest::TemporaryFolder temp_;
    merrowcli::ProjectSettings settings_;
    unsigned domId_ = 0;
};

TEST_F(TemplatePictures, NumberTilesAreNeededByNumbersOfTheLayout) {
    settings_.background = false;
    for (const char* layout :
         {"<container id='A'><graphictext id='G'/></container>",
          "<container id='A'><grid><text id='Cell_INDEX_1'/></grid></container>",
          "<container id='A'><icon id='Y_TITLE_NUMBER_1'/></container>"}) {
        loadDocument(layout);
        EXPECT_EQ(missingFiles(), (std::vector<std::string>{"design/presentation.xml"})) << layout;
        merrowhost::releaseDocument(domId_);
    }
    loadDocument("<container id='A'><decoration id='D'/><text id='T'/></container>");
    EXPECT_TRUE(missingFiles().empty());
}

TEST_F(TemplatePictures, BackgroundPictureIsNeededOnlyForABackgroundWithoutPictureOrMedia) {
    loadDocument("<container id='A'/>");
    settings_.background = true;
    EXPECT_EQ(missingFiles(), (std::vector<std::string>{"design/project.xml"}));
    settings_.backgroundImage = "mine.jpg";
    EXPECT_TRUE(missingFiles().empty());
    settings_.backgroundImage.clear();
    settings_.backgroundMediaFile = "intro.png";
    EXPECT_TRUE(missingFiles().empty());
    settings_.backgroundMediaFile.reset();
    settings_.background = false;
    EXPECT_TRUE(missingFiles().empty());
}

TEST_F(TemplatePictures, FoundInEitherTemplateFolderOfAnyRootAtAnyDepth) {
    loadDocument("<container id='A'><graphictext id='G'/></container>");
    settings_.background = true;
    addPicture("installed", std::string(kApplication) + "deep/er/Numbers_S1.png");
    addPicture("program", std::string(kCalendar) + "Background.jpg");
    EXPECT_TRUE(missingFiles().empty());
}

TEST_F(TemplatePictures, NamesMustMatchExactlyAndLieInATemplateFolder) {
    loadDocument("<container id='A'><graphictext id='G'/></container>");
    settings_.background = true;
    addPicture("program", std::string(kCalendar) + "numbers_s1.png");
    addPicture("program", "Content/Background.jpg");
    fs::create_directories(temp_.path() / "installed" / kCalendar / "Background.jpg");
    const std::vector<MissingTemplatePicture> missing =
        merrowcli::missingTemplatePictures("design", settings_, domId_, roots());
    ASSERT_EQ(missing.size(), 2u);
    EXPECT_NE(missing[0].problem.find("\"Background.jpg\" is in no template folder"),
              std::string::npos)
        << missing[0].problem;
    EXPECT_NE(missing[1].problem.find("\"Numbers_S1.png\" are in no template folder"),
              std::string::npos)
        << missing[1].problem;
    // The message says where it looked.
    EXPECT_NE(missing[1].problem.find(roots()[1]), std::string::npos) << missing[1].problem;
}

TEST(ComponentLoaderPath, BesideTheProgramElseInTheInstalledLibraryFolder) {
    clitest::TemporaryFolder temp;
    const fs::path bin = temp.path() / "bin";
    fs::create_directories(bin);
    const std::string name = merrowcli::ComponentLoader::libraryName("older");
    EXPECT_EQ(name, "libmerrowkit-older.so.0");
    const fs::path installed = (bin / MERROWKIT_LIBDIR_FROM_BINDIR / name).lexically_normal();
    EXPECT_EQ(merrowcli::ComponentLoader::libraryPath("older", bin), installed);
    EXPECT_NE(installed.parent_path(), bin);
    clitest::writeFile(bin / name, "library");
    EXPECT_EQ(merrowcli::ComponentLoader::libraryPath("older", bin), bin / name);
    EXPECT_EQ(merrowcli::installedDataFolder(bin),
              (bin / MERROWKIT_DATADIR_FROM_BINDIR).lexically_normal());
}

}  // namespace
