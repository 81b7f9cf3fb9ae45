#include "platform/seams/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>

extern char** environ;

namespace rux {

std::vector<std::string> SplitCommandLine(std::string_view text) {
  std::vector<std::string> items;
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (true) {
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i >= n) break;
    std::string item;
    bool quoted = false;
    while (i < n) {
      char c = text[i];
      if (!quoted && (c == ' ' || c == '\t')) break;
      if (c == '\\') {
        std::size_t slashes = 0;
        while (i < n && text[i] == '\\') ++slashes, ++i;
        if (i < n && text[i] == '"') {
          item.append(slashes / 2, '\\');
          if (slashes % 2 == 1) {
            item += '"';
            ++i;
          }
          // An even count leaves the quote to the quoting rule below.
        } else {
          item.append(slashes, '\\');
        }
        continue;
      }
      if (c == '"') {
        if (quoted && i + 1 < n && text[i + 1] == '"') {
          item += '"';
          i += 2;
          continue;
        }
        quoted = !quoted;
        ++i;
        continue;
      }
      item += c;
      ++i;
    }
    items.push_back(std::move(item));
  }
  return items;
}

namespace {

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::string ProgramFolder() {
  char link[PATH_MAX];
  const ssize_t size = ::readlink("/proc/self/exe", link, sizeof link);
  if (size <= 0 || static_cast<std::size_t>(size) >= sizeof link) return {};
  const std::string path(link, static_cast<std::size_t>(size));
  return path.substr(0, path.rfind('/'));
}

std::string FindProgramNearby(const std::string& name, const std::string& programFolder) {
  if (name.empty() || name.find('/') != std::string::npos) return {};
  if (!programFolder.empty() && IsRegularFile(programFolder + "/" + name))
    return programFolder + "/" + name;
  if (IsRegularFile(name)) return "./" + name;
  return {};
}

std::string FindProgram(const std::string& name, const std::string& programFolder) {
  if (name.empty() || name.find('/') != std::string::npos) return name;
  const std::string nearby = FindProgramNearby(name, programFolder);
  if (!nearby.empty()) return nearby;
  const char* path = std::getenv("PATH");
  if (!path) return name;
  std::string_view dirs(path);
  while (true) {
    std::size_t colon = dirs.find(':');
    const std::string_view dir = dirs.substr(0, colon);
    std::string candidate = dir.empty() ? std::string(".") : std::string(dir);
    candidate += '/';
    candidate += name;
    if (IsRegularFile(candidate) && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    if (colon == std::string_view::npos) break;
    dirs.remove_prefix(colon + 1);
  }
  return name;
}

ChildProcess::Started ChildProcess::Start(const std::string& program,
                                          const std::vector<std::string>& arguments) {
  Started started;
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
    started.error = errno;
    return started;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);

  // The child starts with default signal handling, whatever the front end set.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  sigaddset(&defaults, SIGTERM);
  sigaddset(&defaults, SIGINT);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  pid_t pid = 0;
  int rc = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  ::close(pipeFds[1]);
  if (rc != 0) {
    ::close(pipeFds[0]);
    started.error = rc;
    return started;
  }
  ::fcntl(pipeFds[0], F_SETFL, ::fcntl(pipeFds[0], F_GETFL) | O_NONBLOCK);
  started.process.reset(new ChildProcess(pid, pipeFds[0]));
  return started;
}

ChildProcess::~ChildProcess() {
  if (!Poll()) {
    Kill();
    Wait();
  }
  CloseOutput();
}

bool ChildProcess::ReadAvailable(std::string& into) {
  if (outputFd_ < 0) return false;
  char buffer[16384];
  while (true) {
    ssize_t got = ::read(outputFd_, buffer, sizeof buffer);
    if (got > 0) {
      into.append(buffer, static_cast<std::size_t>(got));
      continue;
    }
    if (got == 0) return false;
    if (errno == EINTR) continue;
    return errno == EAGAIN || errno == EWOULDBLOCK;
  }
}

void ChildProcess::CloseOutput() {
  if (outputFd_ >= 0) ::close(outputFd_);
  outputFd_ = -1;
}

namespace {

int StatusOf(int raw) {
  if (WIFEXITED(raw)) return WEXITSTATUS(raw);
  if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
  return 128;
}

}  // namespace

std::optional<int> ChildProcess::Poll() {
  if (status_) return status_;
  int raw = 0;
  pid_t got = ::waitpid(pid_, &raw, WNOHANG);
  if (got == pid_)
    status_ = StatusOf(raw);
  else if (got < 0 && errno != EINTR)
    status_ = 128;  // no such child any more
  return status_;
}

int ChildProcess::Wait() {
  while (!status_) {
    int raw = 0;
    pid_t got = ::waitpid(pid_, &raw, 0);
    if (got == pid_)
      status_ = StatusOf(raw);
    else if (got < 0 && errno != EINTR)
      status_ = 128;
  }
  return *status_;
}

int ChildProcess::ReadToEnd(const std::function<void(const std::string&)>& onOutput) {
  std::string chunk;
  while (outputFd_ >= 0) {
    const bool ended = Poll().has_value();
    pollfd waitFor{outputFd_, POLLIN, 0};
    ::poll(&waitFor, 1, 200);
    chunk.clear();
    if (!ReadAvailable(chunk) || ended) CloseOutput();
    if (!chunk.empty()) onOutput(chunk);
  }
  return Wait();
}

void ChildProcess::Terminate() {
  if (!Poll()) ::kill(pid_, SIGTERM);
}

void ChildProcess::Kill() {
  if (!Poll()) ::kill(pid_, SIGKILL);
}

}  // namespace rux
