// Reading inputs and writing outputs all or nothing.
#include "file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "errors.h"

namespace plughost {
namespace {

namespace fs = std::filesystem;

int ProcessId() {
#if defined(_WIN32)
  return static_cast<int>(GetCurrentProcessId());
#else
  return static_cast<int>(getpid());
#endif
}

std::string Reason(int error) { return std::strerror(error); }

// Renames from over to, replacing to when it exists (rename() does not on Windows).
bool MoveOver(const std::string& from, const std::string& to) {
#if defined(_WIN32)
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0) return true;
  errno = EACCES;
  return false;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

// The file opened for reading, or a failure naming the path.
std::FILE* OpenForReading(const std::string& path) {
  std::error_code status;
  const fs::file_status file = fs::status(fs::path(path), status);
  if (!fs::exists(file)) Fail("no such file: " + path);
  if (fs::is_directory(file)) Fail(path + " is a directory, not a file");
  errno = 0;
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (in == nullptr) Fail("cannot read " + path + ": " + Reason(errno));
  return in;
}

// Reads the whole of in (at most limit bytes) into bytes and closes it.
void ReadAndClose(std::FILE* in, const std::string& path, std::string& bytes, size_t limit) {
  char buffer[65536];
  size_t got = 0;
  while (bytes.size() < limit && (got = std::fread(buffer, 1, sizeof buffer, in)) > 0) bytes.append(buffer, got);
  const bool failed = std::ferror(in) != 0;
  const int error = errno;
  std::fclose(in);
  if (failed) Fail("cannot read " + path + ": " + Reason(error));
}

}  // namespace

void CheckReadableFile(const std::string& path) {
  std::string first;
  ReadAndClose(OpenForReading(path), path, first, 1);
}

std::string ReadWholeFile(const std::string& path) {
  std::string bytes;
  ReadAndClose(OpenForReading(path), path, bytes, static_cast<size_t>(-1));
  return bytes;
}

void WriteFileReplacing(const std::string& path, const std::string& bytes) {
  std::error_code status;
  if (fs::is_directory(fs::path(path), status)) Fail("cannot write " + path + ": it is a directory");
  // Beside the output, so that the rename stays within one file system.
  const std::string temporary = path + ".partial-" + std::to_string(ProcessId());
  errno = 0;
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) Fail("cannot write " + path + ": " + Reason(errno));
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const int writeError = errno;
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    std::remove(temporary.c_str());
    Fail("cannot write " + path + ": " + Reason(writeError != 0 ? writeError : errno));
  }
  if (!MoveOver(temporary, path)) {
    std::remove(temporary.c_str());
    Fail("cannot write " + path + ": " + Reason(errno));
  }
}

}  // namespace plughost
