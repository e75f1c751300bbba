// sombrevox-host: a small host application. It creates the reverb filter and
// shows its property page in the platform's property frame, as an audio
// editor does; --screenshot runs it unattended and keeps a picture of the
// editor.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdio>
#include <string>

#include "EditorScreenshot.h"
#include "FilterSource.h"
#include "GraphUtil.h"
#include "HostOptions.h"
#include "SombrevoxLight.h"

using namespace sombrevox;
using namespace sombrevox::host;
using Microsoft::WRL::ComPtr;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 2;

// OLE on this thread, single-threaded: the frame and the page's windows live here.
class OleApartment {
 public:
  OleApartment() : hr_(OleInitialize(nullptr)) {}
  ~OleApartment() {
    if (SUCCEEDED(hr_)) OleUninitialize();
  }
  HRESULT Result() const { return hr_; }

 private:
  HRESULT hr_;
};

int Failure(const std::string& message) {
  std::fprintf(stderr, "sombrevox-host: %s\n", message.c_str());
  return kExitFailed;
}

// Shows the filter's pages in the property frame until it closes.
HRESULT ShowPropertyFrame(IUnknown* filter) {
  ComPtr<ISpecifyPropertyPages> specify;
  HRESULT hr = filter->QueryInterface(IID_ISpecifyPropertyPages, reinterpret_cast<void**>(specify.GetAddressOf()));
  CAUUID pages{};
  if (SUCCEEDED(hr)) hr = specify->GetPages(&pages);
  if (FAILED(hr)) return hr;
  IUnknown* objects[] = {filter};
  hr = OleCreatePropertyFrame(nullptr, 0, 0, L"Sombrevox Light", 1, objects, pages.cElems, pages.pElems,
                              LOCALE_USER_DEFAULT, 0, nullptr);
  CoTaskMemFree(pages.pElems);
  return hr;
}

int Run(const HostOptions& options) {
  OleApartment ole;
  if (FAILED(ole.Result())) return Failure("OLE refused to start: " + graph::HrText(ole.Result()));
  std::string error;
  FilterSource source;
  ComPtr<IUnknown> filter;
  if (!source.Open(options.module, &error) || !source.CreateFilter(&filter, &error)) return Failure(error);

  EditorScreenshot screenshot(options.screenshot, options.timeoutSeconds * 1000);
  if (!options.screenshot.empty() && !screenshot.Start(&error)) return Failure(error);
  const HRESULT hr = ShowPropertyFrame(filter.Get());
  if (FAILED(hr)) return Failure("cannot show the property frame: " + graph::HrText(hr));
  if (options.screenshot.empty()) return kExitOk;
  if (!screenshot.Written()) return Failure(screenshot.Error());
  std::printf("sombrevox-host: the editor (%ld x %ld) written to %s\n", screenshot.Size().cx, screenshot.Size().cy,
              options.screenshot.c_str());
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  HostOptions options;
  std::string error;
  if (!ParseHostOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "sombrevox-host: %s\n%s", error.c_str(), HostUsageText());
    return kExitFailed;
  }
  if (options.help) {
    std::fputs(HostUsageText(), stdout);
    return kExitOk;
  }
  return Run(options);
}
