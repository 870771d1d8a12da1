// What Windows can put in the game's way when it finds, reads and saves its
// files: folders named in any language, a best score kept in %APPDATA%, a
// read-only file, a file another program holds for a moment.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "bmp_builder.h"
#include "files/file_saving.h"
#include "files/game_files.h"
#include "files/utf8_paths.h"
#include "present/image.h"
#include "screens/screens.h"
#include "test_screen.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const std::string foreign_name = "J\xc3\xb6rg \xe3\x83\x86\xe3\x82\xb9\xe3\x83\x88";  // "Jörg テスト" in UTF-8

class WindowsFiles : public ::testing::Test {
protected:
    fs::path old_dir = fs::current_path();
    std::string old_appdata = std::getenv("APPDATA") != nullptr ? std::getenv("APPDATA") : "";
    fs::path dir =
        fs::temp_directory_path() / path_of("korvane_" + foreign_name + "_" + std::to_string(GetCurrentProcessId()));

    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override {
        fs::current_path(old_dir);
        _putenv_s("APPDATA", old_appdata.c_str());
        locate_game_files(nullptr);
        fs::remove_all(dir);
    }
    static std::string contents(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void put(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }
    static int files_in(const fs::path& folder) {
        int n = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder)) ++n;
        return n;
    }
};

// Unpacked into a folder named in two scripts and started from elsewhere,
// the game finds its pictures, and keeps its best in an %APPDATA% just as foreign.
TEST_F(WindowsFiles, ForeignFolderNamesHoldTheGameItsBestAndItsScreenshots) {
    const fs::path game = dir / "game";
    fs::create_directories(game / "graphics");
    const std::vector<std::uint8_t> bmp = build_bmp(bmp_fields{});
    std::ofstream(game / "graphics" / "BG0.BMP", std::ios::binary)
        .write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
    const fs::path appdata = dir / path_of(foreign_name + " AppData");
    fs::create_directories(appdata);
    _putenv_s("APPDATA", text_of(appdata).c_str());
    fs::current_path(game);

    locate_game_files(nullptr);
    ASSERT_TRUE(graphics_found()) << graphics_search_list();
    test_screen screen;
    image* picture = create_image(8, 8);
    EXPECT_EQ(load_bmp(graphics_file("BG0.BMP").c_str(), picture), bmp_ok) << graphics_file("BG0.BMP");
    destroy_image(picture);

    EXPECT_TRUE(hi_score_in_user_folder()) << "a Windows game keeps no best beside itself";
    EXPECT_EQ(path_of(hi_score_file()), appdata / "korvane" / "hiscore.txt");
    EXPECT_EQ(path_of(settings_file()), appdata / "korvane" / "settings.ini");
    std::int32_t best = 0;
    read_hi_score(best);
    EXPECT_EQ(best, 1000);
    write_hi_score(23680);
    EXPECT_EQ(contents(appdata / "korvane" / "hiscore.txt"), "hi-score\r\n 23680\r\n");
    read_hi_score(best);
    EXPECT_EQ(best, 23680);
    EXPECT_FALSE(fs::exists(game / "hiscore.txt"));
    EXPECT_EQ(path_of(make_screenshot_folder()), appdata / "korvane" / "screenshots");
    EXPECT_TRUE(fs::is_directory(appdata / "korvane" / "screenshots"));
}

TEST_F(WindowsFiles, ASaveReplacesTheFileWholeAndLeavesNothingBehind) {
    const fs::path file = dir / "hiscore.txt";
    EXPECT_TRUE(save_file(text_of(file), "first"));
    EXPECT_TRUE(save_file(text_of(file), "second, longer"));
    EXPECT_EQ(contents(file), "second, longer");
    put(dir / "hiscore.txt.new", "what a killed save left");
    EXPECT_TRUE(save_file(text_of(file), "third"));
    EXPECT_EQ(contents(file), "third");
    EXPECT_EQ(files_in(dir), 1);
}

TEST_F(WindowsFiles, AReadOnlyFileOrAFolderIsLeftAlone) {
    const fs::path file = dir / "hiscore.txt";
    put(file, "kept");
    ASSERT_TRUE(SetFileAttributesA(text_of(file).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(save_file(text_of(file), "lost"));
    EXPECT_EQ(contents(file), "kept");
    SetFileAttributesA(text_of(file).c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::create_directory(dir / "folder");
    EXPECT_FALSE(save_file(text_of(dir / "folder"), "lost"));
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    EXPECT_EQ(files_in(dir), 2);
}

// A virus scanner or a backup program may hold the file open without
// sharing it: a moment's hold is waited out, a long one fails the save and
// keeps the old file.
TEST_F(WindowsFiles, AFileHeldByAnotherProgramIsReplacedWhenItIsLetGo) {
    const fs::path file = dir / "hiscore.txt";
    put(file, "old");
    const auto hold = [&] {
        return CreateFileA(text_of(file).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    };
    HANDLE held = hold();
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread letting_go([held] {
        std::this_thread::sleep_for(200ms);
        CloseHandle(held);
    });
    EXPECT_TRUE(save_file(text_of(file), "new"));
    letting_go.join();
    EXPECT_EQ(contents(file), "new");

    held = hold();
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(save_file(text_of(file), "newer"));
    CloseHandle(held);
    EXPECT_EQ(contents(file), "new");
    EXPECT_EQ(files_in(dir), 1) << "no temporary is left behind";
}

}  // namespace
