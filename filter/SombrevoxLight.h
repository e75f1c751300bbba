// Sombrevox Light 2.0 — the public face of OVSombrevoxLight.dll for hosts and
// for the module's own editor: class and interface identifiers, the parameter
// record, the filter's own interfaces and the window messages it posts.
#pragma once
#include <windows.h>
#include <unknwn.h>

// ReverbParams, the 64-byte setting record of GetParams/SetParams.
#include "ReverbParamsRecord.h"

namespace sombrevox {

// {5E2A41C6-3D07-11D4-B1F3-6A0E29C70000}
inline constexpr CLSID CLSID_SombrevoxLight = {
    0x5E2A41C6, 0x3D07, 0x11D4, {0xB1, 0xF3, 0x6A, 0x0E, 0x29, 0xC7, 0x00, 0x00}};
// {5E2A41C7-3D07-11D4-B1F3-6A0E29C70000}
inline constexpr CLSID CLSID_SombrevoxLightPage = {
    0x5E2A41C7, 0x3D07, 0x11D4, {0xB1, 0xF3, 0x6A, 0x0E, 0x29, 0xC7, 0x00, 0x00}};
// {5E2A41C9-3D07-11D4-B1F3-6A0E29C70000}
inline constexpr IID IID_IReverbSettings = {
    0x5E2A41C9, 0x3D07, 0x11D4, {0xB1, 0xF3, 0x6A, 0x0E, 0x29, 0xC7, 0x00, 0x00}};
// {36a22460-0cc9-11d0-8574-00a0c9053912}
inline constexpr IID IID_IFactoryPresets = {
    0x36a22460, 0x0cc9, 0x11d0, {0x85, 0x74, 0x00, 0xa0, 0xc9, 0x05, 0x39, 0x12}};

struct PluginSettings;

// The block the filter shares with its property page and dialogs. Words that
// hold pointers or window handles are pointer-sized; the others are 32-bit.
struct EditorLink {
  PluginSettings* settings;        // the filter's settings record
  struct IReverbSettings* reverb;  // the filter's parameter interface
  HWND pageWindow;                 // the open page's dialog, or null
  LONG pageReady;                  // set once the page's display is first ready
  LONG firstOpen;                  // cleared after the editor's first opening
  LONG selectedParam;              // the parameter index the knob edits (0..7)
  LONG editorWord;                 // passed to the controls; no behaviour depends on it
};

// Notifications: WM_COMMAND to a registered window, low word its command id,
// high word one of these codes, lParam 0.
constexpr WORD NOTIFY_INPUT_TYPE = 0;
constexpr WORD NOTIFY_OUTPUT_TYPE = 1;
constexpr WORD NOTIFY_SETTINGS_LOADED = 100;
constexpr WORD PAGE_NOTIFY_ID = 32700;  // the property page's command id

constexpr UINT WM_DISPLAY_READY = WM_USER + 102;           // 1126: intro over
constexpr UINT WM_REVERB_PRESET_SELECTED = WM_USER + 107;  // 1131: parameters replaced
constexpr UINT WM_VALUE_ENTERED = WM_USER + 108;           // 1132: a typed value was applied

// The filter's parameter interface. Setters clamp and never fail; getters
// read the stored value. All operations are __stdcall.
struct IReverbSettings : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetParams(ReverbParams* params) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetParams(const ReverbParams* params) = 0;
  // which: 0 the input format, 1 the output format (18 bytes copied).
  virtual HRESULT STDMETHODCALLTYPE GetWaveFormat(WAVEFORMATEX* format, DWORD which) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetEditorLink(EditorLink** link) = 0;
  // Registers, updates or (id 0) removes a window for WM_COMMAND notifications.
  virtual HRESULT STDMETHODCALLTYPE SetNotifyWindow(HWND window, DWORD id) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPredelay(double* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetPredelay(double value) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRoomSize(double* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetRoomSize(double value) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetLowpass(double* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetLowpass(double value) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDiffusion(double* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetDiffusion(double value) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDecay(double* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetDecay(double value) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDamping(double* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetDamping(double value) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetMix(double* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetMix(double value) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetLevel(double* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetLevel(double value) = 0;
};

// The 24 factory presets, for hosts that offer presets of their own.
struct IFactoryPresets : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetPresetCount(LONG* count) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPresetName(LONG index, WCHAR* name, LONG length) = 0;
  virtual HRESULT STDMETHODCALLTYPE SelectPreset(LONG index) = 0;
};

}  // namespace sombrevox
