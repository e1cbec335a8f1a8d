// The handle registry: windows, controls, menus and menu images by 32-bit handle.
// Handles are never reused, so a stale handle finds nothing instead of a newer window.
#include "ui/qt/window_records.h"

#include <QCoreApplication>
#include <map>
#include <vector>

#include "draw/draw.h"

namespace {

// Above 0 and far below the drawing layer's bitmap handles, so a window handle given to
// SelectTarget is never taken for a bitmap.
uint32_t g_next_handle = 0x00010000;
std::map<uint32_t, WindowRecord> g_windows;
std::map<uint32_t, MenuRecord> g_menus;
std::map<uint32_t, QPixmap> g_menu_images;
bool g_release_planned = false;

// Menus replaced by a later AttachMenu are kept to the end of the process, which for a
// Qt program is the end of its application object: widgets must not outlive it.
void PlanMenuRelease() {
  if (g_release_planned) return;
  qAddPostRoutine(ReleaseMenus);
  g_release_planned = true;
}

}  // namespace

uint32_t NewHandle() {
  g_next_handle += 4;
  return g_next_handle;
}

WindowRecord& AddWindowRecord(WindowKind kind, QWidget* widget) {
  const uint32_t handle = NewHandle();
  WindowRecord& record = g_windows[handle];
  record.handle = handle;
  record.kind = kind;
  record.widget = widget;
  return record;
}

WindowRecord* FindWindowRecord(uint32_t handle) {
  const auto found = g_windows.find(handle);
  if (found == g_windows.end()) return nullptr;
  // A foreign widget may be gone without telling anyone.
  if (found->second.kind == WindowKind::kForeign && found->second.widget.isNull()) {
    g_windows.erase(found);
    return nullptr;
  }
  return &found->second;
}

uint32_t HandleOfWidget(const QWidget* widget) {
  if (widget == nullptr) return 0;
  for (const auto& [handle, record] : g_windows) {
    if (record.widget == widget || (record.client != nullptr && record.client == widget))
      return handle;
  }
  return 0;
}

uint32_t HandleForWidget(QWidget* widget) {
  if (widget == nullptr) return 0;
  const uint32_t known = HandleOfWidget(widget);
  if (known != 0) return known;
  return AddWindowRecord(WindowKind::kForeign, widget).handle;
}

uint32_t FindControl(uint32_t window, int32_t id) {
  for (const auto& [handle, record] : g_windows) {
    if (record.kind == WindowKind::kControl && record.parent == window && record.id == id)
      return handle;
  }
  return 0;
}

void ReleaseWindowRecords(uint32_t window) {
  for (auto it = g_windows.begin(); it != g_windows.end();) {
    if (it->second.kind == WindowKind::kControl && it->second.parent == window) {
      if (it->second.has_surface) EndControlSurface(it->first);
      it = g_windows.erase(it);
    } else {
      ++it;
    }
  }
  g_windows.erase(window);
}

MenuRecord& AddMenuRecord() {
  PlanMenuRelease();
  const uint32_t handle = NewHandle();
  MenuRecord& record = g_menus[handle];
  record.handle = handle;
  return record;
}

MenuRecord* FindMenuRecord(uint32_t handle) {
  const auto found = g_menus.find(handle);
  return found == g_menus.end() ? nullptr : &found->second;
}

uint32_t AddMenuImage(const QPixmap& image) {
  PlanMenuRelease();
  const uint32_t handle = NewHandle();
  g_menu_images[handle] = image;
  return handle;
}

const QPixmap* FindMenuImage(uint32_t handle) {
  const auto found = g_menu_images.find(handle);
  return found == g_menu_images.end() ? nullptr : &found->second;
}

void ReleaseMenus() {
  // Only the menus without a Qt parent: the others go with their parent. A guarded
  // pointer skips a menu that went with one deleted before it.
  std::vector<QPointer<QWidget>> unowned;
  for (const auto& [handle, record] : g_menus) {
    QWidget* menu = record.bar != nullptr ? static_cast<QWidget*>(record.bar.data())
                                          : record.drop_down.data();
    if (menu != nullptr && menu->parentWidget() == nullptr) unowned.emplace_back(menu);
  }
  g_menus.clear();
  for (const QPointer<QWidget>& menu : unowned) delete menu.data();
  g_menu_images.clear();
  g_release_planned = false;
}
