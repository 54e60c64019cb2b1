#include "app/window_layout.h"

#include <gtest/gtest.h>

#include <map>

#include "app/control_ids.h"

namespace {

namespace id = control_id;

std::map<int, LayoutRect> byId(const std::vector<ControlPlace>& places) {
  std::map<int, LayoutRect> rects;
  for (const ControlPlace& place : places) rects[place.id] = place.rect;
  return rects;
}

std::string describe(const LayoutRect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.width) + "x" +
         std::to_string(r.height);
}

// Frames of a sizable window as Windows 10 draws them: a caption of 23
// pixels and a border of 8 on every side at 96 DPI.
LayoutSize frameAt(int dpi) { return {scaleToDpi(16, dpi), scaleToDpi(39, dpi)}; }

TEST(WindowLayoutTest, OnlyTheScriptGroupAndBoxGrowWithTheWindow) {
  struct Case {
    int dpi;
    LayoutSize client;
    LayoutSize frame;
    LayoutRect group;  // 分组框2
    LayoutRect box;    // 脚本框
  };
  const Case cases[] = {
      // At the smallest size, as designed, whatever the frame takes.
      {96, {434, 389}, {16, 39}, {202, 11, 230, 357}, {9, 96, 210, 253}},
      {96, {444, 402}, {6, 26}, {202, 11, 230, 357}, {9, 96, 210, 253}},
      {96, {734, 589}, {16, 39}, {202, 11, 530, 557}, {9, 96, 510, 453}},
      {96, {1920, 1017}, {16, 39}, {202, 11, 1716, 985}, {9, 96, 1696, 881}},
      // A client area below the smallest (a window being minimised) is laid
      // out as the smallest.
      {96, {0, 0}, {16, 39}, {202, 11, 230, 357}, {9, 96, 210, 253}},
      {120, {563 - 20, 535 - 49}, {20, 49}, {253, 14, 288, 446}, {11, 120, 263, 316}},
      {144, {675 - 24, 642 - 59}, {24, 59}, {303, 17, 345, 536}, {14, 144, 315, 380}},
      {144, {675 - 24 + 101, 642 - 59 + 7}, {24, 59}, {303, 17, 446, 543}, {14, 144, 416, 387}},
      {192, {900 - 32, 856 - 78}, {32, 78}, {404, 22, 460, 714}, {18, 192, 420, 506}},
      {192, {900 - 32 + 1000, 856 - 78 + 300}, {32, 78}, {404, 22, 1460, 1014}, {18, 192, 1420, 806}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "dpi " << c.dpi << ", client " << c.client.width << "x" << c.client.height);
    const std::map<int, LayoutRect> rects = byId(layOutMainWindow(c.client, c.frame, c.dpi));
    const std::map<int, LayoutRect> smallest = byId(layOutMainWindow({0, 0}, c.frame, c.dpi));
    EXPECT_EQ(describe(rects.at(id::分组框2)), describe(c.group));
    EXPECT_EQ(describe(rects.at(id::脚本框)), describe(c.box));
    for (const auto& [control, rect] : rects) {
      if (control == id::分组框2 || control == id::脚本框) continue;
      EXPECT_EQ(describe(rect), describe(smallest.at(control))) << "control " << control << " stays";
    }
  }
}

TEST(WindowLayoutTest, EveryControlStandsInsideItsParentAndAboveTheStatusBar) {
  for (int dpi : {96, 120, 144, 168, 192, 240}) {
    const LayoutSize smallest = smallestWindowSize(dpi);
    EXPECT_EQ(smallest.width, scaleToDpi(450, dpi));
    EXPECT_EQ(smallest.height, scaleToDpi(428, dpi));
    const LayoutSize frame = frameAt(dpi);
    for (LayoutSize gained : {LayoutSize{0, 0}, LayoutSize{1, 1}, LayoutSize{333, 0}, LayoutSize{0, 777}}) {
      SCOPED_TRACE(testing::Message() << "dpi " << dpi << ", " << gained.width << "x" << gained.height << " more");
      const LayoutSize client{smallest.width - frame.width + gained.width,
                              smallest.height - frame.height + gained.height};
      const std::vector<ControlPlace> places = layOutMainWindow(client, frame, dpi);
      ASSERT_EQ(places.size(), 21u);
      const std::map<int, LayoutRect> rects = byId(places);
      const int statusTop = client.height - scaleToDpi(20, dpi);
      for (const ControlPlace& place : places) {
        SCOPED_TRACE(place.id);
        const LayoutRect parent =
            place.parent ? rects.at(place.parent) : LayoutRect{0, 0, client.width, statusTop};
        EXPECT_GE(place.rect.left, 0);
        EXPECT_GE(place.rect.top, 0);
        EXPECT_LE(place.rect.left + place.rect.width, parent.width);
        EXPECT_LE(place.rect.top + place.rect.height, parent.height);
      }
      // Nothing in a group overlaps anything else there.
      for (const ControlPlace& a : places) {
        for (const ControlPlace& b : places) {
          if (a.id >= b.id || a.parent != b.parent || a.parent == 0) continue;
          const bool apart = a.rect.left + a.rect.width <= b.rect.left || b.rect.left + b.rect.width <= a.rect.left ||
                             a.rect.top + a.rect.height <= b.rect.top || b.rect.top + b.rect.height <= a.rect.top;
          EXPECT_TRUE(apart) << a.id << " and " << b.id;
        }
      }
    }
  }
}

}  // namespace
