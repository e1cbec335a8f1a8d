// The phones' page where the program was built without its libraries (a Windows build
// whose Debian sources of cpp-httplib and qrencode could not be fetched; see
// cmake/page_libraries.cmake): the same calls as page_server.cpp and qr_code.cpp, and the
// switch that turns it on says why it cannot.
#include "bingo/page_server.h"
#include "bingo/qr_code.h"

namespace {
const char* const kBuiltWithout =
    "Esta versión del programa se hizo sin la página para móviles (faltaban cpp-httplib y "
    "qrencode al compilarla)";
}  // namespace

struct PageServer {};

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
