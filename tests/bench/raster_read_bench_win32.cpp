// Benchmark: the raster conversion of the English USB banner (576 x twice its height) with the
// bitmap read one dot per GetPixel call against one GetDIBits read of the whole bitmap, in the
// same run on the same bitmap. Google Benchmark is only there for the native build, so this is a
// small timing program of its own: the performance counter, a number of repetitions, the median
// of each.
//
//   scripts/wine-exec build/win64/wineprefix build/win64/tests/bench/raster_read_bench.exe [N]
//
// Prints both medians and their ratio; exits 1 when the two readings give different blocks.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "comm/port_messages.h"
#include "comm/raster_banner.h"
#include "platform/win32/screen_gdi_win32.h"
#include "platform/win32/win32.h"
#include "tests/bench/bench_timing_win32.h"

namespace kestrava {
namespace {

int Run(int repetitions) {
  Win32ScreenGdi screen;
  auto canvas = screen.Open(kRasterFontFace, kRasterFontTenths);
  if (!canvas) {
    std::fprintf(stderr, "no display context\n");
    return 1;
  }
  const WString banner = UsbPortBanner(1033, 1);
  const int height = 2 * canvas->MeasureTextHeight(banner);
  if (!canvas->CreateBitmap(kRasterWidth, height)) return 1;
  canvas->FillWhite();
  canvas->DrawWrappedText(banner);

  std::vector<double> perDot;
  std::vector<double> bulk;
  for (int i = 0; i < repetitions; ++i) {
    double start = bench::NowMs();
    const std::string slow =
        RasterBlock(ReadDotsOneByOne(*canvas, kRasterWidth, height), kRasterWidth, height);
    perDot.push_back(bench::NowMs() - start);
    start = bench::NowMs();
    std::vector<uint32_t> colours;
    if (!canvas->ReadPixels(colours)) return 1;
    const std::string fast = RasterBlock(colours, kRasterWidth, height);
    bulk.push_back(bench::NowMs() - start);
    if (slow != fast) {
      std::fprintf(stderr, "the two readings give different blocks\n");
      return 1;
    }
  }
  const double slowMs = bench::Median(perDot);
  const double fastMs = bench::Median(bulk);
  std::printf("banner %d x %d dots, %d repetitions\n", kRasterWidth, height, repetitions);
  std::printf("per-dot conversion: %.3f ms (median)\n", slowMs);
  std::printf("bulk conversion:    %.3f ms (median)\n", fastMs);
  std::printf("ratio:              %.1f\n", slowMs / fastMs);
  return 0;
}

}  // namespace
}  // namespace kestrava

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
  return kestrava::Run(repetitions);
}
