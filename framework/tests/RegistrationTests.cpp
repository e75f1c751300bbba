// Self-registration of the test module in the Wine prefix's real registry and
// the platform's filter mapper: class keys and values, the mapper's entries,
// registering twice, unregistering, and unregistering what is not there.
#include <string>

#include "FrameworkTestSupport.h"

namespace sombrevox {

namespace {

constexpr const wchar_t* kRowNames[] = {
    kTestFilterName,
    L"Sombrevox Framework Test Object",
    L"Sombrevox Framework Failing Object",
    L"Sombrevox Framework Half-made Object",
    L"Sombrevox Framework Test Page",
};
const CLSID* const kRowClsids[] = {&kTestFilterClsid, &kSelfReleasingClsid, &kFailingCreateClsid,
                                   &kObjectWithFailureClsid, &kTestPageClsid};

std::wstring ClassKey(const CLSID& clsid) {
  wchar_t guid[39] = {};
  StringFromGUID2(clsid, guid, 39);
  return std::wstring(L"CLSID\\") + guid;
}

bool KeyExists(const std::wstring& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

// The string value, or "<missing>" when the key or value is absent or no string.
std::wstring ReadString(const std::wstring& keyName, const wchar_t* valueName) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, keyName.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return L"<missing>";
  }
  wchar_t data[1024] = {};
  DWORD size = sizeof(data) - sizeof(wchar_t);
  DWORD type = 0;
  const LONG error = RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (error != ERROR_SUCCESS || type != REG_SZ) {
    return L"<missing>";
  }
  return data;
}

std::wstring ModulePath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(Module().module, path, MAX_PATH);
  return path;
}

// Whether the platform's filter mapper lists the test filter for audio input.
// The mapper takes the listed name from the class key, so the name is checked
// only when that key is there.
bool MapperListsTestFilter(bool withClassKey = true) {
  ComPtr<IFilterMapper> mapper;
  if (FAILED(CoCreateInstance(CLSID_FilterMapper, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper,
                              reinterpret_cast<void**>(mapper.GetAddressOf())))) {
    ADD_FAILURE() << "no filter mapper";
    return false;
  }
  ComPtr<IEnumRegFilters> filters;
  if (FAILED(mapper->EnumMatchingFilters(filters.GetAddressOf(), 0, TRUE, MEDIATYPE_Audio, GUID_NULL, FALSE, TRUE,
                                         MEDIATYPE_Audio, GUID_NULL))) {
    ADD_FAILURE() << "EnumMatchingFilters failed";
    return false;
  }
  bool found = false;
  REGFILTER* entry = nullptr;
  ULONG fetched = 0;
  while (filters->Next(1, &entry, &fetched) == S_OK && fetched == 1) {
    if (entry->Clsid == kTestFilterClsid) {
      found = true;
      if (withClassKey) {
        EXPECT_STREQ(kTestFilterName, entry->Name);
      }
    }
    CoTaskMemFree(entry);
  }
  return found;
}

class RegistrationTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    ASSERT_NE(nullptr, Module().registerServer);
    ASSERT_NE(nullptr, Module().unregisterServer);
  }
  void TearDown() override {
    // Leave the prefix as it was found, whatever the test did.
    if (KeyExists(ClassKey(kObjectWithFailureClsid))) {
      Module().unregisterServer();
    }
    FrameworkTest::TearDown();
  }

  void ExpectRegistered() {
    const std::wstring path = ModulePath();
    for (size_t row = 0; row < std::size(kRowClsids); ++row) {
      const std::wstring key = ClassKey(*kRowClsids[row]);
      EXPECT_EQ(std::wstring(kRowNames[row]), ReadString(key, nullptr)) << row;
      const std::wstring server = ReadString(key + L"\\InprocServer32", nullptr);
      EXPECT_EQ(0, lstrcmpiW(path.c_str(), server.c_str())) << row;
      EXPECT_EQ(L"Both", ReadString(key + L"\\InprocServer32", L"ThreadingModel")) << row;
    }
    EXPECT_TRUE(MapperListsTestFilter());
  }
};

TEST_F(RegistrationTest, RegisterWritesClassKeysAndTheMapperEntries) {
  ASSERT_HR(S_OK, Module().registerServer());
  ExpectRegistered();
  // The classes can now be made through COM like any registered class.
  ComPtr<IBaseFilter> filter;
  ASSERT_HR(S_OK, CoCreateInstance(kTestFilterClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                   reinterpret_cast<void**>(filter.GetAddressOf())));
  filter.Reset();

  // Registering again gives the same keys and values.
  ASSERT_HR(S_OK, Module().registerServer());
  ExpectRegistered();
}

TEST_F(RegistrationTest, UnregisterRemovesEverythingBelowTheClassKeys) {
  ASSERT_HR(S_OK, Module().registerServer());
  // Subkeys nobody here wrote go too.
  HKEY extra = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyW(HKEY_CLASSES_ROOT,
                                         (ClassKey(kTestFilterClsid) + L"\\Extra\\Deeper\\Deepest").c_str(), &extra));
  RegCloseKey(extra);

  ASSERT_HR(S_OK, Module().unregisterServer());
  for (const CLSID* clsid : kRowClsids) {
    EXPECT_FALSE(KeyExists(ClassKey(*clsid)));
  }
  EXPECT_FALSE(MapperListsTestFilter());
}

TEST_F(RegistrationTest, UnregisteringAnUnregisteredModuleRemovesNothing) {
  ASSERT_FALSE(KeyExists(ClassKey(kObjectWithFailureClsid)));
  // A key of an earlier row that must survive: the last row fails first.
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyW(HKEY_CLASSES_ROOT, ClassKey(kSelfReleasingClsid).c_str(), &key));
  RegCloseKey(key);
  EXPECT_HR(REGDB_E_CLASSNOTREG, Module().unregisterServer());
  EXPECT_TRUE(KeyExists(ClassKey(kSelfReleasingClsid)));
  RegDeleteKeyW(HKEY_CLASSES_ROOT, ClassKey(kSelfReleasingClsid).c_str());
}

TEST_F(RegistrationTest, MovieSetupWithoutClassKeysStillAnswers) {
  ComPtr<IAMovieSetup> setup;
  ASSERT_HR(S_OK, CreateFromModule(kTestFilterClsid, nullptr, IID_IAMovieSetup,
                                   reinterpret_cast<void**>(setup.GetAddressOf())));
  // The mapper may take the filter even without class keys; Register always
  // answers S_OK, and Unregister of what was registered succeeds.
  EXPECT_HR(S_OK, setup->Register());
  EXPECT_TRUE(MapperListsTestFilter(false));
  EXPECT_HR(S_OK, setup->Unregister());
  EXPECT_FALSE(MapperListsTestFilter(false));
  EXPECT_HR(S_OK, setup->Unregister()) << "a filter that is not registered is no error";
  setup.Reset();
  // What the old mapper left under the class key goes with the tree.
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, ClassKey(kTestFilterClsid).c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
    RegCloseKey(key);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKey(kTestFilterClsid).c_str());
  }
}

// A filter mapper that records what it is told and answers as the test
// wants: registered for this process in place of the platform's, so that the
// module's IAMovieSetup finds it through CoCreateInstance.
class RecordingMapper final : public IFilterMapper, public IClassFactory {
 public:
  std::wstring calls;
  HRESULT registerAnswer = S_OK;
  HRESULT unregisterAnswer = S_OK;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IFilterMapper) {
      *object = static_cast<IFilterMapper*>(this);
    } else if (iid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on the test's stack
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    return outer ? CLASS_E_NOAGGREGATION : QueryInterface(iid, object);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

  HRESULT STDMETHODCALLTYPE RegisterFilter(CLSID clsid, LPCWSTR name, DWORD merit) override {
    calls += L"filter " + Guid(clsid) + L" " + name + L" " + std::to_wstring(merit) + L";";
    return registerAnswer;
  }
  HRESULT STDMETHODCALLTYPE RegisterFilterInstance(CLSID, LPCWSTR, CLSID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RegisterPin(CLSID, LPCWSTR name, BOOL rendered, BOOL output, BOOL zero, BOOL many,
                                        CLSID connectsToFilter, LPCWSTR connectsToPin) override {
    calls += std::wstring(L"pin ") + name + L" " + std::to_wstring(rendered) + std::to_wstring(output) +
             std::to_wstring(zero) + std::to_wstring(many) + L" " + Guid(connectsToFilter) + L" " + connectsToPin +
             L";";
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE RegisterPinType(CLSID, LPCWSTR name, CLSID major, CLSID sub) override {
    calls += std::wstring(L"type ") + name + L" " + Guid(major) + L" " + Guid(sub) + L";";
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE UnregisterFilter(CLSID clsid) override {
    calls += L"unregister " + Guid(clsid) + L";";
    return unregisterAnswer;
  }
  HRESULT STDMETHODCALLTYPE UnregisterFilterInstance(CLSID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnregisterPin(CLSID, LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumMatchingFilters(IEnumRegFilters**, DWORD, BOOL, CLSID, CLSID, BOOL, BOOL, CLSID,
                                                CLSID) override {
    return E_NOTIMPL;
  }

 private:
  static std::wstring Guid(const GUID& guid) {
    wchar_t text[39] = {};
    StringFromGUID2(guid, text, 39);
    return text;
  }
};

// The mapper sees the filter's record as the test module declares it:
// unregistered before each registration, every pin with its type, the merit;
// a mapper that refuses still lets Register answer S_OK, and "not registered"
// is no failure of Unregister.
TEST_F(RegistrationTest, MapperIsToldTheRecordUnregisteredFirst) {
  RecordingMapper mapper;
  DWORD cookie = 0;
  ASSERT_HR(S_OK, CoRegisterClassObject(CLSID_FilterMapper, static_cast<IClassFactory*>(&mapper), CLSCTX_INPROC_SERVER,
                                        REGCLS_MULTIPLEUSE, &cookie));
  ComPtr<IAMovieSetup> setup;
  ASSERT_HR(S_OK, CreateFromModule(kTestFilterClsid, nullptr, IID_IAMovieSetup,
                                   reinterpret_cast<void**>(setup.GetAddressOf())));
  EXPECT_HR(S_OK, setup->Register());
  wchar_t clsid[39] = {};
  StringFromGUID2(kTestFilterClsid, clsid, 39);
  const std::wstring null = L"{00000000-0000-0000-0000-000000000000}";
  const std::wstring audio = L"{73647561-0000-0010-8000-00AA00389B71}";
  EXPECT_EQ(std::wstring(L"unregister ") + clsid + L";filter " + clsid + L" " + kTestFilterName + L" " +
                std::to_wstring(MERIT_DO_NOT_USE) + L";pin Input 0000 " + null + L" Output;type Input " + audio + L" " +
                null + L";pin Output 0100 " + null + L" Input;type Output " + audio + L" " + null + L";",
            mapper.calls);

  mapper.calls.clear();
  mapper.registerAnswer = E_FAIL;
  EXPECT_HR(S_OK, setup->Register()) << "a refusing mapper still counts as registered";
  EXPECT_EQ(std::wstring(L"unregister ") + clsid + L";filter " + clsid + L" " + kTestFilterName + L" " +
                std::to_wstring(MERIT_DO_NOT_USE) + L";",
            mapper.calls)
      << "no pins after the filter was refused";

  mapper.unregisterAnswer = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
  EXPECT_HR(S_OK, setup->Unregister()) << "not registered is no failure";
  mapper.unregisterAnswer = E_ACCESSDENIED;
  EXPECT_HR(E_ACCESSDENIED, setup->Unregister());
  setup.Reset();
  EXPECT_HR(S_OK, CoRevokeClassObject(cookie));
}

}  // namespace

}  // namespace sombrevox
