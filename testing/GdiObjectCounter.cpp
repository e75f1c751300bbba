#include "GdiObjectCounter.h"

#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace sombrevox::test {
namespace {

// What the wrappers saw; one counter at a time.
struct Ledger {
  std::mutex lock;
  std::set<HGDIOBJ> objects;
  std::set<HDC> contexts;
  std::map<HDC, std::map<DWORD, HGDIOBJ>> selected;  // per context, per object type
  int deletedWhileSelected = 0;
};
Ledger ledger;

HGDIOBJ Made(HGDIOBJ object) {
  if (object) {
    std::lock_guard<std::mutex> guard(ledger.lock);
    ledger.objects.insert(object);
  }
  return object;
}

HDC MadeContext(HDC dc) {
  if (dc) {
    std::lock_guard<std::mutex> guard(ledger.lock);
    ledger.contexts.insert(dc);
  }
  return dc;
}

void Gone(HDC dc) {
  std::lock_guard<std::mutex> guard(ledger.lock);
  ledger.contexts.erase(dc);
  ledger.selected.erase(dc);
}

void Selected(HDC dc, HGDIOBJ object) {
  if (!dc || !object) return;
  const DWORD type = GetObjectType(object);
  std::lock_guard<std::mutex> guard(ledger.lock);
  ledger.selected[dc][type] = object;
}

// The original functions, filled when the imports are redirected.
#define SOMBREVOX_GDI_ORIGINAL(name) decltype(&::name) original##name = nullptr;
SOMBREVOX_GDI_ORIGINAL(CreateBitmap)
SOMBREVOX_GDI_ORIGINAL(CreateBitmapIndirect)
SOMBREVOX_GDI_ORIGINAL(CreateCompatibleBitmap)
SOMBREVOX_GDI_ORIGINAL(CreateDIBitmap)
SOMBREVOX_GDI_ORIGINAL(CreateDIBSection)
SOMBREVOX_GDI_ORIGINAL(CreateFontA)
SOMBREVOX_GDI_ORIGINAL(CreateFontIndirectA)
SOMBREVOX_GDI_ORIGINAL(CreatePen)
SOMBREVOX_GDI_ORIGINAL(CreateSolidBrush)
SOMBREVOX_GDI_ORIGINAL(CreatePalette)
SOMBREVOX_GDI_ORIGINAL(LoadBitmapA)
SOMBREVOX_GDI_ORIGINAL(CreateCompatibleDC)
SOMBREVOX_GDI_ORIGINAL(GetDC)
SOMBREVOX_GDI_ORIGINAL(ReleaseDC)
SOMBREVOX_GDI_ORIGINAL(DeleteDC)
SOMBREVOX_GDI_ORIGINAL(DeleteObject)
SOMBREVOX_GDI_ORIGINAL(SelectObject)
SOMBREVOX_GDI_ORIGINAL(SelectPalette)
#undef SOMBREVOX_GDI_ORIGINAL

HBITMAP WINAPI CountedCreateBitmap(int w, int h, UINT planes, UINT bits, const void* data) {
  return static_cast<HBITMAP>(Made(originalCreateBitmap(w, h, planes, bits, data)));
}
HBITMAP WINAPI CountedCreateBitmapIndirect(const BITMAP* bitmap) {
  return static_cast<HBITMAP>(Made(originalCreateBitmapIndirect(bitmap)));
}
HBITMAP WINAPI CountedCreateCompatibleBitmap(HDC dc, int w, int h) {
  return static_cast<HBITMAP>(Made(originalCreateCompatibleBitmap(dc, w, h)));
}
HBITMAP WINAPI CountedCreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                                     const BITMAPINFO* info, UINT usage) {
  return static_cast<HBITMAP>(Made(originalCreateDIBitmap(dc, header, init, bits, info, usage)));
}
HBITMAP WINAPI CountedCreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                       DWORD offset) {
  return static_cast<HBITMAP>(Made(originalCreateDIBSection(dc, info, usage, bits, section, offset)));
}
HFONT WINAPI CountedCreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                                DWORD underline, DWORD strikeOut, DWORD charset, DWORD precision, DWORD clip,
                                DWORD quality, DWORD pitch, LPCSTR face) {
  return static_cast<HFONT>(Made(originalCreateFontA(height, width, escapement, orientation, weight, italic, underline,
                                                     strikeOut, charset, precision, clip, quality, pitch, face)));
}
HFONT WINAPI CountedCreateFontIndirectA(const LOGFONTA* font) {
  return static_cast<HFONT>(Made(originalCreateFontIndirectA(font)));
}
HPEN WINAPI CountedCreatePen(int style, int width, COLORREF colour) {
  return static_cast<HPEN>(Made(originalCreatePen(style, width, colour)));
}
HBRUSH WINAPI CountedCreateSolidBrush(COLORREF colour) {
  return static_cast<HBRUSH>(Made(originalCreateSolidBrush(colour)));
}
HPALETTE WINAPI CountedCreatePalette(const LOGPALETTE* palette) {
  return static_cast<HPALETTE>(Made(originalCreatePalette(palette)));
}
HBITMAP WINAPI CountedLoadBitmapA(HINSTANCE module, LPCSTR name) {
  return static_cast<HBITMAP>(Made(originalLoadBitmapA(module, name)));
}
HDC WINAPI CountedCreateCompatibleDC(HDC like) { return MadeContext(originalCreateCompatibleDC(like)); }
HDC WINAPI CountedGetDC(HWND window) { return MadeContext(originalGetDC(window)); }
int WINAPI CountedReleaseDC(HWND window, HDC dc) {
  Gone(dc);
  return originalReleaseDC(window, dc);
}
BOOL WINAPI CountedDeleteDC(HDC dc) {
  Gone(dc);
  return originalDeleteDC(dc);
}
HGDIOBJ WINAPI CountedSelectObject(HDC dc, HGDIOBJ object) {
  Selected(dc, object);
  return originalSelectObject(dc, object);
}
HPALETTE WINAPI CountedSelectPalette(HDC dc, HPALETTE palette, BOOL background) {
  Selected(dc, palette);
  return originalSelectPalette(dc, palette, background);
}
BOOL WINAPI CountedDeleteObject(HGDIOBJ object) {
  {
    std::lock_guard<std::mutex> guard(ledger.lock);
    for (const auto& [dc, byType] : ledger.selected)
      for (const auto& [type, selected] : byType)
        if (selected == object && ledger.contexts.count(dc)) ++ledger.deletedWhileSelected;
    ledger.objects.erase(object);
  }
  return originalDeleteObject(object);
}

struct Redirect {
  const char* name;
  void** original;
  void* wrapper;
};

#define SOMBREVOX_GDI_REDIRECT(name) \
  { #name, reinterpret_cast < void**>(&original##name), reinterpret_cast < void*>(&Counted##name) }
const Redirect kRedirects[] = {
    SOMBREVOX_GDI_REDIRECT(CreateBitmap),
    SOMBREVOX_GDI_REDIRECT(CreateBitmapIndirect),
    SOMBREVOX_GDI_REDIRECT(CreateCompatibleBitmap),
    SOMBREVOX_GDI_REDIRECT(CreateDIBitmap),
    SOMBREVOX_GDI_REDIRECT(CreateDIBSection),
    SOMBREVOX_GDI_REDIRECT(CreateFontA),
    SOMBREVOX_GDI_REDIRECT(CreateFontIndirectA),
    SOMBREVOX_GDI_REDIRECT(CreatePen),
    SOMBREVOX_GDI_REDIRECT(CreateSolidBrush),
    SOMBREVOX_GDI_REDIRECT(CreatePalette),
    SOMBREVOX_GDI_REDIRECT(LoadBitmapA),
    SOMBREVOX_GDI_REDIRECT(CreateCompatibleDC),
    SOMBREVOX_GDI_REDIRECT(GetDC),
    SOMBREVOX_GDI_REDIRECT(ReleaseDC),
    SOMBREVOX_GDI_REDIRECT(DeleteDC),
    SOMBREVOX_GDI_REDIRECT(DeleteObject),
    SOMBREVOX_GDI_REDIRECT(SelectObject),
    SOMBREVOX_GDI_REDIRECT(SelectPalette),
};
#undef SOMBREVOX_GDI_REDIRECT

void WriteSlot(void** slot, void* value) {
  DWORD protection = 0;
  if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) return;
  *slot = value;
  VirtualProtect(slot, sizeof *slot, protection, &protection);
}

// Every import slot of `module` for a function named in kRedirects:
// `install` points it at the wrapper, otherwise back at the original.
int RedirectImports(HMODULE module, bool install) {
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  int redirected = 0;
  for (auto* library = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
       directory.VirtualAddress && library->Name; ++library) {
    if (!library->OriginalFirstThunk) continue;
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
    auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
    for (; names->u1.AddressOfData; ++slots, ++names) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      for (const Redirect& redirect : kRedirects) {
        if (std::strcmp(reinterpret_cast<const char*>(byName->Name), redirect.name) != 0) continue;
        auto** slot = reinterpret_cast<void**>(&slots->u1.Function);
        if (install) {
          if (*slot == redirect.wrapper) continue;
          *redirect.original = *slot;
          WriteSlot(slot, redirect.wrapper);
        } else if (*slot == redirect.wrapper) {
          WriteSlot(slot, *redirect.original);
        }
        ++redirected;
      }
    }
  }
  return redirected;
}

}  // namespace

GdiObjectCounter::GdiObjectCounter(HMODULE module) : module_(module ? module : GetModuleHandleA(nullptr)) {
  {
    std::lock_guard<std::mutex> guard(ledger.lock);
    ledger.objects.clear();
    ledger.contexts.clear();
    ledger.selected.clear();
    ledger.deletedWhileSelected = 0;
  }
  installed_ = RedirectImports(module_, true) > 0;
}

GdiObjectCounter::~GdiObjectCounter() { RedirectImports(module_, false); }

int GdiObjectCounter::LiveObjects() const {
  std::lock_guard<std::mutex> guard(ledger.lock);
  return static_cast<int>(ledger.objects.size());
}

int GdiObjectCounter::LiveContexts() const {
  std::lock_guard<std::mutex> guard(ledger.lock);
  return static_cast<int>(ledger.contexts.size());
}

int GdiObjectCounter::DeletedWhileSelected() const {
  std::lock_guard<std::mutex> guard(ledger.lock);
  return ledger.deletedWhileSelected;
}

}  // namespace sombrevox::test
