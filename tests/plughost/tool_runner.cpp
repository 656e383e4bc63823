// Starting plughost as a child process with its output captured in files.
#include "tool_runner.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "simhost/plugin_loader.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace plughosttest {
namespace {

namespace fs = std::filesystem;

#if defined(_WIN32)
const char kToolName[] = "plughost.exe";

int ProcessId() { return static_cast<int>(GetCurrentProcessId()); }

// One argument quoted as the C runtime's command-line parser reads it back.
std::string Quoted(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string out = "\"";
  size_t backslashes = 0;
  for (const char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') out.append(2 * backslashes + 1, '\\');
    else out.append(backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(2 * backslashes, '\\');
  return out + "\"";
}

int Spawn(const std::string& tool, const std::vector<std::string>& args, const std::string& outPath,
          const std::string& errPath) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  HANDLE err = CreateFileA(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  std::string commandLine = Quoted(tool);
  for (const std::string& arg : args) commandLine += " " + Quoted(arg);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  int status = -1;
  if (out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
      CreateProcessA(tool.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                     &process) != 0) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(process.hProcess, &code) != 0) status = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
  if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
  return status;
}
#else
const char kToolName[] = "plughost";

int ProcessId() { return static_cast<int>(getpid()); }

int Spawn(const std::string& tool, const std::vector<std::string>& args, const std::string& outPath,
          const std::string& errPath) {
  std::vector<std::string> argvStrings{tool};
  argvStrings.insert(argvStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argvStrings) argv.push_back(&arg[0]);
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t child = 0;
  const int started = posix_spawn(&child, tool.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (started != 0) return -1;
  int wait = 0;
  if (waitpid(child, &wait, 0) != child || !WIFEXITED(wait)) return -1;
  return WEXITSTATUS(wait);
}
#endif

std::string UniqueName(const std::string& stem) {
  static std::atomic<int> counter{0};
  return stem + "-" + std::to_string(ProcessId()) + "-" + std::to_string(++counter);
}

}  // namespace

ToolRun RunTool(const std::vector<std::string>& args) {
  const fs::path dir = simhost::ExecutableDirectory();
  const std::string base = (dir / UniqueName("plughost-run")).string();
  ToolRun run;
  run.status = Spawn((dir / kToolName).string(), args, base + ".out", base + ".err");
  run.out = ReadFile(base + ".out");
  run.err = ReadFile(base + ".err");
  std::remove((base + ".out").c_str());
  std::remove((base + ".err").c_str());
  return run;
}

std::string PluginPath(const std::string& baseName) { return simhost::PluginBesideExecutable(baseName); }

ScratchFolder::ScratchFolder()
    : path_((fs::path(simhost::ExecutableDirectory()) / UniqueName("plughost-scratch")).string()) {
  fs::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string ScratchFolder::Path(const std::string& name) const { return (fs::path(path_) / name).string(); }

std::vector<std::string> ScratchFolder::Files() const {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(path_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool FileExists(const std::string& path) { return fs::exists(path); }

}  // namespace plughosttest
