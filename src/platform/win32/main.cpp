// The program: the window in its design state, Form_Load before the window is
// first shown, then the messages until the program ends. It takes no
// arguments; the program folder is the current folder.
#include <windows.h>

#include <exception>

#include "app/dispatcher.h"
#include "app/frm_zelmiku.h"
#include "platform/win32/message_box_report.h"
#include "platform/win32/message_loop.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_window.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace zel;
  using namespace zel::platform;
  try {
    Win32Files files;
    Win32Processes processes;
    Win32Window window(files);
    MessageBoxReport report(&window);
    frmZelmiku form({window, files, processes});
    Dispatcher dispatcher(form, window, report);
    window.Attach(dispatcher);

    // A failing start-up has shown its message box; the window never appears.
    const RunState started = dispatcher.Start();
    if (started != RunState::Running) return Dispatcher::ExitStatus(started);
    window.Show();
    return RunMessageLoop(window);
  } catch (const Failure& failure) {
    // The system refused the window itself.
    MessageBoxReport().Report(failure);
    return kFailureExitStatus;
  } catch (const std::exception&) {
    EndAfterUnexpectedFailure();
  }
}
