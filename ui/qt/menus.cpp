// Menus: bars and drop-downs named by handle, items added by place or by command id,
// bars attached to dialog windows, and the images beside items.
#include <QAction>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <cstring>

#include "ui/qt/dialog_window.h"
#include "ui/qt/window_records.h"
#include "ui/window.h"

namespace {

constexpr int32_t kByCommand = 2;  // AddMenuItem flags: the position is a command id
constexpr int32_t kStateGrayed = 0x3;
constexpr int32_t kStateChecked = 0x8;
constexpr const char* kIdProperty = "tessarine_id";

QWidget* MenuWidget(const MenuRecord& menu) {
  if (menu.bar != nullptr) return menu.bar;
  return menu.drop_down;
}

// The window whose menu holds this menu, following drop-downs up to their bar.
uint32_t WindowOfMenu(uint32_t handle) {
  for (int depth = 0; depth < 16; ++depth) {
    const MenuRecord* menu = FindMenuRecord(handle);
    if (menu == nullptr) return 0;
    if (menu->bar != nullptr) return menu->window;
    handle = menu->parent_menu;
  }
  return 0;
}

// Whether `menu` is `drop_down` or hangs from it, however deep: a parent there would
// make a loop.
bool HangsFrom(const QWidget* menu, const QWidget* drop_down) {
  for (const QWidget* widget = menu; widget != nullptr; widget = widget->parentWidget())
    if (widget == drop_down) return true;
  return false;
}

QAction* ActionWithId(QWidget* menu, int32_t id) {
  for (QAction* action : menu->actions()) {
    const QVariant value = action->property(kIdProperty);
    if (value.isValid() && value.toInt() == id) return action;
  }
  return nullptr;
}

}  // namespace

uint32_t NewMenu(int32_t kind) {
  MenuRecord& record = AddMenuRecord();
  if (kind == 0)
    record.bar = new QMenuBar();
  else
    record.drop_down = new QMenu();
  return record.handle;
}

void AddMenuItem(uint32_t menu, uint32_t drop_down, int32_t id, int32_t state,
                 int32_t position, void* item_callback, int32_t flags, const char* text) {
  const MenuRecord* record = FindMenuRecord(menu);
  QWidget* target = record != nullptr ? MenuWidget(*record) : nullptr;
  if (target == nullptr) return;
  const QString label = QString::fromUtf8(text != nullptr ? text : "");

  // Where it goes: before the item at a place (counted from 1), or before the item with
  // a command id; anywhere else appends.
  QAction* before = nullptr;
  if (flags & kByCommand) {
    before = ActionWithId(target, position);
    if (before == nullptr) return;
  } else {
    const qsizetype place = static_cast<qsizetype>(position) - 1;
    const QList<QAction*> actions = target->actions();
    if (place >= 0 && place < actions.size()) before = actions[place];
  }

  QAction* action = nullptr;
  MenuRecord* sub = FindMenuRecord(drop_down);
  if (text != nullptr && std::strcmp(text, "-") == 0) {
    action = new QAction(target);
    action->setSeparator(true);
    target->insertAction(before, action);
    return;
  }
  if (sub != nullptr && sub->drop_down != nullptr) {
    // As QMenuBar::addMenu does: the drop-down lives as long as the menu it hangs from,
    // and so as long as the window that menu is attached to. Its popup flags stay.
    if (!HangsFrom(target, sub->drop_down))
      sub->drop_down->setParent(target, sub->drop_down->windowFlags());
    sub->drop_down->setTitle(label);
    sub->parent_menu = menu;
    action = sub->drop_down->menuAction();
  } else {
    action = new QAction(label, target);
    QObject::connect(action, &QAction::triggered, [menu, id, item_callback] {
      const uint32_t window = WindowOfMenu(menu);
      if (window != 0) DispatchMenuCommand(window, id, item_callback);
    });
  }
  action->setProperty(kIdProperty, id);
  if ((state & kStateGrayed) != 0) action->setEnabled(false);
  if ((state & kStateChecked) != 0) {
    action->setCheckable(true);
    action->setChecked(true);
  }
  target->insertAction(before, action);
}

void AttachMenu(uint32_t window, uint32_t menu_bar) {
  WindowRecord* record = FindWindowRecord(window);
  if (record == nullptr || record->kind != WindowKind::kDialog) return;
  auto* dialog = static_cast<DialogWindow*>(record->widget.data());
  MenuRecord* bar = FindMenuRecord(menu_bar);
  // Bar 0 takes the menu away; anything else that is not a bar changes nothing.
  if (dialog == nullptr || (menu_bar != 0 && (bar == nullptr || bar->bar == nullptr))) return;
  if (MenuRecord* previous = FindMenuRecord(record->menu_bar)) previous->window = 0;
  record->menu_bar = menu_bar;
  if (bar != nullptr) bar->window = window;
  dialog->SetMenuBar(bar != nullptr ? bar->bar.data() : nullptr);
}

uint32_t LoadMenuImage(const char* bmp_path) {
  if (bmp_path == nullptr) return 0;
  QImage image;
  if (!image.load(QString::fromUtf8(bmp_path), "BMP")) return 0;
  return AddMenuImage(QPixmap::fromImage(image));
}

uint32_t MenuImageFromPixels(int32_t width, int32_t height, int32_t stride,
                             const uint32_t* pixels) {
  if (pixels == nullptr || width <= 0 || height <= 0 || stride < width) return 0;
  const QImage view(reinterpret_cast<const uchar*>(pixels), width, height,
                    static_cast<qsizetype>(stride) * 4, QImage::Format_RGB32);
  return AddMenuImage(QPixmap::fromImage(view.copy()));
}

void SetMenuItemImage(uint32_t drop_down, int32_t place, uint32_t image) {
  const MenuRecord* record = FindMenuRecord(drop_down);
  const QPixmap* pixmap = FindMenuImage(image);
  QWidget* menu = record != nullptr ? MenuWidget(*record) : nullptr;
  if (menu == nullptr || pixmap == nullptr) return;
  const QList<QAction*> actions = menu->actions();
  if (place < 0 || place >= actions.size()) return;
  actions[place]->setIcon(QIcon(*pixmap));
  actions[place]->setIconVisibleInMenu(true);
}
