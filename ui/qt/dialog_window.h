// The dialog window widget and the message dispatch shared by the front end's parts.
#pragma once
#include <QMenuBar>
#include <QPointer>
#include <QWidget>
#include <cstdint>


// A top-level window of fixed outer size whose client area holds the controls. A menu
// bar, once attached, takes its height from the client area.
class DialogWindow : public QWidget {
 public:
  explicit DialogWindow(Qt::WindowFlags flags);
  uint32_t handle = 0;
  QWidget* client() const { return client_; }
  QMenuBar* menuBar() const { return bar_; }
  void SetMenuBar(QMenuBar* bar);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void LayOut();
  QWidget* client_;
  QPointer<QMenuBar> bar_;
};

// The window's callback, then the default processing of an unhandled (0) result.
int32_t DispatchToWindow(uint32_t window, uint32_t message, uint32_t wparam, int32_t lparam);
// A menu command of a window: the item's own callback first, then the window's.
void DispatchMenuCommand(uint32_t window, int32_t id, void* item_callback);

// Registers the picture controls' hooks with the drawing layer, once.
void EnsureControlHooks();
