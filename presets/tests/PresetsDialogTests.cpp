// The Presets dialog driven through its controls, on a real filter from the
// built module and real bank files; its message boxes and the open-file
// dialog answered on the dialog's own thread.
#include <gtest/gtest.h>

#include "DialogTestSupport.h"
#include "PluginSettings.h"
#include "ResourceIds.h"
#include "TestSupport.h"

using namespace sombrevox;
using namespace sombrevox::test;

namespace {

// The program's environment (COM in a single-threaded apartment, watchdog) is
// installed by SettingsStoreTests.cpp.
using PresetsDialogTest = PresetsDialogFixture;

TEST_F(PresetsDialogTest, OpensOnTheBankWithButtonsFollowingNameAndSelection) {
  WriteBank(bank_, {MakePreset("Hall", SettingFor(2)), MakePreset("Room", SettingFor(3)),
                    MakePreset("chamber", SettingFor(4))});
  const Bytes before = ReadBytes(bank_);
  ModalDriver driver;
  driver.Then([](HWND dialog) {
    EXPECT_EQ(WindowText(dialog), "Presets");
    EXPECT_EQ(ListEntries(dialog), (std::vector<std::string>{"chamber", "Hall", "Room"}));
    EXPECT_EQ(ButtonStates(dialog), "----");
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_PRESET_NAME));
    TypeName(dialog, "   ");
    EXPECT_EQ(ButtonStates(dialog), "----") << "blanks only";
    TypeName(dialog, " x ");
    EXPECT_EQ(ButtonStates(dialog), "-A--");
    SelectEntry(dialog, "Room");
    EXPECT_EQ(ButtonStates(dialog), "LAUD");
    PressButton(dialog, IDCANCEL);
  });
  EXPECT_EQ(Show(), IDCANCEL);
  EXPECT_EQ(ReadBytes(bank_), before);
  EXPECT_EQ(page_.TakePresetSelected(), 0);
}

TEST_F(PresetsDialogTest, AddCutsAndTrimsTheNameAndRefusesOneAlreadyThere) {
  WriteBank(bank_, {MakePreset("Hall", SettingFor(2))});
  const std::string longName = "Forty characters of name, far too long!!";
  ASSERT_EQ(longName.size(), 40u);
  MessageBoxSeen refusal;
  ModalDriver driver;
  driver.Then([&](HWND dialog) {
    TypeName(dialog, longName);
    PressButton(dialog, IDC_ADD);
    TypeName(dialog, "  hALL  ");
    driver.Answer(IDOK, &refusal);
    PressButton(dialog, IDC_ADD);
    TypeName(dialog, "  Bright room  ");
    PressButton(dialog, IDC_ADD);
    EXPECT_EQ(ListEntries(dialog), (std::vector<std::string>{"Bright room", longName.substr(0, 31), "Hall"}));
    EXPECT_EQ(ItemText(dialog, IDC_PRESET_NAME), "  Bright room  ") << "the name box stays as typed";
    refusal.owner == dialog ? void() : ADD_FAILURE() << "the refusal is owned by the dialog";
    PressButton(dialog, IDOK);
  });
  EXPECT_EQ(Show(), IDOK);
  EXPECT_EQ(refusal.text,
            "A preset with the name 'hALL' already exists. To create a new preset use another name. To replace an "
            "existing preset use the Update button.");
  EXPECT_EQ(refusal.caption, "ORVELA Soft SombrevoxLight");
  EXPECT_EQ(refusal.buttons, (std::vector<int>{IDOK}));
  EXPECT_FALSE(refusal.icon);
  const std::vector<Preset> saved = ReadBank(bank_);
  EXPECT_EQ(NamesOf(saved), (std::vector<std::string>{"Hall", longName.substr(0, 31), "Bright room"}))
      << "new records at the end, in the order added";
  ASSERT_EQ(saved.size(), 3u);
  EXPECT_TRUE(SameBytes(saved[2].params, current_)) << "the filter's setting was captured";
  EXPECT_TRUE(SameBytes(saved[0].params, SettingFor(2)));
  EXPECT_EQ(page_.TakePresetSelected(), 0) << "nothing was loaded, nothing applied";
}

TEST_F(PresetsDialogTest, UpdateAndDeleteAskFirstAndActOnYesOnly) {
  WriteBank(bank_,
            {MakePreset("Hall", SettingFor(2)), MakePreset("Room", SettingFor(3)), MakePreset("Plate", SettingFor(4))});
  MessageBoxSeen replace, remove;
  ModalDriver driver;
  driver.Then([&](HWND dialog) {
    SelectEntry(dialog, "Room");
    driver.Answer(IDNO, &replace);
    PressButton(dialog, IDC_UPDATE);
    driver.Answer(IDYES);
    PressButton(dialog, IDC_UPDATE);

    SelectEntry(dialog, "Hall");
    PressButton(dialog, IDC_LOAD);
    EXPECT_EQ(ItemText(dialog, IDC_PRESET_NAME), "Hall");
    driver.Answer(IDNO, &remove);
    PressButton(dialog, IDC_DELETE);
    EXPECT_EQ(ListEntries(dialog).size(), 3u);
    driver.Answer(IDYES);
    PressButton(dialog, IDC_DELETE);
    EXPECT_EQ(ListEntries(dialog), (std::vector<std::string>{"Plate", "Room"}));
    EXPECT_EQ(ItemText(dialog, IDC_PRESET_NAME), "") << "the loaded name was selected and is deleted";
    EXPECT_EQ(ButtonStates(dialog), "----");
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_PRESET_NAME));
    PressButton(dialog, IDOK);
  });
  EXPECT_EQ(Show(), IDOK);
  EXPECT_EQ(replace.text, "Are you sure you want to replace 'Room' with the current settings ?");
  EXPECT_EQ(replace.buttons, (std::vector<int>{IDYES, IDNO}));
  EXPECT_EQ(replace.defaultButton, IDNO);
  EXPECT_FALSE(replace.icon);
  EXPECT_EQ(remove.text, "Are you sure you want to delete 'Hall' ?");
  EXPECT_EQ(remove.buttons, (std::vector<int>{IDYES, IDNO}));
  EXPECT_EQ(remove.defaultButton, IDNO);
  const std::vector<Preset> saved = ReadBank(bank_);
  ASSERT_EQ(NamesOf(saved), (std::vector<std::string>{"Room", "Plate"})) << "an update keeps its place";
  EXPECT_TRUE(SameBytes(saved[0].params, current_));
  EXPECT_TRUE(SameBytes(saved[1].params, SettingFor(4)));
  EXPECT_EQ(page_.TakePresetSelected(), 0) << "the loaded preset was deleted: nothing to apply";
  EXPECT_TRUE(SameBytes(filter_.Params(), current_));
}

TEST_F(PresetsDialogTest, LoadAppliesNothingUntilOkThenHoldsTheCutoffToTheOutputsCeiling) {
  filter_.ConnectAt(22050, folder_);
  ReverbParams bright = SettingFor(5);
  bright.lowpassHz = 16000.0;
  WriteBank(bank_, {MakePreset("Bright", bright), MakePreset("Dark", SettingFor(2))});
  const Bytes before = ReadBytes(bank_);
  ModalDriver driver;
  driver.Then([&](HWND dialog) {
    SelectEntry(dialog, "Bright");
    PressButton(dialog, IDC_LOAD);
    EXPECT_EQ(ItemText(dialog, IDC_PRESET_NAME), "Bright");
    const auto selection = SendDlgItemMessageA(dialog, IDC_PRESET_NAME, EM_GETSEL, 0, 0);
    EXPECT_EQ(LOWORD(selection), 0);
    EXPECT_EQ(HIWORD(selection), 6) << "the loaded name is selected";
    EXPECT_EQ(ButtonStates(dialog), "LAUD");
    EXPECT_TRUE(SameBytes(filter_.Params(), current_)) << "Load alone applies nothing";
    PressButton(dialog, IDOK);
  });
  EXPECT_EQ(Show(), IDOK);
  ReverbParams expected = bright;
  expected.lowpassHz = 10000.0;
  EXPECT_TRUE(SameBytes(filter_.Params(), expected)) << "lowpass " << filter_.Params().lowpassHz;
  EXPECT_EQ(page_.TakePresetSelected(), 1);
  EXPECT_EQ(ReadBytes(bank_), before) << "nothing changed, nothing written";
}

TEST_F(PresetsDialogTest, WithoutAnOutputFormatTheCutoffIsKept) {
  ReverbParams bright = SettingFor(5);
  bright.lowpassHz = 16000.0;
  WriteBank(bank_, {MakePreset("Bright", bright)});
  ModalDriver driver;
  driver.Then([](HWND dialog) {
    SelectEntry(dialog, "Bright");
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PRESET_LIST, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_PRESET_LIST)));
    EXPECT_EQ(ItemText(dialog, IDC_PRESET_NAME), "Bright") << "a double click loads";
    PressButton(dialog, IDOK);
  });
  EXPECT_EQ(Show(), IDOK);
  EXPECT_TRUE(SameBytes(filter_.Params(), bright)) << "lowpass " << filter_.Params().lowpassHz;
  EXPECT_EQ(page_.TakePresetSelected(), 1);
}

TEST_F(PresetsDialogTest, CancelAppliesNothingAndWritesNothing) {
  WriteBank(bank_, {MakePreset("Hall", SettingFor(2))});
  const Bytes before = ReadBytes(bank_);
  ModalDriver driver;
  driver.Then([](HWND dialog) {
    SelectEntry(dialog, "Hall");
    PressButton(dialog, IDC_LOAD);
    TypeName(dialog, "Another");
    PressButton(dialog, IDC_ADD);
    SendMessageA(dialog, WM_CLOSE, 0, 0);  // the close box
  });
  EXPECT_EQ(Show(), IDCANCEL);
  EXPECT_EQ(ReadBytes(bank_), before);
  EXPECT_TRUE(SameBytes(filter_.Params(), current_));
  EXPECT_EQ(page_.TakePresetSelected(), 0);
}

TEST_F(PresetsDialogTest, BankAsksToSaveChangesWithThreeAnswers) {
  const std::string other = folder_.File("other.prs");
  WriteBank(bank_, {MakePreset("Hall", SettingFor(2))});
  WriteBank(other, {MakePreset("Other", SettingFor(3))});
  const Bytes before = ReadBytes(bank_);
  MessageBoxSeen question, again;
  ModalDriver driver;
  driver.Then([&](HWND dialog) {
    TypeName(dialog, "New");
    PressButton(dialog, IDC_ADD);
    driver.Answer(IDCANCEL, &question);
    PressButton(dialog, IDC_BANK);
    EXPECT_EQ(ListEntries(dialog), (std::vector<std::string>{"Hall", "New"})) << "Cancel changes nothing";
    EXPECT_STREQ(filter_.Link()->settings->presetsBankPath, bank_.c_str());

    driver.Answer(IDNO, &again).Then(ChooseFile(other));
    PressButton(dialog, IDC_BANK);
    EXPECT_EQ(ListEntries(dialog), (std::vector<std::string>{"Other"}));
    EXPECT_STREQ(filter_.Link()->settings->presetsBankPath, other.c_str());
    PressButton(dialog, IDOK);
  });
  EXPECT_EQ(Show(), IDOK);
  EXPECT_EQ(question.text, "Save changes to " + bank_ + " ?");
  EXPECT_EQ(question.caption, "ORVELA Soft SombrevoxLight");
  EXPECT_EQ(question.buttons, (std::vector<int>{IDYES, IDNO, IDCANCEL}));
  EXPECT_TRUE(question.icon);
  EXPECT_EQ(again.text, question.text);
  EXPECT_EQ(ReadBytes(bank_), before) << "No discarded the addition";
  EXPECT_EQ(NamesOf(ReadBank(other)), (std::vector<std::string>{"Other"})) << "nothing changed in the new bank";
}

TEST_F(PresetsDialogTest, BankSavesOnYesAndRefusesAFileThatFailsTheCheck) {
  const std::string other = folder_.File("other.prs");
  const std::string foreign = folder_.File("foreign.prs");
  WriteBank(bank_, {MakePreset("Hall", SettingFor(2))});
  WriteBank(other, {MakePreset("Other", SettingFor(3))});
  Bytes foreignBytes = ReadBytes(other);
  foreignBytes[0] = 'X';
  WriteBytes(foreign, foreignBytes);
  MessageBoxSeen refusal;
  ModalDriver driver;
  driver.Then([&](HWND dialog) {
    SelectEntry(dialog, "Hall");
    PressButton(dialog, IDC_LOAD);
    TypeName(dialog, "New");
    PressButton(dialog, IDC_ADD);
    driver.Answer(IDYES).Then(ChooseFile(foreign)).Answer(IDOK, &refusal);
    PressButton(dialog, IDC_BANK);
    EXPECT_EQ(ListEntries(dialog), (std::vector<std::string>{"Hall", "New"})) << "the refused bank is not loaded";
    EXPECT_STREQ(filter_.Link()->settings->presetsBankPath, bank_.c_str());
    EXPECT_EQ(NamesOf(ReadBank(bank_)), (std::vector<std::string>{"Hall", "New"})) << "Yes saved";

    driver.Answer(IDYES).Then(ChooseFile(other));
    PressButton(dialog, IDC_BANK);
    EXPECT_EQ(ListEntries(dialog), (std::vector<std::string>{"Other"}));
    EXPECT_EQ(ItemText(dialog, IDC_PRESET_NAME), "New") << "typed text is not selected: it stays";
    PressButton(dialog, IDOK);
  });
  EXPECT_EQ(Show(), IDOK);
  EXPECT_EQ(refusal.text,
            "Error 1150202: Cannon load presets. Your presets file is corrupted or isn't a valid ORVELA Soft's "
            "presets file.");
  EXPECT_TRUE(refusal.icon);
  EXPECT_EQ(page_.TakePresetSelected(), 0) << "another bank drops the loaded preset";
  EXPECT_STREQ(filter_.Link()->settings->presetsBankPath, other.c_str());
}

}  // namespace
