#include "script/published_script.h"

PublishedScript::PublishedScript(ScriptBox& box, WindowThread& windowThread)
    : box_(box), windowThread_(windowThread), self_(std::make_shared<PublishedScript*>(this)) {
  box_.setChangeListener([this] { boxChanged(); });
  publishNow();
}

PublishedScript::~PublishedScript() { box_.setChangeListener(nullptr); }

void PublishedScript::boxChanged() {
  stale_ = true;
  if (publicationPosted_ || (readerThere_ && !readerThere_())) return;
  publicationPosted_ = true;
  windowThread_.post([weak = std::weak_ptr<PublishedScript*>(self_)] {
    std::shared_ptr<PublishedScript*> self = weak.lock();
    if (!self) return;
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
