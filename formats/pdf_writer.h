// A small streaming PDF writer: exactly what the sheets need. Objects are numbered and
// written as they come, their byte offsets kept for the cross-reference table; a page's
// content stream is deflated with zlib and goes out, with the page, the moment it is
// added, so memory does not grow with the pages. Text is drawn in Type 3 fonts whose
// glyph procedures the caller makes (filled paths), each glyph written once per document
// at its first use; the font's /Widths, encoding and ToUnicode map (so that the text
// reads back as written) are written at the end. At most 255 glyphs a font.
// Failures (the sink refused bytes) are kept in the document and returned as text.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Takes the next bytes of the document; false stops it (a full disk, say).
using PdfSink = bool (*)(void* context, const unsigned char* data, size_t size);

constexpr const char* kPdfWriteFailed = "no se pudo escribir el PDF";
constexpr int kPdfGlyphsPerFont = 255;
// Glyph space: 1000 units to the em.
constexpr double kPdfGlyphUnits = 1000;

struct PdfGlyph {
  uint32_t codepoint = 0;
  double width = 0;  // glyph units
  int32_t procedure = 0;  // the object of its drawing
};

struct PdfFont {
  int32_t object = 0;
  std::string name;  // in the page resources, "F1"
  double box[4] = {0, 0, 0, 0};  // glyph units, the union of every glyph's and the face's
  std::vector<PdfGlyph> glyphs;  // code 1 is glyphs[0]
};

// zlib's stream, made once for the document and reset for each of its streams: a new
// one for every page would cost more than the deflating.
struct PdfDeflater;
struct PdfDeflaterEnd {
  void operator()(PdfDeflater* deflater) const;
};

struct PdfDocument {
  PdfSink sink = nullptr;
  void* context = nullptr;
  uint64_t written = 0;
  std::string failure;           // empty while every byte went out
  std::vector<uint64_t> offsets;  // by object number; [0] unused
  int32_t pages_object = 0;
  int32_t resources_object = 0;
  std::vector<int32_t> pages;
  std::vector<PdfFont> fonts;
  std::string pending;           // bytes of the object under way
  std::string deflated;          // reused for every stream
  std::unique_ptr<PdfDeflater, PdfDeflaterEnd> deflater;
};

// "%PDF-1.4" and the objects every document has. The failure text, or "".
std::string BeginPdf(PdfDocument* document, PdfSink sink, void* context);
// A Type 3 font for the caller's glyphs: its index in document->fonts.
int AddPdfFont(PdfDocument* document, double ascent, double descent);
// The code of the glyph in the font, or 0 when it is not there yet.
int PdfGlyphCode(const PdfFont& font, uint32_t codepoint);
// Writes the glyph's drawing (content operators in glyph units, the colour left to the
// text's) and gives its code; 0 once the font is full.
int AddPdfGlyph(PdfDocument* document, int font, uint32_t codepoint, double width,
                const double box[4], const std::string& drawing);
// A page of that size in points whose content is the operators given.
void AddPdfPage(PdfDocument* document, double width, double height, const std::string& content);
// The fonts, resources, page tree, information, cross-reference table and trailer.
// The failure text, or "" when the whole document went out.
std::string FinishPdf(PdfDocument* document, const std::string& title);

// A number as content wants it: at most `decimals` decimals (up to 9), no trailing zeros.
constexpr int kPdfDecimals = 3;
void AppendPdfNumber(std::string* out, double value, int decimals = kPdfDecimals);
// Text as a PDF string of UTF-16BE with its byte order mark, in hexadecimal.
std::string PdfTextString(const std::string& utf8);
