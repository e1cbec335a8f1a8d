// The WindowRecord list: singly linked, newest first, guarded by a spin lock that is
// held only while the list is searched or changed.
#include "ui/win32/window_records.h"

#include <atomic>

namespace {
struct Node {
  WindowRecord record;
  Node* next;
};

Node* g_records = nullptr;
std::atomic<int32_t> g_records_lock{0};

// Only the user-interface thread takes it, so it never actually spins.
void LockRecords() {
  while (g_records_lock.exchange(-1, std::memory_order_acquire) != 0) Sleep(0);
}
void UnlockRecords() { g_records_lock.store(0, std::memory_order_release); }

Node* FindNode(HWND window) {
  for (Node* node = g_records; node != nullptr; node = node->next)
    if (node->record.window == window) return node;
  return nullptr;
}
}  // namespace

void AddWindowRecord(const WindowRecord& record) {
  Node* node = new Node{record, nullptr};
  LockRecords();
  node->next = g_records;
  g_records = node;
  UnlockRecords();
}

WindowRecord* FindWindowRecord(HWND window) {
  LockRecords();
  Node* node = FindNode(window);
  UnlockRecords();
  return node != nullptr ? &node->record : nullptr;
}

bool SetModalParts(HWND window, WindowCallback callback, int32_t* result_slot) {
  LockRecords();
  Node* node = FindNode(window);
  if (node != nullptr) {
    node->record.callback = callback;
    node->record.result_slot = result_slot;
  }
  UnlockRecords();
  return node != nullptr;
}

std::vector<WindowRecord> TakeWindowRecords(HWND window) {
  std::vector<WindowRecord> taken;
  LockRecords();
  // Controls first, the window itself last.
  for (int pass = 0; pass < 2; ++pass) {
    Node** link = &g_records;
    while (*link != nullptr) {
      Node* node = *link;
      const bool wanted = pass == 0 ? node->record.parent == window && node->record.control_kind != 0
                                    : node->record.window == window;
      if (wanted) {
        taken.push_back(node->record);
        *link = node->next;
        delete node;
      } else {
        link = &node->next;
      }
    }
  }
  UnlockRecords();
  return taken;
}
