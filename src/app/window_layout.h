#pragma once

// Where the main window's controls stand for a given client area and DPI.
// The window opens at its smallest size, where every control stands as
// designed at 96 DPI, scaled; when it is made larger, the script group
// (分组框2) and the script box (脚本框) take all the room gained, and
// everything else keeps its place. The status bar docks itself.

#include <vector>

struct LayoutSize {
  int width = 0;
  int height = 0;
  bool operator==(const LayoutSize&) const = default;
};

struct LayoutRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const LayoutRect&) const = default;
};

struct ControlPlace {
  int id;
  int parent;  // 0: the window's client area, else a group box
  LayoutRect rect;  // in the parent's client area
  bool operator==(const ControlPlace&) const = default;
};

inline constexpr int kLayoutBaseDpi = 96;

// A length given at 96 DPI, at this DPI (halves rounded away from zero).
int scaleToDpi(int value, int dpi);

// The window's outer size when it opens, also the smallest it can be made.
LayoutSize smallestWindowSize(int dpi);

// The controls' places, parents before their children, for a window whose
// client area is `client` and whose frame, caption and borders take
// `nonClient` (the outer size minus the client size). A client area below
// the smallest window's is laid out as the smallest.
std::vector<ControlPlace> layOutMainWindow(LayoutSize client, LayoutSize nonClient, int dpi);
