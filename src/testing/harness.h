// One run of the shell's logic over a real temporary program folder: the
// native files (behind a fault injector), the in-memory window, recorded
// process starts and failure reports.
#pragma once

#include <string>

#include "app/dispatcher.h"
#include "app/frm_zelmiku.h"
#include "platform/fake/fake_window.h"
#include "platform/fake/faulty_files.h"
#include "platform/fake/recording.h"
#include "platform/native.h"
#include "testing/test_folder.h"

namespace zel::testing {

struct Harness {
  TestFolder root;  // holds "prog" (the program folder) and "drive" (drive C:)
  std::string programFolder = (root / "prog").string();
  std::string driveRoot = (root / "drive").string();
  platform::NativeFiles native{programFolder, driveRoot};
  platform::FaultyFiles files{native};
  platform::FakeWindow window{files};
  platform::RecordingProcesses processes;
  platform::RecordingReport report;
  platform::Services services{window, files, processes};
  frmZelmiku form{services};
  Dispatcher dispatcher{form, window, report};

  Harness() {
    std::filesystem::create_directories(root / "prog");
    std::filesystem::create_directories(root / "drive");
  }

  // Files of the program folder.
  void Write(std::string_view name, std::string_view bytes) const {
    root.Write("prog/" + std::string(name), bytes);
  }
  std::string Read(std::string_view name) const { return root.Read("prog/" + std::string(name)); }
  bool Exists(std::string_view name) const { return root.Exists("prog/" + std::string(name)); }
  void Remove(std::string_view name) const {
    std::filesystem::remove(root / ("prog/" + std::string(name)));
  }
  void WriteSettings(std::string_view language = "\"R\"\r\n",
                     std::string_view pictures = "\"Y\"\r\n",
                     std::string_view sound = "1\r\n") const {
    Write("enfo00.dat", language);
    Write("pnfo00.dat", pictures);
    Write("Sound.dat", sound);
  }
  // A distinct small picture for every name.
  void WritePicture(std::string_view name, std::uint32_t rgb = 0x336699) const {
    Write(name, MakeBmp(8, 4, rgb));
  }
  std::string ProgramList() const {
    std::string list;
    for (const auto& entry : std::filesystem::directory_iterator(root / "prog"))
      list += (list.empty() ? "" : " ") + entry.path().filename().string();
    return list;
  }
};

}  // namespace zel::testing
