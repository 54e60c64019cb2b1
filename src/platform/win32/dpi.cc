#include "platform/win32/dpi.h"

#include <string>

#include "platform/win32/handles.h"

namespace {

// From the Windows 8.1 and 10 headers, which a build for Windows 7 lacks.
const auto kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
constexpr int kProcessPerMonitorDpiAware = 2;  // PROCESS_PER_MONITOR_DPI_AWARE
constexpr int kEffectiveDpi = 0;               // MDT_EFFECTIVE_DPI
constexpr UINT kBaseDpi = 96;

// Null members are functions the system does not have.
struct DpiFunctions {
  BOOL(WINAPI* setProcessDpiAwarenessContext)(HANDLE) = nullptr;  // Windows 10 1703
  UINT(WINAPI* getDpiForWindow)(HWND) = nullptr;                   // Windows 10 1607
  int(WINAPI* getSystemMetricsForDpi)(int, UINT) = nullptr;        // Windows 10 1607
  BOOL(WINAPI* systemParametersInfoForDpi)(UINT, UINT, void*, UINT, UINT) = nullptr;  // Windows 10 1607
  HRESULT(WINAPI* setProcessDpiAwareness)(int) = nullptr;                              // shcore, Windows 8.1
  HRESULT(WINAPI* getDpiForMonitor)(HMONITOR, int, UINT*, UINT*) = nullptr;            // shcore, Windows 8.1
  LibraryHandle shcore;
};

template <typename Function>
void lookUp(HMODULE module, const char* name, Function& function) {
  FARPROC address = module ? GetProcAddress(module, name) : nullptr;
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

const DpiFunctions& functions() {
  static const DpiFunctions found = [] {
    DpiFunctions f;
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    lookUp(user32, "SetProcessDpiAwarenessContext", f.setProcessDpiAwarenessContext);
    lookUp(user32, "GetDpiForWindow", f.getDpiForWindow);
    lookUp(user32, "GetSystemMetricsForDpi", f.getSystemMetricsForDpi);
    lookUp(user32, "SystemParametersInfoForDpi", f.systemParametersInfoForDpi);
    // shcore is needed only where user32 lacks the newer functions; loaded
    // from the system directory, never from next to the program.
    if (!f.getDpiForWindow || !f.setProcessDpiAwarenessContext) {
      wchar_t directory[MAX_PATH];
      UINT length = GetSystemDirectoryW(directory, MAX_PATH);
      if (length > 0 && length < MAX_PATH) {
        f.shcore.reset(LoadLibraryW((std::wstring(directory, length) + L"\\shcore.dll").c_str()));
        lookUp(f.shcore.get(), "SetProcessDpiAwareness", f.setProcessDpiAwareness);
        lookUp(f.shcore.get(), "GetDpiForMonitor", f.getDpiForMonitor);
      }
    }
    return f;
  }();
  return found;
}

int scaleFromSystemDpi(int value, UINT dpi) {
  UINT system = systemDpi();
  return dpi == system ? value : MulDiv(value, static_cast<int>(dpi), static_cast<int>(system));
}

}  // namespace

void enableDpiAwareness() {
  const DpiFunctions& f = functions();
  // A call refused because the awareness is set already (by the manifest)
  // ends the chain: the older calls could only ask for less.
  if (f.setProcessDpiAwarenessContext) {
    if (f.setProcessDpiAwarenessContext(kPerMonitorAwareV2) || GetLastError() == ERROR_ACCESS_DENIED) return;
  }
  if (f.setProcessDpiAwareness) {
    HRESULT result = f.setProcessDpiAwareness(kProcessPerMonitorDpiAware);
    if (SUCCEEDED(result) || result == E_ACCESSDENIED) return;
  }
  SetProcessDPIAware();
}

UINT systemDpi() {
  const WindowDc screen(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
  return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

UINT dpiForWindow(HWND window) {
  const DpiFunctions& f = functions();
  if (f.getDpiForWindow) {
    if (UINT dpi = f.getDpiForWindow(window)) return dpi;
  }
  return dpi_fallback::dpiForWindow(window);
}

int systemMetricForDpi(int index, UINT dpi) {
  const DpiFunctions& f = functions();
  return f.getSystemMetricsForDpi ? f.getSystemMetricsForDpi(index, dpi) : dpi_fallback::systemMetricForDpi(index, dpi);
}

bool nonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, UINT dpi) {
  const DpiFunctions& f = functions();
  if (!f.systemParametersInfoForDpi) return dpi_fallback::nonClientMetricsForDpi(metrics, dpi);
  metrics.cbSize = sizeof(metrics);
  return f.systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi) != FALSE;
}

namespace dpi_fallback {

// Windows 8.1 knows the DPI of each monitor; Windows 7 and 8 only the
// system's.
UINT dpiForWindow(HWND window) {
  const DpiFunctions& f = functions();
  if (f.getDpiForMonitor) {
    UINT x = 0, y = 0;
    HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    if (monitor && SUCCEEDED(f.getDpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && x > 0) return x;
  }
  return systemDpi();
}

int systemMetricForDpi(int index, UINT dpi) { return scaleFromSystemDpi(GetSystemMetrics(index), dpi); }

bool nonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, UINT dpi) {
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return false;
  for (int* size : {&metrics.iBorderWidth, &metrics.iScrollWidth, &metrics.iScrollHeight, &metrics.iCaptionWidth,
                    &metrics.iCaptionHeight, &metrics.iSmCaptionWidth, &metrics.iSmCaptionHeight, &metrics.iMenuWidth,
                    &metrics.iMenuHeight, &metrics.iPaddedBorderWidth}) {
    *size = scaleFromSystemDpi(*size, dpi);
  }
  for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont, &metrics.lfStatusFont,
                         &metrics.lfMessageFont}) {
    font->lfHeight = scaleFromSystemDpi(font->lfHeight, dpi);
    font->lfWidth = scaleFromSystemDpi(font->lfWidth, dpi);
  }
  return true;
}

}  // namespace dpi_fallback
