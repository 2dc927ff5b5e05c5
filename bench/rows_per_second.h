#pragma once
// The figure the benchmarks report: rows handled per second.

#include <benchmark/benchmark.h>

namespace bench {

// Sets the counter `name` ("rows/s" unless a benchmark's published figures
// go by another) for `rowsPerIteration` rows handled in each of the state's
// iterations.
inline void ReportRowsPerSecond(benchmark::State& state, double rowsPerIteration, const char* name = "rows/s") {
  state.counters[name] =
      benchmark::Counter(rowsPerIteration * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace bench
