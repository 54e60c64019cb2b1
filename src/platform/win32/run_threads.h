#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "platform/run_threads.h"

class Win32RunThreads : public RunThreads {
 public:
  Win32RunThreads() = default;
  ~Win32RunThreads() override { joinAll(std::chrono::seconds(1)); }
  Win32RunThreads(const Win32RunThreads&) = delete;
  Win32RunThreads& operator=(const Win32RunThreads&) = delete;

  void start(std::function<void()> body) override;
  bool joinAll(std::chrono::milliseconds patience) override;

 private:
  struct Thread {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<std::atomic<DWORD>> id = std::make_shared<std::atomic<DWORD>>(0);
  };
  void joinFinished();

  std::vector<Thread> threads_;
};
