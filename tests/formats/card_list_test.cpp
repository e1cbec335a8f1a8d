#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "card/run_seeds.h"
#include "card/random.h"
#include "formats/card_list.h"
#include "tests/support/test_support.h"

namespace {
// The cards of a run from 12:34:56.789, one clock millisecond apart.
std::vector<ListLine> RunLines(int count, const char* extension = ".bmp") {
  CardRun run;
  std::vector<ListLine> lines;
  for (int i = 1; i <= count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "%04d%s", i, extension);
    lines.push_back(ListLineOf(name, NextRunSeed(run, SeedBitsOfClock(45296789u + i - 1))));
  }
  return lines;
}

// The test's own text of a row, field by field.
std::string RowText(const CardLayout& layout, int row) {
  std::string text;
  for (int column = 0; column < kCardColumns; ++column) {
    char field[4];
    const int n = layout.cell[row][column];
    std::snprintf(field, sizeof field, n ? "%02d" : "--", n);
    text += (column ? " " : "") + std::string(field);
  }
  return text;
}

std::string RecordOf(const std::string& file, uint32_t bits, const CardLayout& layout) {
  char code[16];
  std::snprintf(code, sizeof code, "%08X", static_cast<unsigned>(bits));
  return file + "," + code + "," + RowText(layout, 0) + "," + RowText(layout, 1) + "," +
         RowText(layout, 2) + "\r\n";
}

const std::string kHeader = "archivo,codigo,fila1,fila2,fila3\r\n";

std::string Refusal(const std::string& bytes) {
  const CardListParse parsed = ParseCardList(bytes);
  EXPECT_TRUE(parsed.lines.empty());  // none of a refused list
  EXPECT_FALSE(parsed.error.empty());
  return parsed.error;
}

int NumberOffCard(const CardLayout& layout) {
  for (int n = 1;; ++n) {
    bool on = false;
    for (const auto& row : layout.cell)
      for (uint8_t m : row) on |= m == n;
    if (!on) return n;
  }
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

void ExpectSameLines(const std::vector<ListLine>& a, const std::vector<ListLine>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].file_name, b[i].file_name) << i;
    EXPECT_EQ(a[i].seed_bits, b[i].seed_bits) << i;
    EXPECT_TRUE(a[i].layout == b[i].layout) << i;
  }
}

// Python's csv module as an independent RFC 4180 reader: every field of every record,
// fields separated by 0x1F and records by 0x1E.
std::string PythonFields(const std::string& path) {
  const std::string command =
      "python3 -c \"import csv,sys; f=open(sys.argv[1],newline='',encoding='utf-8'); "
      "sys.stdout.write(''.join(chr(31).join(r)+chr(30) for r in csv.reader(f, strict=True)))\" '" +
      path + "'";
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    if (::pclose(pipe) != 0) return "(python failed)";
  }
  return out;
}
// The list written as tessarine-cards writes it: a replacement begun, the bytes appended,
// put in place.
SaveError SaveCardList(const std::string& path, const std::vector<ListLine>& lines) {
  FileReplacement file;
  if (BeginReplacement(path, &file) != SaveError::kNone) return file.error;
  const std::string bytes = CardListBytes(lines);
  if (AppendToReplacement(&file, bytes.data(), bytes.size()) != SaveError::kNone)
    return file.error;
  return CommitReplacement(&file);
}

}  // namespace

TEST(CardListBytes, HeaderThenOneCrlfRecordACardWithRowsAsLayoutPrintsThem) {
  const std::vector<ListLine> lines = RunLines(40);
  std::string expected = kHeader;
  for (const ListLine& line : lines) {
    EXPECT_TRUE(line.layout == PlanCard(line.seed_bits));
    expected += RecordOf(line.file_name, line.seed_bits, PlanCard(line.seed_bits));
  }
  EXPECT_EQ(CardListBytes(lines), expected);
  EXPECT_EQ(CardListBytes({}), kHeader);
  // The first card of 12:34:56.789 carries its code.
  EXPECT_EQ(CardListBytes(lines).substr(kHeader.size(), 18), "0001.bmp,4730F0CA,");
}

TEST(CardListBytes, FieldsThatNeedItAreQuotedAsAnRfc4180ReaderExpects) {
  ScratchFolder scratch;
  std::vector<ListLine> lines = RunLines(6);
  lines[1].file_name = "con,coma.bmp";
  lines[2].file_name = "dice \"hola\".png";
  lines[3].file_name = "dos\r\nlíneas.bmp";
  lines[4].file_name = "\"";
  lines[5].file_name = "cartón ñ.bmp";
  const std::string bytes = CardListBytes(lines);
  EXPECT_TRUE(Contains(bytes, "\"con,coma.bmp\","));
  EXPECT_TRUE(Contains(bytes, "\"dice \"\"hola\"\".png\","));
  EXPECT_TRUE(Contains(bytes, "\r\n\"\"\"\",")) << "a lone quote is doubled and quoted";
  EXPECT_TRUE(Contains(bytes, "\r\ncartón ñ.bmp,")) << "UTF-8 as is, unquoted";
  WriteWholeFile(scratch / "list.csv", bytes);
  std::string expected = std::string("archivo\x1f" "codigo\x1f" "fila1\x1f" "fila2\x1f" "fila3\x1e");
  for (const ListLine& line : lines) {
    char code[16];
    std::snprintf(code, sizeof code, "%08X", static_cast<unsigned>(line.seed_bits));
    expected += line.file_name + "\x1f" + code;
    for (int row = 0; row < 3; ++row) expected += "\x1f" + RowText(line.layout, row);
    expected += "\x1e";
  }
  EXPECT_EQ(PythonFields(scratch / "list.csv"), expected);
}

TEST(ParseCardList, ReadsBackWhatWasWritten) {
  for (int count : {0, 1, 7, 2500}) {
    const std::vector<ListLine> lines = RunLines(count, ".png");
    std::vector<ListLine> read;
    std::string error;
    {
      CardListParse parsed = ParseCardList(CardListBytes(lines));
      ASSERT_EQ(parsed.error, "");
      read = std::move(parsed.lines);
    }
    ExpectSameLines(read, lines);
  }
  std::vector<ListLine> odd = RunLines(4);
  odd[0].file_name = "a,b";
  odd[1].file_name = "\"q\"";
  odd[2].file_name = "cartón ñ #2.bmp";
  std::vector<ListLine> read;
  std::string error;
  {
    CardListParse parsed = ParseCardList(CardListBytes(odd));
    ASSERT_EQ(parsed.error, "");
    read = std::move(parsed.lines);
  }
  ExpectSameLines(read, odd);
}

TEST(ParseCardList, TakesWhatOtherCsvWritersMake) {
  const std::vector<ListLine> lines = RunLines(3);
  std::string bytes = CardListBytes(lines);
  // Line feeds alone, no line end after the last record, empty lines between records.
  std::string lf;
  for (char c : bytes)
    if (c != '\r') lf += c;
  lf.pop_back();
  lf.insert(lf.find('\n') + 1, "\n\n");
  std::vector<ListLine> read;
  std::string error;
  {
    CardListParse parsed = ParseCardList(lf);
    ASSERT_EQ(parsed.error, "");
    read = std::move(parsed.lines);
  }
  ExpectSameLines(read, lines);
  // Every field quoted, and a byte-order mark, as spreadsheets write them.
  std::string quoted = "\xEF\xBB\xBF\"archivo\",\"codigo\",\"fila1\",\"fila2\",\"fila3\"\r\n";
  for (const ListLine& line : lines) {
    char code[16];
    std::snprintf(code, sizeof code, "%08x", static_cast<unsigned>(line.seed_bits));
    quoted += "\"" + line.file_name + "\",\"" + code + "\"";
    for (int row = 0; row < 3; ++row) quoted += ",\"" + RowText(line.layout, row) + "\"";
    quoted += "\r\n";
  }
  {
    CardListParse parsed = ParseCardList(quoted);
    ASSERT_EQ(parsed.error, "");
    read = std::move(parsed.lines);
  }
  ExpectSameLines(read, lines);
}

TEST(ParseCardList, RefusesWhatIsNotTessarinesList) {
  const std::string not_ours = "no es una lista de cartones de Tessarine";
  EXPECT_TRUE(Contains(Refusal(""), "vacío"));
  EXPECT_TRUE(Contains(Refusal("file,code,row1,row2,row3\r\n"), not_ours));
  EXPECT_TRUE(Contains(Refusal("archivo,codigo,fila1,fila2\r\n"), not_ours));
  EXPECT_TRUE(Contains(Refusal("archivo,codigo,fila1,fila2,fila3,fila4\r\n"), not_ours));
  EXPECT_TRUE(Contains(Refusal(" archivo,codigo,fila1,fila2,fila3\r\n"), not_ours));
  EXPECT_TRUE(Contains(Refusal("\"archivo,codigo,fila1,fila2,fila3\r\n"), not_ours));
  EXPECT_TRUE(Contains(Refusal(std::string("BM\x1a\x00\x00\x00", 6)), not_ours));
  EXPECT_TRUE(Contains(Refusal("7 12 33 45\n"), not_ours));
}

TEST(ParseCardList, NamesTheLineOfAMalformedRecord) {
  const std::vector<ListLine> lines = RunLines(3);
  const std::string r1 = RecordOf("0001.bmp", lines[0].seed_bits, lines[0].layout);
  const std::string r2 = RecordOf("0002.bmp", lines[1].seed_bits, lines[1].layout);
  std::string error = Refusal(kHeader + r1 + "0002.bmp,4730F0CB,x,y\r\n");
  EXPECT_TRUE(Contains(error, "línea 3: se esperaban 5 campos")) << error;
  EXPECT_TRUE(Contains(error, "hay 4")) << error;
  error = Refusal(kHeader + r1 + r2 + r1.substr(0, r1.size() - 2) + ",extra\r\n");
  EXPECT_TRUE(Contains(error, "línea 4: se esperaban 5 campos")) << error;
  error = Refusal(kHeader + "," + r1.substr(9));
  EXPECT_TRUE(Contains(error, "línea 2: falta el nombre del archivo")) << error;
  error = Refusal(kHeader + r1 + "0002.bmp,4730F0C," + r2.substr(18));
  EXPECT_TRUE(Contains(error, "línea 3: código de cartón mal escrito: \"4730F0C\"")) << error;
  error = Refusal(kHeader + r1 + "\"0002.bmp,4730F0CA,--\r\n\r\n");
  EXPECT_TRUE(Contains(error, "línea 3: unas comillas abiertas no se cierran")) << error;
  error = Refusal(kHeader + "\"0001\"x.bmp," + r1.substr(9));
  EXPECT_TRUE(Contains(error, "línea 2: sobran caracteres tras las comillas")) << error;
  error = Refusal(kHeader + "00\"01.bmp," + r1.substr(9));
  EXPECT_TRUE(Contains(error, "línea 2: comillas dentro de un campo")) << error;
  // A quoted field over two lines moves the count on.
  error = Refusal(kHeader + "\"0001.bmp\"," + r1.substr(9, 9) + "\"" + r1.substr(18, 26) +
                  "\r\n\"," + r1.substr(45) + "0002.bmp,zz," + r2.substr(18));
  EXPECT_TRUE(Contains(error, "línea 2: la fila 1 no es la del cartón")) << error;
  error = Refusal(kHeader + r1 + "\"a\r\nb\",\"x\ny\",1,2,3\r\n0002.bmp,zz," + r2.substr(18));
  EXPECT_TRUE(Contains(error, "línea 3: el nombre del archivo del cartón")) << error;
}

// The name is printed in a winner's line: one that is not a plain name, as the program
// writes, could forge a line of the report or drive the terminal, so it is refused.
TEST(ParseCardList, RefusesAFileNameThatIsNotAPlainName) {
  const std::vector<ListLine> lines = RunLines(2);
  const std::string r1 = RecordOf("0001.bmp", lines[0].seed_bits, lines[0].layout);
  const std::string rest = r1.substr(8);  // ",CODE,rows\r\n"
  struct Case {
    std::string field;  // as written in the list
    const char* says;
  } cases[] = {
      {"\"0001.bmp  4730F0CA  sin premio\n0666.bmp  DEADBEEF  bingo\"",
       "lleva caracteres de control: \"0001.bmp  4730F0CA  sin premio\\x0a0666.bmp …\""},
      {std::string("0001\0.bmp", 9), "lleva caracteres de control: \"0001\\x00.bmp\""},
      {"\x1b[2J0001.bmp", "lleva caracteres de control: \"\\x1b[2J0001.bmp\""},
      {"\"0001.bmp\rbingo\"", "\"0001.bmp\\x0dbingo\""},
      {"0001.bmp\xC2\x85", "\"0001.bmp\\u0085\""},
      {"0001\xE2\x80\xAE" "pmb.bmp", "\"0001\\u202epmb.bmp\""},
      {"../0001.bmp", "lleva separadores de carpeta: \"../0001.bmp\""},
      {"/tmp/0001.bmp", "separadores de carpeta"},
      {"sub\\0001.bmp", "separadores de carpeta"},
      {"C:0001.bmp", "separadores de carpeta"},
      {"..", "no es un nombre de archivo"},
      {"0001\xFF.bmp", "no es texto UTF-8 válido: \"0001\\xff.bmp\""},
      {std::string(101, 'a'), "es demasiado largo (como mucho 100 bytes)"},
  };
  for (const Case& c : cases) {
    const std::string error = Refusal(kHeader + r1 + c.field + rest);
    EXPECT_TRUE(Contains(error, "línea 3: el nombre del archivo del cartón")) << error;
    EXPECT_TRUE(Contains(error, c.says)) << error;
    for (char byte : error)
      EXPECT_FALSE(static_cast<unsigned char>(byte) < 0x20) << "a control byte in " << error;
  }
  // Names the program does not write, but plain ones, are read.
  std::vector<ListLine> read;
  std::string error;
  const std::string plain = kHeader + "cartón ñ (copia).bmp" + rest +
                            std::string(100, 'a') + rest + "\xEF\xBF\xBD.bmp" + rest;
  {
    CardListParse parsed = ParseCardList(plain);
    ASSERT_EQ(parsed.error, "");
    read = std::move(parsed.lines);
  }
  ASSERT_EQ(read.size(), 3u);
  EXPECT_EQ(read[0].file_name, "cartón ñ (copia).bmp");
}

TEST(ParseCardList, RefusesACardWhoseRowsAreNotItsCodes) {
  const std::vector<ListLine> lines = RunLines(5);
  for (int row = 0; row < 3; ++row) {
    std::string bytes = kHeader;
    for (size_t i = 0; i < lines.size(); ++i) {
      CardLayout layout = lines[i].layout;
      if (i == 3) {
        // One number of the row changed to one not on the card.
        for (auto& cell : layout.cell[row])
          if (cell) {
            cell = static_cast<uint8_t>(NumberOffCard(layout));
            break;
          }
      }
      bytes += RecordOf(lines[i].file_name, lines[i].seed_bits, layout);
    }
    const std::string error = Refusal(bytes);
    EXPECT_TRUE(Contains(error, "línea 5: la fila " + std::to_string(row + 1) +
                                    " no es la del cartón"))
        << error;
    EXPECT_TRUE(Contains(error, "\"" + RowText(lines[3].layout, row) + "\"")) << error;
  }
  // The rows of one card under the code of another.
  std::string swapped = kHeader + RecordOf("0001.bmp", lines[1].seed_bits, lines[0].layout);
  EXPECT_TRUE(Contains(Refusal(swapped), "línea 2: la fila 1 no es la del cartón"));
  // Rows in another order.
  std::string bytes = RecordOf("0001.bmp", lines[0].seed_bits, lines[0].layout);
  const std::string r0 = RowText(lines[0].layout, 0), r1 = RowText(lines[0].layout, 1);
  bytes = "0001.bmp," + bytes.substr(9, 9) + r1 + "," + r0 + "," +
          RowText(lines[0].layout, 2) + "\r\n";
  EXPECT_TRUE(Contains(Refusal(kHeader + bytes), "línea 2: la fila 1"));
}

TEST(CardListFile, WrittenWholeAndReadBackOnlyRead) {
  ScratchFolder scratch;
  const std::vector<ListLine> lines = RunLines(30);
  const std::string path = scratch / "cartones.csv";
  WriteWholeFile(path, "an older list");
  ASSERT_EQ(SaveCardList(path, lines), SaveError::kNone);
  EXPECT_EQ(ReadWholeFile(path), CardListBytes(lines));
  EXPECT_EQ(FolderEntries(scratch.path), std::vector<std::string>{"cartones.csv"});
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  // Read with the file made immutable: reading must need nothing more than reading.
  ScopedImmutable immutable(path);
  if (!immutable.set) std::printf("(immutable mark not tried: %s)\n", immutable.reason.c_str());
  std::vector<ListLine> read;
  std::string error;
  {
    CardListFile parsed = ReadCardList(path);
    ASSERT_EQ(parsed.error, "");
    read = std::move(parsed.lines);
  }
  ExpectSameLines(read, lines);
  struct stat after {};
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  EXPECT_EQ(ReadWholeFile(path), CardListBytes(lines));
}

TEST(CardListFile, AListThatCannotBeWrittenLeavesTheOldOneAsItWas) {
  ScratchFolder scratch;
  EXPECT_EQ(SaveCardList(scratch / "no-such-folder/list.csv", RunLines(2)),
            SaveError::kMissingFolder);
  EXPECT_FALSE(PathExists(scratch / "no-such-folder"));
  const std::string path = scratch / "list.csv";
  WriteWholeFile(path, "old");
  ScopedImmutable immutable(path);
  if (!immutable.set) GTEST_SKIP() << "no immutable mark here: " << immutable.reason;
  EXPECT_NE(SaveCardList(path, RunLines(2)), SaveError::kNone);
  EXPECT_EQ(ReadWholeFile(path), "old");
  EXPECT_EQ(FolderEntries(scratch.path), std::vector<std::string>{"list.csv"});
}

// A FIFO or a device is refused by its type, never opened: a FIFO nobody writes would
// otherwise be waited on for ever. The test holds the FIFO's both ends, so that a reader
// that opened it anyway would not hang here but read it, and be caught by its message.
TEST(CardListFile, AnythingButARegularFileIsRefusedAsSuch) {
  ScratchFolder scratch;
  const std::string fifo = scratch / "list.csv";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const int held = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(held, 0);
  const std::string header = "archivo,codigo,fila1,fila2,fila3\r\n";
  ASSERT_EQ(::write(held, header.data(), header.size()), static_cast<ssize_t>(header.size()));
  std::vector<ListLine> read;
  std::string error;
  CardListFile list;
  list = ReadCardList(fifo);
  EXPECT_FALSE(list.error.empty());
  error = list.error;
  read = list.lines;
  EXPECT_EQ(error, fifo + ": no es un archivo normal (una carpeta, un FIFO o un dispositivo no "
                          "se leen)");
  char left[64];
  EXPECT_EQ(::read(held, left, sizeof left), static_cast<ssize_t>(header.size()))
      << "the FIFO was not read from";
  ::close(held);
  list = ReadCardList("/dev/null");
  EXPECT_FALSE(list.error.empty());
  error = list.error;
  read = list.lines;
  EXPECT_EQ(error, "/dev/null: no es un archivo normal (una carpeta, un FIFO o un dispositivo "
                   "no se leen)");
}

TEST(CardListFile, ReadingMessagesStartWithThePath) {
  ScratchFolder scratch;
  std::vector<ListLine> read;
  std::string error;
  CardListFile list;
  list = ReadCardList(scratch / "missing.csv");
  EXPECT_FALSE(list.error.empty());
  error = list.error;
  read = list.lines;
  EXPECT_EQ(error, scratch / "missing.csv" + ": no existe");
  list = ReadCardList(scratch.path);
  EXPECT_FALSE(list.error.empty());
  error = list.error;
  read = list.lines;
  EXPECT_EQ(error, scratch.path + ": no es un archivo normal (una carpeta, un FIFO o un "
                   "dispositivo no se leen)");
  // A file far larger than any list is not read into memory.
  const std::string big = scratch / "big.csv";
  WriteWholeFile(big, kHeader);
  ASSERT_EQ(::truncate(big.c_str(), static_cast<off_t>(kMostCardListBytes) + 1), 0);
  list = ReadCardList(big);
  EXPECT_FALSE(list.error.empty());
  error = list.error;
  read = list.lines;
  EXPECT_EQ(error, big + ": es demasiado grande para ser una lista de cartones");
  WriteWholeFile(scratch / "bad.csv", kHeader + "0001.bmp,nope,a,b,c\r\n");
  list = ReadCardList(scratch / "bad.csv");
  EXPECT_FALSE(list.error.empty());
  error = list.error;
  read = list.lines;
  EXPECT_EQ(error.rfind(scratch / "bad.csv" + ": línea 2: código de cartón mal escrito", 0), 0u)
      << error;
  EXPECT_TRUE(read.empty());
}
