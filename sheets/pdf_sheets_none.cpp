// The stand-in for builds without cairo (the Windows program): no PDF can be made.
#include "sheets/pdf_sheets.h"

bool PdfSheetsAvailable() { return false; }

PdfSheets* BeginSheets(const SheetOptions&, std::string* error) {
  *error = kPdfUnavailable;
  return nullptr;
}

bool AddSheetCard(PdfSheets*, const SheetCard&, std::string* error) {
  *error = kPdfUnavailable;
  return false;
}

bool FinishSheets(PdfSheets*, std::string* error) {
  *error = kPdfUnavailable;
  return false;
}

void AbandonSheets(PdfSheets*) {}
