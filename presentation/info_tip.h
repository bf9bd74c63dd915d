// The summary of a file (camera, date, focal length, aperture, exposure, ISO, flash) and the
// info tip the shell shows for it: the summary, the lens, the file type and the file size.
#pragma once

#include <cstdint>
#include <string>

namespace morvane {

class TStream;
class TTif;

// Make and model, then each summary item present, joined by `separator`; with labels
// ("Date: ", "ISO: ", ...) or with the short prefixes ("ISO-", "Flash-").
std::string GetSummary(TTif& tif, const std::string& separator, bool with_labels);

// Appends the metadata lines of the info tip to `text`: the summary and the lens, or "no exif
// available". Reads only the tags the tip shows, from the file `tif` names or from `stream` when
// one is given (FileName then only names the container). A failure of the formatting throws,
// leaving in `text` what was appended before it.
void AppendInfoTipMetadata(TTif& tif, TStream* stream, std::string& text);

// The info-tip text of the file at `path`. Takes the request lock for its whole run and never
// throws: a failure ends the text where it happened.
std::string ComposeInfoTip(const std::string& path);

// The size of a file, 0 when it does not exist. The whole size: files of 4 GiB and more show
// their real size.
uint64_t FileSizeOf(const std::string& file_name);

// The size as "#,##0.#" in bytes (no unit), KB, MB or GB, with the regional separators;
// unit_index 0 chooses the unit. Ties of the one decimal round away from zero.
std::string FormatFileSize(int unit_index, bool show_unit, int64_t size);

}  // namespace morvane
