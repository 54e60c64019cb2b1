#include "support/tamsik_window.h"

#include "app/control_ids.h"

#include "support/wine_desktop.h"

TamsikWindow::TamsikWindow(const std::wstring& exePath) : TamsikProcess(exePath), window_(waitForMainWindow()) {}

std::wstring TamsikWindow::script() const { return windowText(control(control_id::脚本框)); }

void TamsikWindow::setScript(const std::wstring& text) const {
  sendWithin(control(control_id::脚本框), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), "WM_SETTEXT");
}

bool TamsikWindow::checked(int id) const { return SendMessageW(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TamsikWindow::setChecked(int id, bool on) const {
  SendMessageW(control(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::wstring TamsikWindow::status(int panel) const { return remoteStatusText(control(control_id::状态条1), panel); }

bool TamsikWindow::waitForRecordingSummary(std::chrono::milliseconds timeout) const {
  return waitUntil("the recording's summary", [&] { return status().starts_with(L"\u5171"); }, timeout);
}
