// tessarine-cards given hostile input, as a careful reviewer would try it: lists and
// called numbers holding control bytes, FIFOs and devices for input files, outputs that
// name one file twice or one of the run's own cards, and sheets that fail with no card
// files. Nothing forged reaches the terminal, nothing hangs, nothing is overwritten.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "cards_runner.h"

namespace {
// The card of 12:34:56.789 as its list record's fields after the file name.
const std::string kCardFields =
    "4730F0CA,08 65 -- 30 -- 27 18 -- --,51 62 89 12 -- -- -- 19 --,63 48 22 43 -- -- -- 29 --";
const std::string kHeader = "archivo,codigo,fila1,fila2,fila3\r\n";
// A FIFO nobody writes would hang a program that opens it: the guard ends such a run
// (exit 137) so that the test fails instead of waiting for ever.
const std::string kHangGuard = "timeout -s KILL 120";

class HostileInput : public ScratchFolderTest {
 protected:
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(At(name), std::ios::binary) << bytes;
  }
};

// One line of text, every byte of it printable: nothing that could drive a terminal
// (ESC, BEL, CR, NUL, DEL, a C1 control) and no second line.
void ExpectOneInertLine(const std::string& text) {
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\n') << text;
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    EXPECT_FALSE(byte < 0x20 || byte == 0x7F) << "byte " << i << " is " << int(byte) << ": " << text;
    if (byte == 0xC2 && i + 2 < text.size()) {
      const auto next = static_cast<unsigned char>(text[i + 1]);
      EXPECT_FALSE(next >= 0x80 && next <= 0x9F) << "a C1 control at " << i << ": " << text;
    }
  }
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}
}  // namespace

// ---- A list cannot forge the report ----------------------------------------------------

TEST_F(HostileInput, AQuotedNameWithALineBreakCannotForgeABingo) {
  Write("f.csv", kHeader +
                     "\"0001.bmp  4730F0CA  sin premio\n0666.bmp  DEADBEEF  bingo  (con el último "
                     "número)\"," + kCardFields + "\r\n");
  const Result r = Run("--check f.csv --called '8 65 30 27 18'");
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_EQ(r.out, "") << "no report at all, forged or not";
  EXPECT_TRUE(Has(r.err, "f.csv: línea 2: el nombre del archivo del cartón lleva caracteres de "
                         "control: \"0001.bmp  4730F0CA  sin premio\\x0a0666.bmp …\""))
      << r.err;
  ExpectOneInertLine(r.err);
}

TEST_F(HostileInput, NamesWithNulEscapesOrBareReturnsAreRefusedNamingTheLine) {
  const std::vector<std::pair<std::string, std::string>> names = {
      {std::string("0001.bmp\0 bingo", 15), "0001.bmp\\x00 bingo"},
      {"\x1b]0;owned\x07" "0001.bmp", "\\x1b]0;owned\\x070001.bmp"},
      {"0666.bmp  DEADBEEF  bingo\r0001.bmp", "bingo\\x0d0001.bmp"},
      {"0001.bmp\xC2\x9B" "2J", "0001.bmp\\u009b2J"},
      {"../../etc/0001.bmp", "separadores de carpeta"},
  };
  for (const auto& name : names) {
    Write("f.csv", kHeader + "0001.bmp," + kCardFields + "\r\n\"" + name.first + "\"," +
                       kCardFields + "\r\n");
    const Result r = Run("--check f.csv --called '8 65 30 27 18'");
    EXPECT_EQ(r.exit_code, 2) << name.second;
    EXPECT_EQ(r.out, "") << name.second;
    EXPECT_TRUE(Has(r.err, "línea 3: el nombre del archivo del cartón")) << r.err;
    EXPECT_TRUE(Has(r.err, name.second)) << r.err;
    ExpectOneInertLine(r.err);
  }
  // A plain name is still read, and its bingo reported.
  Write("f.csv", kHeader + "cartón 1.bmp," + kCardFields + "\r\n");
  const Result r = Run("--check f.csv --called '8 65 30 27 18'");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "cartón 1.bmp  4730F0CA  línea")) << r.out;
}

// ---- Refusals show what they quote escaped -----------------------------------------------

TEST_F(HostileInput, RefusalsQuoteControlBytesEscaped) {
  Write("c.txt", "8 65\n30 \033]0;owned\007 27\n");
  Result r = Run("--check --code 4730F0CA --called-file c.txt");
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_TRUE(Has(r.err, "c.txt: línea 2: \"\\x1b]0;owned\\x07\" no es un número")) << r.err;
  ExpectOneInertLine(r.err);

  r = Run("--check --code 4730F0CA --called \"$(printf '7 \\033[2J\\033[H')\"");
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_TRUE(Has(r.err, "\"\\x1b[2J\\x1b[H\" no es un número")) << r.err;
  ExpectOneInertLine(r.err);

  // A row of a list, and the options' own values.
  Write("rows.csv", kHeader + "0001.bmp,4730F0CA,\"08 65\r\n\033[31m\",x,y\r\n");
  for (const std::string& args :
       {std::string("--check rows.csv --called 7"),
        std::string("--time \"$(printf '12:34\\r56.789')\" --layout"),
        std::string("--colour \"$(printf '\\302\\23331m')\" --count 1"),
        std::string("--code \"$(printf '\\033[2J')\" --layout"),
        std::string("--count \"$(printf '1\\n2')\""),
        std::string("\"$(printf -- '--\\033]0;x\\007')\""),
        std::string("--check \"$(printf 'a\\033[2Jb.csv')\" --called 7")}) {
    r = Run(args);
    EXPECT_EQ(r.exit_code, 2) << args;
    EXPECT_TRUE(Has(r.err, "\\x1b") || Has(r.err, "\\x0d") || Has(r.err, "\\u009b") ||
                Has(r.err, "\\x0a"))
        << args << ": " << r.err;
    ExpectOneInertLine(r.err);
  }
}

// ---- Nothing but a regular file is read, and nothing waits ---------------------------------

TEST_F(HostileInput, AFifoOrADeviceAsInputIsRefusedWithoutWaiting) {
  Write("hall.csv", kHeader + "0001.bmp," + kCardFields + "\r\n");
  ASSERT_EQ(mkfifo(At("f").c_str(), 0644), 0);
  ASSERT_EQ(mkdir(At("folder").c_str(), 0755), 0);
  const std::string not_regular =
      ": no es un archivo normal (una carpeta, un FIFO o un dispositivo no se leen)";
  struct Case {
    std::string args, says;
  } cases[] = {
      {"--check f --called 7", "f" + not_regular},
      {"--check hall.csv --called-file f", "f" + not_regular},
      {"--check /dev/null --called 7", "/dev/null" + not_regular},
      {"--check hall.csv --called-file /dev/null", "/dev/null" + not_regular},
      {"--check --code 4730F0CA --called-file folder", "folder" + not_regular},
  };
  for (const Case& c : cases) {
    const Result r = Run(c.args, kHangGuard);
    EXPECT_EQ(r.exit_code, 2) << c.args << " (137: it hung on the FIFO)";
    EXPECT_EQ(r.out, "") << c.args;
    EXPECT_EQ(r.err, "tessarine-cards: " + c.says + "\n") << c.args;
  }
}

// An empty file of called numbers is an empty list, refused as --called with no number is.
TEST_F(HostileInput, AnEmptyFileOfCalledNumbersIsRefusedAsAnEmptyList) {
  Write("empty.txt", "");
  Write("blank.txt", " \r\n,\n");
  for (const char* args : {"--check --code 4730F0CA --called-file empty.txt",
                           "--check --code 4730F0CA --called-file blank.txt",
                           "--check --code 4730F0CA --called ' , '"}) {
    const Result r = Run(args);
    EXPECT_EQ(r.exit_code, 2) << args;
    EXPECT_TRUE(Has(r.err, "ningún número cantado") || Has(r.err, "no se ha cantado ningún número"))
        << args << ": " << r.err;
  }
}

// ---- A failed output says so, and nothing unsaved is counted -------------------------------

// The sheets are the only output of a --no-files run: when they fail the run says that,
// and only that, naming the PDF.
void ExpectOnlyTheSheetsFailed(const Result& r, const std::string& pdf) {
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_TRUE(Has(r.err, "tessarine-cards: no se pudo guardar " + pdf)) << r.err;
  EXPECT_FALSE(Has(r.err, "no se pudo guardar ;")) << r.err;
  EXPECT_FALSE(Has(r.err, "guardados")) << "no card file was saved: " << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

TEST_F(HostileInput, SheetsThatFailUnderNoFilesAreReportedAsThemselves) {
  // A file size limit fails the PDF as a full disk would, with no mount; the signal it
  // raises is ignored, so that the write fails and the program goes on to say so.
  Result r = Run("--count 400 --no-files --pdf x.pdf", "trap '' XFSZ; ulimit -f 64;");
  ExpectOnlyTheSheetsFailed(r, "x.pdf");
  EXPECT_FALSE(Exists("x.pdf"));

  ASSERT_EQ(mkdir(At("m").c_str(), 0755), 0);
  if (std::system(("mount -t tmpfs -o size=64k tessarine-m '" + At("m") + "' 2>/dev/null")
                      .c_str()) != 0)
    GTEST_SKIP() << "cannot mount a small tmpfs here: the full-disk case is not run";
  r = Run("--count 400 --no-files --pdf m/x.pdf");
  const std::vector<std::string> left = SortedEntries(At("m"));
  std::system(("umount '" + At("m") + "'").c_str());
  ExpectOnlyTheSheetsFailed(r, "m/x.pdf (disco lleno)");
  EXPECT_EQ(left, std::vector<std::string>{});
}

// ---- Outputs are compared as files ---------------------------------------------------------

TEST_F(HostileInput, OneFileUnderTwoSpellingsIsRefusedAsBothOutputs) {
  ASSERT_EQ(mkdir(At("sub").c_str(), 0755), 0);
  ASSERT_EQ(symlink(".", At("here").c_str()), 0);
  for (const char* args : {"--count 3 --no-files --pdf out.pdf --list ./out.pdf",
                           "--count 3 --no-files --pdf sub/../out.pdf --list out.pdf",
                           "--count 3 --no-files --pdf out.pdf --list here/out.pdf",
                           "--count 3 --no-files --pdf sub/out.pdf --list .//sub///out.pdf",
                           "--count 3 --out cards --pdf out.pdf --list here/./out.pdf"}) {
    const Result r = Run(args);
    EXPECT_EQ(r.exit_code, 2) << args;
    EXPECT_TRUE(Has(r.err, "--list y --pdf no pueden ser el mismo archivo")) << args << r.err;
    EXPECT_FALSE(Exists("out.pdf")) << args;
    EXPECT_FALSE(Exists("sub/out.pdf")) << args;
    EXPECT_FALSE(Exists("cards")) << args << ": nothing made";
  }
  // Two files of one folder are two outputs.
  const Result r = Run("--count 3 --no-files --pdf out.pdf --list here/out.csv");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(ReadAll(At("out.pdf")).compare(0, 5, "%PDF-"), 0);
  EXPECT_EQ(ReadAll(At("out.csv")).compare(0, kHeader.size(), kHeader), 0);
}

TEST_F(HostileInput, AnOutputNamedAsOneOfTheRunsCardsIsRefused) {
  ASSERT_EQ(mkdir(At("cards").c_str(), 0755), 0);
  for (const char* args : {"--count 3 --out cards --pdf cards/0002.bmp",
                           "--count 3 --out cards --list cards/0003.bmp",
                           "--count 3 --out cards/ --list ./cards/../cards/0001.bmp",
                           "--count 2 --out cards --png --pdf cards/0002.png"}) {
    const Result r = Run(args);
    EXPECT_EQ(r.exit_code, 2) << args;
    EXPECT_TRUE(Has(r.err, "no puede ser uno de los cartones de la tanda: cards/000")) << r.err;
    EXPECT_EQ(SortedEntries(At("cards")), std::vector<std::string>{}) << args;
  }
  // A name beyond the run's cards, or of the other kind of card, takes none of them.
  Result r = Run("--count 3 --out cards --pdf cards/0004.bmp --list cards/0002.png");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(SortedEntries(At("cards")),
            (std::vector<std::string>{"0001.bmp", "0002.bmp", "0002.png", "0003.bmp",
                                      "0004.bmp"}));
  EXPECT_EQ(ReadAll(At("cards/0002.bmp")).compare(0, 2, "BM"), 0);
  EXPECT_EQ(ReadAll(At("cards/0004.bmp")).compare(0, 5, "%PDF-"), 0);
}

// ---- A title is text on one line -------------------------------------------------------------

TEST_F(HostileInput, ATitleWithC1ControlsOrSeparatorsIsRefused) {
  for (const char* octal : {"\\302\\205", "\\302\\233", "\\342\\200\\250", "\\342\\200\\251"}) {
    const std::string args = std::string("--count 1 --no-files --pdf t.pdf --title \"$(printf "
                                         "'Noche") + octal + "de bingo')\"";
    const Result r = Run(args);
    EXPECT_EQ(r.exit_code, 2) << args;
    EXPECT_TRUE(Has(r.err, "--title: el título no puede llevar caracteres de control")) << r.err;
    EXPECT_FALSE(Exists("t.pdf")) << args;
  }
  const Result r = Run("--count 1 --no-files --pdf t.pdf --title 'Noche de bingo'");
  EXPECT_EQ(r.exit_code, 0) << r.err;
}
