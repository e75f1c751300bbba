// IPersistStream: the 84-byte record, the dirty flag, refused and short
// records, clamping on load, and the notification after a load.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <thread>
#include <vector>

#include "FilterTestSupport.h"

using namespace sombrevox;
using namespace sombrevox::test;

namespace {

std::vector<BYTE> RecordBytes(DWORD size, const GUID& marker, const ReverbParams& p) {
  std::vector<BYTE> bytes(84);
  std::memcpy(bytes.data(), &size, 4);
  std::memcpy(bytes.data() + 4, &marker, 16);
  std::memcpy(bytes.data() + 20, &p, 64);
  return bytes;
}

ComPtr<IStream> StreamOf(const std::vector<BYTE>& bytes) {
  ComPtr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, stream.GetAddressOf());
  stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
  stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
  return stream;
}

std::vector<BYTE> Contents(IStream* stream) {
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  std::vector<BYTE> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
  stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
  ULONG read = 0;
  stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
  return bytes;
}

const ReverbParams kDefaults{33, 250, 10000, 1.0, 1200, 0.5, 0.5, 0};

// A stream that takes or gives only `limit` bytes per call, answering S_OK,
// and calls `onWrite` with the number of each write: a peer that misbehaves
// on purpose.
class ShortStream : public IStream {
 public:
  explicit ShortStream(ULONG limit, std::vector<BYTE> data = {}) : limit_(limit), data_(std::move(data)) {}
  std::function<void(int)> onWrite;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IStream || iid == IID_ISequentialStream) {
      *object = static_cast<IStream*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE Read(void* out, ULONG wanted, ULONG* read) override {
    ULONG n = wanted < limit_ ? wanted : limit_;
    if (n > data_.size() - position_) n = static_cast<ULONG>(data_.size() - position_);
    std::memcpy(out, data_.data() + position_, n);
    position_ += n;
    if (read) *read = n;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Write(const void*, ULONG wanted, ULONG* written) override {
    if (onWrite) onWrite(++writes_);
    if (written) *written = wanted < limit_ ? wanted : limit_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

 private:
  ULONG limit_;
  std::vector<BYTE> data_;
  size_t position_ = 0;
  int writes_ = 0;
};

struct PersistRig {
  ComPtr<IUnknown> filter = CreateFilter();
  ComPtr<IPersistStream> persist = As<IPersistStream>(filter.Get(), IID_IPersistStream);
  ComPtr<IReverbSettings> settings = As<IReverbSettings>(filter.Get(), IID_IReverbSettings);
  TestWindow page;
  PersistRig() { settings->SetNotifyWindow(page.get(), PAGE_NOTIFY_ID); }
  ~PersistRig() { settings->SetNotifyWindow(page.get(), 0); }
  ReverbParams Params() {
    ReverbParams p{};
    settings->GetParams(&p);
    return p;
  }
  bool Posted(WORD code) {
    MSG msg;
    return TakePosted(page.get(), WM_COMMAND, &msg) && HIWORD(msg.wParam) == code &&
           LOWORD(msg.wParam) == PAGE_NOTIFY_ID;
  }
};

}  // namespace

TEST(PersistStream, SaveOfAFreshFilterWritesTheDefaultRecord) {
  PersistRig rig;
  ComPtr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, stream.GetAddressOf());
  ASSERT_EQ(rig.persist->Save(stream.Get(), FALSE), S_OK);
  EXPECT_EQ(Contents(stream.Get()), RecordBytes(84, IID_IReverbSettings, kDefaults));
  // The marker in the standard binary GUID layout.
  const BYTE marker[16] = {0xC9, 0x41, 0x2A, 0x5E, 0x07, 0x3D, 0xD4, 0x11,
                           0xB1, 0xF3, 0x6A, 0x0E, 0x29, 0xC7, 0x00, 0x00};
  EXPECT_EQ(std::memcmp(Contents(stream.Get()).data() + 4, marker, 16), 0);
  EXPECT_EQ(rig.persist->IsDirty(), S_OK) << "Save(FALSE) keeps the flag";
  ULARGE_INTEGER size{};
  EXPECT_EQ(rig.persist->GetSizeMax(&size), S_OK);
  EXPECT_EQ(size.QuadPart, 84u);
}

TEST(PersistStream, DirtyFlagFollowsSavesAndChanges) {
  PersistRig rig;
  ComPtr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, stream.GetAddressOf());
  ASSERT_EQ(rig.persist->Save(stream.Get(), TRUE), S_OK);
  EXPECT_EQ(rig.persist->IsDirty(), S_FALSE);
  rig.settings->SetMix(0.5);
  EXPECT_EQ(rig.persist->IsDirty(), S_FALSE);
  rig.settings->SetMix(0.7);
  EXPECT_EQ(rig.persist->IsDirty(), S_OK);
}

TEST(PersistStream, LoadClampsAppliesAndAnnounces) {
  PersistRig rig;
  const ReverbParams stored{0, 250, 10000, 1.0, 1200, 0.94, 0.5, 9};
  ASSERT_EQ(rig.persist->Load(StreamOf(RecordBytes(84, IID_IReverbSettings, stored)).Get()), S_OK);
  const ReverbParams p = rig.Params();
  EXPECT_EQ(p.predelayMs, 1.0);
  EXPECT_EQ(p.damping, 0.9);
  EXPECT_EQ(p.levelDb, 3.0);
  EXPECT_EQ(rig.persist->IsDirty(), S_OK);
  EXPECT_TRUE(rig.Posted(NOTIFY_SETTINGS_LOADED));
}

TEST(PersistStream, RefusedRecordsChangeNothingAndPostNothing) {
  PersistRig rig;
  const ReverbParams other{100, 900, 3000, 0.6, 2000, 0.3, 0.2, -6};
  EXPECT_EQ(rig.persist->Load(StreamOf(RecordBytes(64, IID_IReverbSettings, other)).Get()), E_FAIL);
  EXPECT_EQ(rig.persist->Load(StreamOf(RecordBytes(84, IID_IFactoryPresets, other)).Get()), E_FAIL);

  // Short streams: fewer bytes than a header, or a header and half the values.
  std::vector<BYTE> whole = RecordBytes(84, IID_IReverbSettings, other);
  std::vector<BYTE> header(whole.begin(), whole.begin() + 12);
  std::vector<BYTE> half(whole.begin(), whole.begin() + 50);
  EXPECT_TRUE(FAILED(rig.persist->Load(StreamOf(header).Get())));
  EXPECT_TRUE(FAILED(rig.persist->Load(StreamOf(half).Get())));
  ShortStream dribble(10, whole);  // answers S_OK with ten bytes at a time
  EXPECT_TRUE(FAILED(rig.persist->Load(&dribble)));

  const ReverbParams p = rig.Params();
  EXPECT_EQ(std::memcmp(&p, &kDefaults, sizeof p), 0);
  EXPECT_FALSE(rig.Posted(NOTIFY_SETTINGS_LOADED));
}

TEST(PersistStream, ShortWriteIsAFailure) {
  PersistRig rig;
  ShortStream full(10);
  EXPECT_TRUE(FAILED(rig.persist->Save(&full, TRUE)));
  EXPECT_EQ(rig.persist->IsDirty(), S_OK) << "a failed save leaves the flag up";
  EXPECT_EQ(rig.persist->Save(nullptr, TRUE), E_POINTER);
  EXPECT_EQ(rig.persist->Load(nullptr), E_POINTER);
}

// An edit that lands while the record is being written is not in it: the
// save must leave the filter dirty, or the host would never save that edit.
TEST(PersistStream, EditDuringASaveKeepsTheFilterDirty) {
  PersistRig rig;
  ShortStream stream(84);
  stream.onWrite = [&](int write) {
    if (write == 2) std::thread([&] { rig.settings->SetMix(0.25); }).join();
  };
  ASSERT_EQ(S_OK, rig.persist->Save(&stream, TRUE));
  EXPECT_EQ(S_OK, rig.persist->IsDirty());
  ShortStream again(84);
  ASSERT_EQ(S_OK, rig.persist->Save(&again, TRUE));
  EXPECT_EQ(S_FALSE, rig.persist->IsDirty());
}

TEST(PersistStream, RoundTripBetweenTwoFilters) {
  PersistRig a, b;
  const ReverbParams p{181.52, 826.63, 4184.3, 0.75, 1600.9, 0.55, 0.6, -1.5};
  a.settings->SetParams(&p);
  ComPtr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, stream.GetAddressOf());
  ASSERT_EQ(a.persist->Save(stream.Get(), TRUE), S_OK);
  stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
  ASSERT_EQ(b.persist->Load(stream.Get()), S_OK);
  const ReverbParams q = b.Params();
  EXPECT_EQ(std::memcmp(&p, &q, sizeof p), 0);
}
