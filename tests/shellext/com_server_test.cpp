// The COM server inside the test program, with a small test module: the class manager's order
// and its walk, module instances shared per thread (newest first, a new one while the wanted
// component is bound), thread-free modules, creation failures and server locks.
#include "shellext/com_server.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "shellext/sx_com_object.h"
#include "shellext/test_module.h"

namespace morvane {
namespace {

using testing::kTestImageClass;
using testing::kTestTipClass;
using testing::TTestModule;
using testing::TTestModuleCounts;
using testing::TTestServer;
using testing::TThreadFreeTestModule;

template <class Interface>
Interface* Create(IClassFactory* factory, REFIID iid) {
  void* object = nullptr;
  EXPECT_EQ(factory->CreateInstance(nullptr, iid, &object), S_OK);
  return static_cast<Interface*>(object);
}

// The module instance whose component answers through this interface.
const TSxModule* OwnerOf(IUnknown* handler) {
  auto* component = dynamic_cast<TComponent*>(handler);
  return component != nullptr ? component->Owner() : nullptr;
}

TEST(ComServerTest, ClassManagerListsNewestFirstAndItsWalkSurvivesRemoval) {
  TTestServer<TTestModule> server;
  std::vector<std::string> names;
  ComClassManager().ForEachFactory(&server.Server(),
                                   [&](TComObjectFactory& factory) { names.push_back(factory.ClassName()); });
  EXPECT_THAT(names, ::testing::ElementsAre("itTST", "ImageTST"));
  EXPECT_EQ(ComClassManager().GetFactoryFromClassID(testing::ClassIdOf(kTestImageClass))->ProgID(),
            "morvane_tests.ImageTST");

  // Each visit frees the visited factory.
  int visited = 0;
  ComClassManager().ForEachFactory(&server.Server(), [&](TComObjectFactory& factory) {
    ++visited;
    delete &factory;
  });
  EXPECT_EQ(visited, 2);
  EXPECT_EQ(server.Factory(kTestImageClass), nullptr);
  EXPECT_EQ(server.Factory(kTestTipClass), nullptr);
}

TEST(ComServerTest, ModuleInstancesAreSharedPerThreadNewestFirst) {
  const int created_before = TTestModuleCounts::Created;
  const int destroyed_before = TTestModuleCounts::Destroyed;
  TTestServer<TTestModule> server;
  // Registering the class built one instance and destroyed it again.
  EXPECT_EQ(TTestModuleCounts::Created - created_before, 1);
  EXPECT_EQ(TTestModuleCounts::Destroyed - destroyed_before, 1);
  EXPECT_EQ(ModuleRegistry().Count(), 0u);

  IExtractImage* first = Create<IExtractImage>(server.Factory(kTestImageClass), IID_IExtractImage);
  EXPECT_EQ(ModuleRegistry().Count(), 1u);
  // The first instance's ImageTST is bound: a second object of the class needs a new instance.
  IExtractImage* second = Create<IExtractImage>(server.Factory(kTestImageClass), IID_IExtractImage);
  EXPECT_EQ(ModuleRegistry().Count(), 2u);
  EXPECT_NE(OwnerOf(first), OwnerOf(second));
  // Another class uses the newest instance.
  IQueryInfo* tip = Create<IQueryInfo>(server.Factory(kTestTipClass), IID_IQueryInfo);
  EXPECT_EQ(OwnerOf(tip), OwnerOf(second));
  EXPECT_EQ(server.Server().ObjectCount(), 3);

  // Only the newest instance is looked at: its ImageTST is still bound, so the free one of the
  // older instance is not reused.
  first->Release();
  IExtractImage* third = Create<IExtractImage>(server.Factory(kTestImageClass), IID_IExtractImage);
  EXPECT_EQ(ModuleRegistry().Count(), 3u);
  EXPECT_NE(OwnerOf(third), OwnerOf(second));

  // Another thread gets an instance of its own.
  const TSxModule* other_thread_owner = nullptr;
  std::thread([&] {
    IExtractImage* image = Create<IExtractImage>(server.Factory(kTestImageClass), IID_IExtractImage);
    other_thread_owner = OwnerOf(image);
    image->Release();
  }).join();
  EXPECT_EQ(ModuleRegistry().Count(), 4u);
  EXPECT_NE(other_thread_owner, OwnerOf(third));

  second->Release();
  third->Release();
  tip->Release();
  EXPECT_TRUE(server.Server().CanUnloadNow());
  // The instances outlive their objects.
  EXPECT_EQ(ModuleRegistry().Count(), 4u);
  EXPECT_EQ(TTestModuleCounts::Destroyed - destroyed_before, 1);
}

TEST(ComServerTest, ThreadFreeModulesLiveAsLongAsTheirObjectUnlessTheComponentRefuses) {
  TTestServer<TThreadFreeTestModule> server;
  const int created_before = TTestModuleCounts::Created;
  const int destroyed_before = TTestModuleCounts::Destroyed;
  IExtractImage* first = Create<IExtractImage>(server.Factory(kTestImageClass), IID_IExtractImage);
  IExtractImage* second = Create<IExtractImage>(server.Factory(kTestImageClass), IID_IExtractImage);
  EXPECT_EQ(TTestModuleCounts::Created - created_before, 2);
  EXPECT_EQ(ModuleRegistry().Count(), 0u);  // thread-free instances are never entered
  first->Release();
  EXPECT_EQ(TTestModuleCounts::Destroyed - destroyed_before, 1);

  dynamic_cast<TSxBaseShellObject*>(second)->OnTryToReleaseModule = [](bool& allow) { allow = false; };
  second->Release();
  EXPECT_EQ(TTestModuleCounts::Destroyed - destroyed_before, 1);  // kept until unload
  EXPECT_TRUE(server.Server().CanUnloadNow());
}

TEST(ComServerTest, FailedCreationShowsTheErrorAndAnswersUnexpected) {
  TTestServer<TTestModule> server;
  TTestModuleCounts::FailCreation = true;
  ::testing::internal::CaptureStderr();
  void* object = &server;
  const HRESULT result = server.Factory(kTestImageClass)->CreateInstance(nullptr, IID_IExtractImage, &object);
  const std::string shown = ::testing::internal::GetCapturedStderr();
  TTestModuleCounts::FailCreation = false;
  EXPECT_EQ(result, E_UNEXPECTED);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(shown, "DAX Error: Cache unavailable.\n");
  EXPECT_EQ(ModuleRegistry().Count(), 0u);
  EXPECT_EQ(server.Server().ObjectCount(), 0);
  EXPECT_EQ(server.Factory(kTestImageClass)->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);
}

TEST(ComServerTest, ServerLocksKeepTheLibraryLoaded) {
  TTestServer<TTestModule> server;
  IClassFactory* factory = server.Factory(kTestTipClass);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_FALSE(server.Server().CanUnloadNow());
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_TRUE(server.Server().CanUnloadNow());
}

}  // namespace
}  // namespace morvane
