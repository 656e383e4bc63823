// Test support: runs the plughost program built beside the test executable as a
// child process (natively through posix_spawn, under Wine through CreateProcess),
// and scratch folders for its files.
#pragma once

#include <string>
#include <vector>

namespace plughosttest {

struct ToolRun {
  int status = -1;  // the exit status, -1 when the program could not be started or did not exit
  std::string out;  // everything written to standard output
  std::string err;  // everything written to standard error
};

// Runs plughost with args and waits for it.
ToolRun RunTool(const std::vector<std::string>& args);

// A plug-in library built beside the test executable, by base name ("Veilpix").
std::string PluginPath(const std::string& baseName);

// A new empty folder beside the test executable, removed with its contents at
// destruction.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string Path(const std::string& name) const;  // a file inside the folder
  std::vector<std::string> Files() const;           // names of the files in it, sorted
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

}  // namespace plughosttest
