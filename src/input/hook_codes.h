#pragma once

// Conversions between the raw data of the low-level hooks and injections and
// Tamsik's events. Kept free of <windows.h> so that they are tested natively;
// the numeric values are those of the Win32 headers.

#include <cstdint>

#include "platform/input.h"

// flags: the KBDLLHOOKSTRUCT flag word (LLKHF_UP = 0x80 on a release,
// LLKHF_EXTENDED = 0x01); time: its time stamp; atUs: when the hook was
// called, on SteadyClock.
KeyEvent keyEventFromHook(std::uint32_t vkCode, std::uint32_t flags, std::uintptr_t extraInfo, std::uint32_t time,
                          std::int64_t atUs);

// message: the WM_ mouse message the hook was called with; mouseData: the
// MSLLHOOKSTRUCT's, whose high word holds the wheel delta or the side button.
MouseEvent mouseEventFromHook(std::uint32_t message, std::int32_t x, std::int32_t y, std::uint32_t mouseData,
                              std::uintptr_t extraInfo, std::uint32_t time, std::int64_t atUs);

// Keys that sit on E0-prefixed scan codes and need KEYEVENTF_EXTENDEDKEY.
bool isExtendedKey(std::int32_t vk);
