// Views of large files on POSIX: a window of the file is mapped instead of read, which
// saves the copy into the read buffer. A page that the file loses while it is mapped (the
// file cut short by another program, or a read error under the mapping) would end the
// process with SIGBUS; the guard here maps zero bytes over the rest of the window instead,
// and ReleaseFileWindow tells the scan what happened.
#include <errno.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/files.h"
#include "platform/posix/open_file.h"

namespace {

std::int64_t viewFilesFrom = kViewFilesFrom;

// The window the calling thread looks at, for the signal handler; LostFrom is the first
// page given zero bytes, 0 while none was.
struct Guard {
  std::uintptr_t Begin;
  std::uintptr_t End;
  std::uintptr_t LostFrom;
};
__attribute__((tls_model("initial-exec"))) thread_local Guard guard{};

std::uintptr_t pageSize = 0;
struct sigaction previousAction;

void OnBusError(int signal, siginfo_t* info, void* context) {
  const int savedErrno = errno;
  const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
  if (address >= guard.Begin && address < guard.End) {
    const std::uintptr_t page = address & ~(pageSize - 1);
    void* zeros = mmap(reinterpret_cast<void*>(page), guard.End - page, PROT_READ,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (zeros != MAP_FAILED) {
      if (guard.LostFrom == 0 || page < guard.LostFrom) guard.LostFrom = page;
      errno = savedErrno;
      return;  // the access is made again, and reads zero
    }
  }
  // Not a window's page: what would have happened without this handler.
  if ((previousAction.sa_flags & SA_SIGINFO) != 0 && previousAction.sa_sigaction != nullptr) {
    previousAction.sa_sigaction(signal, info, context);
  } else if (previousAction.sa_handler != SIG_DFL && previousAction.sa_handler != SIG_IGN) {
    previousAction.sa_handler(signal);
  } else {
    struct sigaction byDefault = {};
    byDefault.sa_handler = SIG_DFL;
    sigaction(SIGBUS, &byDefault, nullptr);  // the access faults again and ends the process
  }
  errno = savedErrno;
}

bool InstallGuard() {
  static std::once_flag once;
  static bool installed = false;
  std::call_once(once, [] {
    const long size = sysconf(_SC_PAGESIZE);
    if (size <= 0) return;
    pageSize = static_cast<std::uintptr_t>(size);
    struct sigaction action = {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    installed = sigaction(SIGBUS, &action, &previousAction) == 0;
  });
  return installed;
}

void SetGuard(const Guard& value) {
  std::atomic_signal_fence(std::memory_order_seq_cst);
  guard = value;
  std::atomic_signal_fence(std::memory_order_seq_cst);
}

}  // namespace

const std::uint8_t* ViewFileWindow(FileHandle file, std::int64_t offset, std::uint32_t count) {
  if (!IsOpenFile(file)) return nullptr;
  OpenFile* record = RecordOf(file);
  const std::int64_t size = record->SizeWhenOpened;
  if (viewFilesFrom < 0 || size < viewFilesFrom || record->MayHaveHoles) return nullptr;
  if (count == 0 || count > kViewWindowSize || offset < 0 || offset % kViewWindowSize != 0 ||
      offset > size - count) {
    return nullptr;
  }
  ReleaseFileWindow(file);
  if (!InstallGuard()) return nullptr;
  void* window = mmap(nullptr, count, PROT_READ, MAP_SHARED, record->Descriptor,
                      static_cast<off_t>(offset));
  if (window == MAP_FAILED) return nullptr;
  if (lseek(record->Descriptor, static_cast<off_t>(offset + count), SEEK_SET) < 0) {
    munmap(window, count);
    return nullptr;
  }
  record->Window = static_cast<std::uint8_t*>(window);
  record->WindowLength = count;
  record->WindowOffset = offset;
  const auto begin = reinterpret_cast<std::uintptr_t>(window);
  SetGuard({begin, begin + ((count + pageSize - 1) & ~(pageSize - 1)), 0});
  return record->Window;
}

int ReleaseFileWindow(FileHandle file) {
  if (!IsOpenFile(file)) return kWindowWhole;
  OpenFile* record = RecordOf(file);
  if (record->Window == nullptr) return kWindowWhole;
  int state = kWindowWhole;
  const auto begin = reinterpret_cast<std::uintptr_t>(record->Window);
  // Only the thread that looked at the window knows whether pages were lost; a handle
  // closed by another thread after a stop just unmaps it.
  if (guard.Begin == begin) {
    const std::uintptr_t lostFrom = guard.LostFrom;
    SetGuard({0, 0, 0});
    if (lostFrom != 0) {
      // A page lost at or beyond the file's end now was cut off; one within it failed.
      const std::int64_t lostAt = record->WindowOffset + static_cast<std::int64_t>(lostFrom - begin);
      struct stat info;
      const bool cut = fstat(record->Descriptor, &info) == 0 && info.st_size <= lostAt;
      state = cut ? kWindowCut : kWindowFailed;
    }
  }
  munmap(record->Window, record->WindowLength);
  record->Window = nullptr;
  record->WindowLength = 0;
  return state;
}

void ViewFilesFrom(std::int64_t size) { viewFilesFrom = size; }
