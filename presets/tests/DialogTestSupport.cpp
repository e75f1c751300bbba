#include "DialogTestSupport.h"

#include <dshow.h>

#include "ModuleUnderTest.h"
#include "PresetFile.h"
#include "PresetsDialog.h"
#include "ResourceIds.h"
#include "PluginSettings.h"
#include "SilenceGraph.h"
#include "TestSupport.h"
#include "WindowPixels.h"

namespace sombrevox::test {
namespace {

const char kPageClass[] = "OV_DialogTestPage";

LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

FilterUnderTest::FilterUnderTest() {
  // Loaded once and kept for the whole program.
  static const ModuleUnderTest* const module = new ModuleUnderTest(WindowsPath(SOMBREVOX_DLL_PATH));
  EXPECT_HR(S_OK, module->Create(CLSID_SombrevoxLight, IID_IUnknown, &filter_)) << "filter from " << SOMBREVOX_DLL_PATH;
  if (!filter_) return;
  filter_->QueryInterface(IID_IReverbSettings, reinterpret_cast<void**>(settings_.GetAddressOf()));
  if (settings_) settings_->GetEditorLink(&link_);
  EXPECT_NE(link_, nullptr);
}

FilterUnderTest::~FilterUnderTest() {
  graph_.reset();
  if (link_) link_->pageWindow = nullptr;
}

ReverbParams FilterUnderTest::Params() const {
  ReverbParams p{};
  if (settings_) settings_->GetParams(&p);
  return p;
}

void FilterUnderTest::ConnectAt(uint32_t samplesPerSec, const TempFolder& folder) {
  ComPtr<IBaseFilter> effect;
  ASSERT_HR(S_OK, filter_.As(&effect));
  std::string error;
  graph_ = ConnectOnSilence(effect.Get(), samplesPerSec, folder.File("input.wav"), &error);
  ASSERT_TRUE(graph_) << error;
  WAVEFORMATEX output{};
  ASSERT_HR(S_OK, settings_->GetWaveFormat(&output, 1));
  ASSERT_EQ(output.nSamplesPerSec, samplesPerSec);
}

PageWindow::PageWindow() {
  static const ATOM registered = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = PageProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kPageClass;
    return RegisterClassA(&wc);
  }();
  EXPECT_NE(registered, 0);
  window_ = CreateWindowA(kPageClass, "page", WS_OVERLAPPEDWINDOW, 0, 0, 430, 110, nullptr, nullptr,
                          GetModuleHandleA(nullptr), nullptr);
  EXPECT_NE(window_, nullptr);
}

PageWindow::~PageWindow() {
  if (window_) DestroyWindow(window_);
}

int PageWindow::TakePresetSelected() {
  int count = 0;
  MSG message;
  while (PeekMessageA(&message, window_, WM_REVERB_PRESET_SELECTED, WM_REVERB_PRESET_SELECTED, PM_REMOVE)) ++count;
  return count;
}

HINSTANCE ResourceModule() { return GetModuleHandleA(nullptr); }

void WriteBank(const std::string& path, const std::vector<Preset>& records) {
  PresetBank bank;
  for (const Preset& record : records) ASSERT_EQ(bank.Append(record), kPresetOk);
  RecordingReporter reporter;
  ASSERT_EQ(SavePresetFile(path.c_str(), bank, reporter), kPresetOk) << path;
}

std::vector<Preset> ReadBank(const std::string& path) {
  PresetBank bank;
  RecordingReporter reporter;
  EXPECT_EQ(CheckPresetFile(path.c_str(), reporter), kPresetOk) << path;
  EXPECT_EQ(LoadPresetFile(path.c_str(), bank, reporter), kPresetOk) << path;
  return std::vector<Preset>(bank.begin(), bank.end());
}

std::vector<std::string> NamesOf(const std::vector<Preset>& records) {
  std::vector<std::string> names;
  for (const Preset& record : records) names.emplace_back(PresetName(record));
  return names;
}

ReverbParams SettingFor(int index) {
  return ReverbParams{10.0 + index,   300.0 + index,         4000.0 + 1000.0 * index, 0.75,
                      1000.0 + index, 0.25 + 0.0625 * index, 0.125 * index,           -1.0 - index};
}

void PresetsDialogFixture::SetUp() {
  ASSERT_NE(filter_.Link(), nullptr);
  filter_.Link()->pageWindow = page_.get();
  UseBank(bank_);
  filter_.Settings()->SetParams(&current_);
}

void PresetsDialogFixture::UseBank(const std::string& path) {
  lstrcpynA(filter_.Link()->settings->presetsBankPath, path.c_str(), sizeof filter_.Link()->settings->presetsBankPath);
}

INT_PTR PresetsDialogFixture::Show() { return ShowPresetsDialog(ResourceModule(), page_.get(), filter_.Link()); }

ModalDriver::Step ChooseFile(const std::string& path) {
  return [path](HWND open) {
    EXPECT_EQ(WindowText(open), "Open");
    SetDlgItemTextA(open, 0x47C /* cmb13, the file name */, path.c_str());
    SendMessageA(open, WM_COMMAND, IDOK, 0);
  };
}

std::vector<std::string> ListEntries(HWND dialog) {
  std::vector<std::string> entries;
  const auto count = static_cast<int>(SendDlgItemMessageA(dialog, IDC_PRESET_LIST, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const auto length = static_cast<int>(SendDlgItemMessageA(dialog, IDC_PRESET_LIST, LB_GETTEXTLEN, i, 0));
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    SendDlgItemMessageA(dialog, IDC_PRESET_LIST, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    entries.push_back(text);
  }
  return entries;
}

bool SelectEntry(HWND dialog, const std::string& text) {
  const std::vector<std::string> entries = ListEntries(dialog);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i] != text) continue;
    SendDlgItemMessageA(dialog, IDC_PRESET_LIST, LB_SETCURSEL, i, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PRESET_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_PRESET_LIST)));
    return true;
  }
  ADD_FAILURE() << "no entry \"" << text << "\"";
  return false;
}

void TypeName(HWND dialog, const std::string& text) { SetDlgItemTextA(dialog, IDC_PRESET_NAME, text.c_str()); }

bool IsEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

std::string ButtonStates(HWND dialog) {
  return std::string() + (IsEnabled(dialog, IDC_LOAD) ? 'L' : '-') + (IsEnabled(dialog, IDC_ADD) ? 'A' : '-') +
         (IsEnabled(dialog, IDC_UPDATE) ? 'U' : '-') + (IsEnabled(dialog, IDC_DELETE) ? 'D' : '-');
}

}  // namespace sombrevox::test
