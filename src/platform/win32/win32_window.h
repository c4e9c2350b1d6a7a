// frmZelmiku as a real window: the menu bar, the five command buttons and the
// background picture, with clicks and access keys handed to the dispatcher.
#pragma once

#include <windows.h>

#include <array>

#include "app/buttons.h"
#include "app/dispatcher.h"
#include "platform/win32/picture.h"
#include "platform/win32/win32_files.h"
#include "platform/window.h"

namespace zel::platform {

// The window class, named after the form; tests find the program's window by it.
inline constexpr const wchar_t* kWindowClass = L"frmZelmiku";
// The title screen, a bitmap resource of the program.
inline constexpr int kTitleScreenResource = 1;
// The program's icon group, the first one, which Explorer shows too.
inline constexpr int kProgramIconResource = 1;

class Win32Window final : public Window {
 public:
  // Creates the window hidden, in its design state: the title screen, the
  // buttons and marks as the tables say. Pictures are found where `files`
  // finds every other file. Throws Failure if the system refuses a part.
  explicit Win32Window(const Win32Files& files);
  ~Win32Window() override;
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  // Clicks and access keys go to the dispatcher from now on.
  void Attach(Dispatcher& dispatcher) { dispatcher_ = &dispatcher; }
  void Show();

  // Null once the window is destroyed (the program is ending).
  HWND handle() const { return hwnd_; }
  HWND button(Control id) const { return buttons_[Index(id) - Index(Control::cmdRight)]; }

  void ShowPicture(std::string_view bmpFile) override;
  void SetShown(Control button, bool shown) override;
  void SetEnabled(Control button, bool enabled) override;
  void SetChecked(Control menuItem, bool checked) override;
  bool IsShown(Control button) const override;
  bool IsEnabled(Control button) const override;
  bool IsChecked(Control menuItem) const override { return checked_[Index(menuItem)]; }

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(WPARAM wParam);
  void End(int exitStatus);
  void PaintClient(HDC dc) const;
  void FitClientArea();
  void CreateButtons();
  void MoveFocusOffButton(HWND button);
  void DestroyAll();

  const Win32Files& files_;
  Dispatcher* dispatcher_ = nullptr;
  HWND hwnd_ = nullptr;
  HMENU menu_ = nullptr;
  static constexpr std::size_t kButtonCount = std::size(kButtons);
  std::array<HWND, kButtonCount> buttons_{};  // in Control order, as the table
  std::array<HFONT, kButtonCount> fonts_{};
  std::array<bool, kControlCount> checked_{};  // hidden items have no menu item to hold theirs
  Picture picture_;
  HBRUSH background_;
  int exitStatus_ = 0;
  bool quitOnDestroy_ = true;
};

}  // namespace zel::platform
