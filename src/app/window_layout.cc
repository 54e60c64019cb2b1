#include "app/window_layout.h"

#include <algorithm>

#include "app/control_ids.h"

namespace {

// The outer rectangle's size and the controls at 96 DPI, as the window opens.
constexpr LayoutSize kWindowSize{450, 428};

constexpr ControlPlace kPlaces[] = {
    {control_id::分组框1, 0, {16, 8, 176, 360}},
    {control_id::选择框1, control_id::分组框1, {12, 21, 142, 16}},
    {control_id::选择框2, control_id::分组框1, {12, 46, 119, 16}},
    {control_id::选择框3, control_id::分组框1, {12, 71, 146, 16}},
    {control_id::选择框4, control_id::分组框1, {12, 96, 146, 16}},
    {control_id::选择框5, control_id::分组框1, {12, 121, 144, 16}},
    {control_id::选择框6, control_id::分组框1, {12, 146, 128, 16}},
    {control_id::选择框7, control_id::分组框1, {12, 171, 128, 16}},
    {control_id::标签4, control_id::分组框1, {12, 196, 85, 16}},
    {control_id::编辑框1, control_id::分组框1, {110, 195, 20, 16}},
    {control_id::编辑框1Arrows, control_id::分组框1, {130, 195, 14, 16}},
    {control_id::标签2, control_id::分组框1, {8, 214, 120, 16}},
    // Down to just above 按钮2, so that the six lines of help have room.
    {control_id::标签3, control_id::分组框1, {16, 233, 136, 92}},
    {control_id::按钮2, control_id::分组框1, {97, 326, 48, 24}},
    {control_id::分组框2, 0, {202, 11, 230, 357}},
    {control_id::透明标签1, control_id::分组框2, {16, 21, 80, 24}},
    {control_id::组合框, control_id::分组框2, {101, 21, 105, 20}},
    {control_id::打开脚本按钮, control_id::分组框2, {12, 55, 58, 24}},
    {control_id::保存脚本按钮, control_id::分组框2, {84, 55, 58, 24}},
    {control_id::按钮1, control_id::分组框2, {157, 54, 57, 24}},
    {control_id::脚本框, control_id::分组框2, {9, 96, 210, 253}},
};

bool grows(int id) { return id == control_id::分组框2 || id == control_id::脚本框; }

}  // namespace

int scaleToDpi(int value, int dpi) {
  const long long product = static_cast<long long>(value) * dpi;
  const long long half = kLayoutBaseDpi / 2;
  return static_cast<int>(product >= 0 ? (product + half) / kLayoutBaseDpi : (product - half) / kLayoutBaseDpi);
}

LayoutSize smallestWindowSize(int dpi) {
  return {scaleToDpi(kWindowSize.width, dpi), scaleToDpi(kWindowSize.height, dpi)};
}

std::vector<ControlPlace> layOutMainWindow(LayoutSize client, LayoutSize nonClient, int dpi) {
  const LayoutSize smallest = smallestWindowSize(dpi);
  const int wider = std::max(0, client.width + nonClient.width - smallest.width);
  const int taller = std::max(0, client.height + nonClient.height - smallest.height);
  std::vector<ControlPlace> places;
  places.reserve(std::size(kPlaces));
  for (const ControlPlace& base : kPlaces) {
    ControlPlace place{base.id, base.parent,
                       {scaleToDpi(base.rect.left, dpi), scaleToDpi(base.rect.top, dpi),
                        scaleToDpi(base.rect.width, dpi), scaleToDpi(base.rect.height, dpi)}};
    if (grows(base.id)) {
      place.rect.width += wider;
      place.rect.height += taller;
    }
    places.push_back(place);
  }
  return places;
}
