// Windows: the test programs' process runner (see run_process.h) over CreateProcess and
// anonymous pipes. The program's output is read as it comes by looking at the pipes
// (PeekNamedPipe) once a millisecond; input for runProcess is written by a thread of its own, so
// that neither side waits on a full pipe. A program this runner ends (a time limit, or the
// object going) shows signal 9 and exit status -1, as a SIGKILL does on POSIX.
#include <io.h>
#include <windows.h>

#include <chrono>
#include <map>
#include <stdexcept>
#include <thread>

#include "support/run_process.h"
#include "support/run_process_deadline.h"

using run_process_detail::Clock;
using run_process_detail::msLeft;

namespace {

constexpr DWORD kPipeBytes = 1 << 20;
constexpr UINT kKilledStatus = 0xDEAD;

std::map<pid_t, HANDLE>& processes() {
  static std::map<pid_t, HANDLE> handles;
  return handles;
}

std::wstring wide(const std::string& text) {
  if (text.empty()) return {};
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

// One argument quoted as the C runtime's parser reads it back.
std::wstring quoted(const std::wstring& arg) {
  std::wstring out = L"\"";
  std::size_t slashes = 0;
  for (const wchar_t ch : arg) {
    if (ch == L'\\') {
      ++slashes;
      continue;
    }
    out.append(ch == L'"' ? 2 * slashes + 1 : slashes, L'\\');
    slashes = 0;
    out.push_back(ch);
  }
  out.append(2 * slashes, L'\\');
  return out + L"\"";
}

std::wstring environmentBlock(const ProcessOptions& options) {
  std::wstring block;
  wchar_t* strings = GetEnvironmentStringsW();
  for (const wchar_t* entry = strings; *entry != L'\0'; entry += wcslen(entry) + 1) {
    const std::wstring text(entry);
    const std::wstring name = text.substr(0, text.find(L'=', 1));
    bool drop = false;
    for (const auto& unset : options.unsetEnv)
      drop = drop || _wcsicmp(wide(unset).c_str(), name.c_str()) == 0;
    for (const auto& [key, value] : options.setEnv)
      drop = drop || _wcsicmp(wide(key).c_str(), name.c_str()) == 0;
    if (!drop) block += text + L'\0';
  }
  FreeEnvironmentStringsW(strings);
  for (const auto& [key, value] : options.setEnv) block += wide(key + "=" + value) + L'\0';
  return block + L'\0';
}

struct Pipe {
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  // The end the program gets is inheritable; ours is not.
  explicit Pipe(bool programReads) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    if (!CreatePipe(&read, &write, &inherit, kPipeBytes)) throw std::runtime_error("CreatePipe");
    SetHandleInformation(programReads ? write : read, HANDLE_FLAG_INHERIT, 0);
  }
};

void closeHandle(HANDLE& handle) {
  if (handle != nullptr) CloseHandle(handle);
  handle = nullptr;
}

// Our end of a pipe as a descriptor of the C runtime (the header's descriptors are ints).
int descriptorOf(HANDLE handle) { return _open_osfhandle(reinterpret_cast<intptr_t>(handle), 0); }
HANDLE handleOf(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

void closeFd(int& fd) {
  if (fd >= 0) _close(fd);
  fd = -1;
}

pid_t spawn(const std::vector<std::string>& argv, const ProcessOptions& options, int& in, int& out,
            int& err) {
  Pipe inPipe(true), outPipe(false), errPipe(false);
  HANDLE stdinFile = nullptr;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  if (!options.stdinPath.empty()) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    stdinFile = CreateFileW(wide(options.stdinPath).c_str(), GENERIC_READ, FILE_SHARE_READ,
                            &inherit, OPEN_EXISTING, 0, nullptr);
    startup.hStdInput = stdinFile;
  } else if (!options.noStdin) {
    startup.hStdInput = inPipe.read;
  }
  if (options.ownConsole) {
    startup.dwFlags |= STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
  }
  startup.hStdOutput = options.noStdout ? nullptr : outPipe.write;
  startup.hStdError = errPipe.write;
  std::wstring commandLine;
  for (const auto& arg : argv)
    commandLine += (commandLine.empty() ? L"" : L" ") + quoted(wide(arg));
  std::wstring environment = environmentBlock(options);
  PROCESS_INFORMATION info{};
  // Under Wine a start can fail while its server is busy (seen with other builds running
  // beside): a few more tries before the test fails.
  BOOL started = FALSE;
  for (int attempt = 0; attempt < 5 && !started; ++attempt) {
    if (attempt > 0) Sleep(200);
    started = CreateProcessW(wide(argv[0]).c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                             CREATE_UNICODE_ENVIRONMENT | CREATE_NEW_PROCESS_GROUP |
                                 (options.ownConsole ? CREATE_NEW_CONSOLE : 0),
                             environment.data(), nullptr, &startup, &info);
  }
  closeHandle(inPipe.read);
  closeHandle(outPipe.write);
  closeHandle(errPipe.write);
  closeHandle(stdinFile);
  if (!started) throw std::runtime_error("cannot start " + argv[0]);
  CloseHandle(info.hThread);
  processes()[static_cast<pid_t>(info.dwProcessId)] = info.hProcess;
  in = options.noStdin || !options.stdinPath.empty() ? (CloseHandle(inPipe.write), -1)
                                                     : descriptorOf(inPipe.write);
  out = options.closeStdout || options.noStdout ? (CloseHandle(outPipe.read), -1)
                                                : descriptorOf(outPipe.read);
  err = descriptorOf(errPipe.read);
  return static_cast<pid_t>(info.dwProcessId);
}

// Reads what a pipe holds now; closes it at its end. True when something came or it ended.
bool drain(int& fd, std::string& into) {
  if (fd < 0) return false;
  DWORD available = 0;
  if (!PeekNamedPipe(handleOf(fd), nullptr, 0, nullptr, &available, nullptr)) {
    closeFd(fd);
    return true;
  }
  if (available == 0) return false;
  std::string buffer(available, '\0');
  DWORD got = 0;
  if (!ReadFile(handleOf(fd), buffer.data(), available, &got, nullptr)) {
    closeFd(fd);
    return true;
  }
  into.append(buffer.data(), got);
  return true;
}

// Waits for the program's end, ending it at the deadline, and records how it ended.
void reap(pid_t pid, Clock::time_point deadline, ProcessResult& result) {
  const HANDLE process = processes()[pid];
  processes().erase(pid);
  if (WaitForSingleObject(process, static_cast<DWORD>(msLeft(deadline))) != WAIT_OBJECT_0) {
    TerminateProcess(process, kKilledStatus);
    WaitForSingleObject(process, INFINITE);
  }
  DWORD status = 0;
  GetExitCodeProcess(process, &status);
  CloseHandle(process);
  if (status == kKilledStatus) {
    result.exitStatus = -1;
    result.signal = 9;
  } else {
    result.exitStatus = static_cast<int>(status);
  }
}

}  // namespace

ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& input,
                         const ProcessOptions& options) {
  int in = -1, out = -1, err = -1;
  const pid_t pid = spawn(argv, options, in, out, err);
  std::thread writer([&] {
    std::size_t written = 0;
    while (in >= 0 && written < input.size()) {
      DWORD n = 0;
      if (!WriteFile(handleOf(in), input.data() + written,
                     static_cast<DWORD>(input.size() - written), &n, nullptr)) {
        break;
      }
      written += n;
    }
    closeFd(in);
  });
  ProcessResult result;
  const auto deadline = Clock::now() + std::chrono::milliseconds(options.timeoutMs);
  while ((out >= 0 || err >= 0) && msLeft(deadline) > 0) {
    const bool got = drain(out, result.out) | drain(err, result.err);
    if (!got) Sleep(1);
  }
  if (out >= 0 || err >= 0) result.timedOut = true;
  reap(pid, result.timedOut ? Clock::now() : deadline, result);
  // The program is gone: a writer still blocked on its pipe fails now.
  writer.join();
  closeFd(out);
  closeFd(err);
  return result;
}

RunningProcess::RunningProcess(const std::vector<std::string>& argv,
                               const ProcessOptions& options) {
  pid_ = spawn(argv, options, in_, out_, err_);
}

RunningProcess::~RunningProcess() {
  closeFd(in_);
  closeFd(out_);
  closeFd(err_);
  if (pid_ > 0) {
    ProcessResult ignored;
    reap(pid_, Clock::now(), ignored);
  }
}

bool RunningProcess::collect(int timeoutMs) {
  if (out_ < 0 && err_ < 0) return false;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (drain(out_, result_.out) | drain(err_, result_.err)) return true;
    if (msLeft(deadline) == 0) return true;
    Sleep(1);
  }
}

bool RunningProcess::write(std::string_view bytes) {
  while (!bytes.empty()) {
    if (in_ < 0) return false;
    DWORD n = 0;
    if (!WriteFile(handleOf(in_), bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr)) {
      closeFd(in_);
      return false;
    }
    bytes.remove_prefix(n);
    collect(0);
  }
  return true;
}

void RunningProcess::closeOutput() { closeFd(out_); }

void RunningProcess::closeInput() { closeFd(in_); }

void RunningProcess::awaitEnd(int timeoutMs) {
  reap(pid_, Clock::now() + std::chrono::milliseconds(timeoutMs), result_);
  pid_ = -1;
  closeFd(in_);
  closeFd(out_);
  closeFd(err_);
}
