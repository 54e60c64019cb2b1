#include "app/win32/window_look.h"

#include <commctrl.h>

#include <iterator>
#include <string>

#include "app/control_ids.h"
#include "app/resource_ids.h"
#include "app/texts.h"
#include "platform/win32/dpi.h"

namespace {

constexpr int kStatusPanel0Width = 120, kStatusPanel1Width = 280, kStatusHeight = 20;
constexpr int kComboDropHeight = 200;
constexpr int k标签2FontHeight = 14;
// The help text's character height at 96 DPI may shrink this far to fit.
constexpr int kSmallestHelpFont = 9;

bool fontInstalled(const std::wstring& face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  if (face.size() >= std::size(wanted.lfFaceName)) return false;
  face.copy(wanted.lfFaceName, face.size());
  bool found = false;
  WindowDc screen(nullptr);
  EnumFontFamiliesExW(
      screen.get(), &wanted,
      [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) -> int {
        *reinterpret_cast<bool*>(found) = true;
        return 0;
      },
      reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

HICON loadProgramIcon(int metricX, int metricY, UINT dpi) {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TAMSIK), IMAGE_ICON,
                                      systemMetricForDpi(metricX, dpi), systemMetricForDpi(metricY, dpi), 0));
}

}  // namespace

WindowLook::WindowLook(HWND window, const ControlTable& controls)
    : window_(window), controls_(controls), whiteBrush_(CreateSolidBrush(RGB(255, 255, 255))) {}

void WindowLook::open() {
  const UINT dpi = dpiForWindow(window_);
  dpi_ = dpi ? dpi : kLayoutBaseDpi;
  const LayoutSize size = smallestSize();
  SetWindowPos(window_, nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  apply(dpi_);
}

void WindowLook::dpiChanged(WPARAM wParam, LPARAM lParam) {
  // First, so that the suggested rectangle meets the new DPI's smallest size.
  dpi_ = HIWORD(wParam) ? HIWORD(wParam) : kLayoutBaseDpi;
  const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
  SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  apply(dpi_);
}

void WindowLook::resized(WPARAM kind) {
  SendMessageW(controls_.get(control_id::状态条1), WM_SIZE, 0, 0);
  if (kind == SIZE_MINIMIZED) return;
  layOut();
  // Group boxes and the transparent label paint no background of their
  // own: without this, frames of the old size and doubled text stay.
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LayoutSize WindowLook::smallestSize() const { return smallestWindowSize(static_cast<int>(dpi_)); }

HBRUSH WindowLook::colour(HDC dc, HWND control) const {
  if (control == controls_.get(control_id::脚本框)) {
    SetBkColor(dc, RGB(255, 255, 255));
    return whiteBrush_.get();
  }
  if (control == controls_.get(control_id::透明标签1)) {
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  }
  return nullptr;
}

void WindowLook::apply(UINT dpi) {
  dpi_ = dpi ? dpi : kLayoutBaseDpi;
  const int scaled = static_cast<int>(dpi_);
  layOut();

  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  nonClientMetricsForDpi(metrics, dpi_);
  // The old fonts go once the controls have the new ones.
  FontHandle oldDefault = std::move(defaultFont_);
  FontHandle old标签2 = std::move(标签2Font_);
  defaultFont_.reset(CreateFontIndirectW(&metrics.lfMessageFont));
  std::wstring face = texts::标签2FontFace(fontInstalled);
  if (face.empty()) face = metrics.lfMessageFont.lfFaceName;
  标签2Font_.reset(CreateFontW(-scaleToDpi(k标签2FontHeight, scaled), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                               GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
  for (const auto& [id, control] : controls_.all()) {
    HFONT font = id == control_id::标签2 ? 标签2Font_.get() : defaultFont_.get();
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  HWND status = controls_.get(control_id::状态条1);
  SendMessageW(status, SB_SETMINHEIGHT, scaleToDpi(kStatusHeight, scaled), 0);
  int panelEdges[] = {scaleToDpi(kStatusPanel0Width, scaled),
                      scaleToDpi(kStatusPanel0Width + kStatusPanel1Width, scaled)};
  SendMessageW(status, SB_SETPARTS, std::size(panelEdges), reinterpret_cast<LPARAM>(panelEdges));
  SendMessageW(status, WM_SIZE, 0, 0);

  IconHandle oldBig = std::move(bigIcon_);
  IconHandle oldSmall = std::move(smallIcon_);
  bigIcon_.reset(loadProgramIcon(SM_CXICON, SM_CYICON, dpi_));
  smallIcon_.reset(loadProgramIcon(SM_CXSMICON, SM_CYSMICON, dpi_));
  SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
  SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));

  fitHelpText(metrics.lfMessageFont);
}

void WindowLook::layOut() {
  RECT client, outer;
  if (!GetClientRect(window_, &client) || !GetWindowRect(window_, &outer)) return;
  const LayoutSize nonClient{(outer.right - outer.left) - client.right, (outer.bottom - outer.top) - client.bottom};
  const int dpi = static_cast<int>(dpi_);
  for (const ControlPlace& place : layOutMainWindow({client.right, client.bottom}, nonClient, dpi)) {
    // A combo box's window height includes its drop-down list; the box itself
    // takes the height its font needs.
    const int height = place.id == control_id::组合框 ? scaleToDpi(kComboDropHeight, dpi) : place.rect.height;
    SetWindowPos(controls_.get(place.id), nullptr, place.rect.left, place.rect.top, place.rect.width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void WindowLook::fitHelpText(LOGFONTW font) {
  // The help text's last line wraps; with some fonts (Microsoft YaHei UI has
  // tall lines) the seven lines are taller than the label at the default
  // size: then the label takes a smaller font, until all of them fit.
  HWND label = controls_.get(control_id::标签3);
  RECT room;
  GetClientRect(label, &room);
  WindowDc dc(label);
  if (!dc) return;
  const int sign = font.lfHeight < 0 ? -1 : 1;
  const int smallest = scaleToDpi(kSmallestHelpFont, static_cast<int>(dpi_));
  FontHandle fitting;
  for (;;) {
    fitting.reset(CreateFontIndirectW(&font));
    RECT needed{0, 0, room.right, 0};
    {
      SelectedObject selected(dc.get(), fitting.get());
      DrawTextW(dc.get(), texts::kHelpText, -1, &needed, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS);
    }
    if (needed.bottom <= room.bottom || font.lfHeight * sign <= smallest) break;
    font.lfHeight -= sign;
  }
  FontHandle previous = std::move(helpFont_);
  helpFont_ = std::move(fitting);
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(helpFont_.get()), TRUE);
}
