#pragma once
// The property page of the built module as a host drives it: the module
// registered for the program, a filter and a page made through COM, the page
// activated into a real parent window, its controls worked as a user works
// them, its context menu watched, and the filter joined to the platform's
// graph at a chosen output rate.
#include <windows.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>

#include "OfflineGraph.h"
#include "PluginSettings.h"
#include "PropertyPageHost.h"
#include "RegistryValues.h"
#include "SombrevoxLight.h"

namespace sombrevox::test {

using Microsoft::WRL::ComPtr;

// The module's file name, as GetModuleHandleA finds it once COM has loaded it.
constexpr char kModuleName[] = "OVSombrevoxLight.dll";

// `object`'s interface `iid` (the module's own interfaces have no __uuidof).
template <typename I>
ComPtr<I> Query(IUnknown* object, REFIID iid) {
  ComPtr<I> result;
  if (object) object->QueryInterface(iid, reinterpret_cast<void**>(result.GetAddressOf()));
  return result;
}

// A new filter through COM, as a host makes it.
ComPtr<IUnknown> CreateFilter();
EditorLink* LinkOf(IUnknown* filter);

class PageTest : public ::testing::Test {
 protected:
  // A filter whose editor has been opened before (no presentation, no About
  // text dialog) unless a test says otherwise; the registry values the page
  // writes are restored afterwards.
  void SetUp() override;
  void TearDown() override;

  // A new page on the filter, activated into the parent window as a frame
  // does it: site, objects, Activate.
  void Open();
  // Pumps until the page's display has reported ready: its controls enabled.
  bool WaitReady();
  // Deactivate, no objects, no site, released.
  void Close();

  HWND Page() const;  // the page's dialog, the parent's only child; null when none
  HWND Item(int id) const { return GetDlgItem(Page(), id); }
  int Position(int id) const;  // the knob's or the slider's
  void Click(int id);          // a press and release on a control
  double Param(int index) const;
  // A machine-wide setting as stored in the registry; false when absent.
  static bool StoredDword(const char* name, DWORD* value);
  static bool StoredString(const char* name, std::string* value);
  // Drags the knob down to its left end: the minimum.
  void DragKnob();

  ComPtr<IUnknown> filter_;
  ComPtr<IReverbSettings> settings_;
  EditorLink* link_ = nullptr;
  ComPtr<IPropertyPage> page_;
  ComPtr<CountingSite> site_ = CountingSite::Make();
  ParentWindow parent_;
  SavedValue show_{HKEY_LOCAL_MACHINE, kSettingsKey, "ShowPresentation"};
  SavedValue bank_{HKEY_LOCAL_MACHINE, kSettingsKey, "PresetsBank"};
};

// Sends the page the WM_CONTEXTMENU of a right-click and tells whether a menu
// opened, by the WM_INITMENUPOPUP its owner receives; a watcher thread ends
// the menu, which blocks this thread while it is open.
class ContextMenuProbe {
 public:
  ContextMenuProbe();
  ~ContextMenuProbe();
  ContextMenuProbe(const ContextMenuProbe&) = delete;
  ContextMenuProbe& operator=(const ContextMenuProbe&) = delete;

  bool Opens(HWND page, POINT client);
  // The popup menu last seen opening.
  HMENU Menu() const { return menu_; }

 private:
  static LRESULT CALLBACK OnCall(int code, WPARAM wParam, LPARAM lParam);
  HHOOK hook_ = nullptr;
  HMENU menu_ = nullptr;
};

// The filter's output at `samplesPerSec` in the platform's graph (File
// Source, WAVE Parser, the filter, Sample Grabber, Null Renderer), from a
// short WAV file of that rate; built, not running. The file goes with it.
class ConnectedFilter {
 public:
  ConnectedFilter(IUnknown* filter, uint32_t samplesPerSec);
  ~ConnectedFilter();
  ConnectedFilter(const ConnectedFilter&) = delete;
  ConnectedFilter& operator=(const ConnectedFilter&) = delete;

 private:
  std::string path_;
  std::unique_ptr<graph::OfflineGraph> graph_;
};

}  // namespace sombrevox::test
