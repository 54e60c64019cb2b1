#include "app/shell_presence.h"

void ShellPresence::start(const std::wstring& tip) {
  iconWanted_ = true;
  tip_ = tip;
  showIcon();
  sessionsWanted_ = true;
  subscribed_ = sessions_.subscribe();
}

void ShellPresence::apply(const wchar_t* tip) {
  if (tip) tip_ = tip;
  showIcon();
}

void ShellPresence::imageChanged() {
  imageStale_ = true;
  showIcon();
}

void ShellPresence::taskbarCreated() {
  iconShown_ = false;
  showIcon();
}

bool ShellPresence::retry() {
  showIcon();
  if (sessionsWanted_ && !subscribed_) subscribed_ = sessions_.subscribe();
  return missing();
}

bool ShellPresence::missing() const { return (iconWanted_ && !iconShown_) || (sessionsWanted_ && !subscribed_); }

void ShellPresence::removeIcon() {
  if (iconWanted_ && iconShown_) area_.remove();
  iconWanted_ = false;
  iconShown_ = false;
}

void ShellPresence::stop() {
  removeIcon();
  if (subscribed_) sessions_.unsubscribe();
  sessionsWanted_ = false;
  subscribed_ = false;
}

void ShellPresence::showIcon() {
  if (!iconWanted_ || (iconShown_ && !imageStale_ && shownTip_ == tip_)) return;
  // The shell refuses an add for an icon it has and a modify for one it has
  // not, and we cannot always tell which holds: after a TaskbarCreated that
  // did not lose the icon, or an add that timed out and went through.
  iconShown_ = iconShown_ ? (area_.modify(tip_) || area_.add(tip_)) : (area_.add(tip_) || area_.modify(tip_));
  if (!iconShown_) return;
  shownTip_ = tip_;
  imageStale_ = false;
}
