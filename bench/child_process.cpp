#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <thread>

extern char** environ;

namespace bench {
namespace {

using std::chrono::steady_clock;

// How long an ended program may take to go before it is killed [ms].
constexpr int kTermGraceMs = 3000;
// Poll interval while waiting for an exit [ms].
constexpr int kExitPollMs = 10;

std::vector<std::string> childEnvironment(
    const std::vector<std::pair<std::string, std::string>>& overrides) {
  std::vector<std::string> result;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text(*entry);
    const std::string_view name = text.substr(0, text.find('='));
    const bool replaced = std::any_of(overrides.begin(), overrides.end(),
                                      [&](const auto& pair) { return pair.first == name; });
    if (!replaced) result.emplace_back(text);
  }
  for (const auto& [name, value] : overrides) result.push_back(name + "=" + value);
  return result;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
  std::vector<char*> result;
  for (std::string& s : strings) result.push_back(s.data());
  result.push_back(nullptr);
  return result;
}

int millisecondsUntil(SteadyTime deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - steady_clock::now());
  return static_cast<int>(std::clamp<long long>(left.count(), 0, 60'000));
}

}  // namespace

ChildProcess::ChildProcess(const Launch& launch) {
  if (launch.argv.empty()) throw std::system_error(EINVAL, std::generic_category(), "no program");
  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
    throw std::system_error(errno, std::generic_category(), "pipe for " + launch.argv[0]);
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 2);
  if (!launch.workingDirectory.empty()) {
    posix_spawn_file_actions_addchdir_np(&actions, launch.workingDirectory.c_str());
  }
  std::vector<std::string> arguments = launch.argv;
  std::vector<std::string> environment = childEnvironment(launch.environment);
  std::vector<char*> argv = pointers(arguments);
  std::vector<char*> envp = pointers(environment);

  started_ = steady_clock::now();
  const int status = launch.searchPath
                         ? posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data())
                         : posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  if (status != 0) {
    close(pipeEnds[0]);
    reaped_ = true;
    throw std::system_error(status, std::generic_category(), "cannot start " + launch.argv[0]);
  }
  output_ = pipeEnds[0];
}

ChildProcess::~ChildProcess() {
  end();
}

bool ChildProcess::readSome(int timeoutMs) {
  if (output_ < 0) return false;
  pollfd request{output_, POLLIN, 0};
  const int ready = poll(&request, 1, timeoutMs);
  if (ready <= 0) return true;  // nothing yet (or an interrupted poll): not the end
  char chunk[4096];
  const ssize_t count = read(output_, chunk, sizeof chunk);
  if (count < 0 && (errno == EINTR || errno == EAGAIN)) return true;
  if (count <= 0) {
    close(output_);
    output_ = -1;
    // A last line without its newline still counts as a line.
    if (!buffer_.empty() && buffer_.back() != '\n') buffer_ += '\n';
    return false;
  }
  lastRead_ = steady_clock::now();
  buffer_.append(chunk, static_cast<std::size_t>(count));
  return true;
}

bool ChildProcess::waitForLine(const std::function<bool(std::string_view)>& match,
                               SteadyTime deadline, std::string* line, SteadyTime* readAt) {
  bool open = true;
  while (true) {
    std::size_t newline;
    while ((newline = buffer_.find('\n')) != std::string::npos) {
      const std::string current = buffer_.substr(0, newline);
      buffer_.erase(0, newline + 1);
      if (match(current)) {
        if (line != nullptr) *line = current;
        if (readAt != nullptr) *readAt = lastRead_;
        return true;
      }
    }
    if (!open || steady_clock::now() >= deadline) return false;
    open = readSome(millisecondsUntil(deadline));
  }
}

bool ChildProcess::reap(int options) {
  if (reaped_) return true;
  int status = 0;
  const pid_t done = wait4(pid_, &status, options, &usage_);
  if (done != pid_) return false;
  reaped_ = true;
  if (WIFEXITED(status)) exitStatus_ = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) exitStatus_ = 128 + WTERMSIG(status);
  return true;
}

int ChildProcess::waitForExit(SteadyTime deadline) {
  while (!reap(WNOHANG)) {
    if (steady_clock::now() >= deadline) {
      end();
      return -1;
    }
    // Keep the pipe drained so that the program never blocks on a full pipe.
    if (!readSome(kExitPollMs)) std::this_thread::sleep_for(std::chrono::milliseconds(kExitPollMs));
  }
  return exitStatus_;
}

rusage ChildProcess::end() {
  if (!reaped_) {
    kill(pid_, SIGTERM);
    const SteadyTime grace = steady_clock::now() + std::chrono::milliseconds(kTermGraceMs);
    while (!reap(WNOHANG) && steady_clock::now() < grace) {
      std::this_thread::sleep_for(std::chrono::milliseconds(kExitPollMs));
    }
    if (!reaped_) {
      kill(pid_, SIGKILL);
      reap(0);
    }
  }
  if (output_ >= 0) {
    close(output_);
    output_ = -1;
  }
  return usage_;
}

}  // namespace bench
