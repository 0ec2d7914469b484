#pragma once
// Splitting row loops over the machine's cores.
//
// Each band of rows is independent and written by one thread only, so the
// result is bit-identical whatever the number of threads. Small jobs stay on
// the calling thread: waking a worker costs more than they would save.

#include <functional>

// Number of threads the heavy operations use; 0 (the default) means one per
// core. Used by benchmarks and tests to compare with a single thread.
void SetWorkerCount(int count);
int GetWorkerCount();

// Calls body(first, last) on consecutive bands covering [begin, end), in
// parallel when the range is worth it (at least minRowsPerBand rows a band).
void ParallelRows(int begin, int end, int minRowsPerBand,
                  const std::function<void(int, int)>& body);
