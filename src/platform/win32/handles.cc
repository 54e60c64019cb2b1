#include "platform/win32/handles.h"

// The link lives as long as the window is subclassed: a frame of the
// trampoline may still be on the stack when the owner lets go, and a window
// that somebody else subclassed after us cannot be handed back.
struct Subclass::Link {
  WNDPROC original;
  SUBCLASSPROC procedure;  // null once the owner has let go
  UINT_PTR id;
  DWORD_PTR data;
  Subclass* owner;
};

Subclass::Subclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data) : window_(window) {
  auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window_, GWLP_WNDPROC));
  if (original == nullptr || GetWindowLongPtrW(window_, GWLP_USERDATA) != 0) return;
  link_ = new Link{original, procedure, id, data, this};
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(link_));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Subclass::trampoline));
}

Subclass::~Subclass() {
  if (link_ == nullptr) return;
  link_->procedure = nullptr;
  link_->owner = nullptr;
  if (GetWindowLongPtrW(window_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&Subclass::trampoline)) {
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(link_->original));
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    delete link_;
  }
}

LRESULT Subclass::callOriginal(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* link = reinterpret_cast<Link*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return link != nullptr ? CallWindowProcW(link->original, window, message, wParam, lParam)
                         : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK Subclass::trampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* link = reinterpret_cast<Link*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (link == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  LRESULT result = link->procedure != nullptr
                       ? link->procedure(window, message, wParam, lParam, link->id, link->data)
                       : CallWindowProcW(link->original, window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(link->original));
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    if (link->owner != nullptr) link->owner->link_ = nullptr;
    delete link;
  }
  return result;
}
