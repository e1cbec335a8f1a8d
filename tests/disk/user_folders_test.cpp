// The user's pictures folder: user-dirs.dirs read as xdg-user-dirs reads it, and found
// through HOME and XDG_CONFIG_HOME, here pointed at scratch folders.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "disk/user_dirs_file.h"
#include "disk/user_folders.h"
#include "tests/support/test_support.h"

namespace {

const std::string kHome = "/home/ana";

std::string Pictures(const std::string& text, const std::string& home = kHome) {
  return UserDirFromText(text, "PICTURES", home);
}

TEST(UserDirFromTextTest, ExpandsHomeAndTakesAbsoluteFolders) {
  EXPECT_EQ(Pictures("XDG_PICTURES_DIR=\"$HOME/Imágenes\"\n"), "/home/ana/Imágenes");
  EXPECT_EQ(Pictures("XDG_PICTURES_DIR=\"/srv/fotos de ana\"\n"), "/srv/fotos de ana");
  EXPECT_EQ(Pictures("XDG_PICTURES_DIR=\"$HOME/\"\n"), "/home/ana/") << "the home itself";
  EXPECT_EQ(Pictures("XDG_PICTURES_DIR=\"$HOME/Fotos/2024\"", "/root"), "/root/Fotos/2024")
      << "no newline at the end";
}

TEST(UserDirFromTextTest, ReadsTheFileOfXdgUserDirsUpdate) {
  const std::string file =
      "# This file is written by xdg-user-dirs-update\n"
      "# If you want to change or add directories, just edit the line you're\n"
      "# interested in. All local changes will be retained on the next run.\n"
      "XDG_DESKTOP_DIR=\"$HOME/Escritorio\"\n"
      "XDG_DOWNLOAD_DIR=\"$HOME/Descargas\"\n"
      "XDG_PICTURES_DIR=\"$HOME/Imágenes\"\n"
      "XDG_VIDEOS_DIR=\"$HOME/Vídeos\"\n";
  EXPECT_EQ(Pictures(file), "/home/ana/Imágenes");
  EXPECT_EQ(UserDirFromText(file, "DESKTOP", kHome), "/home/ana/Escritorio");
  EXPECT_EQ(UserDirFromText(file, "MUSIC", kHome), "") << "a kind the file does not name";
}

TEST(UserDirFromTextTest, BlanksAroundTheNameAndTheEqualsSign) {
  EXPECT_EQ(Pictures("  \tXDG_PICTURES_DIR \t= \t\"$HOME/Fotos\"\n"), "/home/ana/Fotos");
  EXPECT_EQ(Pictures("XDG_PICTURES_DIR=\"$HOME/Fotos\"   # comentario\n"), "/home/ana/Fotos")
      << "what follows the closing quote is not part of it";
}

TEST(UserDirFromTextTest, BackslashKeepsTheNextCharacter) {
  EXPECT_EQ(Pictures(R"(XDG_PICTURES_DIR="$HOME/Mis \"fotos\"")"), "/home/ana/Mis \"fotos\"");
  EXPECT_EQ(Pictures(R"(XDG_PICTURES_DIR="/srv/a\\b")"), "/srv/a\\b");
  EXPECT_EQ(Pictures(R"(XDG_PICTURES_DIR="/srv/\$HOME")"), "/srv/$HOME");
  EXPECT_EQ(Pictures(R"(XDG_PICTURES_DIR="/srv/fin\)"), "/srv/fin\\")
      << "a backslash that ends the line is kept";
  EXPECT_EQ(Pictures("XDG_PICTURES_DIR=\"/srv/sin cierre\n"), "/srv/sin cierre")
      << "the closing quote may be missing";
}

TEST(UserDirFromTextTest, LinesThatNameNoFolderArePassedOver) {
  const char* const ignored[] = {
      "# XDG_PICTURES_DIR=\"$HOME/Comentario\"",
      "XDG_PICTURES_DIR=$HOME/SinComillas",
      "XDG_PICTURES_DIR='$HOME/Simples'",
      "XDG_PICTURES_DIR=\"Imágenes\"",       // relative
      "XDG_PICTURES_DIR=\"$HOME\"",          // $HOME with no slash after it
      "XDG_PICTURES_DIR=\"$HOMEX/Fotos\"",
      "XDG_PICTURES_DIR=\"~/Fotos\"",
      "XDG_PICTURES_DIRS=\"$HOME/Otra\"",
      "XDG_PICTURE_DIR=\"$HOME/Otra\"",
      "xdg_pictures_dir=\"$HOME/Minusculas\"",
      "export XDG_PICTURES_DIR=\"$HOME/Export\"",
      "XDG_PICTURES_DIR \"$HOME/SinIgual\"",
  };
  for (const char* line : ignored) {
    EXPECT_EQ(Pictures(line), "") << line;
    // An ignored line does not undo a good one before it.
    EXPECT_EQ(Pictures(std::string("XDG_PICTURES_DIR=\"/srv/buena\"\n") + line + "\n"),
              "/srv/buena")
        << line;
  }
}

TEST(UserDirFromTextTest, TheLastLineThatNamesTheFolderCounts) {
  EXPECT_EQ(Pictures("XDG_PICTURES_DIR=\"/srv/primera\"\nXDG_PICTURES_DIR=\"$HOME/Segunda\"\n"),
            "/home/ana/Segunda");
}

TEST(UserDirFromTextTest, AHomeThatIsNotAbsoluteGivesNoFolder) {
  const std::string text = "XDG_PICTURES_DIR=\"/srv/antes\"\nXDG_PICTURES_DIR=\"$HOME/Fotos\"\n";
  EXPECT_EQ(Pictures(text, "ana"), "/srv/antes");
  EXPECT_EQ(Pictures(text, ""), "/srv/antes");
  EXPECT_EQ(Pictures("XDG_PICTURES_DIR=\"$HOME/Fotos\"", "relativo/ana"), "");
}

// ---- UserPicturesFolder, through the environment ----------------------------------

class UserPicturesFolderTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(scratch.path.empty()); }
  void WriteUserDirs(const std::string& folder, const std::string& text) {
    RemoveTree(folder);
    for (size_t at = folder.find('/', 1); at != std::string::npos; at = folder.find('/', at + 1))
      ::mkdir(folder.substr(0, at).c_str(), 0777);
    ASSERT_EQ(::mkdir(folder.c_str(), 0777), 0) << folder;
    WriteWholeFile(folder + "/user-dirs.dirs", text);
  }

  ScratchFolder scratch;
  ScopedEnvironment home{"HOME", nullptr};
  ScopedEnvironment config{"XDG_CONFIG_HOME", nullptr};
};

TEST_F(UserPicturesFolderTest, FromTheConfigFolderThatXdgConfigHomeNames) {
  ::setenv("HOME", (scratch / "ana").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (scratch / "config").c_str(), 1);
  WriteUserDirs(scratch / "config", "XDG_PICTURES_DIR=\"$HOME/Imágenes\"\n");
  WriteUserDirs(scratch / "ana/.config", "XDG_PICTURES_DIR=\"$HOME/NoEsEsta\"\n");
  EXPECT_EQ(UserPicturesFolder(), scratch / "ana/Imágenes");
  EXPECT_FALSE(PathExists(scratch / "ana/Imágenes")) << "finding the folder makes nothing";
}

TEST_F(UserPicturesFolderTest, FromTheHomesConfigFolderByDefault) {
  ::setenv("HOME", (scratch / "ana").c_str(), 1);
  WriteUserDirs(scratch / "ana/.config", "XDG_PICTURES_DIR=\"$HOME/Fotos\"\n");
  EXPECT_EQ(UserPicturesFolder(), scratch / "ana/Fotos");
  for (const char* unused : {"", "config-relativo"}) {
    ::setenv("XDG_CONFIG_HOME", unused, 1);
    EXPECT_EQ(UserPicturesFolder(), scratch / "ana/Fotos")
        << "XDG_CONFIG_HOME=\"" << unused << "\" is not used";
  }
}

TEST_F(UserPicturesFolderTest, TheHomeWhereNoPicturesFolderIsNamed) {
  ::setenv("HOME", (scratch / "ana").c_str(), 1);
  EXPECT_EQ(UserPicturesFolder(), scratch / "ana") << "no user-dirs.dirs";
  WriteUserDirs(scratch / "ana/.config", "XDG_MUSIC_DIR=\"$HOME/Música\"\n");
  EXPECT_EQ(UserPicturesFolder(), scratch / "ana") << "a file that names no pictures folder";
  WriteUserDirs(scratch / "ana/.config", "XDG_PICTURES_DIR=\"Fotos\"\n");
  EXPECT_EQ(UserPicturesFolder(), scratch / "ana") << "a relative folder is ignored";
}

TEST_F(UserPicturesFolderTest, WithoutHomeTheHomeOfTheUserDatabase) {
  const passwd* entry = ::getpwuid(::getuid());
  ASSERT_NE(entry, nullptr);
  ASSERT_NE(std::string(entry->pw_dir), "");
  // The user's own ~/.config is kept out of it: an empty configuration folder.
  ::setenv("XDG_CONFIG_HOME", (scratch / "config").c_str(), 1);
  ASSERT_EQ(::mkdir((scratch / "config").c_str(), 0777), 0);
  EXPECT_EQ(UserPicturesFolder(), entry->pw_dir) << "HOME unset, no user-dirs.dirs";
  WriteUserDirs(scratch / "config", "XDG_PICTURES_DIR=\"$HOME/Fotos\"\n");
  EXPECT_EQ(UserPicturesFolder(), std::string(entry->pw_dir) + "/Fotos");
}

TEST(UserDataFolderTest, XdgDataHomeWhenAbsoluteElseTheHomesLocalShare) {
  ScopedEnvironment home{"HOME", "/home/ana"};
  ScopedEnvironment data{"XDG_DATA_HOME", nullptr};
  EXPECT_EQ(UserDataFolder(), "/home/ana/.local/share/tessarine");
  ::setenv("XDG_DATA_HOME", "/srv/datos de ana", 1);
  EXPECT_EQ(UserDataFolder(), "/srv/datos de ana/tessarine");
  for (const char* unused : {"", "datos-relativos"}) {
    ::setenv("XDG_DATA_HOME", unused, 1);
    EXPECT_EQ(UserDataFolder(), "/home/ana/.local/share/tessarine")
        << "XDG_DATA_HOME=\"" << unused << "\" is not used";
  }
}

}  // namespace
