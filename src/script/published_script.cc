#include "script/published_script.h"

namespace {

constexpr std::wstring_view kLineBreak = L"\r\n";

}  // namespace

ScriptSnapshot::ScriptSnapshot(std::wstring text) : text_(std::move(text)), lineStarts_{0} {
  for (std::size_t pos = text_.find(kLineBreak); pos != std::wstring::npos; pos = text_.find(kLineBreak, pos + 2)) {
    lineStarts_.push_back(pos + 2);
  }
}

std::wstring_view ScriptSnapshot::line(std::int32_t index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= lineStarts_.size()) return {};
  const auto i = static_cast<std::size_t>(index);
  const std::size_t begin = lineStarts_[i];
  const std::size_t end = i + 1 < lineStarts_.size() ? lineStarts_[i + 1] - kLineBreak.size() : text_.size();
  return std::wstring_view(text_).substr(begin, end - begin);
}

PublishedScript::PublishedScript(ScriptBox& box, WindowThread& windowThread)
    : box_(box), windowThread_(windowThread), self_(std::make_shared<PublishedScript*>(this)) {
  box_.setChangeListener([this] { boxChanged(); });
  publishNow();
}

PublishedScript::~PublishedScript() {
  box_.setChangeListener(nullptr);
  *self_ = nullptr;
}

void PublishedScript::boxChanged() {
  stale_ = true;
  if (publicationPosted_) return;
  publicationPosted_ = true;
  windowThread_.post([weak = std::weak_ptr<PublishedScript*>(self_)] {
    std::shared_ptr<PublishedScript*> self = weak.lock();
    if (!self || !*self) return;
    (*self)->publicationPosted_ = false;
    (*self)->publishNow();
  });
}

void PublishedScript::publishNow() {
  if (!stale_) return;
  stale_ = false;
  std::shared_ptr<const ScriptSnapshot> snapshot = std::make_shared<const ScriptSnapshot>(box_.text());
  {
    std::lock_guard lock(mutex_);
    current_.swap(snapshot);
  }
  snapshot.reset();  // the old text goes outside the lock
  if (publishedListener_) publishedListener_();
}

std::shared_ptr<const ScriptSnapshot> PublishedScript::current() const {
  std::lock_guard lock(mutex_);
  return current_;
}
