// The PDF writer (see pdf_writer.h). Objects 1 and 2 are the catalogue and the page tree,
// 3 the resources every page shares; the fonts' objects are reserved when they are made,
// so pages can name them before they are written at the end.
#include "formats/pdf_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "text/hex.h"
#include "text/utf8.h"

struct PdfDeflater {
  z_stream stream;
};

void PdfDeflaterEnd::operator()(PdfDeflater* deflater) const {
  deflateEnd(&deflater->stream);
  delete deflater;
}

namespace {
constexpr int32_t kCatalogueObject = 1;
constexpr int32_t kPagesObject = 2;
constexpr int32_t kResourcesObject = 3;
constexpr int kCharactersPerCMapBlock = 100;  // the most a bfchar block may hold

// Sends what is pending; once the sink refused, nothing more goes out.
void Flush(PdfDocument* d) {
  if (d->failure.empty() && !d->pending.empty() &&
      !d->sink(d->context, reinterpret_cast<const unsigned char*>(d->pending.data()),
               d->pending.size()))
    d->failure = kPdfWriteFailed;
  if (d->failure.empty()) d->written += d->pending.size();
  d->pending.clear();
}

uint64_t Offset(const PdfDocument* d) { return d->written + d->pending.size(); }

int32_t Reserve(PdfDocument* d) {
  d->offsets.push_back(0);
  return static_cast<int32_t>(d->offsets.size() - 1);
}

void OpenObject(PdfDocument* d, int32_t object) {
  d->offsets[static_cast<size_t>(object)] = Offset(d);
  d->pending += std::to_string(object) + " 0 obj\n";
}

std::string Ref(int32_t object) { return std::to_string(object) + " 0 R"; }

// Deflates `data` into d->deflated; false when zlib cannot.
bool Deflate(PdfDocument* d, const std::string& data) {
  if (!d->deflater) {
    d->deflater.reset(new PdfDeflater{});
    if (deflateInit(&d->deflater->stream, Z_DEFAULT_COMPRESSION) != Z_OK) {
      d->deflater.reset();
      return false;
    }
  } else if (deflateReset(&d->deflater->stream) != Z_OK) {
    return false;
  }
  z_stream& z = d->deflater->stream;
  d->deflated.resize(deflateBound(&z, static_cast<uLong>(data.size())));
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(&d->deflated[0]);
  z.avail_out = static_cast<uInt>(d->deflated.size());
  if (deflate(&z, Z_FINISH) != Z_STREAM_END) return false;
  d->deflated.resize(z.total_out);
  return true;
}

// A stream object, deflated; `dictionary` holds the entries besides its length and filter.
void WriteStream(PdfDocument* d, int32_t object, const std::string& dictionary,
                 const std::string& data) {
  if (!Deflate(d, data)) {
    if (d->failure.empty()) d->failure = "zlib no pudo comprimir el PDF";
    return;
  }
  OpenObject(d, object);
  d->pending += "<<" + dictionary + " /Length " + std::to_string(d->deflated.size()) +
                " /Filter /FlateDecode >>\nstream\n";
  d->pending += d->deflated;
  d->pending += "\nendstream\nendobj\n";
}


// A character as UTF-16BE in hexadecimal: one unit, or a surrogate pair.
void AppendUtf16(std::string* out, uint32_t c) {
  if (c < 0x10000) {
    AppendHexDigits(out, c, 4);
    return;
  }
  c -= 0x10000;
  AppendHexDigits(out, 0xD800 + (c >> 10), 4);
  AppendHexDigits(out, 0xDC00 + (c & 0x3FF), 4);
}
}  // namespace

// Digits by hand: every card writes hundreds of numbers, and the C library's formatting
// (msvcrt's, on Windows) costs more than all the rest of the page.
void AppendPdfNumber(std::string* out, double value, int decimals) {
  unsigned long long unit = 1;
  for (int i = 0; i < decimals; ++i) unit *= 10;
  const long long scaled = std::llround(value * static_cast<double>(unit));
  unsigned long long magnitude =
      scaled < 0 ? 0ULL - static_cast<unsigned long long>(scaled) : static_cast<unsigned long long>(scaled);
  char digits[32];
  int at = sizeof digits;
  int places = 0;
  for (unsigned long long fraction = magnitude % unit; places < decimals; ++places, fraction /= 10)
    digits[--at] = static_cast<char>('0' + fraction % 10);
  while (places > 0 && digits[at + places - 1] == '0') --places;  // trailing zeros go
  std::string fraction(digits + at, static_cast<size_t>(places));
  at = sizeof digits;
  unsigned long long whole = magnitude / unit;
  do {
    digits[--at] = static_cast<char>('0' + whole % 10);
    whole /= 10;
  } while (whole > 0);
  if (scaled < 0) *out += '-';
  out->append(digits + at, sizeof digits - at);
  if (!fraction.empty()) *out += '.' + fraction;
}

std::string PdfTextString(const std::string& utf8) {
  std::string out = "<FEFF";
  for (const char* at = utf8.c_str(); *at;) AppendUtf16(&out, NextCodepoint(at));
  return out + ">";
}

std::string BeginPdf(PdfDocument* d, PdfSink sink, void* context) {
  d->sink = sink;
  d->context = context;
  d->offsets.assign(1, 0);
  Reserve(d);  // the catalogue
  d->pages_object = Reserve(d);
  d->resources_object = Reserve(d);
  // A binary comment line tells transfer programs the file is binary.
  d->pending = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
  OpenObject(d, kCatalogueObject);
  d->pending += "<< /Type /Catalog /Pages " + Ref(kPagesObject) + " >>\nendobj\n";
  Flush(d);
  return d->failure;
}

int AddPdfFont(PdfDocument* d, double ascent, double descent) {
  PdfFont font;
  font.object = Reserve(d);
  font.name = "F" + std::to_string(d->fonts.size() + 1);
  font.box[1] = -descent;
  font.box[3] = ascent;
  d->fonts.push_back(font);
  return static_cast<int>(d->fonts.size() - 1);
}

int PdfGlyphCode(const PdfFont& font, uint32_t codepoint) {
  for (size_t i = 0; i < font.glyphs.size(); ++i)
    if (font.glyphs[i].codepoint == codepoint) return static_cast<int>(i + 1);
  return 0;
}

int AddPdfGlyph(PdfDocument* d, int font_index, uint32_t codepoint, double width,
                const double box[4], const std::string& drawing) {
  PdfFont& font = d->fonts[static_cast<size_t>(font_index)];
  if (font.glyphs.size() >= kPdfGlyphsPerFont) return 0;
  std::string content;
  AppendPdfNumber(&content, width);
  content += " 0";
  for (int i = 0; i < 4; ++i) {
    content += ' ';
    AppendPdfNumber(&content, box[i]);
  }
  content += " d1\n" + drawing;
  PdfGlyph glyph{codepoint, width, Reserve(d)};
  WriteStream(d, glyph.procedure, "", content);
  for (int i = 0; i < 2; ++i) font.box[i] = std::fmin(font.box[i], box[i]);
  for (int i = 2; i < 4; ++i) font.box[i] = std::fmax(font.box[i], box[i]);
  font.glyphs.push_back(glyph);
  return static_cast<int>(font.glyphs.size());
}

void AddPdfPage(PdfDocument* d, double width, double height, const std::string& content) {
  const int32_t stream = Reserve(d);
  WriteStream(d, stream, "", content);
  const int32_t page = Reserve(d);
  OpenObject(d, page);
  std::string box = "[0 0 ";
  AppendPdfNumber(&box, width);
  box += ' ';
  AppendPdfNumber(&box, height);
  d->pending += "<< /Type /Page /Parent " + Ref(kPagesObject) + " /MediaBox " + box +
                "] /Resources " + Ref(kResourcesObject) + " /Contents " + Ref(stream) +
                " >>\nendobj\n";
  d->pages.push_back(page);
  Flush(d);
}

namespace {
std::string ToUnicodeMap(const PdfFont& font) {
  std::string map =
      "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
      "1 begincodespacerange\n<00> <FF>\nendcodespacerange\n";
  for (size_t first = 0; first < font.glyphs.size(); first += kCharactersPerCMapBlock) {
    const size_t last = std::min(font.glyphs.size(), first + kCharactersPerCMapBlock);
    map += std::to_string(last - first) + " beginbfchar\n";
    for (size_t i = first; i < last; ++i) {
      map += '<';
      AppendHexDigits(&map, static_cast<uint32_t>(i + 1), 2);
      map += "> <";
      AppendUtf16(&map, font.glyphs[i].codepoint);
      map += ">\n";
    }
    map += "endbfchar\n";
  }
  return map + "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
}

void WriteFont(PdfDocument* d, const PdfFont& font) {
  const int32_t to_unicode = Reserve(d);
  WriteStream(d, to_unicode, "", ToUnicodeMap(font));
  std::string widths, names, procedures, box;
  for (size_t i = 0; i < font.glyphs.size(); ++i) {
    const std::string name = "/g" + std::to_string(i + 1);
    AppendPdfNumber(&widths, font.glyphs[i].width);
    widths += ' ';
    names += name;
    procedures += name + ' ' + Ref(font.glyphs[i].procedure) + ' ';
  }
  for (int i = 0; i < 4; ++i) {
    AppendPdfNumber(&box, font.box[i]);
    box += i < 3 ? " " : "";
  }
  const size_t count = font.glyphs.empty() ? 1 : font.glyphs.size();
  if (font.glyphs.empty()) widths = "0";
  OpenObject(d, font.object);
  d->pending += "<< /Type /Font /Subtype /Type3 /FontBBox [" + box +
                "] /FontMatrix [0.001 0 0 0.001 0 0] /CharProcs << " + procedures +
                ">> /Encoding << /Type /Encoding /Differences [1 " + names +
                "] >> /FirstChar 1 /LastChar " + std::to_string(count) + " /Widths [" +
                widths + "] /ToUnicode " + Ref(to_unicode) + " /Resources << >> >>\nendobj\n";
  Flush(d);
}

void WriteCrossReference(PdfDocument* d, int32_t info) {
  const uint64_t table = Offset(d);
  d->pending += "xref\n0 " + std::to_string(d->offsets.size()) + "\n0000000000 65535 f \n";
  char entry[24];
  for (size_t i = 1; i < d->offsets.size(); ++i) {
    std::snprintf(entry, sizeof entry, "%010llu 00000 n \n",
                  static_cast<unsigned long long>(d->offsets[i]));
    d->pending += entry;
    if (d->pending.size() > 65536) Flush(d);
  }
  d->pending += "trailer\n<< /Size " + std::to_string(d->offsets.size()) + " /Root " +
                Ref(kCatalogueObject) + " /Info " + Ref(info) + " >>\nstartxref\n" +
                std::to_string(table) + "\n%%EOF\n";
  Flush(d);
}
}  // namespace

std::string FinishPdf(PdfDocument* d, const std::string& title) {
  std::string fonts;
  for (const PdfFont& font : d->fonts) {
    WriteFont(d, font);
    fonts += '/' + font.name + ' ' + Ref(font.object) + ' ';
  }
  OpenObject(d, kResourcesObject);
  d->pending += "<< /Font << " + fonts + ">> >>\nendobj\n";
  OpenObject(d, kPagesObject);
  d->pending += "<< /Type /Pages /Count " + std::to_string(d->pages.size()) + " /Kids [";
  for (int32_t page : d->pages) {
    d->pending += Ref(page) + ' ';
    if (d->pending.size() > 65536) Flush(d);
  }
  d->pending += "] >>\nendobj\n";
  const int32_t info = Reserve(d);
  OpenObject(d, info);
  d->pending += "<< /Title " + PdfTextString(title) + " /Creator (Tessarine) >>\nendobj\n";
  WriteCrossReference(d, info);
  return d->failure;
}
