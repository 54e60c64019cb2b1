#include "app/run_state.h"

#include <gtest/gtest.h>

#include <set>
#include <type_traits>

#include "app/texts.h"

namespace {

TEST(RunStateTest, StartsIdleAndEmpty) {
  RunState state;
  EXPECT_EQ(state.recording, 0);
  EXPECT_EQ(state.recordStartTick, 0);
  EXPECT_EQ(state.recordedScript, L"");
  EXPECT_EQ(state.lastMousePos, (MousePoint{0, 0}));
  EXPECT_EQ(state.lastMouseTime, 0);
  EXPECT_EQ(state.playing.load(), 0);
  static_assert(std::is_same_v<decltype(state.playing), std::atomic<std::int32_t>>);
  EXPECT_TRUE(state.playing.is_lock_free());
}

TEST(TextsTest, HelpTextHasSixLinesWithoutFinalBreak) {
  std::wstring help = texts::kHelpText;
  std::vector<std::wstring> lines;
  std::size_t begin = 0;
  for (std::size_t end; (end = help.find(L"\r\n", begin)) != std::wstring::npos; begin = end + 2) {
    lines.push_back(help.substr(begin, end - begin));
  }
  lines.push_back(help.substr(begin));
  EXPECT_EQ(lines, (std::vector<std::wstring>{L"记录开始=ScrollLock键", L"记录结束=ScrollLock键", L"运行脚本=F12键",
                                               L"结束脚本运行=F11键", L"HOME键隐藏窗口",
                                               L"灵敏度越小,记录的脚本越多!模拟精度越高!"}));
  EXPECT_EQ(help.find(L'\n', help.rfind(L'\n') + 1), std::wstring::npos);
}

TEST(TextsTest, CaptionsKeepTheirAsciiPunctuation) {
  // The captions use the ASCII comma, colon and exclamation mark, not the
  // full-width forms; the title alone has the full-width colon.
  for (const wchar_t* text : {texts::k选择框3, texts::k选择框4, texts::k分组框1, texts::k分组框2, texts::k透明标签1,
                              texts::kTrayTip, texts::kTargetNotInFront, texts::kEmptyScript}) {
    std::wstring s = text;
    EXPECT_EQ(s.find_first_of(L"，：！"), std::wstring::npos) << testing::PrintToString(s);
  }
  EXPECT_EQ(texts::windowTitle().rfind(L"Tamsik  By：", 0), 0u);
  EXPECT_GT(texts::windowTitle().size(), std::wstring(L"Tamsik  By：").size());
}

// The faces a system has installed, and the one 标签2 gets.
TEST(TextsTest, 标签2TakesTheFirstKaiFaceTheSystemHas) {
  struct Case {
    const char* what;
    std::set<std::wstring> installed;
    std::wstring face;
  };
  const Case cases[] = {
      {"Windows 7, Chinese", {L"楷体_GB2312", L"楷体", L"宋体"}, L"楷体_GB2312"},
      {"Windows 10 or 11, Chinese", {L"楷体", L"KaiTi", L"微软雅黑"}, L"楷体"},
      {"Windows 10 or 11, English", {L"KaiTi", L"Segoe UI"}, L"KaiTi"},
      {"no Kai face at all", {L"Segoe UI", L"Tahoma"}, L""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(texts::标签2FontFace([&](const std::wstring& face) { return c.installed.count(face) > 0; }), c.face)
        << c.what;
  }
}

}  // namespace
