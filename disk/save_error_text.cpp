#include "disk/save_error_text.h"

const char* SaveErrorText(SaveError error) {
  switch (error) {
    case SaveError::kDiskFull:
      return "disco lleno";
    case SaveError::kNoPermission:
      return "sin permiso";
    case SaveError::kMissingFolder:
      return "carpeta inexistente";
    case SaveError::kNotRegularFile:
      return "no es un archivo normal";
    case SaveError::kInterrupted:
      return "interrumpido";
    case SaveError::kNone:
    case SaveError::kOther:
      break;
  }
  return "";
}
