// What one user action costs: reading and replacing a settings file, patching a
// solver, and the page step of a browser, over real files in a temporary folder.
#include <benchmark/benchmark.h>

#include "app/frm_zelmiku.h"
#include "launcher/launch.h"
#include "launcher/launch_tables.h"
#include "settings/settings.h"
#include "testing/harness.h"

namespace zel {
namespace {

void BM_ParseFirstValue(benchmark::State& state) {
  const std::string content = "\"R\"\r\n";
  for (auto _ : state) benchmark::DoNotOptimize(ParseFirstValue(content));
}
BENCHMARK(BM_ParseFirstValue);

void BM_ReadSetting(benchmark::State& state) {
  testing::Harness h;
  h.Write("enfo00.dat", "\"R\"\r\n");
  for (auto _ : state) benchmark::DoNotOptimize(ReadSetting(h.native, "enfo00.dat"));
}
BENCHMARK(BM_ReadSetting);

// Dominated by the two fsyncs that make the replacement durable.
void BM_WriteSetting(benchmark::State& state) {
  testing::Harness h;
  for (auto _ : state) WriteSetting(h.native, "enfo00.dat", std::string_view("E"));
}
BENCHMARK(BM_WriteSetting)->Unit(benchmark::kMicrosecond);

void BM_PatchSolver(benchmark::State& state) {
  testing::Harness h;
  h.Write("Kombiru.exe", std::string(97000, 'x'));
  const PatchWrites writes = PlanWrites(LaunchEntryOf(Control::mnuTactics1), true, true);
  for (auto _ : state) PatchSolver(h.native, "Kombiru.exe", writes);
}
BENCHMARK(BM_PatchSolver)->Unit(benchmark::kMicrosecond);

// A whole launch without the process start: two reads, the picture, the patch.
void BM_LaunchSolver(benchmark::State& state) {
  testing::Harness h;
  h.WriteSettings();
  h.Write("PictZEL.bmp", testing::MakeBmp(549, 330, 0x204060));
  h.Write("Kombiru.exe", std::string(97000, 'x'));
  platform::Services services{h.window, h.native, h.processes};
  for (auto _ : state) {
    LaunchSolver(services, LaunchEntryOf(Control::mnuTactics1));
    h.processes.starts.clear();
  }
}
BENCHMARK(BM_LaunchSolver)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zel

BENCHMARK_MAIN();
