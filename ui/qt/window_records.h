// The records behind the 32-bit handles of the Qt front end: dialog windows, their
// controls, widgets the program only meets as the focus window, menus and menu images.
// Every call happens on the GUI thread, as Qt widgets require, so nothing is locked.
#pragma once
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <cstdint>

#include "ui/window.h"


enum class WindowKind { kDialog, kControl, kForeign };

struct WindowRecord {
  uint32_t handle = 0;
  WindowKind kind = WindowKind::kForeign;
  uint32_t parent = 0;  // the owner of a dialog window, the dialog of a control
  bool pixel_units = true;
  uint32_t style = 0;
  uint32_t extended_style = 0;
  QPointer<QWidget> widget;
  // Dialog windows: the area below the menu bar that holds the controls, the attached
  // bar, and what RunModal registered.
  QPointer<QWidget> client;
  uint32_t menu_bar = 0;
  WindowCallback callback = nullptr;
  int32_t* result_slot = nullptr;
  bool ending = false;
  // Controls.
  int32_t control_kind = 0;
  int32_t id = 0;
  bool has_surface = false;
};

// A menu's widget belongs to its Qt parent once it has one (a drop-down to the menu it
// hangs from, a bar to the window it is attached to); until then, and again once a bar
// is replaced, it belongs to its record, which releases it when the application ends.
struct MenuRecord {
  uint32_t handle = 0;
  QPointer<QMenuBar> bar;  // a menu bar, or
  QPointer<QMenu> drop_down;  // a drop-down menu
  uint32_t parent_menu = 0;  // the menu a drop-down hangs from
  uint32_t window = 0;  // the window a bar is attached to
};

uint32_t NewHandle();

WindowRecord& AddWindowRecord(WindowKind kind, QWidget* widget);
WindowRecord* FindWindowRecord(uint32_t handle);
// The record whose widget (or dialog client area) this is; 0 if none.
uint32_t HandleOfWidget(const QWidget* widget);
// A handle for any widget, registering it as a foreign window when it has none.
uint32_t HandleForWidget(QWidget* widget);
// The control of a dialog window with the given id, or 0.
uint32_t FindControl(uint32_t window, int32_t id);
// Releases the records of a dialog window's controls and then its own.
void ReleaseWindowRecords(uint32_t window);

MenuRecord& AddMenuRecord();
MenuRecord* FindMenuRecord(uint32_t handle);

uint32_t AddMenuImage(const QPixmap& image);
const QPixmap* FindMenuImage(uint32_t handle);
// Deletes the menus no window owns and forgets every menu and menu image. Runs by itself
// as the application object ends, while Qt can still take widgets apart.
void ReleaseMenus();
