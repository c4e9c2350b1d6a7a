// Keyboard input as a user types it, for tests: SendInput puts the keys into
// the system's input queue, and they reach the window with the keyboard focus
// through TranslateMessage, the dialog manager and the menu's own loop, as
// real key presses do.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string_view>
#include <vector>

namespace zel::testing {

namespace typed_keys_detail {
inline void Add(std::vector<INPUT>& keys, WORD key, WORD character, DWORD flags) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = character;
  input.ki.dwFlags = flags;
  keys.push_back(input);
}

inline bool Send(std::vector<INPUT>& keys) {
  return SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT)) == keys.size();
}
}  // namespace typed_keys_detail

// Holds the keys down in order and lets them go in reverse: {VK_MENU,
// VK_SHIFT, VK_OEM_PERIOD} is Alt+">" on the US layout Wine uses by default.
inline bool PressTogether(std::initializer_list<WORD> held) {
  std::vector<INPUT> keys;
  for (WORD key : held) typed_keys_detail::Add(keys, key, 0, 0);
  for (auto key = std::rbegin(held); key != std::rend(held); ++key)
    typed_keys_detail::Add(keys, *key, 0, KEYEVENTF_KEYUP);
  return typed_keys_detail::Send(keys);
}

// Alt pressed and let go on its own, which opens the menu bar for its access
// keys; then each character typed, whatever the keyboard layout (a packet the
// system turns into the character itself); then Esc `escapes` times. The
// escapes close whatever menu a character left open, so that the menu's loop
// never waits for more keys; once a command has been chosen they reach the
// window, which takes Esc for nothing.
inline bool ChooseFromMenuByKeys(std::wstring_view accessKeys, int escapes = 4) {
  std::vector<INPUT> keys;
  typed_keys_detail::Add(keys, VK_MENU, 0, 0);
  typed_keys_detail::Add(keys, VK_MENU, 0, KEYEVENTF_KEYUP);
  for (wchar_t c : accessKeys) {
    typed_keys_detail::Add(keys, 0, c, KEYEVENTF_UNICODE);
    typed_keys_detail::Add(keys, 0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
  }
  for (int i = 0; i < escapes; ++i) {
    typed_keys_detail::Add(keys, VK_ESCAPE, 0, 0);
    typed_keys_detail::Add(keys, VK_ESCAPE, 0, KEYEVENTF_KEYUP);
  }
  return typed_keys_detail::Send(keys);
}

// Delivers the window's messages until `done` holds, for at most `limitMs`;
// whether it held. `pump` handles the waiting messages as the program's loop.
template <class Pump, class Done>
bool PumpUntil(Pump pump, Done done, int limitMs = 2000) {
  for (int waited = 0; waited < limitMs; waited += 10) {
    pump();
    if (done()) return true;
    Sleep(10);
  }
  pump();
  return done();
}

}  // namespace zel::testing
