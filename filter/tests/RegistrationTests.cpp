// Self-registration of the built module: the class keys and values it
// writes, the filter mapper's entry, and their removal. The environment has
// registered the module before the first test; these tests leave it
// registered again whatever happens, since the other tests need it.
#include <objbase.h>

#include "GraphTestSupport.h"

namespace sombrevox::graphtest {
namespace {

const char kFilterKey[] = "CLSID\\{5E2A41C6-3D07-11D4-B1F3-6A0E29C70000}";
const char kPageKey[] = "CLSID\\{5E2A41C7-3D07-11D4-B1F3-6A0E29C70000}";

bool KeyExists(const std::string& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

// A REG_SZ value under HKEY_CLASSES_ROOT ("" for the default value), or
// "<missing>".
std::string StringValue(const std::string& key, const char* name) {
  char data[1024] = {};
  DWORD size = sizeof data - 1;
  DWORD type = 0;
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return "<missing>";
  const LONG result = RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(handle);
  if (result != ERROR_SUCCESS) return "<missing>";
  if (type != REG_SZ) return "<not REG_SZ>";
  return data;
}

// Whether the filter mapper lists the filter among those taking and giving audio.
bool MapperListsTheFilter() {
  ComPtr<IFilterMapper2> mapper;
  if (FAILED(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                              reinterpret_cast<void**>(mapper.GetAddressOf()))))
    return false;
  const GUID audio[2] = {MEDIATYPE_Audio, GUID_NULL};
  ComPtr<IEnumMoniker> filters;
  if (mapper->EnumMatchingFilters(&filters, 0, FALSE, 0, TRUE, 1, audio, nullptr, nullptr, FALSE, TRUE, 1, audio,
                                  nullptr, nullptr) != S_OK)
    return false;
  ComPtr<IMoniker> moniker;
  while (filters->Next(1, moniker.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
    ComPtr<IPropertyBag> bag;
    if (FAILED(
            moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, reinterpret_cast<void**>(bag.GetAddressOf()))))
      continue;
    VARIANT value;
    VariantInit(&value);
    CLSID clsid = CLSID_NULL;
    if (SUCCEEDED(bag->Read(L"CLSID", &value, nullptr)) && value.vt == VT_BSTR) CLSIDFromString(value.bstrVal, &clsid);
    VariantClear(&value);
    if (clsid == CLSID_SombrevoxLight) return true;
  }
  return false;
}

HRESULT CreateThroughCom() {
  ComPtr<IBaseFilter> filter;
  return CoCreateInstance(CLSID_SombrevoxLight, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                          reinterpret_cast<void**>(filter.GetAddressOf()));
}

void ExpectRegistered() {
  EXPECT_EQ("ORVELA Soft SombrevoxLight", StringValue(kFilterKey, ""));
  EXPECT_EQ(0, lstrcmpiA(Module().path.c_str(), StringValue(std::string(kFilterKey) + "\\InprocServer32", "").c_str()))
      << StringValue(std::string(kFilterKey) + "\\InprocServer32", "") << " instead of " << Module().path;
  EXPECT_EQ("Both", StringValue(std::string(kFilterKey) + "\\InprocServer32", "ThreadingModel"));
  EXPECT_EQ("ORVELA Soft SombrevoxLight Property Page", StringValue(kPageKey, ""));
  EXPECT_EQ(0, lstrcmpiA(Module().path.c_str(), StringValue(std::string(kPageKey) + "\\InprocServer32", "").c_str()));
  EXPECT_EQ("Both", StringValue(std::string(kPageKey) + "\\InprocServer32", "ThreadingModel"));
  EXPECT_TRUE(MapperListsTheFilter()) << "the filter mapper does not list the filter for audio";
  EXPECT_HR(S_OK, CreateThroughCom());
}

// Registers the module again when a test ends, however it ended.
struct RegisterAgainAtExit {
  ~RegisterAgainAtExit() { Module().registerServer(); }
};

TEST(Registration, WritesTheClassKeysAndTheMapperEntry) {
  EXPECT_HR(S_OK, Module().registration) << "DllRegisterServer of the environment";
  ExpectRegistered();
}

TEST(Registration, RegisteringAgainGivesTheSameEntries) {
  RegisterAgainAtExit guard;
  EXPECT_HR(S_OK, Module().registerServer());
  ExpectRegistered();
}

TEST(Registration, UnregisteringRemovesEverythingAndRegisteringRestoresIt) {
  RegisterAgainAtExit guard;
  EXPECT_HR(S_OK, Module().unregisterServer());
  EXPECT_FALSE(KeyExists(kFilterKey)) << "the filter's class key is still there";
  EXPECT_FALSE(KeyExists(kPageKey)) << "the page's class key is still there";
  EXPECT_FALSE(MapperListsTheFilter()) << "the filter mapper still lists the filter";
  EXPECT_HR(REGDB_E_CLASSNOTREG, CreateThroughCom());

  EXPECT_HR(S_OK, Module().registerServer());
  ExpectRegistered();
}

}  // namespace
}  // namespace sombrevox::graphtest
