#include "ValueEntryPopup.h"

#include <wrl/client.h>

#include <memory>
#include <new>

#include "ControlMessages.h"
#include "EnteredValue.h"
#include "ResourceIds.h"
#include "SettingsAccess.h"
#include "WindowState.h"

namespace sombrevox {
namespace {

// How long the popup waits for the control's thread to move the control.
constexpr UINT kMoveTimeoutMs = 2000;
constexpr int kEnteredTextSize = kMaxEnteredLength + 1;

// Everything the popup's thread uses, owned by that thread.
struct ValueEntryRequest {
  HWND control;  // may be destroyed while the popup is open: checked before use
  HWND page;
  int index;
  Microsoft::WRL::ComPtr<IReverbSettings> settings;  // the popup's own reference
  HINSTANCE resources;                               // the module holding dialog 137
  HMODULE code;                                      // keeps this code loaded until the thread ends
  bool closing;
};

// The one popup of the process. `claimed` is taken on the opening control's
// thread before the popup's thread starts and given back by that thread as
// its last act before it unloads; `window` holds the dialog while it exists.
volatile LONG claimed = 0;
volatile LONG closeRequested = 0;
void* volatile window = nullptr;
void* volatile openerPage = nullptr;

HWND ReadHandle(void* volatile& variable) {
  return static_cast<HWND>(InterlockedCompareExchangePointer(&variable, nullptr, nullptr));
}

void WriteHandle(void* volatile& variable, HWND value) { InterlockedExchangePointer(&variable, value); }

void Close(HWND dialog, ValueEntryRequest* request) {
  if (request) {
    if (request->closing) return;
    request->closing = true;
  }
  DestroyWindow(dialog);
}

INT_PTR OnInitDialog(HWND dialog, ValueEntryRequest* request) {
  SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(request));
  const NumberText text = EntryText(SettingsAccess(request->settings.Get()), request->index);
  SetDlgItemTextA(dialog, IDC_VALUE_EDIT, text.c_str());
  HWND edit = GetDlgItem(dialog, IDC_VALUE_EDIT);
  // The whole value is selected, so that typing replaces it.
  SendMessageA(edit, EM_SETSEL, 0, -1);
  SetFocus(edit);
  return FALSE;
}

void ApplyEntered(HWND dialog, ValueEntryRequest& request) {
  char text[kEnteredTextSize] = {};
  GetDlgItemTextA(dialog, IDC_VALUE_EDIT, text, kEnteredTextSize);
  SettingsAccess access(request.settings.Get());
  const EnteredResult result = ApplyEnteredText(access, request.index, text);
  // The control may be gone with its page; a bounded wait, so that a page
  // thread that does not answer cannot hold the popup open.
  if (result.applied && IsWindow(request.control)) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(request.control, CTL_SETPOS, static_cast<WORD>(result.position), 0,
                        SMTO_NORMAL | SMTO_ABORTIFHUNG, kMoveTimeoutMs, &ignored);
  }
  if (IsWindow(request.page)) PostMessageA(request.page, WM_VALUE_ENTERED, 0, 0);
}

void OnCommand(HWND dialog, ValueEntryRequest* request, WPARAM wParam) {
  switch (LOWORD(wParam)) {
    case IDOK:
      if (request && !request->closing) ApplyEntered(dialog, *request);
      Close(dialog, request);
      break;
    case IDCANCEL:
      Close(dialog, request);
      break;
    case IDC_VALUE_EDIT:
      // The user clicked elsewhere.
      if (HIWORD(wParam) == EN_KILLFOCUS) Close(dialog, request);
      break;
    default:
      break;
  }
}

INT_PTR CALLBACK ValueEntryDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* request = reinterpret_cast<ValueEntryRequest*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(dialog, reinterpret_cast<ValueEntryRequest*>(lParam));
    case WM_COMMAND:
      OnCommand(dialog, request, wParam);
      return TRUE;
    case WM_KILLFOCUS:
    case WM_CLOSE:
      Close(dialog, request);
      return TRUE;
    case WM_DESTROY:
      PostQuitMessage(0);
      return TRUE;
    default:
      return FALSE;
  }
}

void RunMessageLoop(HWND dialog) {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (IsWindow(dialog) && IsDialogMessageA(dialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// Runs the popup to its end, frees the request (and with it the popup's
// reference to the filter) and gives the claim back.
DWORD RunPopup(ValueEntryRequest* request) {
  {
    std::unique_ptr<ValueEntryRequest> owned(request);
    HWND dialog = CreateDialogParamA(request->resources, MAKEINTRESOURCEA(IDD_VALUE_ENTRY), request->control,
                                     ValueEntryDialogProc, reinterpret_cast<LPARAM>(request));
    if (dialog) {
      // Published before the close request is read, so that a close asked
      // for at any moment is either seen here or finds the window.
      WriteHandle(window, dialog);
      if (InterlockedCompareExchange(&closeRequested, 0, 0)) {
        Close(dialog, request);
      } else {
        ShowWindow(dialog, SW_SHOW);
      }
      RunMessageLoop(dialog);
    }
    WriteHandle(window, nullptr);
    WriteHandle(openerPage, nullptr);
  }
  InterlockedExchange(&claimed, 0);
  return 0;
}

// The popup thread's routine: runs the popup and its message loop, then ends
// the thread with FreeLibraryAndExitThread, the module reference it holds
// being its last use of the module's code.
DWORD WINAPI RunValueEntry(void* request) {
  HMODULE code = static_cast<ValueEntryRequest*>(request)->code;
  const DWORD exitCode = RunPopup(static_cast<ValueEntryRequest*>(request));
  FreeLibraryAndExitThread(code, exitCode);
}

}  // namespace

bool OpenValueEntry(HWND control, IReverbSettings* settings, int index) {
  if (!control || !settings) return false;
  if (InterlockedExchange(&claimed, 1) != 0) return false;
  HMODULE code = nullptr;
  auto* request = new (std::nothrow)
      ValueEntryRequest{control, GetParent(control), index, settings, ControlModule(control), nullptr, false};
  if (request &&
      GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&RunValueEntry), &code)) {
    request->code = code;
    WriteHandle(openerPage, request->page);
    InterlockedExchange(&closeRequested, 0);
    HANDLE thread = CreateThread(nullptr, 0, RunValueEntry, request, 0, nullptr);
    if (thread) {
      CloseHandle(thread);
      return true;
    }
    FreeLibrary(code);
    WriteHandle(openerPage, nullptr);
  }
  delete request;
  InterlockedExchange(&claimed, 0);
  return false;
}

void CloseValueEntryPopup(HWND page) {
  if (!InterlockedCompareExchange(&claimed, 0, 0)) return;
  if (page && ReadHandle(openerPage) != page) return;
  InterlockedExchange(&closeRequested, 1);
  HWND dialog = ReadHandle(window);
  if (dialog) PostMessageA(dialog, WM_CLOSE, 0, 0);
}

HWND ValueEntryWindow() { return ReadHandle(window); }

bool IsValueEntryOpen() { return InterlockedCompareExchange(&claimed, 0, 0) != 0; }

}  // namespace sombrevox
