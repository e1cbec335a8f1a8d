// The PDF writer on its own: its numbers, its cross-reference table checked against the
// bytes of the file, every stream inflated by zlib, and the file read by poppler (pages,
// sizes, the text of its Type 3 glyphs through their ToUnicode map).
#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "formats/pdf_writer.h"

namespace {
bool ToString(void* context, const unsigned char* data, size_t size) {
  static_cast<std::string*>(context)->append(reinterpret_cast<const char*>(data), size);
  return true;
}

struct Limited {
  std::string bytes;
  size_t most = 0;
};
bool ToLimited(void* context, const unsigned char* data, size_t size) {
  auto* sink = static_cast<Limited*>(context);
  if (sink->bytes.size() + size > sink->most) return false;
  sink->bytes.append(reinterpret_cast<const char*>(data), size);
  return true;
}

std::string Number(double value, int decimals = kPdfDecimals) {
  std::string out;
  AppendPdfNumber(&out, value, decimals);
  return out;
}

const char* const kPageOne = "BT /F1 24 Tf 72 700 Td <010203> Tj ET\n0 0 1 rg 10 10 50 50 re f\n";

// Two pages, one font of three glyphs: "A" a square, "é" a triangle, "€" a bar.
std::string MakeDocument(PdfSink sink, void* context) {
  PdfDocument document;
  std::string failure = BeginPdf(&document, sink, context);
  if (!failure.empty()) return failure;
  const int font = AddPdfFont(&document, 800, 200);
  const double box[4] = {0, 0, 600, 700};
  EXPECT_EQ(AddPdfGlyph(&document, font, 'A', 650, box, "0 0 m 600 0 l 600 700 l 0 700 l h f\n"), 1);
  EXPECT_EQ(AddPdfGlyph(&document, font, 0xE9, 650, box, "0 0 m 600 0 l 300 700 l h f\n"), 2);
  EXPECT_EQ(AddPdfGlyph(&document, font, 0x20AC, 650, box, "0 300 600 100 re f\n"), 3);
  EXPECT_EQ(PdfGlyphCode(document.fonts[0], 0xE9), 2);
  EXPECT_EQ(PdfGlyphCode(document.fonts[0], 'B'), 0);
  AddPdfPage(&document, 595.276, 841.89, kPageOne);
  AddPdfPage(&document, 612, 792, "0.5 g 100 100 200 200 re f\n");
  return FinishPdf(&document, "Año · 5 €");
}

std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    ::pclose(pipe);
  }
  return out;
}

// Every "stream ... endstream" of the file, inflated; empty when one does not inflate.
std::vector<std::string> InflatedStreams(const std::string& pdf) {
  std::vector<std::string> streams;
  for (size_t at = 0; (at = pdf.find("/Length ", at)) != std::string::npos;) {
    const size_t length = std::strtoul(pdf.c_str() + at + 8, nullptr, 10);
    const size_t dictionary_end = pdf.find(">>\nstream\n", at);
    EXPECT_NE(pdf.substr(at, dictionary_end - at).find("/FlateDecode"), std::string::npos);
    const size_t data = dictionary_end + 10;
    EXPECT_EQ(pdf.compare(data + length, 10, "\nendstream"), 0);
    std::string inflated(1 << 20, '\0');
    uLongf size = inflated.size();
    if (uncompress(reinterpret_cast<Bytef*>(&inflated[0]), &size,
                   reinterpret_cast<const Bytef*>(pdf.data() + data), length) != Z_OK)
      return {};
    streams.push_back(inflated.substr(0, size));
    at = data + length;
  }
  return streams;
}
}  // namespace

TEST(PdfWriter, NumbersAsContentWritesThem) {
  EXPECT_EQ(Number(0), "0");
  EXPECT_EQ(Number(2), "2");
  EXPECT_EQ(Number(0.5), "0.5");
  EXPECT_EQ(Number(-1.25), "-1.25");
  EXPECT_EQ(Number(595.2756), "595.276");
  EXPECT_EQ(Number(0.0004), "0");
  EXPECT_EQ(Number(-0.0004), "0");
  EXPECT_EQ(Number(0.661953, 6), "0.661953");
  EXPECT_EQ(Number(1.0 / 3, 6), "0.333333");
  EXPECT_EQ(Number(10.05, 1), "10.1");
}

TEST(PdfWriter, TheCrossReferenceTablePointsAtEveryObject) {
  std::string pdf;
  ASSERT_EQ(MakeDocument(ToString, &pdf), "");
  ASSERT_EQ(pdf.rfind("%PDF-1.4\n", 0), 0u);
  const size_t start = pdf.rfind("startxref\n");
  ASSERT_NE(start, std::string::npos);
  const size_t table = std::strtoul(pdf.c_str() + start + 10, nullptr, 10);
  ASSERT_EQ(pdf.compare(table, 5, "xref\n"), 0);
  int first = 0, count = 0;
  ASSERT_EQ(std::sscanf(pdf.c_str() + table + 5, "%d %d", &first, &count), 2);
  EXPECT_EQ(first, 0);
  const size_t entries = pdf.find('\n', table + 5) + 1;
  for (int object = 1; object < count; ++object) {
    const std::string entry = pdf.substr(entries + 20 * object, 20);
    ASSERT_EQ(entry.substr(10), " 00000 n \n") << object;
    const size_t offset = std::strtoul(entry.c_str(), nullptr, 10);
    EXPECT_EQ(pdf.compare(offset, std::to_string(object).size() + 6, std::to_string(object) + " 0 obj"), 0)
        << object;
  }
  EXPECT_NE(pdf.find("/Size " + std::to_string(count)), std::string::npos);
  EXPECT_EQ(pdf.substr(pdf.size() - 6), "%%EOF\n");
}

TEST(PdfWriter, EveryStreamIsDeflatedAndInflatesToWhatWasGiven) {
  std::string pdf;
  ASSERT_EQ(MakeDocument(ToString, &pdf), "");
  const std::vector<std::string> streams = InflatedStreams(pdf);
  // Three glyphs, two pages, one ToUnicode map.
  ASSERT_EQ(streams.size(), 6u);
  EXPECT_EQ(streams[0], "650 0 0 0 600 700 d1\n0 0 m 600 0 l 600 700 l 0 700 l h f\n");
  EXPECT_EQ(streams[3], kPageOne);
  EXPECT_NE(streams[5].find("<02> <00E9>"), std::string::npos) << streams[5];
  EXPECT_NE(streams[5].find("<03> <20AC>"), std::string::npos) << streams[5];
}

TEST(PdfWriter, PopplerReadsThePagesAndTheText) {
  std::string pdf;
  ASSERT_EQ(MakeDocument(ToString, &pdf), "");
  char name[] = "/tmp/pdf_writer_test.XXXXXX";
  const int fd = ::mkstemp(name);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, pdf.data(), pdf.size()), static_cast<ssize_t>(pdf.size()));
  ::close(fd);
  const std::string info = Output(std::string("pdfinfo -f 1 -l 2 '") + name + "' 2>&1");
  EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
  EXPECT_NE(info.find("Page    1 size:  595.276 x 841.89 pts (A4)"), std::string::npos) << info;
  EXPECT_NE(info.find("Page    2 size:  612 x 792 pts (letter)"), std::string::npos) << info;
  EXPECT_NE(info.find("Title:           Año · 5 €"), std::string::npos) << info;
  EXPECT_EQ(info.find("rror"), std::string::npos) << info;
  EXPECT_EQ(Output(std::string("pdftotext -f 1 -l 1 '") + name + "' - 2>&1"), "Aé€\n\n\f");
  std::remove(name);
}

TEST(PdfWriter, ARefusedWriteIsTheDocumentsFailure) {
  std::string whole;
  ASSERT_EQ(MakeDocument(ToString, &whole), "");
  for (size_t most : {size_t{0}, size_t{100}, whole.size() / 2, whole.size() - 1}) {
    Limited sink;
    sink.most = most;
    EXPECT_EQ(MakeDocument(ToLimited, &sink), kPdfWriteFailed) << most;
    EXPECT_LE(sink.bytes.size(), most);
    EXPECT_EQ(whole.compare(0, sink.bytes.size(), sink.bytes), 0) << "what went out is the start";
  }
}
