// The registry effect of the library's self-registration, key by key and value by value,
// compared with what every row of the handler table must leave: register, register again,
// unregister; another program's handlers and keys; a failure that stops the walk.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "platform/text.h"
#include "shellext/explorer_handlers.h"
#include "shellext/shell_library.h"

namespace morvane {
namespace {

using testing::TShellLibrary;

constexpr const char* kClasses = "HKEY_CLASSES_ROOT";
constexpr const char* kApproved =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
constexpr const char* kThumbnailCategory = "{BB2E617C-0920-11d1-9A0B-00C04FC2D6C1}";
constexpr const char* kInfoTipCategory = "{00021500-0000-0000-C000-000000000046}";
constexpr const char* kProviderCategory = "{E357FCCD-A995-4576-B01F-234630154E96}";
constexpr const char* kPropertyHandlers =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\PropertySystem\\PropertyHandlers";
constexpr const char* kSystemAssociations = "HKEY_CLASSES_ROOT\\SystemFileAssociations";
constexpr const char* kForeignThumbnailer = "{F0F0F0F0-0000-1111-2222-333333333333}";
constexpr const char* kForeignTipHandler = "{E0E0E0E0-4444-5555-6666-777777777777}";

std::string Z(const std::string& text) { return text + std::string(1, '\0'); }

std::string Category(const THandlerRow& row) {
  return row.Kind == hkExtractImage ? kThumbnailCategory : kInfoTipCategory;
}

// A registry as a set of lines, one per key and one per value, so that two registries compare
// entry by entry and a difference names the entries.
class TRegistryImage {
 public:
  TRegistryImage() {
    for (const char* root : {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"}) Key(root);
  }
  explicit TRegistryImage(const std::vector<TRegistryEntry>& entries) {
    for (const TRegistryEntry& e : entries) e.IsValue ? Value(e.Key, e.Name, e.Data, e.Type) : Key(e.Key);
  }

  // The key with all its missing parents.
  TRegistryImage& Key(const std::string& path) {
    for (size_t cut = path.find('\\'); cut != std::string::npos; cut = path.find('\\', cut + 1))
      lines_.insert("key " + path.substr(0, cut));
    lines_.insert("key " + path);
    return *this;
  }
  TRegistryImage& Value(const std::string& key, const std::string& name, const std::string& data,
                        DWORD type = REG_SZ) {
    Key(key);
    lines_.insert("value " + key + " [" + name + "] type " + std::to_string(type) + " = " + Printable(data));
    return *this;
  }
  // Removes a key with its subkeys and values.
  TRegistryImage& Remove(const std::string& path) {
    for (auto it = lines_.begin(); it != lines_.end();)
      it = Below(*it, path) ? lines_.erase(it) : std::next(it);
    return *this;
  }

  // Removes one value of a key.
  TRegistryImage& RemoveValue(const std::string& key, const std::string& name) {
    const std::string prefix = "value " + key + " [" + name + "] ";
    for (auto it = lines_.begin(); it != lines_.end();) it = it->rfind(prefix, 0) == 0 ? lines_.erase(it) : std::next(it);
    return *this;
  }
  TRegistryImage& Add(const TRegistryImage& other) {
    lines_.insert(other.lines_.begin(), other.lines_.end());
    return *this;
  }

  // The lines of `this` missing in `other`.
  std::vector<std::string> Missing(const TRegistryImage& other) const {
    std::vector<std::string> missing;
    std::set_difference(lines_.begin(), lines_.end(), other.lines_.begin(), other.lines_.end(),
                        std::back_inserter(missing));
    return missing;
  }

 private:
  static bool Below(const std::string& line, const std::string& path) {
    const size_t start = line.find(' ') + 1;
    const std::string rest = line.substr(start);
    return rest.rfind(path, 0) == 0 && (rest.size() == path.size() || rest[path.size()] == '\\' ||
                                        rest[path.size()] == ' ');
  }
  static std::string Printable(const std::string& data) {
    std::string out;
    for (char c : data) out += c == '\0' ? std::string("\\0") : std::string(1, c);
    return out;
  }

  std::set<std::string> lines_;
};

// The start state written as another program would leave it, also kept as an image.
struct TStart {
  TRegistryImage Image;
  std::vector<TRegistryEntry> Entries;

  TStart& Key(const std::string& path) {
    Image.Key(path);
    Entries.push_back(TRegistryEntry{path, false, "", REG_NONE, "", false});
    return *this;
  }
  TStart& Value(const std::string& key, const std::string& name, const std::string& data) {
    Key(key);
    Image.Value(key, name, Z(data));
    Entries.push_back(TRegistryEntry{key, true, name, REG_SZ, Z(data), false});
    return *this;
  }
};

class ShellRegistrationTest : public ::testing::Test {
 protected:
  static TShellLibrary& Library() { return TShellLibrary::Get(); }

  void StartWith(const TStart& start) { ASSERT_TRUE(WriteRegistryFile(Library().RegistryFile(), start.Entries)); }

  TRegistryImage Now() const { return TRegistryImage(ReadRegistryFile(TShellLibrary::Get().RegistryFile())); }

  std::string ProgID(const THandlerRow& row) const {
    std::string name = Library().Path();
    name = name.substr(name.find_last_of('/') + 1);
    return name.substr(0, name.rfind('.')) + "." + std::string(row.Component);
  }

  // The class keys of a row.
  void AddClassKeys(TRegistryImage& image, const THandlerRow& row) const {
    const std::string id(row.ClassId);
    const std::string clsid = std::string(kClasses) + "\\CLSID\\" + id;
    image.Value(clsid, "", Z(std::string(row.Description)));
    image.Value(clsid + "\\InprocServer32", "", Z(Library().Path()));
    image.Value(clsid + "\\InprocServer32", "ThreadingModel", Z("Apartment"));
    image.Value(std::string(kClasses) + "\\" + ProgID(row), "", Z(std::string(row.Description)));
    image.Value(std::string(kClasses) + "\\" + ProgID(row) + "\\Clsid", "", Z(id));
    image.Value(clsid + "\\ProgID", "", Z(ProgID(row)));
  }

  // The file-type handler key of a row, with its approved-extensions entry.
  static void AddHandlerKey(TRegistryImage& image, const THandlerRow& row, bool approved_list) {
    image.Value(std::string(kClasses) + "\\" + std::string(row.FileType) + "\\shellex\\" + Category(row), "",
                Z(std::string(row.ClassId)));
    if (approved_list) image.Value(kApproved, std::string(row.ClassId), std::string(row.Description));
  }

  // The keys of today's handlers for one file type: each class with its server, the provider's
  // handler key, the property handler's entry and, for raw types, the details lists.
  void AddExplorerKeys(TRegistryImage& image, const TExplorerRow& row, bool approved_list) const {
    const std::string type(row.FileType);
    const auto add_class = [&](std::string_view class_id, const std::string& description) {
      const std::string clsid = std::string(kClasses) + "\\CLSID\\" + std::string(class_id);
      image.Value(clsid, "", Z(description));
      image.Value(clsid + "\\InprocServer32", "", Z(Library().Path()));
      image.Value(clsid + "\\InprocServer32", "ThreadingModel", Z("Both"));
      if (approved_list) image.Value(kApproved, std::string(class_id), Z(description));
    };
    if (!row.ProviderClassId.empty()) {
      add_class(row.ProviderClassId, type.substr(1) + " Thumbnail Provider");
      image.Value(std::string(kClasses) + "\\" + type + "\\shellex\\" + kProviderCategory, "",
                  Z(std::string(row.ProviderClassId)));
    }
    if (!row.PropertyClassId.empty()) {
      add_class(row.PropertyClassId, type.substr(1) + " Property Handler");
      image.Value(std::string(kPropertyHandlers) + "\\" + type, "", Z(std::string(row.PropertyClassId)));
      if (row.RawType) {
        const std::string details = std::string(kSystemAssociations) + "\\" + type;
        image.Value(details, "FullDetails", Z(kFullDetails));
        image.Value(details, "PreviewDetails", Z(kPreviewDetails));
      }
    }
  }

  void ExpectRegistry(const TRegistryImage& expected, const char* step) const {
    const TRegistryImage now = Now();
    const std::vector<std::string> missing = expected.Missing(now);
    const std::vector<std::string> unexpected = now.Missing(expected);
    EXPECT_TRUE(missing.empty()) << step << ": missing " << missing.size() << ", first: "
                                 << (missing.empty() ? "" : missing.front());
    EXPECT_TRUE(unexpected.empty()) << step << ": unexpected " << unexpected.size() << ", first: "
                                    << (unexpected.empty() ? "" : unexpected.front());
  }
};

TEST_F(ShellRegistrationTest, RegisterTwiceAndUnregister) {
  MORVANE_REQUIRE_SHELL_LIBRARY(library);
  TStart start;
  start.Key(std::string(kClasses) + "\\CLSID").Key(kApproved).Key(kPropertyHandlers).Key(kSystemAssociations);
  StartWith(start);

  TRegistryImage registered = start.Image;
  for (const THandlerRow& row : kHandlerTable) {
    AddClassKeys(registered, row);
    AddHandlerKey(registered, row, true);
  }
  for (const TExplorerRow& row : kExplorerTable) AddExplorerKeys(registered, row, true);
  ASSERT_EQ(library.RegisterServer(), S_OK);
  ExpectRegistry(registered, "register");
  ASSERT_EQ(library.RegisterServer(), S_OK);
  ExpectRegistry(registered, "register again");
  ASSERT_EQ(library.UnregisterServer(), S_OK);
  ExpectRegistry(start.Image, "unregister");
  EXPECT_EQ(library.CanUnloadNow(), S_OK);
}

TEST_F(ShellRegistrationTest, AnotherProgramsHandlersAndKeys) {
  MORVANE_REQUIRE_SHELL_LIBRARY(library);
  const std::string nef = std::string(kClasses) + "\\.NEF";
  const std::string cr2 = std::string(kClasses) + "\\.CR2";
  const std::string jpg = std::string(kClasses) + "\\.JPG";
  TStart start;
  start.Key(std::string(kClasses) + "\\CLSID")
      .Key(kApproved)
      .Value(nef + "\\shellex\\" + kThumbnailCategory, "", kForeignThumbnailer)
      .Value(cr2 + "\\shellex\\" + kInfoTipCategory, "", kForeignTipHandler)
      .Value(jpg, "", "jpegfile")
      .Key(jpg + "\\OpenWithProgids")
      .Value(nef + "\\shellex\\" + kProviderCategory, "", kForeignThumbnailer)
      .Value(std::string(kPropertyHandlers) + "\\.JPG", "", kForeignTipHandler)
      .Value(std::string(kSystemAssociations) + "\\.CR2", "PreviewDetails", "prop:System.Size");
  StartWith(start);

  // The foreign thumbnail handler is replaced; the foreign info-tip handler stays, and itCR2
  // then writes neither its handler key nor its approved-extensions entry. Today's handlers
  // replace nothing: the other thumbnail provider of NEF, property handler of JPG and preview
  // list of CR2 stay, and only what is missing is added beside them.
  TRegistryImage registered = start.Image;
  registered.Remove(nef + "\\shellex\\" + kThumbnailCategory);
  for (const THandlerRow& row : kHandlerTable) {
    AddClassKeys(registered, row);
    if (row.Component != "itCR2") AddHandlerKey(registered, row, true);
  }
  for (const TExplorerRow& row : kExplorerTable) {
    TRegistryImage own;
    AddExplorerKeys(own, row, true);
    if (row.FileType == ".NEF")
      own.Remove(nef + "\\shellex\\" + kProviderCategory).RemoveValue(kApproved, std::string(row.ProviderClassId));
    if (row.FileType == ".JPG")
      own.Remove(std::string(kPropertyHandlers) + "\\.JPG").RemoveValue(kApproved, std::string(row.PropertyClassId));
    if (row.FileType == ".CR2")
      own.RemoveValue(std::string(kSystemAssociations) + "\\.CR2", "PreviewDetails");
    registered.Add(own);
  }
  ASSERT_EQ(library.RegisterServer(), S_OK);
  ExpectRegistry(registered, "register");

  // Unregistering leaves the other programs' handlers and the file type's own content.
  TRegistryImage unregistered = start.Image;
  unregistered.Remove(nef + "\\shellex\\" + kThumbnailCategory);
  ASSERT_EQ(library.UnregisterServer(), S_OK);
  ExpectRegistry(unregistered, "unregister");
}

TEST_F(ShellRegistrationTest, FailureStopsTheWalkAndKeepsWhatWasWritten) {
  MORVANE_REQUIRE_SHELL_LIBRARY(library);
  const std::string arw_key = std::string(kClasses) + "\\.ARW\\shellex\\" + kThumbnailCategory;
  TStart start;  // no approved-extensions key: that list is not written at all
  start.Value(arw_key, "", "not a class identifier");
  StartWith(start);

  // Factories are walked newest first: today's handlers, then from the table's last row: the rows after
  // ImageARW are registered, ImageARW gets its class keys only, the rows before it nothing.
  TRegistryImage expected = start.Image;
  for (const TExplorerRow& row : kExplorerTable) AddExplorerKeys(expected, row, false);
  bool reached = false;
  for (auto row = kHandlerTable.rbegin(); row != kHandlerTable.rend() && !reached; ++row) {
    AddClassKeys(expected, *row);
    reached = row->Component == "ImageARW";
    if (!reached) AddHandlerKey(expected, *row, false);
  }
  EXPECT_EQ(library.RegisterServer(), E_FAIL);
  ExpectRegistry(expected, "failed register");
}

}  // namespace
}  // namespace morvane
