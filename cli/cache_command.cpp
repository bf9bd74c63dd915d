// `morvane cache stats` and `morvane cache prune`: the per-user thumbnail cache as a whole. Stats
// counts its rows and bytes and the rows whose file is gone or has changed; prune deletes those
// rows and gives the space back. Both are safe while other processes use the cache.
#include <cstdio>
#include <string>

#include "cache/thumb_cache.h"
#include "cli/commands.h"

namespace morvane::cli {

int RunCache(const std::string& action) {
  try {
    TThumbCache cache(TThumbCache::DefaultFolder());
    if (action == "prune") {
      const int64_t deleted = cache.Prune();
      std::printf("deleted %lld rows\n", static_cast<long long>(deleted));
    }
    const TThumbCache::TStats stats = cache.Stats();
    std::printf("database %s\nrows %lld\nthumbnail bytes %lld\ndatabase bytes %lld\nstale rows %lld\n",
                cache.DatabaseFileName().c_str(), static_cast<long long>(stats.Rows),
                static_cast<long long>(stats.ThumbBytes), static_cast<long long>(stats.DatabaseBytes),
                static_cast<long long>(stats.StaleRows));
  } catch (const ECacheError& e) {
    std::fprintf(stderr, "morvane: %s\n", e.what());
    return 2;
  }
  return 0;
}

}  // namespace morvane::cli
