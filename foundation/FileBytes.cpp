#include "foundation/FileBytes.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/FileInfo.h"
#include "foundation/ReadProgress.h"
#include "foundation/StringTools.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

[[noreturn]] void refuse(const std::string& why, const std::string& path) {
  throwFileError<FileReadError>(OSTREL_HERE, why, path);
}

// Closes the descriptor when reading ends, however it ends, unless it was kept.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
  int keep() { return std::exchange(fd, -1); }
};

// What stat says of a path that is neither a regular file nor a pipe, or "" for those two.
std::string refusal(const struct stat& status) {
  if (S_ISDIR(status.st_mode)) return "It is a directory";
  if (S_ISREG(status.st_mode) || S_ISFIFO(status.st_mode)) return "";
  return "It is a device or a socket, not a file";
}

// Appends everything the descriptor gives until its end, or until the load is cancelled.
void readToEnd(int fd, std::string& bytes, const std::string& path) {
  char block[1 << 16];
  for (;;) {
    ReadProgress::stopIfAsked();
    const ssize_t got = ::read(fd, block, sizeof block);
    if (got == 0) return;
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) refuse("Cannot read the file", path);
    bytes.append(block, static_cast<std::size_t>(got));
  }
}

// A pipe opened without waiting: no writer shows as an immediate end. Once a writer is there (it
// has written, or it would make a read wait), the pipe is read to its end as any file.
void readPipe(int fd, std::string& bytes, const std::string& path) {
  char first[1 << 12];
  ssize_t got;
  do got = ::read(fd, first, sizeof first);
  while (got < 0 && errno == EINTR);
  if (got == 0) refuse("It is a named pipe that nothing writes to", path);
  if (got < 0 && errno != EAGAIN) refuse("Cannot read the file", path);
  if (got > 0) bytes.append(first, static_cast<std::size_t>(got));
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  readToEnd(fd, bytes, path);
}

// The mappings being read. Reading a page of a mapping beyond the end of a file that another program
// has cut short raises SIGBUS, which would end the program; inside one of these, the handler puts a
// page of zeros in its place instead, so that the reader finds a broken file and says so.
struct MappedRange {
  std::atomic<std::uintptr_t> begin{0}, end{0}; // end is 0 while a range is entered or left
};

class MappingGuard {
public:
  // Registers a mapping; false (map nothing then) when all slots are taken or no handler could be set.
  static bool enter(const void* start, std::size_t size) {
    if (!installed()) return false;
    const auto begin = reinterpret_cast<std::uintptr_t>(start);
    for (MappedRange& range : ranges) {
      std::uintptr_t free = 0;
      if (range.begin.compare_exchange_strong(free, begin)) {
        range.end.store(begin + size);
        return true;
      }
    }
    return false;
  }

  static void leave(const void* start) {
    const auto begin = reinterpret_cast<std::uintptr_t>(start);
    for (MappedRange& range : ranges)
      if (range.begin.load() == begin) {
        range.end.store(0);
        range.begin.store(0);
        return;
      }
  }

private:
  static bool installed() {
    static const bool done = [] {
      pageSize = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
      struct sigaction action {};
      action.sa_sigaction = onBusError;
      action.sa_flags = SA_SIGINFO;
      sigemptyset(&action.sa_mask);
      return ::sigaction(SIGBUS, &action, &previous) == 0;
    }();
    return done;
  }

  static void onBusError(int signal, siginfo_t* info, void* context) {
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (const MappedRange& range : ranges)
      if (address >= range.begin.load() && address < range.end.load() &&
          ::mmap(reinterpret_cast<void*>(address & ~(pageSize - 1)), pageSize, PROT_READ,
                 MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED)
        return; // the read is made again, and finds zeros
    // Not one of ours: as it would have gone without this handler.
    if (previous.sa_flags & SA_SIGINFO) return previous.sa_sigaction(signal, info, context);
    if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) return previous.sa_handler(signal);
    ::signal(SIGBUS, SIG_DFL); // the fault happens again on return, and ends the program
  }

  static inline MappedRange ranges[64];
  static inline std::uintptr_t pageSize = 4096;
  static inline struct sigaction previous {};
};

} // namespace

FileBytes::FileBytes(std::string path, std::string bytes, bool regularFile)
    : _path(std::move(path)), _bytes(std::move(bytes)), _regularFile(regularFile) {}

FileBytes::FileBytes(std::string path, std::unique_ptr<const char, Unmap> mapping)
    : _path(std::move(path)), _mapping(std::move(mapping)), _regularFile(true) {}

void FileBytes::Unmap::operator()(const char* start) const {
  MappingGuard::leave(start);
  ::munmap(const_cast<char*>(start), size);
  ::close(descriptor);
}

FileBytes FileBytes::read(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) refuse("Cannot open file for reading", path);
  const std::string why = refusal(status);
  if (!why.empty()) refuse(why, path);
  const bool pipe = S_ISFIFO(status.st_mode);
  Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | (pipe ? O_NONBLOCK : 0))};
  if (file.fd < 0) refuse("Cannot open file for reading", path);
  std::string bytes;
  if (pipe) {
    readPipe(file.fd, bytes, path);
    return FileBytes(path, std::move(bytes), false);
  }
  ReadProgress::stopIfAsked();
  const std::size_t size = static_cast<std::size_t>(std::max<off_t>(status.st_size, 0));
  void* start = size > 0 ? ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, file.fd, 0) : MAP_FAILED;
  if (start != MAP_FAILED && !MappingGuard::enter(start, size)) {
    ::munmap(start, size);
    start = MAP_FAILED;
  }
  if (start != MAP_FAILED)
    return FileBytes(
        path, std::unique_ptr<const char, Unmap>(static_cast<const char*>(start), Unmap{size, file.keep()}));
  readToEnd(file.fd, bytes, path); // a file that cannot be mapped, or whose size is not known (/proc)
  return FileBytes(path, std::move(bytes), true);
}

std::size_t FileBytes::copy(char* to, std::size_t offset, std::size_t count) const {
  const std::string_view all = bytes();
  if (offset >= all.size()) return 0;
  count = std::min(count, all.size() - offset);
  if (!_mapping) {
    std::memcpy(to, all.data() + offset, count);
    return count;
  }
  std::size_t done = 0;
  while (done < count) {
    const ssize_t got = ::pread(_mapping.get_deleter().descriptor, to + done, count - done,
                                static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

std::string FileBytes::suffix() const {
  return StringTools::lowerCase(FileInfo::suffixName(_path));
}

int FileBytes::suffixScore(const std::vector<std::string>& suffixes) const {
  return std::find(suffixes.begin(), suffixes.end(), suffix()) != suffixes.end() ? 1 : 0;
}
