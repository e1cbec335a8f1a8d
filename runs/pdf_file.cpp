// The PDF of a run, streamed through the one way files are replaced (file_system.h).
#include "runs/pdf_file.h"

#include "card/series.h"

namespace {
// The temporary removed, its error left as it was: kNone when the file was not at fault.
void DropFile(FileReplacement* file) {
  const SaveError before = file->error;
  AbandonReplacement(file);
  file->error = before;
}

bool ToReplacement(void* context, const unsigned char* data, size_t size) {
  return AppendToReplacement(static_cast<FileReplacement*>(context), data, size) ==
         SaveError::kNone;
}
}  // namespace

bool BeginPdfFile(const std::string& path, Paper paper, const std::string& title,
                  PdfFile* pdf, CardType type) {
  if (BeginReplacement(path, &pdf->file) != SaveError::kNone) return false;
  SheetOptions options;
  options.type = type;
  options.paper = paper;
  options.title = title;
  options.write = ToReplacement;
  options.context = &pdf->file;
  const SheetsBegun begun = BeginSheets(options);
  pdf->sheets = begun.sheets;
  pdf->error = begun.error;
  if (pdf->sheets) return true;
  DropFile(&pdf->file);
  return false;
}

bool AddPdfCard(PdfFile* pdf, const SheetCard& card) {
  if (!pdf->sheets || !pdf->error.empty()) return false;
  pdf->error = AddSheetCard(pdf->sheets, card);
  if (!pdf->error.empty()) return false;
  ++pdf->cards;
  return true;
}

bool FinishPdfFile(PdfFile* pdf) {
  if (!pdf->sheets) return false;
  PdfSheets* sheets = pdf->sheets;
  pdf->sheets = nullptr;
  if (!pdf->error.empty()) {
    AbandonSheets(sheets);
    DropFile(&pdf->file);
    return false;
  }
  pdf->error = FinishSheets(sheets);
  if (!pdf->error.empty()) {
    DropFile(&pdf->file);
    return false;
  }
  return CommitReplacement(&pdf->file) == SaveError::kNone;
}

void AbandonPdfFile(PdfFile* pdf) {
  if (pdf->sheets) AbandonSheets(pdf->sheets);
  pdf->sheets = nullptr;
  AbandonReplacement(&pdf->file);
}

int32_t PdfPages(int32_t cards, CardType type) {
  const int32_t per_page = type == CardType::kSeries90 ? kCardsPerSeries : kCardsPerPage;
  return (cards + per_page - 1) / per_page + 1;
}
