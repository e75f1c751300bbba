// SetNotifyWindow's two slots with real windows, and the WM_COMMAND the
// filter posts through them (a stream load posts code 100).
#include <gtest/gtest.h>

#include <cstring>

#include "FilterTestSupport.h"

using namespace sombrevox;
using namespace sombrevox::test;

namespace {

// A stream holding a valid 84-byte record with the given pre-delay.
ComPtr<IStream> RecordStream(double predelay) {
  ComPtr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, stream.GetAddressOf());
  BYTE record[84];
  const DWORD size = 84;
  std::memcpy(record, &size, 4);
  std::memcpy(record + 4, &IID_IReverbSettings, 16);
  const ReverbParams p{predelay, 250, 10000, 1.0, 1200, 0.5, 0.5, 0};
  std::memcpy(record + 20, &p, 64);
  stream->Write(record, sizeof record, nullptr);
  stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
  return stream;
}

struct NotifyRig {
  ComPtr<IUnknown> filter = CreateFilter();
  ComPtr<IReverbSettings> settings = As<IReverbSettings>(filter.Get(), IID_IReverbSettings);
  // Makes the filter notify: a settings load posts code 100.
  void Notify() { As<IPersistStream>(filter.Get(), IID_IPersistStream)->Load(RecordStream(40).Get()); }
};

// The next WM_COMMAND posted to `window`: its low and high words.
bool NextCommand(HWND window, WORD* id, WORD* code) {
  MSG msg;
  if (!TakePosted(window, WM_COMMAND, &msg)) return false;
  *id = LOWORD(msg.wParam);
  *code = HIWORD(msg.wParam);
  return msg.lParam == 0;
}

}  // namespace

TEST(NotifyWindows, TwoSlotsThenFull) {
  NotifyRig rig;
  TestWindow w1, w2, w3;
  EXPECT_EQ(rig.settings->SetNotifyWindow(w1.get(), PAGE_NOTIFY_ID), S_OK);
  EXPECT_EQ(rig.settings->SetNotifyWindow(w1.get(), PAGE_NOTIFY_ID), S_OK) << "the same window keeps its slot";
  EXPECT_EQ(rig.settings->SetNotifyWindow(w2.get(), 77), S_OK);
  EXPECT_EQ(rig.settings->SetNotifyWindow(w3.get(), 5), E_OUTOFMEMORY);
  EXPECT_EQ(rig.settings->SetNotifyWindow(w3.get(), 0), S_OK) << "removing an unknown window is no error";

  rig.Notify();
  WORD id = 0, code = 0;
  ASSERT_TRUE(NextCommand(w1.get(), &id, &code));
  EXPECT_EQ(id, PAGE_NOTIFY_ID);
  EXPECT_EQ(code, NOTIFY_SETTINGS_LOADED);
  ASSERT_TRUE(NextCommand(w2.get(), &id, &code));
  EXPECT_EQ(id, 77);
  EXPECT_FALSE(NextCommand(w3.get(), &id, &code));

  // Id 0 frees w1's slot for w3.
  EXPECT_EQ(rig.settings->SetNotifyWindow(w1.get(), 0), S_OK);
  EXPECT_EQ(rig.settings->SetNotifyWindow(w3.get(), 9), S_OK);
  rig.Notify();
  EXPECT_FALSE(NextCommand(w1.get(), &id, &code));
  ASSERT_TRUE(NextCommand(w3.get(), &id, &code));
  EXPECT_EQ(id, 9);
  rig.settings->SetNotifyWindow(w2.get(), 0);
  rig.settings->SetNotifyWindow(w3.get(), 0);
}

TEST(NotifyWindows, ChangingTheIdOfARegisteredWindow) {
  NotifyRig rig;
  TestWindow w;
  rig.settings->SetNotifyWindow(w.get(), 1);
  rig.settings->SetNotifyWindow(w.get(), 2);
  rig.Notify();
  WORD id = 0, code = 0;
  ASSERT_TRUE(NextCommand(w.get(), &id, &code));
  EXPECT_EQ(id, 2);
  EXPECT_FALSE(NextCommand(w.get(), &id, &code)) << "one slot, one message";
  rig.settings->SetNotifyWindow(w.get(), 0);
}

TEST(NotifyWindows, DestroyedWindowIsDroppedAtTheNextNotification) {
  NotifyRig rig;
  TestWindow gone, other, third;
  rig.settings->SetNotifyWindow(gone.get(), PAGE_NOTIFY_ID);
  rig.settings->SetNotifyWindow(other.get(), PAGE_NOTIFY_ID);
  gone.Destroy();
  EXPECT_EQ(rig.settings->SetNotifyWindow(third.get(), 1), E_OUTOFMEMORY) << "still held until a notification";
  rig.Notify();
  EXPECT_EQ(rig.settings->SetNotifyWindow(third.get(), 1), S_OK);
  WORD id = 0, code = 0;
  EXPECT_TRUE(NextCommand(other.get(), &id, &code));
  rig.settings->SetNotifyWindow(other.get(), 0);
  rig.settings->SetNotifyWindow(third.get(), 0);
}

TEST(NotifyWindows, ParameterWritesPostNothing) {
  NotifyRig rig;
  TestWindow w;
  rig.settings->SetNotifyWindow(w.get(), PAGE_NOTIFY_ID);
  rig.settings->SetMix(0.9);
  const ReverbParams p{10, 100, 5000, 0.6, 900, 0.4, 0.3, -2};
  rig.settings->SetParams(&p);
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, w.get(), 0, 0, PM_REMOVE | PM_NOYIELD) && msg.message == WM_COMMAND);
  rig.settings->SetNotifyWindow(w.get(), 0);
}
