#include "input/recorder.h"

#include <algorithm>
#include <climits>

#include "input/hook_codes.h"
#include "input/messages.h"
#include "script/script_line.h"

namespace {

// A move is kept only when more than the sensitivity has passed; the margin
// absorbs the rounding of the floating-point comparison.
constexpr double kThrottleMargin = 0.0000001;

std::wstring secondsText(std::int32_t ms) {
  std::wstring text = ms < 0 ? L"-" : L"";
  std::int64_t magnitude = ms < 0 ? -std::int64_t{ms} : ms;
  text += std::to_wstring(magnitude / 1000);
  std::wstring decimals = std::to_wstring(1000 + magnitude % 1000).substr(1);
  while (!decimals.empty() && decimals.back() == L'0') decimals.pop_back();
  if (!decimals.empty()) text += L"." + decimals;
  return text;
}

}  // namespace

std::wstring recordingSummary(std::int32_t lineCount, std::int32_t elapsedMs, std::uint64_t lostEvents) {
  std::wstring summary = texts::kSummaryPrefix + std::to_wstring(lineCount) + texts::kSummaryMiddle +
                         secondsText(elapsedMs) + texts::kSummarySuffix;
  if (lostEvents > 0) summary += texts::kLostPrefix + std::to_wstring(lostEvents) + texts::kLostSuffix;
  return summary;
}

std::int32_t elapsedBetween(std::int64_t startUs, std::int64_t atUs) {
  if (atUs <= startUs) return 0;
  const std::int64_t ms = (atUs - startUs) / 1000;
  return ms > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(ms);
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

Recorder::Recorder(RunState& state, Controls& controls, ScriptBox& box, CursorPosition& cursor,
                   OwnPlacements& ownPlacements, WindowThread& windowThread, TickClock& clock, InputHooks& hooks)
    : state_(state),
      controls_(controls),
      box_(box),
      cursor_(cursor),
      ownPlacements_(ownPlacements),
      hooks_(hooks),
      boxUpdate_(windowThread, clock, [this] { flushToBox(); }),
      readout_(windowThread, clock, [this] { showCursorPosition(); }) {}

std::int32_t Recorder::elapsedMs(std::int64_t atUs) const { return elapsedBetween(state_.recordStartTick, atUs); }

std::int32_t Recorder::lengthMs(std::int64_t endUs) const { return std::max(elapsedMs(endUs), lastLineMs_); }

void Recorder::beginRecording(std::int64_t startUs) {
  state_.recording = 1;
  state_.recordStartTick = startUs;
  state_.recordedScript.clear();
  pending_.clear();
  lastLineMs_ = 0;
  box_.setText(L"");
  state_.lastMousePos = {};
  state_.lastMouseTime = 0;
  down_.clear();
  pausedAtUs_.reset();
  lostAtStart_ = hooks_.lostEvents();
  if (listener_) listener_(true);
}

void Recorder::endRecording(std::int64_t endUs) {
  // A recording paused by a lock ends where it stood.
  if (pausedAtUs_) endUs = *pausedAtUs_;
  releaseAllDown(endUs);
  pausedAtUs_.reset();
  state_.recording = 0;
  flushToBox();
  controls_.setStatusText(StatusPanel::message, recordingSummary(box_.lineCount(), lengthMs(endUs),
                                                                 hooks_.lostEvents() - lostAtStart_));
  state_.recordStartTick = 0;
  if (listener_) listener_(false);
}

void Recorder::pauseRecording(std::int64_t atUs) {
  if (!state_.recording || pausedAtUs_) return;
  releaseAllDown(atUs);
  pausedAtUs_ = atUs;
}

void Recorder::resumeRecording(std::int64_t atUs) {
  if (!pausedAtUs_) return;
  if (atUs > *pausedAtUs_) state_.recordStartTick += atUs - *pausedAtUs_;
  pausedAtUs_.reset();
}

void Recorder::releaseAllDown(std::int64_t atUs) {
  const std::int32_t t = std::max(elapsedMs(atUs), lastLineMs_);
  for (auto down = down_.rbegin(); down != down_.rend(); ++down) {
    lastLineMs_ = t;
    appendLine(down->mouse ? mouseLine(t, down->code, state_.lastMousePos.x, state_.lastMousePos.y,
                                       down->code == mouse_code::kXUp ? std::optional<std::int32_t>(down->data)
                                                                      : std::nullopt)
                           : keyLine(t, kKeyRelease, down->code, down->extended));
  }
  down_.clear();
}

void Recorder::appendKeyLine(const KeyEvent& event) {
  if (pausedAtUs_) return;
  std::optional<bool> extended;
  if (event.extended != isExtendedKey(event.vk)) extended = event.extended;
  const std::int32_t t = elapsedMs(event.atUs);
  lastLineMs_ = t;
  notePressed(down_, {false, event.vk, 0, extended}, event.transition != kKeyRelease);
  appendLine(keyLine(t, event.transition, event.vk, extended));
}

void Recorder::onMouseEvent(const MouseEvent& event) {
  if (state_.recording && !pausedAtUs_ && !ownPlacements_.isOwn(event) && controls_.isChecked(CheckBox::选择框7) &&
      (event.code != mouse_code::kMove || controls_.isChecked(CheckBox::选择框1))) {
    appendMouseLine(event);
  }
  readout_.request();
}

void Recorder::showCursorPosition() {
  std::optional<MousePoint> cursor = cursor_.cursorPos();
  if (!cursor) return;
  controls_.setStatusText(StatusPanel::cursor,
                          L"x=" + std::to_wstring(cursor->x) + L"  y=" + std::to_wstring(cursor->y));
}

void Recorder::appendMouseLine(const MouseEvent& event) {
  std::int32_t t = elapsedMs(event.atUs);
  if (event.code == mouse_code::kMove) {
    double gap = static_cast<double>(t) - state_.lastMouseTime;
    if (gap - leadingNumber(controls_.sensitivityText()) <= kThrottleMargin) return;
    if (state_.lastMousePos == MousePoint{event.x, event.y}) return;
  }
  state_.lastMousePos = {event.x, event.y};
  state_.lastMouseTime = t;
  lastLineMs_ = t;
  std::optional<std::int32_t> data;
  if (mouse_code::carriesData(event.code)) data = event.data;
  for (const Pressed& button : buttonsOf(event.code, event.data, true)) notePressed(down_, button, true);
  for (const Pressed& button : buttonsOf(event.code, event.data, false)) notePressed(down_, button, false);
  appendLine(mouseLine(t, event.code, event.x, event.y, data));
}

void Recorder::appendLine(const std::wstring& line) {
  state_.recordedScript += line;
  pending_ += line;
  boxUpdate_.request();
}

void Recorder::flushToBox() {
  if (pending_.empty()) return;
  // Rewriting the whole box for every event would cost more the longer the
  // recording; appending gives the same text while nobody else touched it.
  // The append leaves the caret at the end; placing it again would cost the
  // control a walk over all its lines.
  if (box_.revision() == writtenRevision_) {
    box_.append(pending_);
  } else {
    box_.setText(state_.recordedScript);
    box_.setSelectionStart(static_cast<std::int32_t>(state_.recordedScript.size()));
  }
  pending_.clear();
  writtenRevision_ = box_.revision();
}
