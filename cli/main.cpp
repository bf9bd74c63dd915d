// The command-line program: thumbnails, info tips and metadata listings of files, folders and
// whole libraries. Parses the command line (each command with its own --help; a wrong call is
// one line and a hint, exit code 2) and hands the command its arguments.
#include <CLI/CLI.hpp>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/batch_runner.h"
#include "cli/commands.h"
#include "cli/interrupt.h"
#include "platform/text.h"

namespace morvane::cli {

namespace {

constexpr int kMaxSize = 4096;
constexpr int kMaxWorkers = 256;

struct TCommandLine {
  std::string Name;
  std::string Usage;
};

const TCommandLine kCommandLines[] = {
    {"info", "morvane info [-r] [-j N] [--json] FILE|FOLDER..."},
    {"tags", "morvane tags [-r] [-j N] [--json] FILE|FOLDER..."},
    {"dump", "morvane dump [-r] [-j N] FILE|FOLDER..."},
    {"thumb", "morvane thumb [-r] [-j N] [-o OUT.png|FOLDER] [--size N | --width W --height H] FILE|FOLDER..."},
    {"cache", "morvane cache stats|prune"},
    {"thumbnailer", "morvane thumbnailer --size N INPUT OUTPUT.png"},
    {"prefill", "morvane prefill [-r] [-j N] [--size normal|large|x-large|xx-large] FILE|FOLDER..."},
};

constexpr const char* kExitCodes =
    "Exit codes: 0 every input succeeded, 1 at least one failed (missing, unreadable, a folder\n"
    "without -r, an unsupported file, output that could not be written), 2 a wrong call or a\n"
    "thumbnail cache that cannot be used, 130 interrupted.";

// The text of a number option; false when it is not a whole number in [1, max].
bool ParseNumber(const std::string& text, int max, int& number) {
  int64_t value = 0;
  if (!TryStrToInt64(text, value) || value < 1 || value > max) return false;
  number = static_cast<int>(value);
  return true;
}

// The options every file command takes.
struct TBatchOptionTexts {
  std::string Workers;
};

CLI::App* AddFileCommand(CLI::App& app, const char* name, const char* summary, TBatchArguments& arguments,
                         TBatchOptionTexts& texts) {
  CLI::App* command = app.add_subcommand(name, summary);
  command->add_option("inputs", arguments.Inputs, "files and folders")->type_name("FILE|FOLDER");
  command->add_flag("-r,--recursive", arguments.Recursive, "walk folders, taking every supported file in them");
  command->add_option("-j,--jobs", texts.Workers, "worker processes (default: the number of processors)")
      ->type_name("N");
  return command;
}

// Turns the option texts into numbers; a usage error (exit code 2) when one is wrong.
int CheckNumbers(const std::string& command, const TBatchOptionTexts& texts, TBatchArguments& arguments) {
  arguments.Workers = DefaultWorkerCount();
  if (!texts.Workers.empty() && !ParseNumber(texts.Workers, kMaxWorkers, arguments.Workers))
    return UsageError(command, "-j needs a number from 1 to " + std::to_string(kMaxWorkers));
  return 0;
}

int CheckSize(const std::string& option, const std::string& text, int& size) {
  if (!text.empty() && !ParseNumber(text, kMaxSize, size))
    return UsageError("thumb", option + " needs a number from 1 to " + std::to_string(kMaxSize));
  return 0;
}

// The one-line form of a parse failure.
std::string ParseFailure(const CLI::ParseError& error, const std::string& command) {
  const bool missing = dynamic_cast<const CLI::RequiredError*>(&error) != nullptr ||
                       dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr;
  if (missing && command == "thumbnailer")
    return "thumbnailer needs --size N, an INPUT and an OUTPUT";
  if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr)
    return command.empty() ? "no command given" : command + " needs at least one FILE or FOLDER";
  std::string message = error.what();
  // "--size: 1 required N missing"
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr && message.find(':') != std::string::npos)
    return message.substr(0, message.find(':')) + " needs a value";
  for (char& c : message)
    if (c == '\n') c = ' ';
  return message;
}

int Run(int argc, char** argv) {
  CLI::App app("Thumbnails and info tips of camera raw files and layered images.", "morvane");
  app.set_version_flag("--version", std::string("morvane ") + MORVANE_VERSION);
  app.require_subcommand(1);
  app.footer(kExitCodes);

  TBatchArguments info, tags, dump;
  TThumbArguments thumb;
  TBatchOptionTexts info_texts, tags_texts, dump_texts, thumb_texts;
  CLI::App* info_command = AddFileCommand(
      app, "info", "the info tip of a file: camera, date, exposure, lens, type and size", info, info_texts);
  info_command->add_flag("--json", info.Json, "one JSON array: per file its path, each tip field and the whole text");
  CLI::App* tags_command = AddFileCommand(
      app, "tags", "the tag listing of a file, every value as a photographer reads it", tags, tags_texts);
  tags_command->add_flag("--json", tags.Json, "one JSON array: per file its path and every tag with its value");
  AddFileCommand(app, "dump", "every directory and tag of a file with its raw value", dump, dump_texts);
  CLI::App* thumb_command = AddFileCommand(
      app, "thumb", "the thumbnail of a file (PNG or JPEG), or of many files into the cache", thumb, thumb_texts);
  std::string size_text, width_text, height_text;
  thumb_command->add_option("-o,--output", thumb.Output, "the image of one file, or a folder for one PNG per file")
      ->type_name("OUT.png|FOLDER");
  thumb_command->add_option("--size", size_text, "the thumbnail's side in pixels (default 256)")->type_name("N");
  thumb_command->add_option("--width", width_text, "the thumbnail's width, with --height")->type_name("W");
  thumb_command->add_option("--height", height_text, "the thumbnail's height, with --width")->type_name("H");
  std::string cache_action;
  CLI::App* cache_command =
      app.add_subcommand("cache", "the thumbnail cache: its rows, bytes and stale rows; prune deletes the stale rows");
  cache_command->add_option("action", cache_action, "stats or prune")->type_name("stats|prune")->required();
  TPrefillArguments prefill;
  TBatchOptionTexts prefill_texts;
  CLI::App* prefill_command = AddFileCommand(
      app, "prefill", "the desktop's thumbnail cache filled ahead of the file manager", prefill, prefill_texts);
  prefill_command->add_option("--size", prefill.Size, "the cache's size: normal (128), large (256), x-large, xx-large")
      ->type_name("NAME");
  std::string thumbnailer_size;
  std::vector<std::string> thumbnailer_files;
  CLI::App* thumbnailer_command = app.add_subcommand(
      "thumbnailer", "the desktop's thumbnailer: the picture of INPUT as a PNG whose longer side is at most N");
  thumbnailer_command->add_option("--size", thumbnailer_size, "the longest side in pixels")->type_name("N")->required();
  thumbnailer_command->add_option("files", thumbnailer_files, "the file and the PNG to write")
      ->type_name("INPUT OUTPUT")
      ->expected(2)
      ->required();
  for (CLI::App* command : app.get_subcommands({})) command->footer(kExitCodes);

  const auto known = [&](const char* name) {
    for (const CLI::App* command : app.get_subcommands({}))
      if (command->get_name() == name) return true;
    return false;
  };
  if (argc >= 2 && argv[1][0] != '-' && !known(argv[1]))
    return UsageError("", std::string("unknown command '") + argv[1] + "'");
  if (argc >= 2 && argv[1][0] == '-' && std::strcmp(argv[1], "-h") != 0 && std::strcmp(argv[1], "--help") != 0 &&
      std::strcmp(argv[1], "--version") != 0)
    return UsageError("", std::string("unknown option '") + argv[1] + "' before the command");
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    const auto chosen = app.get_subcommands();
    const std::string command = chosen.empty() ? "" : chosen.front()->get_name();
    return UsageError(command, ParseFailure(e, command));
  }

  InstallInterruptHandler();
  std::signal(SIGPIPE, SIG_IGN);  // a closed pipe is a write error, reported once
  const std::string command = app.get_subcommands().front()->get_name();
  if (command == "cache") {
    if (cache_action != "stats" && cache_action != "prune") return UsageError(command, "cache takes stats or prune");
    return RunCache(cache_action);
  }
  if (command == "thumbnailer") {
    int size = 0;
    if (!ParseNumber(thumbnailer_size, kMaxSize, size))
      return UsageError(command, "--size needs a number from 1 to " + std::to_string(kMaxSize));
    return RunThumbnailer(size, thumbnailer_files[0], thumbnailer_files[1]);
  }
  TBatchArguments* chosen = command == "info"      ? &info
                            : command == "tags"    ? &tags
                            : command == "dump"    ? &dump
                            : command == "prefill" ? static_cast<TBatchArguments*>(&prefill)
                                                   : &thumb;
  const TBatchOptionTexts& texts = command == "info"      ? info_texts
                                   : command == "tags"    ? tags_texts
                                   : command == "dump"    ? dump_texts
                                   : command == "prefill" ? prefill_texts
                                                          : thumb_texts;
  if (chosen->Inputs.empty()) return UsageError(command, command + " needs at least one FILE or FOLDER");
  if (const int code = CheckNumbers(command, texts, *chosen)) return code;
  if (command == "info") return RunInfo(info);
  if (command == "tags") return RunTags(tags);
  if (command == "dump") return RunDump(dump);
  if (command == "prefill") return RunPrefill(prefill);
  if (const int code = CheckSize("--size", size_text, thumb.Size)) return code;
  if (const int code = CheckSize("--width", width_text, thumb.Width)) return code;
  if (const int code = CheckSize("--height", height_text, thumb.Height)) return code;
  return RunThumb(thumb);
}

}  // namespace

int UsageError(const std::string& command, const std::string& message) {
  std::string usage = "morvane info|tags|dump|thumb|prefill [OPTIONS] FILE|FOLDER...";
  for (const TCommandLine& line : kCommandLines)
    if (line.Name == command) usage = line.Usage;
  const std::string help = command.empty() ? "morvane --help" : "morvane " + command + " --help";
  std::fprintf(stderr, "morvane: %s\nusage: %s   (more: %s)\n", message.c_str(), usage.c_str(), help.c_str());
  return 2;
}

}  // namespace morvane::cli

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  try {
    return morvane::cli::Run(argc, argv);
  } catch (const std::exception& e) {  // the system refused what a run needs (memory, a pipe)
    std::fprintf(stderr, "morvane: %s\n", e.what());
    return 1;
  }
}
