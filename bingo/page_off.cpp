// The phones' page where the program was built without its libraries (cpp-httplib and
// libqrencode, see cmake/): the switch stays off and says why; nothing else changes.
#include "bingo/page_server.h"
#include "bingo/qr_code.h"

struct PageServer {};

namespace {
const char* const kBuiltWithout = "Este programa se hizo sin la página para móviles";
}  // namespace

std::shared_ptr<PageServer> NewPageServer(const PageLimits&) { return std::make_shared<PageServer>(); }

PageStart StartPageServer(PageServer*, int) {
  PageStart start;
  start.error = kBuiltWithout;
  return start;
}

void StopPageServer(PageServer*) {}
bool PageServerListening(const PageServer&) { return false; }
void PublishPageState(PageServer*, std::shared_ptr<const PageState>) {}

QrSquare QrSquareOf(const std::string&) {
  QrSquare square;
  square.error = kBuiltWithout;
  return square;
}
