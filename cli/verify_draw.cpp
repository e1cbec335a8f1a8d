// The record is only read; the check itself is the game's (game/draw_check.h).
#include "cli/verify_draw.h"

#include <cstdio>
#include <string>

#include "text/quoted_text.h"
#include "cli/report.h"
#include "disk/read_file_saying.h"
#include "game/draw_check.h"
#include "game/record.h"

namespace {
// A record is a few hundred lines; anything far larger is no record of ours.
constexpr size_t kMostRecordBytes = 1u << 20;
}  // namespace

int VerifyDraw(const CliOptions& options) {
  const FileRead file = ReadFileSaying(options.verify_draw, kMostRecordBytes, "un acta de partida");
  if (!file.error.empty()) {
    std::fprintf(stderr, "%s: %s\n", kProgram, file.error.c_str());
    return kBadInputExit;
  }
  const RecordRead record = ReadRecordCsv(file.bytes);
  if (!record.error.empty()) {
    std::fprintf(stderr, "%s: %s: %s\n", kProgram, EscapedText(options.verify_draw).c_str(),
                 record.error.c_str());
    return kBadInputExit;
  }
  const DrawVerdict verdict = CheckDrawRecord(record.rows);
  if (verdict.kind == DrawVerdictKind::kCorrect) {
    std::printf("%s\n", verdict.text.c_str());
    return Finish(0);
  }
  std::fprintf(stderr, "%s: %s\n", kProgram, verdict.text.c_str());
  return verdict.kind == DrawVerdictKind::kWrong ? kFailedExit : kBadInputExit;
}
