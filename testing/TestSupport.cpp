#include "TestSupport.h"

#include <condition_variable>
#include <cstdio>
#include <iomanip>
#include <mutex>
#include <thread>

namespace sombrevox::test {
namespace {

// Arms a deadline for each test; a thread of its own ends the process when
// one passes.
class Watchdog : public ::testing::EmptyTestEventListener {
 public:
  explicit Watchdog(std::chrono::seconds limit) : limit_(limit), thread_([this] { Watch(); }) {}
  ~Watchdog() override {
    {
      std::lock_guard<std::mutex> guard(lock_);
      quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }

  void Arm(const std::string& what) {
    std::lock_guard<std::mutex> guard(lock_);
    what_ = what;
    deadline_ = std::chrono::steady_clock::now() + limit_;
    armed_ = true;
  }
  void Disarm() {
    std::lock_guard<std::mutex> guard(lock_);
    armed_ = false;
  }
  std::string Running() {
    std::lock_guard<std::mutex> guard(lock_);
    return armed_ ? what_ : std::string("(between tests)");
  }

  void OnTestStart(const ::testing::TestInfo& test) override {
    Arm(std::string(test.test_suite_name()) + "." + test.name());
  }
  void OnTestEnd(const ::testing::TestInfo&) override { Disarm(); }

 private:
  void Watch() {
    std::unique_lock<std::mutex> guard(lock_);
    while (!quit_) {
      if (armed_ && std::chrono::steady_clock::now() >= deadline_) {
        std::fprintf(stderr, "watchdog: %s still running after %lld s: a hang; ending the test program\n",
                     what_.c_str(), static_cast<long long>(limit_.count()));
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
      }
      wake_.wait_for(guard, std::chrono::milliseconds(200));
    }
  }

  const std::chrono::seconds limit_;
  std::mutex lock_;
  std::condition_variable wake_;
  bool quit_ = false;
  bool armed_ = false;
  std::string what_;
  std::chrono::steady_clock::time_point deadline_{};
  std::thread thread_;
};

Watchdog* watchdog = nullptr;  // owned by gtest's listener list once installed

LONG WINAPI FailOnCrash(EXCEPTION_POINTERS* exception) {
  std::fprintf(stderr, "crash: exception 0x%08lx at %p in %s\n",
               static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode),
               exception->ExceptionRecord->ExceptionAddress, watchdog ? watchdog->Running().c_str() : "?");
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), 4);
  return EXCEPTION_EXECUTE_HANDLER;
}

class ProgramEnvironment : public ::testing::Environment {
 public:
  ProgramEnvironment(DWORD apartment, std::chrono::seconds limit) : apartment_(apartment), limit_(limit) {}
  void SetUp() override {
    SetUnhandledExceptionFilter(FailOnCrash);
    watchdog = new Watchdog(limit_);
    ::testing::UnitTest::GetInstance()->listeners().Append(watchdog);
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, apartment_)));
  }
  void TearDown() override { CoUninitialize(); }

 private:
  DWORD apartment_;
  std::chrono::seconds limit_;
};

}  // namespace

bool InstallTestEnvironment(DWORD apartment, std::chrono::seconds limit) {
  // Environments set up in the order they were added: this one comes first
  // when the program adds its own later.
  ::testing::AddGlobalTestEnvironment(new ProgramEnvironment(apartment, limit));
  return true;
}

void ArmWatchdog(const std::string& what) {
  if (watchdog) watchdog->Arm(what);
}

void DisarmWatchdog() {
  if (watchdog) watchdog->Disarm();
}

std::ostream& operator<<(std::ostream& out, const Hr& hr) {
  return out << "0x" << std::hex << std::setw(8) << std::setfill('0') << static_cast<unsigned long>(hr.value)
             << std::dec;
}

}  // namespace sombrevox::test
