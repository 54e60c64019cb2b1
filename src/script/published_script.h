#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/script_box.h"
#include "platform/window_thread.h"
#include "script/script_text.h"

// The script as the player reads it: the window thread takes a snapshot of
// the box after its changes and publishes it, so that the player never asks
// the window for anything. Changes that come in a burst give one snapshot,
// taken once the window thread is done with the message at hand. A snapshot
// copies the whole box, so changes are followed only while a reader is there
// (a run); otherwise the box is published when asked (publishNow), as a run
// starts.
class PublishedScript {
 public:
  // Window thread; follows every change of the box from now on.
  PublishedScript(ScriptBox& box, WindowThread& windowThread);
  ~PublishedScript();
  PublishedScript(const PublishedScript&) = delete;
  PublishedScript& operator=(const PublishedScript&) = delete;

  // Window thread: publishes the box as it is now, unless that is done.
  void publishNow();
  // Any thread: the latest snapshot, never null.
  std::shared_ptr<const ScriptSnapshot> current() const;
  // Window thread: called after each new snapshot is published.
  void setPublishedListener(std::function<void()> listener) { publishedListener_ = std::move(listener); }
  // Window thread: changes of the box are published only while this holds;
  // without it, always.
  void followChangesWhile(std::function<bool()> readerThere) { readerThere_ = std::move(readerThere); }

 private:
  void boxChanged();

  ScriptBox& box_;
  WindowThread& windowThread_;
  std::function<void()> publishedListener_;
  std::function<bool()> readerThere_;
  bool stale_ = true;
  bool publicationPosted_ = false;
  // Gone with this object, so that a publication posted before the end finds
  // nothing.
  std::shared_ptr<PublishedScript*> self_;

  mutable std::mutex mutex_;  // guards the pointer only, never held while anything waits
  std::shared_ptr<const ScriptSnapshot> current_ = std::make_shared<ScriptSnapshot>();
};
