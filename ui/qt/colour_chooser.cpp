// The colour chooser: Qt's own colour dialog with the caller's sixteen custom colours,
// placed relative to its owner, which is disabled while the chooser is open.
#include <QColorDialog>
#include <QSettings>
#include <QWindow>

#include "ui/constants.h"
#include "ui/dialogs.h"
#include "ui/qt/frame_place.h"
#include "ui/qt/modal_wait.h"
#include "ui/qt/window_records.h"
#include "ui/window.h"

namespace {

constexpr QPoint kDefaultOffset(30, 30);
// A file, not a folder: no settings file can be made under it, nor found there.
constexpr const char* kNoSettingsFolder = "/dev/null";

QColor QColorOf(int32_t colour) {  // 0x00BBGGRR
  return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

int32_t ColourOf(const QColor& colour) {
  return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

// The chooser's top-left corner: relative to the owner's corner when there is an owner,
// else the given place, else centred in the work area by the chooser's own rule (half
// the area's far edge less half its width), which can stand a pixel off the dialog
// manager's.
QPoint ChooserCorner(const QWidget* owner, int32_t x, int32_t y, QSize chooser) {
  const bool given = x != POS_DEFAULT && y != POS_DEFAULT;
  if (owner != nullptr) {
    const QPoint corner = owner->frameGeometry().topLeft();
    return corner + (given ? QPoint(x, y) : kDefaultOffset);
  }
  if (given) return QPoint(x, y);
  const QRect area = WorkArea();
  if (area.isEmpty()) return QPoint(0, 0);
  return QPoint((area.x() + area.width()) / 2 - chooser.width() / 2,
                (area.y() + area.height()) / 2 - chooser.height() / 2);
}

// Qt's chooser keeps its custom colours in the user's QtProject settings file, reads
// them back at the next run and writes them whenever a chooser closes. This program's
// custom colours live in the process only: the caller keeps them and hands them over at
// every call. So Qt's user settings are sent where nothing can be read or written.
void KeepCustomColoursInTheProcess() {
  static bool done = false;
  if (done) return;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, kNoSettingsFolder);
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, kNoSettingsFolder);
  done = true;
}

}  // namespace

int32_t PickColour(uint32_t owner, int32_t x, int32_t y, int32_t initial_colour,
                   int32_t* custom_colours, int32_t flags) {
  (void)flags;  // Qt's chooser always shows its custom colours
  KeepCustomColoursInTheProcess();
  const WindowRecord* record = FindWindowRecord(owner);
  const QPointer<QWidget> owner_widget =
      record != nullptr && record->widget != nullptr ? record->widget->window() : nullptr;

  if (custom_colours != nullptr) {
    for (int i = 0; i < kCustomColourCount; ++i)
      QColorDialog::setCustomColor(i, QColorOf(custom_colours[i]));
  }
  // Not a Qt child of the owner, which is disabled below and would take it along.
  QColorDialog chooser(QColorOf(initial_colour & 0xFFFFFF));
  chooser.setOption(QColorDialog::DontUseNativeDialog);
  chooser.setWindowModality(Qt::NonModal);
  chooser.adjustSize();
  PlaceByFrame(&chooser, [owner_widget, x, y](QSize outer) {
    return ChooserCorner(owner_widget, x, y, outer);
  });
  if (owner_widget != nullptr) {
    owner_widget->winId();
    chooser.windowHandle()->setTransientParent(owner_widget->windowHandle());
    owner_widget->setEnabled(false);
  }
  ShowAndWait(&chooser);

  if (owner_widget != nullptr) {
    owner_widget->setEnabled(true);
    owner_widget->activateWindow();
  }
  // Custom colours change as the user adds them, whether or not the choice is kept.
  if (custom_colours != nullptr) {
    for (int i = 0; i < kCustomColourCount; ++i)
      custom_colours[i] = ColourOf(QColorDialog::customColor(i));
  }
  return chooser.result() == QDialog::Accepted ? ColourOf(chooser.selectedColor()) : -1;
}
