// A command's run over its inputs: the per-file work on a pool of workers, its output printed
// in input order (a header line per file when there are several, or one JSON array), the
// progress line, the summary, Ctrl-C, and the exit code a script can trust:
//   0 every input succeeded, 1 at least one failed (or the output could not be written),
//   2 the thumbnail cache cannot be used, 130 interrupted.
#pragma once

#include <functional>

#include "cli/file_result.h"
#include "cli/input_list.h"

namespace morvane::cli {

struct TBatchOptions {
  int Workers = 1;
  bool Json = false;  // each file's output is one JSON value, the run's output one array
};

using TFileWork = std::function<TFileResult(const TInput& input)>;

int RunBatch(const TInputList& inputs, const TBatchOptions& options, const TFileWork& work);

// The number of workers when -j is not given: the processors this process may use.
int DefaultWorkerCount();

}  // namespace morvane::cli
