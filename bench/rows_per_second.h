#pragma once
// The figure the benchmarks report: rows handled per second.

#include <benchmark/benchmark.h>

namespace bench {

// Sets the counter "rows/s" for `rowsPerIteration` rows handled in each of
// the state's iterations.
inline void ReportRowsPerSecond(benchmark::State& state, double rowsPerIteration) {
  state.counters["rows/s"] =
      benchmark::Counter(rowsPerIteration * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace bench
