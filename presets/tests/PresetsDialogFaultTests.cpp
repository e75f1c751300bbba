// The Presets dialog where a bank cannot be read whole or written, where two
// records share a name's key, and where texts reach their limits.
#include <gtest/gtest.h>

#include <memory_resource>

#include "DialogTestSupport.h"
#include "PluginSettings.h"
#include "ResourceIds.h"
#include "TestSupport.h"

using namespace sombrevox;
using namespace sombrevox::test;

namespace {

const char kLaterFormat[] =
    "Error 1150205: Cannon load presets. You are probably trying to use a presets file of a later version of "
    "ORVELA Soft SombrevoxLight";
const char kCutShort[] = "Error 1110002: Error while reading the presets file.";
const char kLoadFailed[] = "Error 1110021: 1150001: Error while loading presets list.";
const char kSaveOpenFailed[] = "Error 1110001: Error while opening the presets file for saving.";

class PresetsDialogFaults : public PresetsDialogFixture {
 protected:
  void ExpectNeverWrittenOver(const Bytes& file, const std::string& error);
};

// A bank file the dialog cannot read whole: its opening shows `error`, the
// list holds no record, and after an Add both OK and Bank's "Yes" refuse to
// write the bank with that same text, keeping the dialog and the change.
// The file is never touched.
void PresetsDialogFaults::ExpectNeverWrittenOver(const Bytes& file, const std::string& error) {
  WriteBytes(bank_, file);
  MessageBoxSeen opening, onOk, onBank;
  ModalDriver driver;
  driver.Answer(IDOK, &opening).Then([&](HWND dialog) {
    EXPECT_EQ(ListEntries(dialog), std::vector<std::string>{});
    TypeName(dialog, "Mine");
    PressButton(dialog, IDC_ADD);
    driver.Answer(IDOK, &onOk);
    PressButton(dialog, IDOK);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "OK did not end the dialog";
    driver.Answer(IDYES).Answer(IDOK, &onBank);  // no open-file dialog follows
    PressButton(dialog, IDC_BANK);
    EXPECT_EQ(ListEntries(dialog), (std::vector<std::string>{"Mine"}));
    PressButton(dialog, IDCANCEL);
  });
  EXPECT_EQ(Show(), IDCANCEL);
  EXPECT_EQ(opening.text, error);
  EXPECT_EQ(onOk.text, error);
  EXPECT_EQ(onBank.text, error);
  EXPECT_EQ(ReadBytes(bank_), file);
}

TEST_F(PresetsDialogFaults, ABankOfALaterFormatIsNeverWrittenOver) {
  Bytes later = Header("2.0", "2.0");
  for (const Bytes& record : {RecordBytes("Hall", SettingFor(2)), RecordBytes("Room", SettingFor(3))})
    later.insert(later.end(), record.begin(), record.end());
  ExpectNeverWrittenOver(later, kLaterFormat);
}

TEST_F(PresetsDialogFaults, ABankCutShortIsNeverWrittenOver) {
  Bytes cut = Header();
  cut.resize(30);
  ExpectNeverWrittenOver(cut, kCutShort);
}

TEST_F(PresetsDialogFaults, ABankNotWrittenYetIsCreatedByTheFirstSave) {
  MessageBoxSeen opening;
  ModalDriver driver;
  driver.Answer(IDOK, &opening).Then([](HWND dialog) {
    TypeName(dialog, "First");
    PressButton(dialog, IDC_ADD);
    PressButton(dialog, IDOK);
  });
  EXPECT_EQ(Show(), IDOK);
  EXPECT_EQ(opening.text, "Error 1110001: Error while opening the presets file for checking.");
  const std::vector<Preset> saved = ReadBank(bank_);
  ASSERT_EQ(NamesOf(saved), std::vector<std::string>{"First"});
  EXPECT_TRUE(SameBytes(saved[0].params, current_));
}

// Records that cannot be added while a bank loads (no memory for them) leave
// a bank cut short: the list shows what it holds, and it is not saved.
TEST_F(PresetsDialogFaults, ABankLoadedInPartShowsItsRecordsAndIsNeverWrittenOver) {
  const std::string other = folder_.File("other.prs");
  WriteBank(bank_, {MakePreset("Hall", SettingFor(2))});
  WriteBank(other, {MakePreset("One", SettingFor(3)), MakePreset("Two", SettingFor(4)),
                    MakePreset("Three", SettingFor(5)), MakePreset("Four", SettingFor(6))});
  const Bytes before = ReadBytes(other);
  FailingMemory memory(3);  // the opening bank's one record, then two of the other's
  std::pmr::memory_resource* const previous = std::pmr::set_default_resource(&memory);
  MessageBoxSeen third, fourth, added;
  ModalDriver driver;
  driver.Then([&](HWND dialog) {
    driver.Then(ChooseFile(other)).Answer(IDOK, &third).Answer(IDOK, &fourth);
    PressButton(dialog, IDC_BANK);
    EXPECT_EQ(ListEntries(dialog), (std::vector<std::string>{"One", "Two"})) << "the records read, not the old list";
    TypeName(dialog, "Five");
    driver.Answer(IDOK, &added);
    PressButton(dialog, IDC_ADD);
    EXPECT_EQ(ListEntries(dialog).size(), 2u);

    SelectEntry(dialog, "One");
    driver.Answer(IDYES);
    PressButton(dialog, IDC_DELETE);
    MessageBoxSeen onOk;
    driver.Answer(IDOK, &onOk);
    PressButton(dialog, IDOK);
    EXPECT_EQ(onOk.text, kLoadFailed);
    PressButton(dialog, IDCANCEL);
  });
  EXPECT_EQ(Show(), IDCANCEL);
  std::pmr::set_default_resource(previous);
  EXPECT_EQ(third.text, kLoadFailed);
  EXPECT_EQ(fourth.text, kLoadFailed);
  EXPECT_EQ(added.text, "Error 1110021: 1150001: Error while adding a preset to the list.");
  EXPECT_TRUE(added.icon);
  EXPECT_EQ(ReadBytes(other), before);
}

// "Hall" and "HALL" are one name to the bank's lookups, but two entries and
// two records: each entry acts on its own record.
TEST_F(PresetsDialogFaults, DeletingOneOfTwoRecordsWithOneKeyKeepsTheLoadedOther) {
  WriteBytes(bank_, [] {
    Bytes bytes = Header();
    for (const Bytes& record : {RecordBytes("Hall", SettingFor(2)), RecordBytes("HALL", SettingFor(3))})
      bytes.insert(bytes.end(), record.begin(), record.end());
    return bytes;
  }());
  MessageBoxSeen question;
  ModalDriver driver;
  driver.Then([&](HWND dialog) {
    EXPECT_EQ(ListEntries(dialog).size(), 2u);
    SelectEntry(dialog, "Hall");
    PressButton(dialog, IDC_LOAD);
    SelectEntry(dialog, "HALL");
    driver.Answer(IDYES, &question);
    PressButton(dialog, IDC_DELETE);
    EXPECT_EQ(ListEntries(dialog), std::vector<std::string>{"Hall"});
    PressButton(dialog, IDOK);
  });
  EXPECT_EQ(Show(), IDOK);
  EXPECT_EQ(question.text, "Are you sure you want to delete 'HALL' ?");
  EXPECT_TRUE(SameBytes(filter_.Params(), SettingFor(2))) << "the loaded \"Hall\" is applied";
  EXPECT_EQ(page_.TakePresetSelected(), 1);
  const std::vector<Preset> saved = ReadBank(bank_);
  ASSERT_EQ(NamesOf(saved), std::vector<std::string>{"Hall"});
  EXPECT_TRUE(SameBytes(saved[0].params, SettingFor(2)));
}

// The bank file held open without sharing by another program: saving it
// fails.
TEST_F(PresetsDialogFaults, AFailedSaveKeepsTheChangesAndTheDialog) {
  WriteBank(bank_, {MakePreset("Hall", SettingFor(2))});
  const Bytes before = ReadBytes(bank_);
  MessageBoxSeen onOk, onBank;
  ModalDriver driver;
  driver.Then([&](HWND dialog) {
    TypeName(dialog, "Kept");
    PressButton(dialog, IDC_ADD);
    HANDLE locked = CreateFileA(bank_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(locked, INVALID_HANDLE_VALUE);
    driver.Answer(IDOK, &onOk);
    PressButton(dialog, IDOK);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "OK did not end the dialog";
    driver.Answer(IDYES).Answer(IDOK, &onBank);  // no open-file dialog follows
    PressButton(dialog, IDC_BANK);
    EXPECT_EQ(ListEntries(dialog), (std::vector<std::string>{"Hall", "Kept"}));
    CloseHandle(locked);
    EXPECT_EQ(ReadBytes(bank_), before);
    PressButton(dialog, IDOK);
  });
  EXPECT_EQ(Show(), IDOK);
  EXPECT_EQ(onOk.text, kSaveOpenFailed);
  EXPECT_EQ(onBank.text, kSaveOpenFailed);
  EXPECT_EQ(NamesOf(ReadBank(bank_)), (std::vector<std::string>{"Hall", "Kept"}));
}

// A stored name field without its NUL reads as its first 31 characters, in
// the list, the name box and the record applied.
TEST_F(PresetsDialogFaults, ANameFieldWithoutItsNulIsCutTo31Characters) {
  const std::string field = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";
  ASSERT_EQ(field.size(), 32u);
  Bytes bytes = Header();
  const Bytes record = RecordBytes(field, SettingFor(6));
  bytes.insert(bytes.end(), record.begin(), record.end());
  WriteBytes(bank_, bytes);
  ModalDriver driver;
  driver.Then([&](HWND dialog) {
    EXPECT_EQ(ListEntries(dialog), std::vector<std::string>{field.substr(0, 31)});
    SelectEntry(dialog, field.substr(0, 31));
    PressButton(dialog, IDC_LOAD);
    EXPECT_EQ(ItemText(dialog, IDC_PRESET_NAME), field.substr(0, 31));
    PressButton(dialog, IDOK);
  });
  EXPECT_EQ(Show(), IDOK);
  EXPECT_TRUE(SameBytes(filter_.Params(), SettingFor(6)));
}

TEST_F(PresetsDialogFaults, TheSaveQuestionHoldsAPathOf511Characters) {
  std::string path = folder_.File("");
  path += std::string(511 - path.size() - 4, 'p') + ".prs";
  ASSERT_EQ(path.size(), 511u);
  UseBank(path);
  MessageBoxSeen question;
  ModalDriver driver;
  driver.Answer(IDOK).Then([&](HWND dialog) {
    TypeName(dialog, "Long");
    PressButton(dialog, IDC_ADD);
    driver.Answer(IDCANCEL, &question);
    PressButton(dialog, IDC_BANK);
    PressButton(dialog, IDCANCEL);
  });
  EXPECT_EQ(Show(), IDCANCEL);
  EXPECT_EQ(question.text, "Save changes to " + path + " ?");
}

}  // namespace
