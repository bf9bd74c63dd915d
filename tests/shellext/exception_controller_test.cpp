// Errors escaping a handler's file load: every controller of the process sees the record, the
// load answers E_FAIL, and nothing is shown unless a controller's message type asks for it.
#include "shellext/exception_controller.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shellext/server_errors.h"
#include "shellext/test_module.h"

namespace morvane {
namespace {

using testing::TTestModule;

struct TRecorder {
  std::vector<std::string> Messages;
  std::vector<std::vector<std::pair<std::string, std::string>>> Details;
  TSxExceptionController Controller;

  explicit TRecorder(bool cancel_report = false) {
    Controller.ErrorMessageType = dmtNone;
    Controller.OnException = [this, cancel_report](TSxExceptionController&, TSxCustomExceptionInfo& info,
                                                   bool& report) {
      Messages.push_back(info.Message);
      Details.push_back(info.Details);
      if (cancel_report) report = false;
    };
  }
};

std::string Detail(const std::vector<std::pair<std::string, std::string>>& details, const std::string& name) {
  for (const auto& [key, value] : details)
    if (key == name) return value;
  return "<none>";
}

TEST(ExceptionControllerTest, LoadFailureReachesEveryControllerAndShowsNothing) {
  const TSxModulePtr module = ConstructModule<TTestModule>();
  TSxInfoTip& tip = *static_cast<TTestModule&>(*module).Tip;
  tip.OnInitialize = [](TSxPersistFile&) { throw ESxShellExtError("Bad file"); };
  TRecorder recorder;  // leaves AutoReportError set, but shows nothing with dmtNone

  ::testing::internal::CaptureStderr();
  EXPECT_EQ(tip.Load(u"/photos/a.nef", 0x10), E_FAIL);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

  ASSERT_EQ(recorder.Messages.size(), 1u);
  EXPECT_EQ(recorder.Messages[0].rfind("Exception ESxShellExtError in module ", 0), 0u) << recorder.Messages[0];
  EXPECT_NE(recorder.Messages[0].find(".\r\nBad file.\r\n"), std::string::npos) << recorder.Messages[0];
  EXPECT_EQ(Detail(recorder.Details[0], "Class"), "TSxInfoTip");
  EXPECT_EQ(Detail(recorder.Details[0], "Name"), "itTST");
  EXPECT_EQ(Detail(recorder.Details[0], "Owner name"), "TestModule");
  EXPECT_NE(Detail(recorder.Details[0], "Date/time"), "<none>");
}

TEST(ExceptionControllerTest, SilentAbortReachesNoController) {
  TRecorder recorder;
  TSxInfoTip tip;
  tip.OnInitialize = [](TSxPersistFile&) { throw EAbort(); };
  EXPECT_EQ(tip.Load(u"a.nef", 0), E_FAIL);
  EXPECT_TRUE(recorder.Messages.empty());
}

TEST(ExceptionControllerTest, FailingControllerIsSkippedFromThenOn) {
  int failing_calls = 0;
  TSxExceptionController failing;
  failing.OnException = [&](TSxExceptionController&, TSxCustomExceptionInfo&, bool&) {
    ++failing_calls;
    throw EMorvaneError("broken controller");
  };
  TRecorder recorder(true);
  const auto error = std::make_exception_ptr(EMorvaneError("x"));
  EXPECT_EQ(DispatchException(nullptr, error), E_FAIL);
  EXPECT_EQ(DispatchException(nullptr, error), E_FAIL);
  EXPECT_EQ(failing_calls, 1);
  EXPECT_EQ(recorder.Messages.size(), 2u);
}

TEST(ExceptionControllerTest, OleSystemErrorsCarryTheirCodeAndExtendedReportsListTheDetails) {
  TRecorder recorder;
  recorder.Controller.ErrorMessageType = dmsExtended;
  ::testing::internal::CaptureStderr();
  DispatchException(nullptr, std::make_exception_ptr(EOleSysError("No such interface", E_NOINTERFACE)));
  const std::string shown = ::testing::internal::GetCapturedStderr();
  ASSERT_EQ(recorder.Details.size(), 1u);
  EXPECT_EQ(Detail(recorder.Details[0], "OleExceptionCode"), "-2147467262");
  EXPECT_EQ(Detail(recorder.Details[0], "Class"), "<none>");  // no component sender
  EXPECT_NE(shown.find("Extended error information:\r\nDate/time        : "), std::string::npos) << shown;
  EXPECT_NE(shown.find("OleExceptionCode : -2147467262"), std::string::npos) << shown;
}

}  // namespace
}  // namespace morvane
