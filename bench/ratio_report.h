// Console output of the benchmarks followed by one comparable line per operation:
//   ratio OPERATION: ours X ms, reference Y ms, Z.Zx
// for every pair of benchmarks named BM_OPERATION and BM_OPERATIONReference.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.iterations == 0) continue;
      double ms = run.real_accumulated_time * 1000.0 / static_cast<double>(run.iterations);
      std::string name = run.benchmark_name();
      milliseconds_[name.substr(0, name.find('/'))] = ms;  // without "/iterations:N" and the like
    }
  }

  void PrintRatios() const {
    const std::string suffix = "Reference";
    for (const auto& [name, ours] : milliseconds_) {
      auto reference = milliseconds_.find(name + suffix);
      if (reference == milliseconds_.end()) continue;
      std::string operation = name.rfind("BM_", 0) == 0 ? name.substr(3) : name;
      std::printf("ratio %s: ours %.1f ms, reference %.1f ms, %.1fx\n", operation.c_str(), ours,
                  reference->second, ours > 0 ? reference->second / ours : 0.0);
    }
  }

 private:
  std::map<std::string, double> milliseconds_;
};
