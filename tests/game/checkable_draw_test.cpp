// The checkable draw against a recomputation written here from the definitions alone:
// HMAC-SHA256 as RFC 2104 sets it out (over the SHA-256 digits the project already
// checks against FIPS 180-4), the message and the unbiased mapping as checkable_draw.h
// states them; then the key kept in the journal, and a journal written before it.
#include "game/checkable_draw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "game/hmac_sha256.h"
#include "game/journal.h"
#include "game/session.h"
#include "game/sha256.h"
#include "game_model.h"
#include "tests/support/test_support.h"

namespace {
constexpr int64_t kStart = 1733775240000;

std::string Hex(const Sha256Digest& digest) { return HexText(digest.data(), digest.size()); }

std::string BytesOfHex(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i < hex.size(); i += 2)
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

TEST(HmacSha256Test, Rfc4231TestCases) {
  EXPECT_EQ(Hex(HmacSha256(std::string(20, '\x0b'), "Hi There")),
            "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7");
  EXPECT_EQ(Hex(HmacSha256("Jefe", "what do ya want for nothing?")),
            "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
  EXPECT_EQ(Hex(HmacSha256(std::string(20, '\xaa'), std::string(50, '\xdd'))),
            "773ea91e36800e46854db8ebd09181a72959098b3ef8c122d9635514ced565fe");
  EXPECT_EQ(Hex(HmacSha256(BytesOfHex("0102030405060708090a0b0c0d0e0f10111213141516171819"),
                           std::string(50, '\xcd'))),
            "82558a389a443c0ea4cc819899f2083a85f0faa3e578f8077a2e3ff46729665b");
  // Keys longer than the block are hashed first.
  EXPECT_EQ(Hex(HmacSha256(std::string(131, '\xaa'),
                           "Test Using Larger Than Block-Size Key - Hash Key First")),
            "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54");
  EXPECT_EQ(Hex(HmacSha256(std::string(131, '\xaa'),
                           "This is a test using a larger than block-size key and a larger than "
                           "block-size data. The key needs to be hashed before being used by the "
                           "HMAC algorithm.")),
            "9b09ffa71b942fcb27635fbcd5b0e944bfdc63644f0713938a7f51535c3a35e2");
}

// RFC 2104 from its text: H((K ^ opad) || H((K ^ ipad) || text)), K padded to 64 bytes.
std::string ModelHmac(const std::string& key, const std::string& text) {
  std::string padded = key.size() > 64 ? BytesOfHex(Sha256Hex(key)) : key;
  padded.append(64 - padded.size(), '\0');
  std::string ipad, opad;
  for (char c : padded) {
    ipad += static_cast<char>(c ^ 0x36);
    opad += static_cast<char>(c ^ 0x5c);
  }
  return BytesOfHex(Sha256Hex(opad + BytesOfHex(Sha256Hex(ipad + text))));
}

// The n-th drawn ball among `left` (ascending) as checkable_draw.h defines it.
int ModelBall(const std::string& key, int64_t started, const std::string& list_sha256,
              uint32_t n, const std::vector<int>& left) {
  const std::string message = "tessarine-bola|" + std::to_string(started) + "|" + list_sha256 +
                              "|" + std::to_string(n);
  const uint64_t size = left.size();
  const uint64_t limit = (uint64_t(1) << 32) / size * size;
  for (int k = 0;; ++k) {
    const std::string bits = ModelHmac(key, k == 0 ? message : message + "|" + std::to_string(k));
    for (size_t at = 0; at < 32; at += 4) {
      uint64_t word = 0;
      for (size_t i = 0; i < 4; ++i) word = word * 256 + static_cast<unsigned char>(bits[at + i]);
      if (word < limit) return left[word % size];
    }
  }
}

// 200 games of 99 balls standing each, drawn balls mixed with a cage's and with undos:
// every drawn ball is the model's, n counting every drawn ball, undone ones too.
TEST(CheckableDrawTest, EveryDrawnBallIsTheOneTheKeyGives) {
  std::mt19937 random(2024);
  const std::vector<ListLine> list = RandomList(5, &random);
  size_t drawn_balls = 0;
  for (int g = 0; g < 200; ++g) {
    const int64_t started = kStart + g * 7919;
    const std::string list_sha256 = Sha256Hex(std::to_string(g));
    Game game =
        NewGame(list, "", PrizePlan::kLineThenBingo, "l.csv", list_sha256, started).game;
    ASSERT_EQ(game.draw_key.size(), 32u);
    std::vector<int> standing;
    uint32_t n = 0;
    while (standing.size() < 99) {
      std::vector<int> left;
      for (int number = 1; number <= 99; ++number)
        if (std::find(standing.begin(), standing.end(), number) == standing.end())
          left.push_back(number);
      const unsigned roll = random() % 10;
      if (roll == 0 && !standing.empty()) {
        ASSERT_EQ(PlayEvent(&game, UndoEvent(started)), "");
        standing.pop_back();
        continue;
      }
      int number = left[random() % left.size()];  // a ball from the cage
      if (roll > 1) {
        number = ModelBall(game.draw_key, started, list_sha256, ++n, left);
        ASSERT_EQ(DrawBall(game).number, number) << "game " << g << ", ball " << n;
        ++drawn_balls;
      }
      ASSERT_EQ(PlayEvent(&game, CallEvent(number, started, roll > 1)), "");
      standing.push_back(number);
    }
    EXPECT_EQ(NextDrawNumber(game), n + 1);
  }
  EXPECT_GT(drawn_balls, 200u * 80);
}

TEST(CheckableDrawTest, TheCommitmentIsTheKeysSha256InGroupsOfFour) {
  std::mt19937 random(3);
  const Game game =
      NewGame(RandomList(2, &random), "", PrizePlan::kLineThenBingo, "l.csv", "", kStart).game;
  const std::string commitment = Sha256Hex(game.draw_key);
  const std::string text = CommitmentText(game);
  ASSERT_EQ(text.size(), 64u + 15);
  for (size_t group = 0; group < 16; ++group) {
    EXPECT_EQ(text.substr(group * 5, 4), commitment.substr(group * 4, 4));
    if (group < 15) {
      EXPECT_EQ(text[group * 5 + 4], ' ');
    }
  }
  const Game other =
      NewGame(RandomList(2, &random), "", PrizePlan::kLineThenBingo, "l.csv", "", kStart).game;
  EXPECT_NE(CommitmentText(other), text) << "a new key for every game";
}

struct DrawJournalTest : ::testing::Test {
  void SetUp() override {
    std::mt19937 random(9);
    list = RandomList(20, &random);
    WriteWholeFile(list_path, CardListBytes(list));
    ASSERT_EQ(OpenGameFolder(folder, &session), "");
    ASSERT_EQ(StartNewGame(&session, list_path, "", PrizePlan::kLineThenBingo, kStart), "");
    for (int i = 0; i < 5; ++i) ASSERT_EQ(DrawAndCall(&session, kStart + i).error, "");
  }
  void TearDown() override { CloseGameFolder(&session); }
  // The game file with its lines from `from` (1-based) to `to` replaced by `lines`.
  std::string SavedWithLines(int from, int to, const std::string& lines) {
    const std::string saved = ReadWholeFile(GameFilePath(folder));
    size_t begin = 0, end = 0;
    for (int line = 1; line < from; ++line) begin = saved.find('\n', begin) + 1;
    end = begin;
    for (int line = from; line <= to; ++line) end = saved.find('\n', end) + 1;
    return saved.substr(0, begin) + lines + saved.substr(end);
  }

  ScratchFolder scratch;
  std::string folder = scratch / "datos";
  std::string list_path = scratch / "cartones.csv";
  std::vector<ListLine> list;
  GameSession session;
};

TEST_F(DrawJournalTest, TheKeyComesBackAndTheNextBallIsTheOneItGives) {
  const std::string key = session.game.draw_key;
  const JournalContents read = ParseJournal(ReadWholeFile(GameFilePath(folder)));
  ASSERT_EQ(read.error, "");
  EXPECT_EQ(read.draw_key, key);
  EXPECT_NE(ReadWholeFile(GameFilePath(folder)).find("clave " + DrawKeyHex(key) + " #"),
            std::string::npos);
  EXPECT_NE(ReadWholeFile(GameFilePath(folder)).find("compromiso " + Sha256Hex(key) + " #"),
            std::string::npos);
  const uint8_t next = DrawBall(session.game).number;
  CloseGameFolder(&session);

  GameSession again;
  ASSERT_EQ(OpenGameFolder(folder, &again), "");
  ASSERT_EQ(ContinueSavedGame(&again, kStart + 100), "");
  EXPECT_EQ(again.game.draw_key, key);
  EXPECT_EQ(DrawAndCall(&again, kStart + 200).number, next);
  CloseGameFolder(&again);
}

TEST_F(DrawJournalTest, AJournalWithoutAKeyStillContinuesFromTheSystemSource) {
  const std::string old = SavedWithLines(6, 7, "");
  WriteWholeFile(GameFilePath(folder), old);
  CloseGameFolder(&session);
  GameSession again;
  ASSERT_EQ(OpenGameFolder(folder, &again), "");
  EXPECT_EQ(LookForSavedGame(folder).balls, 5u);
  ASSERT_EQ(ContinueSavedGame(&again, kStart + 100), "");
  EXPECT_EQ(again.game.draw_key, "");
  EXPECT_EQ(CommitmentText(again.game), "");
  for (int i = 0; i < 10; ++i) ASSERT_EQ(DrawAndCall(&again, kStart + 200 + i).error, "");
  EXPECT_EQ(again.game.standing.size(), 15u);
  EXPECT_EQ(ReadWholeFile(GameFilePath(folder)).find("clave"), std::string::npos)
      << "no key is made up for it afterwards";
  CloseGameFolder(&again);
}

// Lines sealed as the journal seals them.
std::string Sealed(const std::string& text) {
  char digits[16];
  std::snprintf(digits, sizeof digits, " #%08X\n", static_cast<unsigned>(JournalChecksum(text)));
  return text + digits;
}

TEST_F(DrawJournalTest, AKeyThatIsNotItsCommitmentsIsDamage) {
  EXPECT_EQ(ParseJournal(SavedWithLines(7, 7, Sealed("compromiso " + std::string(64, 'a')))).error,
            "línea 7: la clave del sorteo no cuadra con su compromiso");
  EXPECT_EQ(ParseJournal(SavedWithLines(6, 6, Sealed("clave 12ab"))).error,
            "línea 6: la clave del sorteo está mal escrita");
  EXPECT_EQ(ParseJournal(SavedWithLines(7, 7, "")).error,
            "línea 7: falta el compromiso del sorteo tras su clave");
  const std::string saved = ReadWholeFile(GameFilePath(folder));
  size_t sixth = 0;
  for (int i = 0; i < 6; ++i) sixth = saved.find('\n', sixth) + 1;
  EXPECT_EQ(ParseJournal(saved.substr(0, sixth)).error,
            "le falta el compromiso del sorteo tras su clave");
}
}  // namespace
