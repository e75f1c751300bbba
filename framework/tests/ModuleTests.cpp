// The module shell as a host sees it: DllGetClassObject, the class factory,
// DllCanUnloadNow, object counting, aggregation and the destroy-once rule.
#include "Peers.h"
#include "FrameworkTestSupport.h"

namespace sombrevox {

namespace {

class ModuleTest : public FrameworkTest {};

const IID kUnknownIid = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};

TEST_F(ModuleTest, ClassObjectIsRefusedForOtherInterfacesAndUnknownClasses) {
  void* untouched = reinterpret_cast<void*>(0x1234);
  EXPECT_HR(E_NOINTERFACE, Module().getClassObject(kTestFilterClsid, IID_IPersist, &untouched));
  EXPECT_EQ(reinterpret_cast<void*>(0x1234), untouched);
  // The interface test comes before the class lookup.
  EXPECT_HR(E_NOINTERFACE, Module().getClassObject(kUnknownIid, IID_IPersist, &untouched));
  EXPECT_HR(CLASS_E_CLASSNOTAVAILABLE, Module().getClassObject(kUnknownIid, IID_IClassFactory, &untouched));
  EXPECT_EQ(reinterpret_cast<void*>(0x1234), untouched);
  EXPECT_HR(E_POINTER, Module().getClassObject(kTestFilterClsid, IID_IClassFactory, nullptr));
}

TEST_F(ModuleTest, AttachHookRanOnceForTheRowThatHasOne) {
  ASSERT_NE(nullptr, Module().hookCalls);
  EXPECT_EQ(1, Module().hookCalls());
}

TEST_F(ModuleTest, HeldFactoryKeepsTheModuleLoaded) {
  EXPECT_HR(S_OK, Module().canUnloadNow());
  IUnknown* factory = nullptr;
  ASSERT_HR(S_OK, Module().getClassObject(kTestFilterClsid, IID_IUnknown, reinterpret_cast<void**>(&factory)));
  EXPECT_EQ(1, Module().liveObjects());
  EXPECT_HR(S_FALSE, Module().canUnloadNow());
  EXPECT_EQ(0u, factory->Release());
  EXPECT_HR(S_OK, Module().canUnloadNow());
}

TEST_F(ModuleTest, ServerLocksKeepTheModuleLoadedUntilBalanced) {
  ComPtr<IClassFactory> factory;
  ASSERT_HR(S_OK, Module().getClassObject(kTestFilterClsid, IID_IClassFactory,
                                          reinterpret_cast<void**>(factory.GetAddressOf())));
  EXPECT_HR(S_OK, factory->LockServer(TRUE));
  EXPECT_HR(S_OK, factory->LockServer(TRUE));
  factory.Reset();
  EXPECT_HR(S_FALSE, Module().canUnloadNow());
  ASSERT_HR(S_OK, Module().getClassObject(kTestFilterClsid, IID_IClassFactory,
                                          reinterpret_cast<void**>(factory.GetAddressOf())));
  EXPECT_HR(S_OK, factory->LockServer(FALSE));
  factory.Reset();
  EXPECT_HR(S_FALSE, Module().canUnloadNow());
  ASSERT_HR(S_OK, Module().getClassObject(kTestFilterClsid, IID_IClassFactory,
                                          reinterpret_cast<void**>(factory.GetAddressOf())));
  EXPECT_HR(S_OK, factory->LockServer(FALSE));
  factory.Reset();
  EXPECT_HR(S_OK, Module().canUnloadNow());
}

TEST_F(ModuleTest, FactoryAnswersOnlyItsOwnInterfaces) {
  ComPtr<IClassFactory> factory;
  ASSERT_HR(S_OK, Module().getClassObject(kTestFilterClsid, IID_IClassFactory,
                                          reinterpret_cast<void**>(factory.GetAddressOf())));
  EXPECT_HR(E_POINTER, factory->QueryInterface(IID_IUnknown, nullptr));
  ComPtr<IUnknown> unknown;
  EXPECT_HR(S_OK, factory->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(unknown.GetAddressOf())));
  void* other = reinterpret_cast<void*>(0x1234);
  EXPECT_HR(E_NOINTERFACE, factory->QueryInterface(IID_IBaseFilter, &other));
  EXPECT_EQ(nullptr, other);
}

TEST_F(ModuleTest, CreateInstanceRefusals) {
  ComPtr<IClassFactory> factory;
  ASSERT_HR(S_OK, Module().getClassObject(kTestFilterClsid, IID_IClassFactory,
                                          reinterpret_cast<void**>(factory.GetAddressOf())));
  EXPECT_HR(E_POINTER, factory->CreateInstance(nullptr, IID_IBaseFilter, nullptr));

  // An aggregated object can only be had as its inner unknown.
  ComPtr<Aggregator> outer = Aggregator::Make();
  void* untouched = reinterpret_cast<void*>(0x1234);
  EXPECT_HR(E_NOINTERFACE, factory->CreateInstance(outer.Get(), IID_IBaseFilter, &untouched));
  EXPECT_EQ(reinterpret_cast<void*>(0x1234), untouched);
  EXPECT_EQ(1, Module().liveObjects()) << "only the factory is alive";

  // An interface the filter lacks: the new object is destroyed again.
  void* object = reinterpret_cast<void*>(0x1234);
  EXPECT_HR(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IPin, &object));
  EXPECT_EQ(nullptr, object);
  EXPECT_EQ(1, Module().liveObjects());
}

TEST_F(ModuleTest, FailingCreateFunctionsReportTheirFailure) {
  void* object = nullptr;
  EXPECT_HR(kCreateFailure, CreateFromModule(kFailingCreateClsid, nullptr, IID_IUnknown, &object));
  EXPECT_EQ(nullptr, object);

  // An object returned together with a failure is destroyed, exactly once.
  const LONG destructionsBefore = Module().selfReleasingDestructions();
  EXPECT_HR(kCreateFailure, CreateFromModule(kObjectWithFailureClsid, nullptr, IID_IUnknown, &object));
  EXPECT_EQ(nullptr, object);
  EXPECT_EQ(destructionsBefore + 1, Module().selfReleasingDestructions());
}

TEST_F(ModuleTest, LastReleaseDestroysOnceEvenWhenTheDestructorReleasesItself) {
  const LONG destructionsBefore = Module().selfReleasingDestructions();
  ComPtr<IPersist> object;
  ASSERT_HR(S_OK, CreateFromModule(kSelfReleasingClsid, nullptr, IID_IPersist,
                                   reinterpret_cast<void**>(object.GetAddressOf())));
  ComPtr<IUnknown> unknown;
  ASSERT_HR(S_OK, object.As(&unknown));
  EXPECT_EQ(2u, unknown->AddRef() - 1) << "inner and published references share one count";
  unknown->Release();
  unknown.Reset();
  EXPECT_EQ(0u, object.Detach()->Release());
  EXPECT_EQ(destructionsBefore + 1, Module().selfReleasingDestructions());
}

TEST_F(ModuleTest, AggregatedFilterForwardsToItsAggregator) {
  ComPtr<Aggregator> outer = Aggregator::Make();
  EXPECT_EQ(1, outer->References());
  ASSERT_HR(S_OK, CreateFromModule(kTestFilterClsid, outer.Get(), IID_IUnknown,
                                   reinterpret_cast<void**>(outer->InnerSlot())));
  ASSERT_NE(nullptr, outer->Inner());
  EXPECT_EQ(1, outer->References()) << "creating the inner object must not hold the aggregator";

  // The inner unknown answers the filter's interfaces...
  IBaseFilter* filter = nullptr;
  ASSERT_HR(S_OK, outer->Inner()->QueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(&filter)));
  // ...whose reference lands on the aggregator.
  EXPECT_EQ(2, outer->References());

  // Queries through a published interface reach the aggregator.
  const LONG queriesBefore = outer->Queries();
  ComPtr<IUnknown> identity;
  ASSERT_HR(S_OK, filter->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.GetAddressOf())));
  EXPECT_EQ(static_cast<IUnknown*>(outer.Get()), identity.Get());
  EXPECT_EQ(queriesBefore + 1, outer->Queries());
  identity.Reset();

  filter->AddRef();
  EXPECT_EQ(3, outer->References());
  filter->Release();
  filter->Release();
  EXPECT_EQ(1, outer->References());

  EXPECT_EQ(1, Module().liveObjects());
  outer->DropInner();
  EXPECT_EQ(0, Module().liveObjects());
}

TEST_F(ModuleTest, PinReferencesAreTheFiltersReferences) {
  ComPtr<IBaseFilter> filter = CreateTestFilter();
  ASSERT_NE(nullptr, filter);
  ComPtr<IPin> input = PinOf(filter.Get(), L"In");
  ASSERT_NE(nullptr, input);
  ComPtr<IUnknown> pinUnknown;
  ASSERT_HR(S_OK, input.As(&pinUnknown));
  ComPtr<IUnknown> again;
  ASSERT_HR(S_OK, input->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(again.GetAddressOf())));
  EXPECT_EQ(pinUnknown.Get(), again.Get());
  again.Reset();
  // The pin keeps its filter alive through any of its interfaces.
  input.Reset();
  filter.Reset();
  EXPECT_GT(Module().liveObjects(), 0);
  pinUnknown.Reset();
  EXPECT_EQ(0, Module().liveObjects());
}

}  // namespace

}  // namespace sombrevox
