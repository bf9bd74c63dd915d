// The registry stand-in keeps the Win32 rules the self-registration relies on: parents made on
// creation, opening without creating, exact value bytes, refusing to delete a key with subkeys,
// and a backing file shared with another writer.
#include "platform/registry.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_file.h"

namespace morvane {
namespace {

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { StandInRegistryReset(); }
  void TearDown() override { StandInRegistryReset(); }

  static HKEY Create(HKEY root, const char* path, REGSAM access = KEY_READ | KEY_WRITE) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    return key;
  }

  static std::string Query(HKEY key, const char* name, DWORD* type = nullptr) {
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, type, nullptr, &size) != ERROR_SUCCESS) return "<none>";
    std::string data(size, '\0');
    EXPECT_EQ(RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(data.data()), &size),
              ERROR_SUCCESS);
    return data;
  }
};

TEST_F(RegistryTest, CreatesMissingParentsAndOpensWithoutCreating) {
  HKEY missing = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, ".CRW\\shellex", 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(missing, nullptr);

  HKEY key = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, ".CRW\\shellex\\{BB2E617C-0920-11d1-9A0B-00C04FC2D6C1}", 0, nullptr,
                            0, KEY_WRITE, nullptr, &key, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
  RegCloseKey(key);

  // Names compare ignoring case and keep the case they were created with.
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, ".crw\\SHELLEX", 0, nullptr, 0, KEY_READ, nullptr, &key,
                            &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
  char name[64];
  DWORD chars = sizeof(name);
  ASSERT_EQ(RegEnumKeyExA(key, 0, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_STREQ(name, "{BB2E617C-0920-11d1-9A0B-00C04FC2D6C1}");
  RegCloseKey(key);

  const auto entries = StandInRegistryEntries();
  EXPECT_NE(std::find_if(entries.begin(), entries.end(),
                         [](const TRegistryEntry& e) { return e.Key == "HKEY_CLASSES_ROOT\\.CRW\\shellex"; }),
            entries.end());
  // The other roots are separate trees.
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, ".CRW", 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, ValuesKeepTheirTypeAndExactBytes) {
  HKEY key = Create(HKEY_CLASSES_ROOT, "CLSID\\{X}");
  const struct {
    const char* name;
    DWORD type;
    std::string bytes;
  } cases[] = {
      {nullptr, REG_SZ, std::string("ImageCRW\0", 9)},  // the default value, with its zero
      {"Approved", REG_SZ, "ImageCRW"},                 // without the zero
      {"Empty", REG_SZ, ""},
      {"Number", REG_DWORD, std::string("\x01\x00\x00\x00", 4)},
  };
  for (const auto& c : cases)
    ASSERT_EQ(RegSetValueExA(key, c.name, 0, c.type, reinterpret_cast<const BYTE*>(c.bytes.data()),
                             static_cast<DWORD>(c.bytes.size())),
              ERROR_SUCCESS);
  for (const auto& c : cases) {
    DWORD type = 0;
    EXPECT_EQ(Query(key, c.name, &type), c.bytes) << (c.name ? c.name : "(default)");
    EXPECT_EQ(type, c.type);
  }
  EXPECT_EQ(Query(key, ""), std::string("ImageCRW\0", 9));  // "" also names the default value
  EXPECT_EQ(Query(key, "APPROVED"), "ImageCRW");

  char small[4];
  DWORD size = sizeof(small);
  EXPECT_EQ(RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size),
            ERROR_MORE_DATA);
  EXPECT_EQ(size, 9u);
  EXPECT_EQ(Query(key, "Missing"), "<none>");
  EXPECT_EQ(RegDeleteValueA(key, "approved"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(key, "Approved"), ERROR_FILE_NOT_FOUND);
  DWORD values = 0;
  ASSERT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                             nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(values, 3u);
  RegCloseKey(key);
}

TEST_F(RegistryTest, PlainDeletionRefusesAKeyWithSubkeys) {
  HKEY leaf = Create(HKEY_CLASSES_ROOT, "CLSID\\{X}\\InprocServer32");
  EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, "CLSID\\{X}"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, "CLSID\\{X}\\InprocServer32"), ERROR_SUCCESS);
  // A handle to a deleted key is dead.
  const BYTE data[] = "x";
  EXPECT_EQ(RegSetValueExA(leaf, nullptr, 0, REG_SZ, data, 2), ERROR_KEY_DELETED);
  RegCloseKey(leaf);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, "clsid\\{x}"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, "CLSID\\{X}"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCloseKey(leaf), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, AccessRightsAndReadOnlyKeys) {
  HKEY reader = Create(HKEY_CLASSES_ROOT, "Reader", KEY_READ);
  const BYTE data[] = "x";
  EXPECT_EQ(RegSetValueExA(reader, nullptr, 0, REG_SZ, data, 2), ERROR_ACCESS_DENIED);
  HKEY sub = nullptr;
  EXPECT_EQ(RegCreateKeyExA(reader, "Sub", 0, nullptr, 0, KEY_READ, nullptr, &sub, nullptr), ERROR_ACCESS_DENIED);
  RegCloseKey(reader);

  testing::TempDir dir;
  const std::string file = dir.Path() + "/registry.txt";
  ASSERT_TRUE(WriteRegistryFile(file, {{"HKEY_CLASSES_ROOT\\Locked", false, "", REG_NONE, "", true}}));
  StandInRegistryReset(file);
  EXPECT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "Locked\\Sub", 0, nullptr, 0, KEY_WRITE, nullptr, &sub, nullptr),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "Locked", 0, nullptr, 0, KEY_WRITE, nullptr, &sub, nullptr),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "Locked", 0, KEY_READ, &sub), ERROR_SUCCESS);
  RegCloseKey(sub);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, "Locked"), ERROR_ACCESS_DENIED);
}

TEST_F(RegistryTest, BackingFileIsSavedOnChangeAndReloadedWhenAnotherWriterChangesIt) {
  testing::TempDir dir;
  const std::string file = dir.Path() + "/registry.txt";
  StandInRegistryReset(file);
  HKEY key = Create(HKEY_CLASSES_ROOT, "Odd [name] 100%\\\xE9t\xE9");
  const char raw[] = "quote \" backslash \\ zero \0 high \xFF\n";
  const std::string bytes(raw, sizeof(raw) - 1);
  ASSERT_EQ(RegSetValueExA(key, "a \"name\"", 0, 77, reinterpret_cast<const BYTE*>(bytes.data()),
                           static_cast<DWORD>(bytes.size())),
            ERROR_SUCCESS);
  RegCloseKey(key);

  // What was saved reads back entry for entry.
  auto entries = ReadRegistryFile(file);
  EXPECT_EQ(entries, StandInRegistryEntries());
  const TRegistryEntry saved{"HKEY_CLASSES_ROOT\\Odd [name] 100%\\\xE9t\xE9", true, "a \"name\"", 77, bytes, false};
  EXPECT_NE(std::find(entries.begin(), entries.end(), saved), entries.end());

  // Another writer replaces the file: the next call sees its version.
  entries = {{"HKEY_LOCAL_MACHINE\\SOFTWARE", false, "", REG_NONE, "", false},
             {"HKEY_LOCAL_MACHINE\\SOFTWARE", true, "", REG_SZ, std::string("v\0", 2), false}};
  ASSERT_TRUE(WriteRegistryFile(file, entries));
  HKEY software = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, &software), ERROR_SUCCESS);
  EXPECT_EQ(Query(software, nullptr), std::string("v\0", 2));
  RegCloseKey(software);
  EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "Odd [name] 100%", 0, KEY_READ, &software), ERROR_FILE_NOT_FOUND);
}

}  // namespace
}  // namespace morvane
