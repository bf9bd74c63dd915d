// Self-registration inside the test program, for the settings the module does not use: the
// registry events and the change notification, the decision on another class's key, a system
// outside the NT family, and the failures that stop registration.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/com_guid.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "shellext/server_errors.h"
#include "shellext/test_module.h"
#include "support/temp_file.h"

namespace morvane {
namespace {

using testing::kTestImageClass;
using testing::kTestTipClass;
using testing::TTestModule;
using testing::TTestServer;

constexpr const char* kApproved =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
const std::string kTipKey = "HKEY_CLASSES_ROOT\\.TST\\shellex\\{00021500-0000-0000-C000-000000000046}";
const std::string kImageKey = "HKEY_CLASSES_ROOT\\.TST\\shellex\\{BB2E617C-0920-11d1-9A0B-00C04FC2D6C1}";

TRegistryEntry Key(const std::string& path, bool read_only = false) {
  return TRegistryEntry{path, false, "", REG_NONE, "", read_only};
}
TRegistryEntry Text(const std::string& path, const std::string& name, const std::string& text) {
  return TRegistryEntry{path, true, name, REG_SZ, text + std::string(1, '\0'), false};
}

// The data of a value now in the registry; "<none>" when it is missing.
std::string ValueOf(const std::string& key, const std::string& name) {
  for (const TRegistryEntry& e : StandInRegistryEntries())
    if (e.IsValue && e.Key == key && e.Name == name) return e.Data;
  return "<none>";
}

std::string Z(const std::string& text) { return text + std::string(1, '\0'); }

class SelfRegistrationTest : public ::testing::Test {
 protected:
  // Starts from a registry holding `entries`, written through a file as another program would.
  void StartWith(const std::vector<TRegistryEntry>& entries) {
    const std::string file = dir_.Path() + "/registry.txt";
    ASSERT_TRUE(WriteRegistryFile(file, entries));
    StandInRegistryReset(file);
  }
  void TearDown() override {
    StandInRegistryReset();
    StandInSetPlatformId(VER_PLATFORM_WIN32_NT);
  }

  testing::TempDir dir_;
  TTestServer<TTestModule> server_;
  // The instance registration finds for this thread: its components can be set up first.
  TSxModulePtr module_ = ConstructModule<TTestModule>();
  TTestModule& Module() { return static_cast<TTestModule&>(*module_); }
};

TEST_F(SelfRegistrationTest, EventsRunAroundTheComponentsWorkAndRefreshNotifiesTheShell) {
  StartWith({Key(kApproved)});
  std::vector<std::string> calls;
  TSxExtractImage& image = *Module().Image;
  image.RefreshWhenRegistered = true;
  image.BeforeUpdateRegistry = [&](TSxBaseShellObject&, bool r) { calls.push_back(r ? "before+" : "before-"); };
  image.OnUpdateRegistry = [&](TSxBaseShellObject&, bool r) {
    calls.push_back(ValueOf(kImageKey, "") == "<none>" ? "update, no key yet" : "update, key already there");
    (void)r;
  };
  image.AfterUpdateRegistry = [&](TSxBaseShellObject&, bool r) {
    calls.push_back(ValueOf(kImageKey, "") == Z(kTestImageClass) ? "after, key written" : "after, no key");
    (void)r;
  };
  const int notified = StandInChangeNotifyCount();
  server_.Server().UpdateRegistry(true);
  EXPECT_THAT(calls, ::testing::ElementsAre("before+", "update, no key yet", "after, key written"));
  EXPECT_EQ(StandInChangeNotifyCount() - notified, 1);  // only ImageTST asks for it
  EXPECT_EQ(ValueOf(kApproved, kTestImageClass), "ImageTST");
  EXPECT_EQ(ValueOf(kApproved, kTestTipClass), "TST InfoTIP");
}

TEST_F(SelfRegistrationTest, OnKeyAlreadyExistDecidesAndOwnIdentifierInOtherCaseCountsAsAnotherClass) {
  const std::string other = "{ABCDEF00-1111-2222-3333-444455556666}";
  const std::string own_lower = "{66666666-7777-8888-9999-aaaaaaaaaaaa}";
  for (const std::string& registered : {other, own_lower}) {
    StartWith({Key(kApproved), Key(kTipKey), Text(kTipKey, "", registered)});
    std::vector<std::string> told;
    Module().Tip->OnKeyAlreadyExist = [&](const GUID& registered_class, bool& overwrite) {
      told.push_back(GUIDToString(registered_class) + (overwrite ? " overwrite" : " keep"));
      overwrite = registered == other;
    };
    server_.Server().UpdateRegistry(true);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], UpperCase(registered) + " keep");
    EXPECT_EQ(ValueOf(kTipKey, ""), registered == other ? Z(kTestTipClass) : Z(own_lower));
  }
}

TEST_F(SelfRegistrationTest, OutsideTheNTFamilyTheApprovedListIsNeitherWrittenNorCleaned) {
  StandInSetPlatformId(VER_PLATFORM_WIN32_WINDOWS);
  StartWith({Key(kApproved), TRegistryEntry{kApproved, true, kTestTipClass, REG_SZ, "TST InfoTIP", false}});
  server_.Server().UpdateRegistry(true);
  EXPECT_EQ(ValueOf(kApproved, kTestImageClass), "<none>");
  EXPECT_EQ(ValueOf(kImageKey, ""), Z(kTestImageClass));
  server_.Server().UpdateRegistry(false);
  EXPECT_EQ(ValueOf(kApproved, kTestTipClass), "TST InfoTIP");
  EXPECT_EQ(ValueOf(kImageKey, ""), "<none>");
}

TEST_F(SelfRegistrationTest, FailuresStopRegistrationWithTheirMessages) {
  const struct {
    std::vector<TRegistryEntry> start;
    bool register_server;
    std::string message;
  } cases[] = {
      {{Key("HKEY_CLASSES_ROOT\\CLSID", true)}, true, "Error creating system registry entry"},
      {{Key("HKEY_CLASSES_ROOT\\.TST", true)}, true, "Registration failed"},
      {{Key(kTipKey), Text(kTipKey, "", "not a class")}, true, "'not a class' is not a valid GUID value"},
  };
  for (const auto& c : cases) {
    StartWith(c.start);
    try {
      server_.Server().UpdateRegistry(c.register_server);
      ADD_FAILURE() << "no failure for " << c.message;
    } catch (const EMorvaneError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }

  StartWith({});
  Module().Tip->SetFileType("");
  for (bool register_server : {true, false}) {
    try {
      Module().Tip->UpdateShellRegistry(register_server);
      ADD_FAILURE() << "an empty file type was accepted";
    } catch (const ESxShellExtError& e) {
      EXPECT_STREQ(e.what(), "File class is not specified for component itTST");
    }
  }
}

}  // namespace
}  // namespace morvane
