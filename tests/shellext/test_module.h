// A small module for driving the COM server inside the test program: one thumbnail handler
// and one info-tip handler for ".TST", and a silent exception controller. Instances count
// their creation and destruction handlers.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "thumbnail/imaging/canvas.h"
#include "platform/com_guid.h"
#include "platform/errors.h"
#include "shellext/com_server.h"
#include "shellext/exception_controller.h"
#include "shellext/extract_image.h"
#include "shellext/info_tip.h"
#include "shellext/sx_com_object.h"
#include "shellext/sx_module.h"

namespace morvane::testing {

inline constexpr const char* kTestImageClass = "{11111111-2222-3333-4444-555555555555}";
inline constexpr const char* kTestTipClass = "{66666666-7777-8888-9999-AAAAAAAAAAAA}";

struct TTestModuleCounts {
  static inline std::atomic<int> Created{0};
  static inline std::atomic<int> Destroyed{0};
  // Makes every creation handler from now on fail.
  static inline std::atomic<bool> FailCreation{false};
};

template <bool kThreadFree>
class TTestModuleOf : public TSxModule {
 public:
  static constexpr const char* kClassName = kThreadFree ? "TThreadFreeTestModule" : "TTestModule";
  std::string ClassName() const override { return kClassName; }

  TTestModuleOf() : TSxModule("TestModule", kThreadFree) {
    auto image = std::make_unique<TSxExtractImage>();
    image->SetName("ImageTST");
    image->SetCLSID(kTestImageClass);
    image->SetFileType(".TST");
    image->OverwriteExistent = true;
    image->OnExtractImage = [](TSxExtractImage&, TBitmap& bitmap, const TSxSize& size) {
      bitmap.SetSize(size.cx, size.cy);
      bitmap.Raster().Fill(MakeColor(200, 10, 20));
    };
    Image = &AddComponent(std::move(image));

    auto tip = std::make_unique<TSxInfoTip>();
    tip->SetName("itTST");
    tip->SetDescription("TST InfoTIP");
    tip->SetExtensionName("TST InfoTIP");
    tip->SetCLSID(kTestTipClass);
    tip->SetFileType(".TST");
    tip->OnGetInfoTip = [](TSxInfoTip& sender, std::string& text) { text = "Tip for " + sender.FileName(); };
    Tip = &AddComponent(std::move(tip));

    auto controller = std::make_unique<TSxExceptionController>();
    controller->SetName("ExceptionHandler");
    controller->ErrorMessageType = dmtNone;
    controller->OnException = [](TSxExceptionController&, TSxCustomExceptionInfo&, bool& report) { report = false; };
    AddComponent(std::move(controller));
  }

  TSxExtractImage* Image;
  TSxInfoTip* Tip;

 protected:
  void DoCreate() override {
    if (TTestModuleCounts::FailCreation) throw EMorvaneError("Cache unavailable");
    ++TTestModuleCounts::Created;
  }
  void DoDestroy() override { ++TTestModuleCounts::Destroyed; }
};

using TTestModule = TTestModuleOf<false>;
using TThreadFreeTestModule = TTestModuleOf<true>;

inline GUID ClassIdOf(const char* text) { return *TryStringToGUID(text); }

// A server of this test program with the factories of one test module class, torn down with
// every module instance at the end of the scope.
template <class Module>
class TTestServer {
 public:
  TTestServer() {
    CreateComServer(nullptr);
    RegisterModuleClass(*ComServer(), ModuleClassOf<Module>());
  }
  ~TTestServer() {
    ModuleRegistry().DestroyAll();
    DestroyComServer();
  }
  TTestServer(const TTestServer&) = delete;
  TTestServer& operator=(const TTestServer&) = delete;

  TComServer& Server() const { return *ComServer(); }
  IClassFactory* Factory(const char* class_id) const {
    return ComClassManager().GetFactoryFromClassID(ClassIdOf(class_id));
  }
};

}  // namespace morvane::testing
