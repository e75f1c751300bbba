#include "PageTestSupport.h"

#include <dshow.h>

#include <thread>

#include "ControlMessages.h"
#include "GuiTestSupport.h"
#include "ResourceIds.h"
#include "ReverbParams.h"
#include "SilenceGraph.h"
#include "TestSupport.h"
#include "WindowPixels.h"

namespace sombrevox::test {
namespace {

constexpr DWORD kReadyTimeoutMs = 10000;
constexpr DWORD kMenuTimeoutMs = 10000;

// Registers the built module for the whole program (the host makes the
// filter and the page through COM) without keeping it loaded: COM loads it,
// and unloads it when nothing of it is left.
class RegisteredModule : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_HR(S_OK, Call("DllRegisterServer")); }
  void TearDown() override {
    EXPECT_HR(S_OK, Call("DllUnregisterServer"));
    CoFreeUnusedLibraries();
  }

 private:
  static HRESULT Call(const char* name) {
    ArmWatchdog(name);
    HMODULE module = LoadLibraryA(WindowsPath(SOMBREVOX_DLL_PATH).c_str());
    if (!module) return HRESULT_FROM_WIN32(GetLastError());
    auto function = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    const HRESULT hr = function ? function() : E_NOINTERFACE;
    FreeLibrary(module);
    DisarmWatchdog();
    return hr;
  }
};

const bool installed = InstallTestEnvironment(COINIT_APARTMENTTHREADED);
[[maybe_unused]] ::testing::Environment* const kRegistered = ::testing::AddGlobalTestEnvironment(new RegisteredModule);

ContextMenuProbe* probing = nullptr;  // the probe whose hook is installed
std::atomic<bool> menuOpened{false};

}  // namespace

ComPtr<IUnknown> CreateFilter() {
  ComPtr<IUnknown> filter;
  EXPECT_HR(S_OK, CoCreateInstance(CLSID_SombrevoxLight, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                   reinterpret_cast<void**>(filter.GetAddressOf())));
  return filter;
}

EditorLink* LinkOf(IUnknown* filter) {
  EditorLink* link = nullptr;
  if (auto settings = Query<IReverbSettings>(filter, IID_IReverbSettings)) settings->GetEditorLink(&link);
  return link;
}

void PageTest::SetUp() {
  filter_ = CreateFilter();
  ASSERT_TRUE(filter_);
  settings_ = Query<IReverbSettings>(filter_.Get(), IID_IReverbSettings);
  ASSERT_TRUE(settings_);
  link_ = LinkOf(filter_.Get());
  ASSERT_NE(link_, nullptr);
  link_->firstOpen = 0;
}

void PageTest::TearDown() {
  if (page_) Close();
  PumpMessages();
}

void PageTest::Open() {
  ASSERT_HR(S_OK, CoCreateInstance(CLSID_SombrevoxLightPage, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                   reinterpret_cast<void**>(page_.ReleaseAndGetAddressOf())));
  ASSERT_HR(S_OK, page_->SetPageSite(site_.Get()));
  IUnknown* objects[] = {filter_.Get()};
  ASSERT_HR(S_OK, page_->SetObjects(1, objects));
  const RECT area = {0, 0, 430, 110};
  ASSERT_HR(S_OK, page_->Activate(parent_.get(), &area, TRUE));
  ASSERT_NE(Page(), nullptr);
}

bool PageTest::WaitReady() {
  return PumpUntil([this] { return IsWindowEnabled(Item(IDC_VALUE)) != FALSE; }, kReadyTimeoutMs);
}

void PageTest::Close() {
  if (Page()) {
    EXPECT_HR(S_OK, page_->Deactivate());
  }
  page_->SetObjects(0, nullptr);
  EXPECT_HR(S_OK, page_->SetPageSite(nullptr));
  page_.Reset();
}

HWND PageTest::Page() const { return GetWindow(parent_.get(), GW_CHILD); }

int PageTest::Position(int id) const { return static_cast<int>(SendMessageA(Item(id), CTL_GETPOS, 0, 0)); }

void PageTest::Click(int id) {
  PressAt(Item(id), {5, 5});
  ReleaseAt(Item(id), {5, 5});
}

double PageTest::Param(int index) const {
  ReverbParams params{};
  settings_->GetParams(&params);
  return ParamAt(params, index);
}

bool PageTest::StoredDword(const char* name, DWORD* value) {
  DWORD size = sizeof *value;
  return RegGetValueA(HKEY_LOCAL_MACHINE, kSettingsKey, name, RRF_RT_REG_DWORD, nullptr, value, &size) == ERROR_SUCCESS;
}

bool PageTest::StoredString(const char* name, std::string* value) {
  char text[1024] = {};
  DWORD size = sizeof text;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
    return false;
  *value = text;
  return true;
}

void PageTest::DragKnob() {
  HWND knob = Item(IDC_VALUE);
  PressAt(knob, {60, 20});
  MoveTo(knob, {-60, 140});
  ReleaseAt(knob, {-60, 140});
}

ContextMenuProbe::ContextMenuProbe() {
  probing = this;
  hook_ = SetWindowsHookExA(WH_CALLWNDPROC, OnCall, nullptr, GetCurrentThreadId());
  EXPECT_NE(hook_, nullptr);
}

ContextMenuProbe::~ContextMenuProbe() {
  if (hook_) UnhookWindowsHookEx(hook_);
  probing = nullptr;
}

LRESULT CALLBACK ContextMenuProbe::OnCall(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && call->message == WM_INITMENUPOPUP && probing) {
    probing->menu_ = reinterpret_cast<HMENU>(call->wParam);
    menuOpened = true;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool ContextMenuProbe::Opens(HWND page, POINT client) {
  menuOpened = false;
  HANDLE answered = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  // Ends the menu once it has opened (the menu may not be tracking yet when
  // its owner hears of it, so until the send returns), or after a while
  // whatever happened, so that a menu never blocks the test.
  std::thread watcher([answered] {
    const ULONGLONG deadline = GetTickCount64() + kMenuTimeoutMs;
    while (WaitForSingleObject(answered, 20) == WAIT_TIMEOUT)
      if (menuOpened || GetTickCount64() > deadline) EndMenu();
  });
  POINT screen = client;
  ClientToScreen(page, &screen);
  SendMessageA(page, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(page), MAKELPARAM(screen.x, screen.y));
  SetEvent(answered);
  watcher.join();
  CloseHandle(answered);
  return menuOpened;
}

ConnectedFilter::ConnectedFilter(IUnknown* filter, uint32_t samplesPerSec) {
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  path_ = std::string(folder) + "sombrevox-page-" + std::to_string(samplesPerSec) + ".wav";
  ComPtr<IBaseFilter> effect;
  EXPECT_HR(S_OK, filter->QueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(effect.GetAddressOf())));
  std::string error;
  graph_ = ConnectOnSilence(effect.Get(), samplesPerSec, path_, &error);
  EXPECT_TRUE(graph_) << error;
}

ConnectedFilter::~ConnectedFilter() {
  graph_.reset();
  if (!path_.empty()) DeleteFileA(path_.c_str());
}

}  // namespace sombrevox::test
