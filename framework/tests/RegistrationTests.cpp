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
};
const CLSID* const kRowClsids[] = {&kTestFilterClsid, &kSelfReleasingClsid, &kFailingCreateClsid,
                                   &kObjectWithFailureClsid};

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
    for (size_t row = 0; row < 4; ++row) {
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

}  // namespace

}  // namespace sombrevox
