#pragma once

#include <string>
#include <vector>

#include "platform/input.h"
#include "platform/processes.h"

// Hooks that record their installation and let a test deliver events.
class FakeInputHooks : public InputHooks {
 public:
  bool install(InputListener& listener) override {
    calls.push_back("install");
    this->listener = &listener;
    return true;
  }
  void remove() override {
    calls.push_back("remove");
    listener = nullptr;
  }

  std::vector<std::string> calls;
  InputListener* listener = nullptr;
};

class FakeProcesses : public Processes {
 public:
  std::vector<std::wstring> runningExecutableNames() override { return running; }
  std::wstring ownExecutableName() override { return own; }

  std::vector<std::wstring> running{L"TAMSIK.EXE"};
  std::wstring own = L"TAMSIK.EXE";
};
