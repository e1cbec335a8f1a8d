// The commands "Muchas" and "Fotocopia" over the real drawing layer and card renderer,
// with a scripted user interface. The "main window" is a 721 x 241 bitmap: selecting
// its picture control finds no control and falls back to the bitmap itself.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <string>
#include <vector>

#include "card/renderer.h"
#include "draw/draw.h"
#include "fake_ui.h"
#include "files/card_files.h"
#include "app/commands.h"
#include "disk/file_system.h"
#include "disk/folder_lock.h"
#include "tests/support/shared_folder_lock.h"
#include "tests/support/test_support.h"

namespace {

const char* const kNotDigits = "Tienes que escribir un número de 1 a 30.000 ...";
const char* const kTooMany = "Excedes el número permitido de cartones ...";
const char* const kPhotocopySaved = "Fotocopia Archivada ...";
constexpr int64_t kCardFileBytes = 521578;

// A saved picture with every pixel white (each row: 2,163 bytes 0xFF, one padding byte).
bool AllWhite(const std::string& file) {
  if (static_cast<int64_t>(file.size()) != kCardFileBytes) return false;
  for (size_t row = 0; row < 241; ++row) {
    const size_t start = 54 + row * 2164;
    if (file.find_first_not_of('\xFF', start) != start + 2163) return false;
  }
  return true;
}

// The picture of the running test, for a body run in a child process.
uint32_t g_current_picture = 0;
uint32_t CurrentPicture() { return g_current_picture; }

class CommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder.path.empty());
    ASSERT_FALSE(home.path.empty());
    // A batch that cannot go beside the program goes to the user's folder: this one.
    ::setenv("HOME", home.path.c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    RemoveTree(BatchFolder());
    ResetFakeUi();
    g_card_counter = 0;
    g_card_colour = kDefaultCardColour;
    picture = NewBitmap(kPictureWidth, kPictureHeight);
    ASSERT_NE(picture, 0u);
    g_current_picture = picture;
    SelectTarget(picture, 0, 0);
    Clear(0xFFFFFF, 0);
    here = std::make_unique<InFolder>(folder.path);
  }
  void TearDown() override {
    here.reset();
    SelectTarget(picture, 0, 0);
    EndBitmap();
    RemoveTree(BatchFolder());
  }

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const RecordedMessage& message : TheFakeUi().messages) texts.push_back(message.text);
    return texts;
  }
  // Every message the commands show is plain and signed by the programmer.
  void ExpectPlainMessages() const {
    for (const RecordedMessage& message : TheFakeUi().messages) {
      EXPECT_EQ(message.style, 0) << message.text;
      EXPECT_EQ(message.title, "Programador") << message.text;
    }
  }
  std::string BatchFile(const std::string& name) const {
    return BatchFolder() + PathSeparator() + name;
  }
  // The picture's pixels against a saved file, read by an independent decoder.
  void ExpectFileShowsPicture(const std::string& path) const {
    const DecodedImage saved = DecodeWithPil(path);
    ASSERT_EQ(saved.error, "");
    ASSERT_EQ(saved.width, kPictureWidth);
    ASSERT_EQ(saved.height, kPictureHeight);
    SelectTarget(picture, 0, 0);
    PixelView view;
    ASSERT_TRUE(LockCurrentTargetPixels(&view));
    int different = 0;
    for (int y = 0; y < view.height; ++y)
      for (int x = 0; x < view.width; ++x)
        if ((view.pixels[y * view.stride + x] & 0xFFFFFFu) != saved.Rgb(x, y)) ++different;
    UnlockDrawing();
    EXPECT_EQ(different, 0) << path;
  }

  SharedFolderLock lock;
  ScratchFolder folder;  // the current folder while a test runs
  ScratchFolder home;
  ScopedEnvironment home_variable{"HOME", nullptr};
  ScopedEnvironment config_variable{"XDG_CONFIG_HOME", nullptr};
  std::unique_ptr<InFolder> here;
  uint32_t picture = 0;
};

// ---- Muchas ---------------------------------------------------------------------

TEST_F(CommandTest, BatchOfThreeSavesThreeDifferentCards) {
  TheFakeUi().answers = {"3"};
  Batch(picture);

  ASSERT_EQ(TheFakeUi().prompts.size(), 1u);
  const RecordedPrompt& prompt = TheFakeUi().prompts[0];
  EXPECT_EQ(prompt.prompt, "<De 1 a 30000>");
  EXPECT_EQ(prompt.caption, "Cuantos cartones quieres ?");
  EXPECT_EQ(prompt.default_text, "");
  EXPECT_EQ(prompt.x, -1);
  EXPECT_EQ(prompt.y, -1);

  EXPECT_EQ(FolderEntries(BatchFolder()),
            (std::vector<std::string>{"0001.bmp", "0002.bmp", "0003.bmp"}));
  std::vector<std::string> cards;
  for (const char* name : {"0001.bmp", "0002.bmp", "0003.bmp"}) {
    cards.push_back(ReadWholeFile(BatchFile(name)));
    EXPECT_EQ(static_cast<int64_t>(cards.back().size()), kCardFileBytes) << name;
  }
  EXPECT_NE(cards[0], cards[1]);
  EXPECT_NE(cards[0], cards[2]);
  EXPECT_NE(cards[1], cards[2]);
  // The last card is what the picture shows, and it is a card, not a white picture.
  ExpectFileShowsPicture(BatchFile("0003.bmp"));
  EXPECT_FALSE(AllWhite(cards[2]));

  EXPECT_EQ(Texts(), std::vector<std::string>{"Creados 3 cartones del bingo ..."});
  ExpectPlainMessages();
  EXPECT_EQ(g_card_counter, 3);
  EXPECT_TRUE(FolderEntries(folder.path).empty()) << "nothing in the current folder";
}

TEST_F(CommandTest, RefusedAnswersShowTheirMessageAndWriteNothing) {
  const struct {
    std::string answer;
    const char* message;
  } cases[] = {
      {" 5", kNotDigits},       {"5 ", kNotDigits},     {"+5", kNotDigits},
      {"-5", kNotDigits},       {"5.0", kNotDigits},    {"cinco", kNotDigits},
      {"30001", kTooMany},      {"99999999999999999999", kTooMany},
      {std::string(300, '9'), kTooMany},
  };
  for (const auto& c : cases) {
    ResetFakeUi();
    TheFakeUi().answers = {c.answer};
    g_card_counter = 7;
    Batch(picture);
    EXPECT_EQ(Texts(), std::vector<std::string>{c.message}) << '"' << c.answer << '"';
    ExpectPlainMessages();
    EXPECT_FALSE(PathExists(BatchFolder())) << c.answer;
    EXPECT_EQ(g_card_counter, 7) << c.answer;
  }
  EXPECT_TRUE(FolderEntries(folder.path).empty());
}

TEST_F(CommandTest, CancelEmptyOrZerosMakeTheBatchFolderOnly) {
  for (const char* answer : {"", "0", "0000"}) {
    RemoveTree(BatchFolder());
    ResetFakeUi();
    TheFakeUi().answers = {answer};
    Batch(picture);
    EXPECT_TRUE(TheFakeUi().messages.empty()) << '"' << answer << '"';
    EXPECT_TRUE(IsFolder(BatchFolder())) << answer;
    EXPECT_TRUE(FolderEntries(BatchFolder()).empty()) << answer;
  }
}

TEST_F(CommandTest, BatchOverAnEarlierOneReplacesItsFirstFilesOnly) {
  ASSERT_TRUE(MakeFolder(BatchFolder()));
  WriteWholeFile(BatchFile("0001.bmp"), "earlier");
  WriteWholeFile(BatchFile("0005.bmp"), "earlier");
  TheFakeUi().answers = {"2"};
  Batch(picture);
  EXPECT_EQ(FileLength(BatchFile("0001.bmp")), kCardFileBytes);
  EXPECT_EQ(FileLength(BatchFile("0002.bmp")), kCardFileBytes);
  EXPECT_EQ(ReadWholeFile(BatchFile("0005.bmp")), "earlier");
  EXPECT_EQ(Texts(), std::vector<std::string>{"Creados 2 cartones del bingo ..."});
}

// Where the folder beside the program cannot be made, the batch goes to the user's
// pictures folder, made with its parents, and the closing message names it.
TEST_F(CommandTest, BatchThatCannotGoBesideTheProgramGoesToThePicturesFolder) {
  WriteWholeFile(BatchFolder(), "a file where the folder should be");
  ASSERT_EQ(::mkdir((home / ".config").c_str(), 0777), 0);
  WriteWholeFile(home / ".config/user-dirs.dirs", "XDG_PICTURES_DIR=\"$HOME/Imágenes\"\n");
  TheFakeUi().answers = {"3"};
  Batch(picture);
  const std::string pictures = home / "Imágenes/muchas";
  EXPECT_EQ(Texts(),
            std::vector<std::string>{"Creados 3 cartones del bingo en " + pictures + " ..."});
  ExpectPlainMessages();
  EXPECT_EQ(FolderEntries(pictures),
            (std::vector<std::string>{"0001.bmp", "0002.bmp", "0003.bmp"}));
  for (const char* name : {"0001.bmp", "0002.bmp", "0003.bmp"})
    EXPECT_EQ(FileLength(pictures + "/" + name), kCardFileBytes) << name;
  ExpectFileShowsPicture(pictures + "/0003.bmp");
  EXPECT_EQ(g_card_counter, 3);
  EXPECT_EQ(ReadWholeFile(BatchFolder()), "a file where the folder should be");
  EXPECT_TRUE(FolderEntries(folder.path).empty()) << "nothing in the current folder";
}

// A read-only mount refuses even root: the folder is there but takes no file.
TEST_F(CommandTest, BatchBesideAReadOnlyFolderGoesToTheHomeWithoutPicturesFolder) {
  ASSERT_TRUE(MakeFolder(BatchFolder()));
  ScopedReadOnlyBind read_only(BatchFolder());
  if (!read_only.mounted) GTEST_SKIP() << read_only.reason;
  TheFakeUi().answers = {"2"};
  Batch(picture);
  const std::string fallback = home / "muchas";
  EXPECT_EQ(Texts(),
            std::vector<std::string>{"Creados 2 cartones del bingo en " + fallback + " ..."});
  EXPECT_EQ(FolderEntries(fallback), (std::vector<std::string>{"0001.bmp", "0002.bmp"}));
  EXPECT_TRUE(FolderEntries(BatchFolder()).empty());
}

TEST_F(CommandTest, BatchStopsAtTheFirstCardThatCannotBeSaved) {
  WriteWholeFile(BatchFolder(), "a file where the folder should be");
  WriteWholeFile(home / "muchas", "and one where the other folder should be");
  TheFakeUi().answers = {"3"};
  Batch(picture);
  const std::string fallback = home / "muchas";
  EXPECT_EQ(Texts(), std::vector<std::string>{"No se pudo guardar " + fallback +
                                              "/0001.bmp. Creados 0 cartones del bingo en " +
                                              fallback + " ..."});
  ExpectPlainMessages();
  EXPECT_EQ(ReadWholeFile(BatchFolder()), "a file where the folder should be");
  EXPECT_EQ(ReadWholeFile(fallback), "and one where the other folder should be");
}

TEST_F(CommandTest, BatchOnAFullDiskKeepsTheCardsItSaved) {
  ASSERT_TRUE(MakeFolder(BatchFolder()));
  ScopedTmpfs disk(BatchFolder(), 600 * 1024);  // room for one card, not two
  if (!disk.mounted) GTEST_SKIP() << disk.reason;
  TheFakeUi().answers = {"3"};
  Batch(picture);
  EXPECT_EQ(Texts(), std::vector<std::string>{"No se pudo guardar " + BatchFile("0002.bmp") +
                                              ". Creados 1 cartones del bingo ..."});
  EXPECT_EQ(FolderEntries(BatchFolder()), std::vector<std::string>{"0001.bmp"});
  EXPECT_EQ(FileLength(BatchFile("0001.bmp")), kCardFileBytes);
}

// The folder of an earlier batch is no failure the user hears of: a code is recorded
// and the batch goes on into it.
TEST_F(CommandTest, ABatchFolderThatExistsRecordsCode75AndTheBatchGoesOn) {
  ASSERT_TRUE(MakeFolder(BatchFolder()));
  ClearRuntimeError();
  TheFakeUi().answers = {"1"};
  Batch(picture);
  EXPECT_EQ(LastRuntimeError(), 75);
  EXPECT_EQ(Texts(), std::vector<std::string>{"Creados 1 cartones del bingo ..."});
  EXPECT_EQ(FileLength(BatchFile("0001.bmp")), kCardFileBytes);
}

TEST_F(CommandTest, ANewBatchFolderRecordsNoCode) {
  ClearRuntimeError();
  TheFakeUi().answers = {"1"};
  Batch(picture);
  EXPECT_EQ(LastRuntimeError(), 0);
  EXPECT_EQ(FileLength(BatchFile("0001.bmp")), kCardFileBytes);
}

// ---- One batch at a time in a folder ------------------------------------------------

TEST_F(CommandTest, ABatchIntoAFolderAnotherBatchHoldsIsRefusedAndWritesNothing) {
  ASSERT_TRUE(MakeFolder(BatchFolder()));
  FolderLock other;
  ASSERT_EQ(LockFolder(BatchFolder(), &other), FolderLockResult::kLocked);
  g_card_counter = 7;
  TheFakeUi().answers = {"2"};
  Batch(picture);
  EXPECT_EQ(Texts(), std::vector<std::string>{"La carpeta " + BatchFolder() +
                                              " está en uso por otra tanda ..."});
  ExpectPlainMessages();
  EXPECT_EQ(FolderEntries(BatchFolder()), std::vector<std::string>{FolderLockName()});
  EXPECT_EQ(g_card_counter, 7);
  UnlockFolder(&other);

  // Let go, the folder takes the next batch, and no lock file stays among the cards.
  ResetFakeUi();
  TheFakeUi().answers = {"1"};
  Batch(picture);
  EXPECT_EQ(Texts(), std::vector<std::string>{"Creados 1 cartones del bingo ..."});
  EXPECT_EQ(FolderEntries(BatchFolder()), std::vector<std::string>{"0001.bmp"});
}

// ---- No executable folder -------------------------------------------------------

// Without /proc the program cannot tell where it lies: no batch lands in the current
// folder; it goes to the user's folder, which its message names, and the swatch has no
// file. With no user folder known either, the user is told there is nowhere to go.
std::string g_fallback_folder;  // for the body run without /proc, a plain function

TEST_F(CommandTest, WithoutTheExecutablesFolderNoBatchIsMadeInTheCurrentFolder) {
  std::string reason;
  const std::string fallback = home / "muchas";
  g_fallback_folder = fallback;
  const int code = RunWithoutProc(
      [] {
        const std::string& fallback = g_fallback_folder;
        if (!BatchFolder().empty() || !SwatchPath().empty()) return 1;
        TheFakeUi().answers = {"2"};
        Batch(CurrentPicture());
        const bool told =
            TheFakeUi().messages.size() == 1 &&
            TheFakeUi().messages[0].text ==
                "Creados 2 cartones del bingo en " + fallback + " ...";
        if (!told) return 2;
        ResetFakeUi();
        TheFakeUi().answers = {""};  // Cancel: nothing to make, nothing said
        Batch(CurrentPicture());
        if (!TheFakeUi().messages.empty()) return 3;
        if (WriteSwatch(0x3366CC)) return 4;
        return 0;
      },
      &reason);
  if (code < 0) GTEST_SKIP() << reason;
  EXPECT_EQ(code, 0) << "1: a folder was made up, 2: not saved in the user's folder or not "
                        "named, 3: a message after Cancel, 4: a swatch file was written";
  EXPECT_TRUE(FolderEntries(folder.path).empty()) << "nothing in the current folder";
  EXPECT_EQ(FolderEntries(fallback), (std::vector<std::string>{"0001.bmp", "0002.bmp"}));
}

// ---- Fotocopia ------------------------------------------------------------------

TEST_F(CommandTest, PhotocopiesInARowAreIdenticalWithConsecutiveNumbers) {
  ShowCard(picture, 0, 0x47000000u);
  Photocopy(picture);
  Photocopy(picture);
  EXPECT_EQ(FolderEntries(folder.path), (std::vector<std::string>{"0001.bmp", "0002.bmp"}));
  const std::string first = ReadWholeFile(folder / "0001.bmp");
  EXPECT_EQ(static_cast<int64_t>(first.size()), kCardFileBytes);
  EXPECT_EQ(ReadWholeFile(folder / "0002.bmp"), first);
  ExpectFileShowsPicture(folder / "0001.bmp");
  EXPECT_EQ(Texts(), (std::vector<std::string>{kPhotocopySaved, kPhotocopySaved}));
  ExpectPlainMessages();
  EXPECT_FALSE(PathExists(BatchFolder()));
}

TEST_F(CommandTest, PhotocopyBeforeAnyCardSavesTheWhitePicture) {
  Photocopy(picture);
  EXPECT_TRUE(AllWhite(ReadWholeFile(folder / "0001.bmp")));
  EXPECT_EQ(Texts(), std::vector<std::string>{kPhotocopySaved});
}

TEST_F(CommandTest, PhotocopyThatCannotBeSavedSaysSo) {
  ASSERT_EQ(::mkdir((folder / "0001.bmp").c_str(), 0777), 0);
  ClearRuntimeError();
  Photocopy(picture);
  EXPECT_EQ(LastRuntimeError(), 0) << "a failed save records no code";
  EXPECT_EQ(Texts(), std::vector<std::string>{"No se pudo archivar la fotocopia 0001.bmp ..."});
  ExpectPlainMessages();
  EXPECT_TRUE(IsFolder(folder / "0001.bmp"));
  EXPECT_EQ(FolderEntries(folder.path), std::vector<std::string>{"0001.bmp"});
}

TEST_F(CommandTest, PhotocopyAfterABatchContinuesItsNumbers) {
  TheFakeUi().answers = {"2"};
  Batch(picture);
  Photocopy(picture);
  EXPECT_EQ(FolderEntries(folder.path), std::vector<std::string>{"0003.bmp"});
  EXPECT_EQ(ReadWholeFile(folder / "0003.bmp"), ReadWholeFile(BatchFile("0002.bmp")))
      << "the picture still shows the batch's last card";
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Creados 2 cartones del bingo ...",
                                               kPhotocopySaved}));
}

TEST_F(CommandTest, PhotocopyPastCard9999HasFiveDigits) {
  g_card_counter = 9999;
  Photocopy(picture);
  EXPECT_EQ(FolderEntries(folder.path), std::vector<std::string>{"10000.bmp"});
}

}  // namespace
