// `morvane tags FILE...`: the tag listing of a file as a photographer reads it, one
// "label=value" line per tag, the settings of packed maker-note values one per line, groups
// closed by "="; with --json one object per file: its path and every tag name with its value.
#include <exception>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/batch_runner.h"
#include "cli/commands.h"
#include "cli/file_access.h"
#include "cli/json_text.h"
#include "metadata/tif_reader.h"
#include "presentation/tag_list.h"

namespace morvane::cli {

namespace {

// The listing's lines as JSON members. The same name in several groups (the main image's and
// the preview's width) keeps its first value under the name and each other value under
// "NAME (2)", "NAME (3)", ...; a repeat of the same value is not listed twice.
nlohmann::ordered_json TagObject(const std::vector<std::string>& lines) {
  nlohmann::ordered_json tags = nlohmann::ordered_json::object();
  for (const std::string& line : lines) {
    const size_t equals = line.find('=');
    if (equals == 0 || equals == std::string::npos) continue;  // a group's end
    const std::string name = ValidUtf8(OutputText(line.substr(0, equals)));
    const std::string value = ValidUtf8(OutputText(line.substr(equals + 1)));
    std::string key = name;
    for (int n = 2; tags.contains(key); ++n) {
      if (tags[key] == value) break;
      key = name + " (" + std::to_string(n) + ")";
    }
    tags[key] = value;
  }
  return tags;
}

}  // namespace

TFileResult TagsOfFile(const TInput& input, bool json) {
  const std::string& path = input.Path;
  if (const std::string reason = UnreadableReason(path); !reason.empty()) return FailedFile(path, reason);

  TTif tif;
  std::string failure = OpenMetadata(tif, path);  // what was read before it is still listed
  std::vector<std::string> lines;
  try {
    GetTagList(tif, lines, ikAll);
  } catch (const std::exception& e) {
    if (failure.empty()) failure = e.what();  // the lines listed before it stay
  }
  if (lines.empty() && !IsSupportedType(path, TTypeUse::Metadata)) return UnsupportedType(path);

  TFileResult result;
  if (json) {
    nlohmann::ordered_json object;
    object["path"] = ValidUtf8(path);
    object["tags"] = TagObject(lines);
    if (!failure.empty()) object["error"] = ValidUtf8(OutputText(failure));
    result.Out = object.dump(2);
  } else {
    for (const std::string& line : lines) result.Out += OutputText(line) + "\n";
  }
  if (!failure.empty()) result.Err = "morvane: " + path + ": " + OutputText(failure) + "\n";
  return result;
}

int RunTags(const TBatchArguments& arguments) {
  return RunBatch(ExpandInputs(arguments.Inputs, arguments.Recursive, TTypeUse::Metadata),
                  {arguments.Workers, arguments.Json},
                  [&](const TInput& input) { return TagsOfFile(input, arguments.Json); });
}

}  // namespace morvane::cli
