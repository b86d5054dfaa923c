#pragma once
// A program started by the benchmark, its standard output and error joined in one pipe that is
// read line by line against a deadline. Ending it (SIGTERM, then SIGKILL) collects its resource
// usage; a child never outlives its owner. It knows nothing of what the program is.

#include <sys/resource.h>
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "measure.h"

namespace bench {

struct Launch {
  std::vector<std::string> argv;  // argv[0] is the program: a path, or a name looked up in PATH
  // Variables set for the child on top of this process's environment.
  std::vector<std::pair<std::string, std::string>> environment;
  std::string workingDirectory;  // empty: this process's
  bool searchPath = false;       // look argv[0] up in PATH
};

class ChildProcess {
 public:
  // Starts the program; throws std::system_error naming it if it cannot be started.
  explicit ChildProcess(const Launch& launch);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The steady-clock time just before the program was started.
  SteadyTime started() const { return started_; }
  pid_t pid() const { return pid_; }

  // Reads lines until one satisfies `match`; returns false at the deadline or when the output
  // ends first. `line` receives the matching line and `readAt` the time its bytes arrived.
  bool waitForLine(const std::function<bool(std::string_view)>& match, SteadyTime deadline,
                   std::string* line = nullptr, SteadyTime* readAt = nullptr);

  // Waits for the program to exit by itself, reading its output meanwhile. Returns its exit status
  // (128 + signal if a signal ended it), or -1 if the deadline came first, in which case it is
  // ended.
  int waitForExit(SteadyTime deadline);

  // Ends the program if it still runs and returns its resource usage.
  rusage end();

 private:
  // Reads what the pipe holds within `timeoutMs`; false once the output has ended.
  bool readSome(int timeoutMs);
  bool reap(int options);

  pid_t pid_ = -1;
  int output_ = -1;  // read end of the pipe; -1 once the output has ended
  bool reaped_ = false;
  int exitStatus_ = -1;
  rusage usage_{};
  std::string buffer_;  // bytes read but not yet returned as lines
  SteadyTime started_{};
  SteadyTime lastRead_{};
};

}  // namespace bench
