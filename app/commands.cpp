// The commands "Fotocopia" (save the card on show in the current folder) and "Muchas"
// (a batch of new cards in the folder "muchas" beside the executable, or in the user's
// pictures folder where that one cannot be written). Both tell the user how it went, and
// only once what they count is on the disk; a card that could not be saved is never
// announced as saved.
#include <string>

#include "card/renderer.h"
#include "formats/bmp_writer.h"
#include "files/batch_card.h"
#include "files/batch_folder.h"
#include "files/card_files.h"
#include "app/commands.h"
#include "app/shell.h"
#include "disk/file_system.h"
#include "disk/folder_lock.h"
#include "ui/dialogs.h"

namespace {
constexpr const char* kTitle = "Programador";
constexpr int32_t kPlainMessage = 0;  // one OK button, no icon
}  // namespace

void TellUser(const std::string& text) { ShowMessage(text.c_str(), kPlainMessage, kTitle); }

namespace {

// "30.000": thousands set apart with a dot, as Spanish writes them.
std::string WithThousandsDot(int32_t number) {
  std::string digits = std::to_string(number);
  for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ".");
  return digits;
}

// The user's answer, or why it is refused; the refusal is shown here.
bool AskBatchCount(int32_t* count) {
  const std::string range = "<De 1 a " + std::to_string(kBatchLimit) + ">";
  const std::string answer = PromptForText(range.c_str(), "Cuantos cartones quieres ?", "", -1, -1);
  const BatchAnswer checked = CheckBatchAnswer(answer);
  switch (checked.kind) {
    case BatchAnswerKind::kNotDigits:
      TellUser("Tienes que escribir un número de 1 a " + WithThousandsDot(kBatchLimit) + " ...");
      return false;
    case BatchAnswerKind::kTooMany:
      TellUser("Excedes el número permitido de cartones ...");
      return false;
    case BatchAnswerKind::kCount:
      break;
  }
  *count = checked.count;
  return true;
}

}  // namespace

void Photocopy(uint32_t main_window) {
  ++g_card_counter;
  SelectTarget(main_window, IDC_CARD_VIEW, 0);
  const std::string name = CardFileName(g_card_counter);
  if (SaveTargetImage(name) == SaveError::kNone)
    TellUser("Fotocopia Archivada ...");
  else
    TellUser("No se pudo archivar la fotocopia " + name + " ...");
}

void Batch(uint32_t main_window) {
  int32_t count = 0;
  if (!AskBatchCount(&count)) return;
  const BatchPlace place = ChooseBatchFolder();
  const std::string& folder = place.folder;
  if (folder.empty()) {
    // Neither the program's folder nor the user's is known: nowhere to put a card.
    if (count > 0) TellUser("No se encuentra la carpeta del programa para guardar los cartones ...");
    return;
  }
  if (count == 0) {
    g_card_counter = 0;
    return;
  }
  // Only a batch that went elsewhere than beside the program says where it went.
  const std::string where = place.beside_program ? "" : "en " + folder + " ";
  // A folder no lock file can be made in takes no card files either: the first save
  // then says why.
  FolderLock lock;
  if (LockFolder(folder, &lock) == FolderLockResult::kInUse) {
    TellUser(FolderInUseText(folder));
    return;
  }
  g_card_counter = 0;
  CardFilesRequest request;
  request.picture = main_window;
  request.picture_control = IDC_CARD_VIEW;
  request.count = count;
  request.folder = folder;
  request.colour = g_card_colour;  // the colour chosen in the window, as the card on show
  CardFilesFailure failure;
  int32_t saved = MakeCardFiles(request, &failure);
  // The counter stands at the last file tried, as if each card had counted itself.
  g_card_counter = saved < count ? saved + 1 : count;
  if (UnlockFolder(&lock) != SaveError::kNone && saved == count) {
    // The files are written but not known to be on the disk: none counts as saved.
    failure.path = folder;
    saved = 0;
  }
  if (saved < count) {
    TellUser("No se pudo guardar " + failure.path + ". Creados " + std::to_string(saved) +
             " cartones del bingo " + where + "...");
    return;
  }
  TellUser("Creados " + std::to_string(g_card_counter) + " cartones del bingo " + where + "...");
}
