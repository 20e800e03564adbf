// The navigation files read back by libbluray, the player library of VLC and mpv.
#include <gtest/gtest.h>
#include <libbluray/bluray.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bdmv/DiscFolder.h"

namespace fs = std::filesystem;

namespace {

merrowbdmv::DiscLayout menuDisc() {
    merrowbdmv::DiscLayout layout;
    layout.index.firstPlay = {"00000", 3};
    layout.index.topMenu = {"00000", 3};
    layout.index.titles = {{"00001", 2}};
    merrowbdmv::BdjObject object;
    object.cachedJars = {"00000"};
    object.application.jarName = "00000";
    object.application.initialClass = "org.example.Menu";
    object.application.name = "Menu";
    layout.objects = {{"00000", object}, {"00001", object}};
    layout.identity.organisationId = 0x12345678;
    layout.identity.discId[15] = 0xab;
    return layout;
}

class DiscFolder : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("merrowbdmv-" + std::to_string(getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path root_;
};

TEST_F(DiscFolder, LibblurayReadsTheTitlesAndTheDiscIdentity) {
    std::string error;
    ASSERT_TRUE(merrowbdmv::writeDiscLayout(root_, menuDisc(), &error)) << error;

    BLURAY* bd = bd_open(root_.c_str(), nullptr);
    ASSERT_NE(bd, nullptr);
    const BLURAY_DISC_INFO* info = bd_get_disc_info(bd);
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->bluray_detected);
    EXPECT_TRUE(info->first_play_supported);
    EXPECT_TRUE(info->top_menu_supported);
    EXPECT_TRUE(info->bdj_detected);
    ASSERT_EQ(info->num_titles, 1u);
    EXPECT_EQ(info->num_bdj_titles, 1u);
    ASSERT_NE(info->first_play, nullptr);
    EXPECT_TRUE(info->first_play->bdj);
    EXPECT_EQ(info->first_play->id_ref, 0u);
    EXPECT_TRUE(info->first_play->interactive);
    EXPECT_TRUE(info->top_menu->bdj);
    EXPECT_TRUE(info->titles[1]->bdj);
    EXPECT_EQ(info->titles[1]->id_ref, 1u);
    EXPECT_FALSE(info->titles[1]->interactive);
    EXPECT_STREQ(info->bdj_org_id, "12345678");
    EXPECT_STREQ(info->bdj_disc_id, "000000000000000000000000000000ab");
    bd_close(bd);

    for (const char* file : {"BDMV/BDJO/00000.bdjo", "BDMV/BACKUP/BDJO/00001.bdjo"}) {
        struct bdjo_data* bdjo = bd_read_bdjo((root_ / file).c_str());
        EXPECT_NE(bdjo, nullptr) << file;
        if (bdjo) bd_free_bdjo(bdjo);
    }
    struct mobj_objects* objects = bd_read_mobj((root_ / "BDMV/MovieObject.bdmv").c_str());
    EXPECT_NE(objects, nullptr);
    if (objects) bd_free_mobj(objects);
}

TEST_F(DiscFolder, ThePlayerFallsBackOnTheBackupCopies) {
    std::string error;
    ASSERT_TRUE(merrowbdmv::writeDiscLayout(root_, menuDisc(), &error)) << error;
    std::ofstream(root_ / "BDMV/index.bdmv", std::ios::trunc) << "broken";

    BLURAY* bd = bd_open(root_.c_str(), nullptr);
    ASSERT_NE(bd, nullptr);
    const BLURAY_DISC_INFO* info = bd_get_disc_info(bd);
    EXPECT_TRUE(info->first_play_supported);
    EXPECT_EQ(info->num_titles, 1u);
    bd_close(bd);
}

TEST_F(DiscFolder, ANameThatDoesNotFitIsRefusedWithTheFile) {
    merrowbdmv::DiscLayout layout = menuDisc();
    layout.objects[0].second.application.jarName = "0000";
    std::string error;
    EXPECT_FALSE(merrowbdmv::writeDiscLayout(root_, layout, &error));
    EXPECT_NE(error.find("BDMV/BDJO/00000.bdjo"), std::string::npos) << error;
}

}  // namespace
