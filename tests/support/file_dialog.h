#pragma once

#include <windows.h>

#include <string>

#include "support/tamsik_window.h"

// Clicks the button of tamsik.exe's main window that opens a file dialog and
// waits until the dialog is in front with the pointer over it, so that keys
// from xdotool reach it. The dialog, or nullptr when none came.
HWND openFileDialog(const TamsikWindow& tamsik, int button);

// Waits until the dialog is gone and the main window takes clicks again:
// Wine destroys a dialog seconds after hiding it when there is no window
// manager. Then waits until the main window has answered a message, which is
// once the button's handler has returned.
bool waitForDialogToEnd(HWND mainWindow, HWND dialog);

// The whole of it: types the path into the dialog and presses Return, or
// presses Escape when the path is empty.
bool useFileDialog(const TamsikWindow& tamsik, int button, const std::wstring& path);

// The same without the keyboard, for when a run floods the desktop with
// injected keys (X keys get lost among them under Wine): the button's click
// and the dialog's OK are posted, the path is put into the file name box.
bool useFileDialogByMessages(const TamsikWindow& tamsik, int button, const std::wstring& path);
