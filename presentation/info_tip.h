// The summary of a file (camera, date, focal length, aperture, exposure, ISO, flash) and the
// info tip the shell shows for it: the summary, the lens, the file type and the file size.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace morvane {

class TTif;

// Make and model, then each summary item present, joined by `separator`; with labels
// ("Date: ", "ISO: ", ...) or with the short prefixes ("ISO-", "Flash-").
std::string GetSummary(TTif& tif, const std::string& separator, bool with_labels);

// The tags the info tip reads: a reader opened for a tip needs to load only these.
std::span<const int> InfoTipTags();

// The info-tip text of an opened file: its summary and lens (or "no exif available"), then
// the file type `type` and the size `file_size`. Never throws: a failure ends the text where
// it happened.
std::string InfoTipText(TTif& tif, const std::string& type, uint64_t file_size);

// The size as "#,##0.#" in bytes (no unit), KB, MB or GB, with the regional separators;
// unit_index 0 chooses the unit. Ties of the one decimal round away from zero.
std::string FormatFileSize(int unit_index, bool show_unit, int64_t size);

}  // namespace morvane
