#include "BankFileChooser.h"

#include <commdlg.h>

#include <cstring>

#include "PresetFile.h"

namespace sombrevox {

static_assert(sizeof(BankPath) >= MAX_PATH, "a chosen path always fits the bank path");

PresetResult ChooseBankFile(BankPath& path, HWND owner, MessageReporter& reporter) noexcept {
  char chosen[MAX_PATH] = "";
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = "Preset Files (*.prs)\0*.prs\0";
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = chosen;
  dialog.nMaxFile = sizeof chosen;
  dialog.lpstrDefExt = "prs";
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameA(&dialog)) return kBankChoiceCancelled;

  const PresetResult check = CheckPresetFile(chosen, reporter);
  if (check != kPresetOk) return check;
  std::memcpy(path, chosen, std::strlen(chosen) + 1);
  return kPresetOk;
}

}  // namespace sombrevox
