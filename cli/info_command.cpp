// `morvane info FILE...`: the info tip the shell would show for the file, in UTF-8, one line
// per tip line; with --json one object per file: its path, each tip field by name and the
// whole text.
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "cli/batch_runner.h"
#include "cli/commands.h"
#include "cli/file_access.h"
#include "cli/json_text.h"
#include "platform/code_page.h"
#include "shellext/info_tip_request.h"

namespace morvane::cli {

namespace {

constexpr std::string_view kNoExif = "no exif available";

// The labels the tip's lines start with, and so the JSON field names. The first line of a tip
// with metadata carries no label: it is the camera ("Make-Model").
constexpr std::string_view kTipLabels[] = {"Date",  "Focal Length",     "F-Number", "Exposure Time", "ISO",
                                           "Flash", "Lens information", "Type",     "Size"};
constexpr std::string_view kCameraField = "Camera";

// The tip with "\r\n" line breaks made "\n".
std::string TipLines(const std::string& tip) {
  std::string lines;
  lines.reserve(tip.size());
  for (size_t i = 0; i < tip.size(); ++i) {
    if (tip[i] == '\r' && i + 1 < tip.size() && tip[i + 1] == '\n') continue;
    lines += tip[i];
  }
  return lines;
}

void AddField(nlohmann::ordered_json& object, std::string_view line, bool first) {
  for (std::string_view label : kTipLabels) {
    if (line.size() > label.size() + 1 && line.substr(0, label.size()) == label &&
        line.substr(label.size(), 2) == ": ") {
      object[std::string(label)] = ValidUtf8(AnsiToUtf8(line.substr(label.size() + 2)));
      return;
    }
  }
  if (first && !line.empty() && line != kNoExif) object[std::string(kCameraField)] = ValidUtf8(AnsiToUtf8(line));
}

// The tip's lines for a terminal: every control character came from the file and is written as
// \xNN, so that metadata cannot send sequences to the terminal.
std::string TerminalLines(const std::string& lines) {
  std::string out;
  size_t start = 0;
  while (true) {
    const size_t end = lines.find('\n', start);
    out += OutputText(lines.substr(start, end == std::string::npos ? end : end - start)) + "\n";
    if (end == std::string::npos) return out;
    start = end + 1;
  }
}

std::string TipObject(const std::string& path, const std::string& lines) {
  nlohmann::ordered_json object;
  object["path"] = ValidUtf8(path);
  size_t start = 0;
  for (bool first = true; start <= lines.size(); first = false) {
    size_t end = lines.find('\n', start);
    if (end == std::string::npos) end = lines.size();
    AddField(object, std::string_view(lines).substr(start, end - start), first);
    start = end + 1;
  }
  object["text"] = ValidUtf8(AnsiToUtf8(lines));
  return object.dump(2);
}

}  // namespace

TFileResult InfoOfFile(const TInput& input, bool json) {
  const std::string& path = input.Path;
  if (const std::string reason = UnreadableReason(path); !reason.empty()) return FailedFile(path, reason);
  const std::string lines = TipLines(ComposeInfoTip(path));
  if (std::string_view(lines).substr(0, kNoExif.size()) == kNoExif && !IsSupportedType(path, TTypeUse::InfoTip))
    return UnsupportedType(path);
  TFileResult result;
  result.Out = json ? TipObject(path, lines) : TerminalLines(lines);
  return result;
}

int RunInfo(const TBatchArguments& arguments) {
  return RunBatch(ExpandInputs(arguments.Inputs, arguments.Recursive, TTypeUse::InfoTip),
                  {arguments.Workers, arguments.Json},
                  [&](const TInput& input) { return InfoOfFile(input, arguments.Json); });
}

}  // namespace morvane::cli
