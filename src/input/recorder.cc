#include "input/recorder.h"

#include <climits>

#include "script/script_line.h"

namespace {

// A move is kept only when more than the sensitivity has passed; the margin
// absorbs the rounding of the floating-point comparison.
constexpr double kThrottleMargin = 0.0000001;

}  // namespace

std::int32_t elapsedBetween(std::uint32_t startTick, std::uint32_t nowTick) {
  std::uint32_t elapsed = nowTick - startTick;
  return elapsed > static_cast<std::uint32_t>(INT32_MAX) ? INT32_MAX : static_cast<std::int32_t>(elapsed);
}

double leadingNumber(const std::wstring& text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == L' ') ++i;
  double sign = 1;
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) sign = text[i++] == L'-' ? -1 : 1;
  double value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) value = value * 10 + (text[i] - L'0');
  if (i < text.size() && text[i] == L'.') {
    double scale = 0.1;
    for (++i; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i, scale /= 10) value += (text[i] - L'0') * scale;
  }
  return sign * value;
}

Recorder::Recorder(RunState& state, Controls& controls, ScriptBox& box, TickClock& clock, CursorPosition& cursor,
                   OwnPlacements& ownPlacements, std::function<void()> scheduleFlush)
    : state_(state),
      controls_(controls),
      box_(box),
      clock_(clock),
      cursor_(cursor),
      ownPlacements_(ownPlacements),
      scheduleFlush_(std::move(scheduleFlush)) {}

std::int32_t Recorder::elapsedMs() {
  return elapsedBetween(static_cast<std::uint32_t>(state_.recordStartTick), clock_.tickMs());
}

void Recorder::appendKeyLine(std::int32_t transition, std::int32_t vk) {
  appendLine(keyLine(elapsedMs(), transition, vk));
}

void Recorder::onMouseEvent(const MouseEvent& event) {
  if (state_.recording && !ownPlacements_.isOwn(event) && controls_.isChecked(CheckBox::选择框7) &&
      (event.code != mouse_code::kMove || controls_.isChecked(CheckBox::选择框1))) {
    appendMouseLine(event.code, event.x, event.y);
  }
  MousePoint cursor = cursor_.cursorPos();
  controls_.setStatusText(StatusPanel::cursor,
                          L"x=" + std::to_wstring(cursor.x) + L"  y=" + std::to_wstring(cursor.y));
}

void Recorder::appendMouseLine(std::int32_t code, std::int32_t x, std::int32_t y) {
  std::int32_t t = elapsedMs();
  if (code == mouse_code::kMove) {
    double gap = static_cast<double>(t) - state_.lastMouseTime;
    if (gap - leadingNumber(controls_.sensitivityText()) <= kThrottleMargin) return;
    if (state_.lastMousePos == MousePoint{x, y}) return;
  }
  state_.lastMousePos = {x, y};
  state_.lastMouseTime = t;
  appendLine(mouseLine(t, code, x, y));
}

void Recorder::appendLine(const std::wstring& line) {
  state_.recordedScript += line;
  pending_ += line;
  if (flushScheduled_) return;
  flushScheduled_ = true;
  scheduleFlush_();
}

void Recorder::flushToBox() {
  flushScheduled_ = false;
  if (pending_.empty()) return;
  // Rewriting the whole box for every event would cost more the longer the
  // recording; appending gives the same text while nobody else touched it.
  if (box_.revision() == writtenRevision_) {
    box_.append(pending_);
  } else {
    box_.setText(state_.recordedScript);
  }
  pending_.clear();
  box_.setSelectionStart(static_cast<std::int32_t>(state_.recordedScript.size()));
  writtenRevision_ = box_.revision();
}
