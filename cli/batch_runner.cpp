#include "cli/batch_runner.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <thread>
#include <vector>

#include "cli/checked_output.h"
#include "cli/interrupt.h"
#include "cli/progress_line.h"
#include "cli/worker_pool.h"

namespace morvane::cli {

namespace {

constexpr int kPollMilliseconds = 100;

struct TTally {
  size_t Made = 0, FromCache = 0, NoThumbnail = 0, Skipped = 0, Failed = 0;
  bool CacheFailed = false;
  void Count(TOutcome outcome) {
    switch (outcome) {
      case TOutcome::Made: ++Made; break;
      case TOutcome::FromCache: ++FromCache; break;
      case TOutcome::NoThumbnail: ++NoThumbnail; break;
      case TOutcome::Skipped: ++Skipped; break;
      case TOutcome::Failed: ++Failed; break;
      case TOutcome::Noted: break;
      case TOutcome::CacheFailure: CacheFailed = true; break;
    }
  }
};

// Prints finished files strictly in input order, whatever order they finish in.
class TOrderedPrinter {
 public:
  TOrderedPrinter(const TInputList& inputs, const TBatchOptions& options, TProgressLine& progress)
      : inputs_(inputs), options_(options), progress_(progress), results_(inputs.Entries.size()) {
    if (options_.Json) stdout_.Write("[");
  }

  void Finish(size_t entry, TFileResult&& result) {
    results_[entry] = std::move(result);
    const size_t before = next_;
    while (next_ < results_.size() && results_[next_]) Print(next_++);
    if (next_ != before) stdout_.Flush();  // a reader sees each file as soon as it is in order
  }

  // Closes the JSON array (also after an interrupt: what was printed stays valid) and writes
  // out what is buffered; false when the output could not be written.
  bool Close() {
    if (options_.Json) stdout_.Write(printed_json_ ? "\n]\n" : "]\n");
    stdout_.Flush();
    return !stdout_.Failed();
  }

  const TTally& Tally() const { return tally_; }
  size_t Printed() const { return next_; }
  std::string WriteFailure() const { return stdout_.FailureMessage(); }
  bool WriteFailed() const { return stdout_.Failed(); }

 private:
  void Print(size_t entry) {
    TFileResult& result = *results_[entry];
    const bool repeated_cache_failure = result.Outcome == TOutcome::CacheFailure && tally_.CacheFailed;
    tally_.Count(result.Outcome);
    if (!result.Err.empty() && !repeated_cache_failure) {
      progress_.Erase();
      std::fputs(result.Err.c_str(), stderr);
      std::fflush(stderr);
    }
    if (!result.Out.empty()) {
      if (stdout_is_terminal_) progress_.Erase();
      if (options_.Json) {
        stdout_.Write(printed_json_ ? ",\n" : "\n");
        printed_json_ = true;
      } else if (inputs_.Several) {
        stdout_.Write("======== " + inputs_.Entries[entry].Path + "\n");
      }
      stdout_.Write(result.Out);
    }
    result = TFileResult{};  // printed: its text is not kept
  }

  const TInputList& inputs_;
  const TBatchOptions& options_;
  TProgressLine& progress_;
  std::vector<std::optional<TFileResult>> results_;
  size_t next_ = 0;
  TTally tally_;
  bool printed_json_ = false;
  TCheckedOutput stdout_{STDOUT_FILENO};
  bool stdout_is_terminal_ = isatty(STDOUT_FILENO) == 1;
};

TFileResult ResultOfListing(const TInput& input) {
  switch (input.Kind) {
    case TInput::Failure: return FailedFile(input.Path, input.Message);
    case TInput::Notice: return {TOutcome::Noted, "", "morvane: " + input.Path + ": " + input.Message + "\n"};
    case TInput::Skipped: return {TOutcome::Skipped, "", ""};
    case TInput::File: break;
  }
  return {};
}

// `files` counts every input but the notices; `work` the files to read, `done` those read.
void PrintSummary(const TTally& tally, size_t files, size_t work, size_t done, bool interrupted, double seconds) {
  std::string head = interrupted
                         ? "interrupted after " + std::to_string(done) + " of " + std::to_string(work) + " files"
                         : std::to_string(files) + (files == 1 ? " file" : " files");
  std::fprintf(stderr, "morvane: %s: %zu made, %zu from cache, %zu skipped, %zu failed", head.c_str(), tally.Made,
               tally.FromCache, tally.Skipped, tally.Failed);
  if (tally.NoThumbnail > 0) std::fprintf(stderr, ", %zu without a thumbnail", tally.NoThumbnail);
  std::fprintf(stderr, " in %.2f s\n", seconds);
}

}  // namespace

int DefaultWorkerCount() {
  const long online = sysconf(_SC_NPROCESSORS_ONLN);
  return online > 0 ? static_cast<int>(online) : 1;
}

int RunBatch(const TInputList& inputs, const TBatchOptions& options, const TFileWork& work) {
  const auto start = std::chrono::steady_clock::now();
  std::vector<size_t> file_entries;  // the positions of the files to work on
  size_t counted = 0;                // the files of the summary: not the notices
  for (size_t i = 0; i < inputs.Entries.size(); ++i) {
    if (inputs.Entries[i].Kind == TInput::File) file_entries.push_back(i);
    if (inputs.Entries[i].Kind != TInput::Notice) ++counted;
  }

  TProgressLine progress(file_entries.size(), inputs.Several && file_entries.size() > 1);
  TOrderedPrinter printer(inputs, options, progress);
  // The listing's own failures, skips and notices are finished before any work; each prints
  // once the files before it have.
  for (size_t i = 0; i < inputs.Entries.size(); ++i)
    if (inputs.Entries[i].Kind != TInput::File) printer.Finish(i, ResultOfListing(inputs.Entries[i]));

  const int processes =
      options.Workers > 1 && file_entries.size() > 1
          ? static_cast<int>(std::min<size_t>(static_cast<size_t>(options.Workers), file_entries.size()))
          : 0;
  size_t done = 0;
  size_t printed_files = 0;  // of file_entries
  {
    TWorkerPool pool(file_entries.size(), processes,
                     [&](size_t index) { return work(inputs.Entries[file_entries[index]]); });
    const auto deliver = [&](size_t index, TFileResult&& result) {
      const bool stops_the_run = result.Outcome == TOutcome::CacheFailure;
      printer.Finish(file_entries[index], std::move(result));
      while (printed_files < file_entries.size() && file_entries[printed_files] < printer.Printed()) ++printed_files;
      pool.Printed(printed_files);
      ++done;
      progress.Update(done);
      if (stops_the_run || printer.WriteFailed()) pool.Stop();
    };
    while (pool.Collect(kPollMilliseconds, deliver)) progress.Update(done);
    for (size_t index : pool.Lost())
      deliver(index, FailedFile(inputs.Entries[file_entries[index]].Path, "its worker stopped unexpectedly"));
  }
  progress.Erase();

  const bool written = printer.Close();
  if (!written) std::fprintf(stderr, "morvane: %s\n", printer.WriteFailure().c_str());
  const TTally& tally = printer.Tally();
  const bool interrupted = Interrupted();
  if (inputs.Several || interrupted) {
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    PrintSummary(tally, counted, file_entries.size(), done, interrupted, seconds);
  }
  if (interrupted) return kInterruptedExitCode;
  if (tally.CacheFailed) return 2;
  return written && tally.Failed == 0 ? 0 : 1;
}

}  // namespace morvane::cli
