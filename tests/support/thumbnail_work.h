// The work a thumbnail of a file of `file_size` bytes may take, by the figures its budgets
// counted: the metadata walk within its budget, each byte decoded at most once, and a scan whose
// passes (two for a NEF) each read the file once, with a few windows more per candidate and at
// most the file again per decode attempt (the search for a JPEG inside the one decoded).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "thumbnail/thumbnail_maker.h"

namespace morvane::testing {

inline void ExpectThumbnailWorkWithin(const TThumbnailWork& work, int64_t file_size) {
  EXPECT_LE(work.Metadata.Directories, kMaxDirectoriesPerWalk);
  EXPECT_LE(work.Metadata.ValueBytes, TWalkBudget(file_size).value_bytes);
  EXPECT_LE(work.Decode.BytesCopied, file_size);
  EXPECT_LE(work.Scan.Candidates, file_size / 2);
  const int64_t attempts = TScanBudget().DecodeAttempts - work.Scan.DecodeAttempts;
  EXPECT_LE(attempts, TScanBudget().DecodeAttempts);
  EXPECT_LE(work.Scan.BytesSearched, 2 * (file_size + kFindPatternWindow) +
                                         work.Scan.Candidates * 3 * kFindPatternWindow +
                                         attempts * file_size);
}

}  // namespace morvane::testing
