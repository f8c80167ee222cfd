// Cost of the icon writer and the JPEG writer for one 32 x 32 icon, as a
// ratio to one memcpy pass over the same 4 KB of pixels measured in the same
// run. The ratios are printed after Google Benchmark's own table.
#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "imaging/export_types.h"
#include "imaging/image_formats.h"
#include "imaging/saveicons.h"

namespace {

using namespace imaging;

Image32 Picture(uint8_t code) {
  Image32 image(32, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) image.At(x, y) = ((x + 2 * y) % 3 == 0) ? 0xFFFFFF : 0x000000;
  switch (code) {
    case kDepth4: image.At(3, 3) = 0xFF0000; break;
    case kDepth8:
      for (int i = 0; i < 200; ++i) image.pixels[i * 5] = MakePixel(static_cast<uint8_t>(i), 3, 7);
      break;
    case kDepth24:
      for (int i = 0; i < 1024; ++i)
        image.pixels[i] = MakePixel(static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8), 9);
      break;
    case kDepth32:
      for (Pixel32& p : image.pixels) p |= 0xFF000000;
      break;
  }
  return image;
}

void BM_MemcpyBaseline(benchmark::State& state) {
  std::vector<Pixel32> src(32 * 32, 0x12345678), dst(32 * 32);
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), src.size() * sizeof(Pixel32));
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MemcpyBaseline);

void BM_IconAnalyseAndEncode(benchmark::State& state) {
  Image32 image = Picture(static_cast<uint8_t>(state.range(0)));
  MaskImage mask(32, 32);
  for (auto _ : state) {
    util::MemorySink sink;
    int written = SaveIconImageToSink(sink, image, mask);
    benchmark::DoNotOptimize(written);
  }
}
BENCHMARK(BM_IconAnalyseAndEncode)->Arg(kDepth1)->Arg(kDepth4)->Arg(kDepth8)->Arg(kDepth24)->Arg(kDepth32);

void BM_JpegEncode(benchmark::State& state) {
  PixelBuffer buffer(32, 32, 24);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      buffer.Set(x, y, MakePixel(static_cast<uint8_t>(x * 8), static_cast<uint8_t>(y * 8), 90));
  for (auto _ : state) {
    util::MemorySink sink;
    ImageWriteResult r = EncodeBitmap(buffer.view(), sink, imaging::etJPEG);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_JpegEncode);

// Keeps every run's time per iteration for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
        times_[run.benchmark_name()] = run.GetAdjustedRealTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    auto base = times_.find("BM_MemcpyBaseline");
    if (base == times_.end() || base->second <= 0) return;
    std::printf("\nper icon, as a multiple of one memcpy of its 4 KB of pixels (%.1f ns):\n", base->second);
    for (const auto& [name, t] : times_) {
      if (name == base->first) continue;
      std::printf("  %-34s %10.1f ns  x%.0f\n", name.c_str(), t, t / base->second);
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
