#pragma once

// What the hot keys, the recorder and the player rely on from the hooks and
// the injection together: what is injected comes back through the hooks, in
// order, marked as ours and with its data. Checked against every realisation,
// so that the loopback fake cannot drift from the system. A realisation's test
// instantiates the suite with a factory type that has hooks(), injector() and
// settle(cameBack), which waits until cameBack() holds, and then a moment
// longer for anything that must not come.

#include <gtest/gtest.h>

#include <vector>

#include "platform/input.h"

// Keeps the events without their time stamps, so that whole events compare.
class StrippedListener : public InputListener {
 public:
  void onKey(const KeyEvent& event) override {
    keys.push_back(event);
    keys.back().time = 0;
    keys.back().atUs = 0;
  }
  void onMouse(const MouseEvent& event) override {
    if (event.code == mouse_code::kMove) return;
    buttons.push_back(event);
    buttons.back().time = 0;
    buttons.back().atUs = 0;
    buttons.back().x = buttons.back().y = 0;  // where the pointer happens to be
  }
  std::vector<KeyEvent> keys;
  std::vector<MouseEvent> buttons;
};

template <typename Factory>
class InputContract : public testing::Test {
 protected:
  ~InputContract() override { factory.hooks().remove(); }

  Factory factory;
  StrippedListener listener;
};

TYPED_TEST_SUITE_P(InputContract);

constexpr std::int32_t kVkF23 = 0x86;
constexpr std::int32_t kVkF24 = 0x87;

TYPED_TEST_P(InputContract, InjectedInputComesBackInOrderMarkedAsOursWithItsData) {
  ASSERT_TRUE(this->factory.hooks().install(this->listener));
  InputInjector& injector = this->factory.injector();
  injector.injectKeyEvent(kVkF24, kKeyPress, std::nullopt);
  injector.injectKeyEvent(kVkF24, kKeyRelease, std::nullopt);
  injector.injectKeyEvent(kVkF23, kKeyPress, true);
  injector.injectKeyEvent(kVkF23, kKeyRelease, true);
  injector.injectMouseEvent(mouse_code::kXDown, 0, 0, 1);
  injector.injectMouseEvent(mouse_code::kXUp, 0, 0, 1);
  injector.injectMouseEvent(mouse_code::kWheel, 0, 0, -120);
  this->factory.settle([this] { return this->listener.keys.size() >= 4 && this->listener.buttons.size() >= 3; });
  EXPECT_EQ(this->listener.keys, (std::vector<KeyEvent>{{kKeyPress, kVkF24, true, false},
                                                       {kKeyRelease, kVkF24, true, false},
                                                       {kKeyPress, kVkF23, true, true},
                                                       {kKeyRelease, kVkF23, true, true}}));
  EXPECT_EQ(this->listener.buttons, (std::vector<MouseEvent>{{mouse_code::kXDown, 0, 0, true, 1},
                                                            {mouse_code::kXUp, 0, 0, true, 1},
                                                            {mouse_code::kWheel, 0, 0, true, -120}}));
}

TYPED_TEST_P(InputContract, RemovedHooksHearNothingAndInstallingAgainDoesNotDouble) {
  InputHooks& hooks = this->factory.hooks();
  ASSERT_TRUE(hooks.install(this->listener));
  hooks.remove();
  hooks.remove();
  // F23 while no hook is in: only the F24 that comes after the new install
  // may reach the listener, and only once.
  this->factory.injector().injectKeyEvent(kVkF23, kKeyPress, std::nullopt);
  this->factory.injector().injectKeyEvent(kVkF23, kKeyRelease, std::nullopt);

  ASSERT_TRUE(hooks.install(this->listener));
  ASSERT_TRUE(hooks.install(this->listener));
  this->factory.injector().injectKeyEvent(kVkF24, kKeyPress, std::nullopt);
  this->factory.injector().injectKeyEvent(kVkF24, kKeyRelease, std::nullopt);
  this->factory.settle([this] {
    const auto& keys = this->listener.keys;
    return !keys.empty() && keys.back().vk == kVkF24 && keys.back().transition == kKeyRelease;
  });
  EXPECT_EQ(this->listener.keys,
            (std::vector<KeyEvent>{{kKeyPress, kVkF24, true, false}, {kKeyRelease, kVkF24, true, false}}));
}

REGISTER_TYPED_TEST_SUITE_P(InputContract, InjectedInputComesBackInOrderMarkedAsOursWithItsData,
                            RemovedHooksHearNothingAndInstallingAgainDoesNotDouble);
