#pragma once
// Shared by the tests of the presets windows: a real filter from the built
// module with its editor link, a window standing in for the property page,
// bank files on disk, and the Presets dialog's controls read and worked as a
// user works them.
#include <windows.h>
#include <wrl/client.h>

#include <memory>
#include <string>
#include <vector>

#include "ModalDriver.h"
#include "OfflineGraph.h"
#include "Preset.h"
#include "PresetTestSupport.h"
#include "SombrevoxLight.h"

namespace sombrevox::test {

using Microsoft::WRL::ComPtr;

// A filter made by the built OVSombrevoxLight.dll through its class factory,
// with its editor link as the page hands it to the dialogs.
class FilterUnderTest {
 public:
  FilterUnderTest();
  ~FilterUnderTest();
  IReverbSettings* Settings() const { return settings_.Get(); }
  EditorLink* Link() const { return link_; }
  ReverbParams Params() const;
  // Joins the filter's output at `samplesPerSec` in the platform's graph
  // (File Source, WAVE Parser, the filter, Sample Grabber, Null Renderer)
  // from a short WAV file of that rate; the graph stays built, not running.
  void ConnectAt(uint32_t samplesPerSec, const TempFolder& folder);

 private:
  ComPtr<IUnknown> filter_;
  ComPtr<IReverbSettings> settings_;
  EditorLink* link_ = nullptr;
  std::unique_ptr<graph::OfflineGraph> graph_;
};

// A hidden top-level window that owns the dialogs and stands in for the
// property page: it counts the WM_REVERB_PRESET_SELECTED posted to it.
class PageWindow {
 public:
  PageWindow();
  ~PageWindow();
  HWND get() const { return window_; }
  // Takes the posted WM_REVERB_PRESET_SELECTED messages from the queue.
  int TakePresetSelected();

 private:
  HWND window_ = nullptr;
};

// The module whose resources the dialogs use: this test program carries the
// module's resource script.
HINSTANCE ResourceModule();

// Bank files, written and read through the product's own file code.
void WriteBank(const std::string& path, const std::vector<Preset>& records);
std::vector<Preset> ReadBank(const std::string& path);
std::vector<std::string> NamesOf(const std::vector<Preset>& records);

// In-range settings the filter keeps exactly, one per index.
ReverbParams SettingFor(int index);

// A filter from the module, a page window owning the dialogs and a bank file
// in a folder of the test's own, named in the filter's settings.
class PresetsDialogFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void UseBank(const std::string& path);
  INT_PTR Show();  // the Presets dialog on the filter's link

  TempFolder folder_;
  std::string bank_ = folder_.File("bank.prs");
  FilterUnderTest filter_;
  PageWindow page_;
  ReverbParams current_ = SettingFor(1);  // the filter's setting at the start
};

// Answers the open-file dialog with `path`, typed into its file name box.
ModalDriver::Step ChooseFile(const std::string& path);

// The Presets dialog's controls.
std::vector<std::string> ListEntries(HWND dialog);  // in the list box's (sorted) order
// Selects the entry with exactly this text and tells the dialog, as a click
// does (false when there is none).
bool SelectEntry(HWND dialog, const std::string& text);
// Types into the name box (EN_CHANGE follows, as when typing).
void TypeName(HWND dialog, const std::string& text);
bool IsEnabled(HWND dialog, int id);
// The Load, Add, Update and Delete buttons' states, as "LAUD" with a dash for
// a disabled one ("-A--": only Add enabled).
std::string ButtonStates(HWND dialog);

}  // namespace sombrevox::test
