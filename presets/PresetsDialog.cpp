#include "PresetsDialog.h"

#include <iterator>

#include "BankFileChooser.h"
#include "OwnedMessageReporter.h"
#include "PluginSettings.h"
#include "PresetFile.h"
#include "PresetListBox.h"
#include "PresetMessages.h"
#include "PresetNames.h"
#include "PresetTransfer.h"
#include "ResourceIds.h"

namespace sombrevox {
namespace {

// What the dialog works on, from its opening to OK or Cancel.
struct PresetsDialogState {
  PresetBank bank;                        // the current bank file's records, in file order
  const Preset* currentPreset = nullptr;  // a record of `bank` chosen with Load; applied on OK
  bool bankModified = false;              // an Add, Update or Delete since the bank was read or saved
  // 0 when the bank was read whole from its file, or the file does not exist
  // yet; otherwise the code of the failed check or load. Such a bank is not
  // written back: it would replace a newer or damaged file by the records
  // read from it. `bankError` keeps that failure's message.
  PresetResult bankReadResult = kPresetOk;
  MessageText bankError;
  BankPath* presetsBankPath = nullptr;  // the settings record's; Bank replaces it in place
  IReverbSettings* settings = nullptr;  // weak: the page holds the reference while the dialog is up
  HWND pageWindow = nullptr;            // told when a preset was applied
};

bool FileIsMissing(const char* path) {
  return GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND;
}

MessageText QuotedMessage(std::string_view before, std::string_view name, std::string_view after) {
  MessageText message;
  message.Append(before);
  AppendTrimmedName(message, name);
  message.Append(after);
  return message;
}

class PresetsDialog {
 public:
  explicit PresetsDialog(const EditorLink& link) {
    state_.presetsBankPath = &link.settings->presetsBankPath;
    state_.settings = link.reverb;
    state_.pageWindow = link.pageWindow;
  }

  static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  BOOL OnInit(HWND window);
  void OnCommand(WORD id, WORD code);
  void OnNameChanged();
  void OnSelectionChanged();
  void OnDoubleClick();
  void OnLoad();
  PresetResult OnAdd();
  PresetResult OnUpdate();
  PresetResult OnDelete();
  PresetResult OnBank();
  void OnOk();
  void OnCancel();

  void ReadBank(PresetResult checkResult);
  bool SaveBank();
  Preset* ConfirmedRecord(std::string_view before, std::string_view after, PresetResult declined,
                          char (&name)[kPresetNameSize], PresetResult& result);
  void ClearNameSelection();
  void EnableEntryButtons(bool enable);
  int Ask(const MessageText& text, UINT type) { return MessageBoxA(window_, text.c_str(), kMessageCaption, type); }
  HWND Item(int id) const { return GetDlgItem(window_, id); }
  const char* BankPathText() const { return *state_.presetsBankPath; }

  HWND window_ = nullptr;
  PresetListBox list_;
  PresetsDialogState state_;
  OwnedMessageReporter reporter_;
};

INT_PTR CALLBACK PresetsDialog::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    return reinterpret_cast<PresetsDialog*>(lParam)->OnInit(window);
  }
  auto* dialog = reinterpret_cast<PresetsDialog*>(GetWindowLongPtrA(window, DWLP_USER));
  if (dialog == nullptr || message != WM_COMMAND) return FALSE;
  dialog->OnCommand(LOWORD(wParam), HIWORD(wParam));
  return TRUE;
}

BOOL PresetsDialog::OnInit(HWND window) {
  window_ = window;
  list_ = PresetListBox(Item(IDC_PRESET_LIST));
  reporter_.SetOwner(window);
  EnableWindow(Item(IDC_ADD), FALSE);
  ReadBank(CheckPresetFile(BankPathText(), reporter_));
  SetFocus(Item(IDC_PRESET_NAME));
  return FALSE;  // the focus is set
}

void PresetsDialog::OnCommand(WORD id, WORD code) {
  switch (id) {
    case IDC_PRESET_NAME:
      if (code == EN_CHANGE) OnNameChanged();
      break;
    case IDC_PRESET_LIST:
      if (code == LBN_SELCHANGE) OnSelectionChanged();
      if (code == LBN_DBLCLK) OnDoubleClick();
      break;
    case IDC_LOAD:
      OnLoad();
      break;
    case IDC_ADD:
      OnAdd();
      break;
    case IDC_UPDATE:
      OnUpdate();
      break;
    case IDC_DELETE:
      OnDelete();
      break;
    case IDC_BANK:
      OnBank();
      break;
    case IDOK:
      OnOk();
      break;
    case IDCANCEL:
      OnCancel();
      break;
  }
}

// Reads the bank file after its check: the whole bank, the records before a
// failure, or none; the list shows whatever the bank holds.
void PresetsDialog::ReadBank(PresetResult checkResult) {
  state_.bank.Clear();
  state_.currentPreset = nullptr;
  state_.bankModified = false;
  PresetResult result = checkResult;
  if (result == kPresetOk) {
    result = LoadPresetFile(BankPathText(), state_.bank, reporter_);
  } else if (result == kBankOpenFailed && FileIsMissing(BankPathText())) {
    result = kPresetOk;  // a bank not yet written: the first save creates it
  }
  state_.bankReadResult = result;
  state_.bankError = result == kPresetOk ? MessageText() : reporter_.Last();
  list_.Fill(state_.bank);
  EnableEntryButtons(false);  // nothing is selected in the new list
}

// Writes the bank back to its file: false, with the reason shown, when the
// bank came from a file it could not read whole or the save failed.
bool PresetsDialog::SaveBank() {
  if (state_.bankReadResult != kPresetOk) {
    reporter_.ShowError(state_.bankError.c_str());
    return false;
  }
  return SavePresetFile(BankPathText(), state_.bank, reporter_) == kPresetOk;
}

void PresetsDialog::OnNameChanged() {
  char name[kPresetNameSize] = "";
  GetDlgItemTextA(window_, IDC_PRESET_NAME, name, sizeof name);  // longer input is cut to 31 characters
  EnableWindow(Item(IDC_ADD), *TrimName(name) != '\0');
}

void PresetsDialog::OnSelectionChanged() {
  if (SendMessageA(Item(IDC_PRESET_LIST), LB_GETCURSEL, 0, 0) >= 0) EnableEntryButtons(true);
}

// Load, then the buttons of the selection; each does nothing when no entry is
// selected.
void PresetsDialog::OnDoubleClick() {
  OnLoad();
  OnSelectionChanged();
}

// Chooses the selected entry's record for OK; nothing is applied yet.
void PresetsDialog::OnLoad() {
  char name[kPresetNameSize];
  if (!list_.SelectedText(name)) return;
  Preset* record = list_.SelectedRecord(state_.bank);
  const HWND nameBox = Item(IDC_PRESET_NAME);
  SetWindowTextA(nameBox, name);
  SendMessageA(nameBox, EM_SETSEL, 0, -1);
  SetFocus(nameBox);
  if (record != nullptr) state_.currentPreset = record;
}

PresetResult PresetsDialog::OnAdd() {
  char name[kPresetNameSize] = "";
  GetDlgItemTextA(window_, IDC_PRESET_NAME, name, sizeof name);
  if (*TrimName(name) == '\0') return kPresetOk;  // Add is disabled then
  if (state_.bank.ContainsName(name)) {
    Ask(PresetExistsMessage(name), MB_OK);
    return kPresetNameInUse;
  }
  Preset record{};
  CapturePreset(record, name, state_.settings);
  if (state_.bank.Append(record) != kPresetOk) {
    MessageText message;
    AppendErrorCode(kPresetAllocFailed, message);
    AppendErrorCode(kPresetNotAdded, message);
    Ask(message.Append("Error while adding a preset to the list."), MB_OK | MB_ICONERROR);
    return kPresetNotAdded;
  }
  const Preset& added = *std::prev(state_.bank.end());
  if (!list_.Add(added)) {
    // A record the list cannot show would be saved without the user seeing it.
    state_.bank.Remove(&added);
    Ask(ErrorMessage(kPresetAllocFailed, "Failed to alloc memory for preset '").Append(name).Append("'."),
        MB_OK | MB_ICONERROR);
    return kPresetAllocFailed;
  }
  state_.bankModified = true;
  return kPresetOk;
}

// Asks `before` name `after` about the selected entry: its record when the
// answer is Yes and the record is still in the bank; otherwise null, with
// `result` 0 (nothing selected), `declined` or 1150002 (shown).
Preset* PresetsDialog::ConfirmedRecord(std::string_view before, std::string_view after, PresetResult declined,
                                       char (&name)[kPresetNameSize], PresetResult& result) {
  result = kPresetOk;
  if (!list_.SelectedText(name)) return nullptr;
  Preset* record = list_.SelectedRecord(state_.bank);
  if (Ask(QuotedMessage(before, name, after), MB_YESNO | MB_DEFBUTTON2) != IDYES) {
    result = declined;
    return nullptr;
  }
  if (record == nullptr) {
    Ask(ErrorMessage(kPresetNotFound, QuotedMessage("The preset '", name, "' does not exist.").view()),
        MB_OK | MB_ICONERROR);
    result = kPresetNotFound;
  }
  return record;
}

PresetResult PresetsDialog::OnUpdate() {
  char name[kPresetNameSize];
  PresetResult result;
  Preset* record = ConfirmedRecord("Are you sure you want to replace '", "' with the current settings ?",
                                   kReplaceDeclined, name, result);
  if (record == nullptr) return result;
  CapturePreset(*record, name, state_.settings);
  state_.bankModified = true;
  return kPresetOk;
}

PresetResult PresetsDialog::OnDelete() {
  char name[kPresetNameSize];
  PresetResult result;
  Preset* record = ConfirmedRecord("Are you sure you want to delete '", "' ?", kDeleteDeclined, name, result);
  if (record == nullptr) return result;
  // The entry's own record goes, whichever other record shares its name;
  // the preset chosen with Load is dropped only when it is this very record.
  if (state_.currentPreset == record) state_.currentPreset = nullptr;
  state_.bank.Remove(record);
  state_.bankModified = true;
  list_.DeleteSelected();
  EnableEntryButtons(false);
  EnableWindow(Item(IDC_ADD), FALSE);
  ClearNameSelection();
  return kPresetOk;
}

PresetResult PresetsDialog::OnBank() {
  if (state_.bankModified) {
    const int answer = Ask(MessageText().Append("Save changes to ").Append(BankPathText()).Append(" ?"),
                           MB_YESNOCANCEL | MB_ICONWARNING);
    if (answer != IDYES && answer != IDNO) return kPresetOk;
    // Changes the user chose to keep but that could not be written stay in
    // the dialog, as if Cancel had been chosen.
    if (answer == IDYES && !SaveBank()) return kPresetOk;
  }
  const PresetResult chosen = ChooseBankFile(*state_.presetsBankPath, window_, reporter_);
  if (chosen != kPresetOk) return chosen;
  ReadBank(kPresetOk);
  ClearNameSelection();
  return state_.bankReadResult;
}

void PresetsDialog::OnOk() {
  if (state_.bankModified) {
    if (!SaveBank()) return;  // the dialog stays open with the changes
    state_.bankModified = false;
  }
  if (state_.currentPreset != nullptr) ApplyPreset(*state_.currentPreset, state_.settings, state_.pageWindow);
  EndDialog(window_, IDOK);
}

void PresetsDialog::OnCancel() { EndDialog(window_, IDCANCEL); }

// Deletes the name box's selected text (all of it after a Load) and gives
// the box the focus; Add follows what remains.
void PresetsDialog::ClearNameSelection() {
  const HWND nameBox = Item(IDC_PRESET_NAME);
  SendMessageA(nameBox, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
  OnNameChanged();
  SetFocus(nameBox);
}

// Load, Update and Delete act on the selected entry.
void PresetsDialog::EnableEntryButtons(bool enable) {
  EnableWindow(Item(IDC_LOAD), enable);
  EnableWindow(Item(IDC_UPDATE), enable);
  EnableWindow(Item(IDC_DELETE), enable);
}

}  // namespace

INT_PTR ShowPresetsDialog(HINSTANCE module, HWND owner, EditorLink* link) {
  if (link == nullptr || link->settings == nullptr) return -1;
  PresetsDialog dialog(*link);
  return DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_PRESETS), owner, PresetsDialog::Proc,
                         reinterpret_cast<LPARAM>(&dialog));
}

}  // namespace sombrevox
