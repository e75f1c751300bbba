#pragma once
// What the framework test module and the test programs share: class ids of
// the test module's classes, its probe interface and its extra exports.
#include <windows.h>
#include <dshow.h>

namespace sombrevox {

// {6B1F0A10-8C2E-4B7A-9D31-5C0E7A2F4E01}: the pass-through test filter.
inline constexpr CLSID kTestFilterClsid = {
    0x6b1f0a10, 0x8c2e, 0x4b7a, {0x9d, 0x31, 0x5c, 0x0e, 0x7a, 0x2f, 0x4e, 0x01}};
// A plain object whose destructor releases an interface pointing back at it.
inline constexpr CLSID kSelfReleasingClsid = {
    0x6b1f0a10, 0x8c2e, 0x4b7a, {0x9d, 0x31, 0x5c, 0x0e, 0x7a, 0x2f, 0x4e, 0x02}};
// A create function that fails without an object.
inline constexpr CLSID kFailingCreateClsid = {
    0x6b1f0a10, 0x8c2e, 0x4b7a, {0x9d, 0x31, 0x5c, 0x0e, 0x7a, 0x2f, 0x4e, 0x03}};
// A create function that returns an object together with a failure.
inline constexpr CLSID kObjectWithFailureClsid = {
    0x6b1f0a10, 0x8c2e, 0x4b7a, {0x9d, 0x31, 0x5c, 0x0e, 0x7a, 0x2f, 0x4e, 0x04}};

// A property page on a dialog of the test module's own.
inline constexpr CLSID kTestPageClsid = {0x6b1f0a10, 0x8c2e, 0x4b7a, {0x9d, 0x31, 0x5c, 0x0e, 0x7a, 0x2f, 0x4e, 0x05}};
// Its title, string resource 1 of the test module.
inline constexpr const wchar_t* kTestPageTitle = L"Framework test page";

inline constexpr const wchar_t* kTestFilterName = L"Sombrevox Framework Test Filter";
inline constexpr const wchar_t* kTestModuleName = L"framework_test_module.dll";
// The failure the two failing create functions report.
inline constexpr HRESULT kCreateFailure = VFW_E_NEED_OWNER;
// The test filter refuses every input type with this many channels.
inline constexpr WORD kRefusedChannels = 3;

// How often the test filter's hooks ran.
struct HookCounts {
  LONG startStreaming;
  LONG stopStreaming;
  LONG receiveSample;
  LONG endOfStream;
  LONG beginFlush;
  LONG endFlush;
  LONG newSegment;
  LONG formatSetInput;
  LONG formatSetOutput;
  LONG pinConnected;
  LONG pinDisconnected;
  LONG quality;
  LONG sizeOutputBuffers;
};

// {6B1F0A10-8C2E-4B7A-9D31-5C0E7A2F4E10}
inline constexpr IID kProbeIid = {0x6b1f0a10, 0x8c2e, 0x4b7a, {0x9d, 0x31, 0x5c, 0x0e, 0x7a, 0x2f, 0x4e, 0x10}};

struct ITestProbe : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetCounts(HookCounts* counts) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetStartStreamingResult(HRESULT result) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetQualityResult(HRESULT result) = 0;
  // Buffer size the filter asks of output allocators.
  virtual HRESULT STDMETHODCALLTYPE SetOutputBufferSize(LONG bytes) = 0;
};

// How often the test page's hooks ran, and the dirty flag it is to hold.
struct PageCounts {
  LONG attach;
  LONG detach;
  LONG pageActivate;
  LONG pageDeactivate;
  LONG apply;
  LONG initDialog;
  LONG destroy;
};

// {6B1F0A10-8C2E-4B7A-9D31-5C0E7A2F4E11}
inline constexpr IID kPageProbeIid = {0x6b1f0a10, 0x8c2e, 0x4b7a, {0x9d, 0x31, 0x5c, 0x0e, 0x7a, 0x2f, 0x4e, 0x11}};

struct ITestPageProbe : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetPageCounts(PageCounts* counts) = 0;
  virtual HRESULT STDMETHODCALLTYPE MakeDirty() = 0;
};

// Extra exports of the test module (undecorated through its .def file).
using LongQuery = LONG(WINAPI*)();
// "TestLiveObjects": the module's LiveObjectCount.
// "TestSelfReleasingDestructions": destructor runs of the self-releasing object.
// "TestHookCalls": calls of the class-table hook so far (attach adds 1).

}  // namespace sombrevox
