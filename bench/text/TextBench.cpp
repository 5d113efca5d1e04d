// FindText, SplitText, ReplaceText and FindBytes on 1 MiB and 16 MiB of mostly ASCII text with
// some GBK characters, each beside the same work done with std::string::find and with memmem.
// Prints Google Benchmark's own lines, then a table of the ratios (ours / baseline).
#include <benchmark/benchmark.h>
#include <string.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "text/Text.h"

namespace {

using vd::Text;

const Text kGbkWord = "\xB0\xD9\xB6\xC8";                     // 百度
const Text kFindNeedle = "\xB0\xD9\xB6\xC8\xD2\xBB\xCF\xC2";  // 百度一下, only near the end
const Text kMarker = "\xE7\x99\xBE\xE5\xBA\xA6\xE4\xB8\x80\xE4\xB8\x8B";  // the same in UTF-8

// Header-like lines: lower-case words, a GBK word on one line in eight, a Set-Cookie line in
// sixty-four; the sought texts sit in the last few hundred bytes.
Text MakeInput(size_t size) {
  std::mt19937 rng(42);
  std::uniform_int_distribution<int> letter('a', 'z'), wordLen(2, 9), wordsPerLine(6, 12);
  Text t;
  t.reserve(size + 256);
  for (size_t line = 0; t.size() + 200 < size; ++line) {
    if (line % 64 == 0) t += "Set-Cookie: k=v; path=/";
    for (int w = wordsPerLine(rng); w > 0; --w) {
      for (int n = wordLen(rng); n > 0; --n) t += static_cast<char>(letter(rng));
      t += ' ';
    }
    if (line % 8 == 3) t += kGbkWord;
    t += "\r\n";
  }
  t += "<p>" + kFindNeedle + "</p><p>" + kMarker + "</p>\r\n";
  t.append(size - t.size(), 'z');
  return t;
}

const Text& Input(size_t size) {
  static std::map<size_t, Text> inputs;
  auto it = inputs.find(size);
  if (it == inputs.end()) it = inputs.emplace(size, MakeInput(size)).first;
  return it->second;
}

// The baselines: the same loop around either byte search, without character stepping.
size_t StdFind(const Text& t, const Text& s, size_t from) { return t.find(s, from); }
size_t MemFind(const Text& t, const Text& s, size_t from) {
  const void* p = memmem(t.data() + from, t.size() - from, s.data(), s.size());
  return p ? static_cast<const char*>(p) - t.data() : Text::npos;
}

template <size_t (*Find)(const Text&, const Text&, size_t)>
vd::TextList BaselineSplit(const Text& t, const Text& d) {
  vd::TextList out;
  size_t begin = 0;
  for (size_t p; (p = Find(t, d, begin)) != Text::npos; begin = p + d.size()) {
    out.emplace_back(t, begin, p - begin);
  }
  if (begin < t.size()) out.emplace_back(t, begin, Text::npos);
  return out;
}

template <size_t (*Find)(const Text&, const Text&, size_t)>
Text BaselineReplace(const Text& t, const Text& s, const Text& r) {
  Text out;
  out.reserve(t.size());
  size_t begin = 0;
  for (size_t p; (p = Find(t, s, begin)) != Text::npos; begin = p + s.size()) {
    out.append(t, begin, p - begin);
    out += r;
  }
  out.append(t, begin, Text::npos);
  return out;
}

enum class Impl { kOurs, kStdFind, kMemmem };
const char* const kImplNames[] = {"ours", "find", "memmem"};

void Run(benchmark::State& state, const std::string& op, Impl impl, size_t size) {
  const Text& t = Input(size);
  for (auto _ : state) {
    if (op == "FindText") {
      size_t r = impl == Impl::kOurs      ? static_cast<size_t>(vd::FindText(t, kFindNeedle))
                 : impl == Impl::kStdFind ? StdFind(t, kFindNeedle, 0)
                                          : MemFind(t, kFindNeedle, 0);
      benchmark::DoNotOptimize(r);
    } else if (op == "FindBytes") {
      size_t r = impl == Impl::kOurs      ? static_cast<size_t>(vd::FindBytes(t, kMarker))
                 : impl == Impl::kStdFind ? StdFind(t, kMarker, 0)
                                          : MemFind(t, kMarker, 0);
      benchmark::DoNotOptimize(r);
    } else if (op == "SplitText") {
      vd::TextList r = impl == Impl::kOurs      ? vd::SplitText(t, "\r\n")
                       : impl == Impl::kStdFind ? BaselineSplit<StdFind>(t, "\r\n")
                                                : BaselineSplit<MemFind>(t, "\r\n");
      benchmark::DoNotOptimize(r.data());
    } else {
      Text r = impl == Impl::kOurs      ? vd::ReplaceText(t, "Set-Cookie", "set-cookie", true)
               : impl == Impl::kStdFind ? BaselineReplace<StdFind>(t, "Set-Cookie", "set-cookie")
                                        : BaselineReplace<MemFind>(t, "Set-Cookie", "set-cookie");
      benchmark::DoNotOptimize(r.data());
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

// Keeps each run's CPU time per iteration for the ratio table (the machine is shared).
class TableReporter : public benchmark::ConsoleReporter {
 public:
  TableReporter() : ConsoleReporter(OO_None) {}  // plain text: the output goes into reports
  std::map<std::string, double> ns;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& r : runs) ns[r.benchmark_name()] = r.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  const char* const ops[] = {"FindText", "SplitText", "ReplaceText", "FindBytes"};
  const size_t sizes[] = {1u << 20, 16u << 20};
  for (const char* op : ops) {
    for (size_t size : sizes) {
      for (Impl impl : {Impl::kOurs, Impl::kStdFind, Impl::kMemmem}) {
        const std::string name = std::string(op) + "/" + std::to_string(size >> 20) + "MiB/" +
                                 kImplNames[static_cast<int>(impl)];
        benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& s) {
          Run(s, op, impl, size);
        })->Unit(benchmark::kMicrosecond);
      }
    }
  }
  // The comparison only means something if both sides do the same work on this input.
  for (size_t size : sizes) {
    const Text& t = Input(size);
    const bool same =
        static_cast<size_t>(vd::FindText(t, kFindNeedle)) - 1 == t.find(kFindNeedle) &&
        static_cast<size_t>(vd::FindBytes(t, kMarker)) - 1 == t.find(kMarker) &&
        vd::SplitText(t, "\r\n") == BaselineSplit<MemFind>(t, "\r\n") &&
        vd::ReplaceText(t, "Set-Cookie", "set-cookie", true) ==
            BaselineReplace<StdFind>(t, "Set-Cookie", "set-cookie");
    std::printf("%zu MiB input: results %s the baselines'\n", size >> 20,
                same ? "equal" : "DIFFER FROM");
    if (!same) return 1;
  }
  benchmark::Initialize(&argc, argv);
  TableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\n%-12s %6s %12s %12s %12s %10s %10s\n", "op", "size", "ours cpu", "find cpu",
              "memmem cpu", "ours/find", "ours/mmem");
  for (const char* op : ops) {
    for (size_t size : sizes) {
      const std::string base = std::string(op) + "/" + std::to_string(size >> 20) + "MiB/";
      const auto ours = reporter.ns.find(base + "ours");
      const auto find = reporter.ns.find(base + "find");
      const auto mem = reporter.ns.find(base + "memmem");
      if (ours == reporter.ns.end() || find == reporter.ns.end() || mem == reporter.ns.end()) {
        continue;  // filtered out
      }
      std::printf("%-12s %3zuMiB %12.1f %12.1f %12.1f %10.2f %10.2f\n", op, size >> 20,
                  ours->second, find->second, mem->second, ours->second / find->second,
                  ours->second / mem->second);
    }
  }
  benchmark::Shutdown();
  return 0;
}
