#include "platform/SystemUrlOpener.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <future>
#include <thread>

namespace quillon {

namespace {

// The spawn errors in the codes the link label explains.
int CodeOfSpawnError(int error) {
  switch (error) {
    case ENOENT:
      return url_open::kFileNotFound;
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG:
      return url_open::kPathNotFound;
    case EACCES:
    case EPERM:
      return url_open::kAccessDenied;
    case ENOMEM:
      return url_open::kOutOfMemory;
    case EAGAIN:
    case E2BIG:
      return url_open::kOutOfResources;
    case ENOEXEC:
      return url_open::kBadProgram;
    case ETXTBSY:
      return url_open::kSharingViolation;
    default:
      return url_open::kUnknownFailure;
  }
}

// xdg-open's exit statuses: 0 done, 1 bad command line, 2 the address does not exist, 3 no tool
// to open it with, 4 the tool failed. 2 and 3 have codes of their own; the rest is unknown.
int CodeOfFallbackStatus(int status) {
  if (!WIFEXITED(status)) return url_open::kUnknownFailure;
  switch (WEXITSTATUS(status)) {
    case 0:
      return url_open::kOpened;
    case 2:
      return url_open::kFileNotFound;
    case 3:
      return url_open::kNoAssociation;
    default:
      return url_open::kUnknownFailure;
  }
}

struct Started {
  int error = 0;  // errno of the start, 0 when it started
  pid_t pid = -1;
};

// The child reads nothing from our terminal, keeps no descriptor of ours (a raw capture socket
// must not outlive us in a browser), sits in a process group of its own (Ctrl-C at the command
// line does not close the browser) and starts with no signal blocked or ignored.
Started Spawn(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  sigset_t defaults;
  sigfillset(&defaults);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

  Started started;
  started.error = posix_spawnp(&started.pid, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return started;
}

// Waits for the child on a thread of its own, so that it never stays a zombie, whether or not
// anyone waits for the result. The result is the wait status, or nothing when the child was
// reaped elsewhere.
std::shared_future<std::optional<int>> Reap(pid_t pid) {
  std::promise<std::optional<int>> promise;
  std::shared_future<std::optional<int>> result = promise.get_future().share();
  std::thread([pid, promise = std::move(promise)]() mutable {
    int status = 0;
    pid_t reaped = 0;
    do {
      reaped = waitpid(pid, &status, 0);
    } while (reaped < 0 && errno == EINTR);
    promise.set_value(reaped == pid ? std::optional<int>(status) : std::nullopt);
  }).detach();
  return result;
}

std::vector<std::string> SplitAt(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string::size_type start = 0;
  while (true) {
    const std::string::size_type end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

}  // namespace

std::vector<std::string> SystemUrlOpener::BrowserArguments(const std::string& command,
                                                           const std::string& address) {
  std::vector<std::string> arguments;
  bool placed = false;
  std::string word;
  bool in_word = false;
  const auto end_word = [&] {
    if (in_word) arguments.push_back(word);
    word.clear();
    in_word = false;
  };
  for (std::string::size_type i = 0; i < command.size(); ++i) {
    const char c = command[i];
    if (c == ' ' || c == '\t') {
      end_word();
      continue;
    }
    in_word = true;
    if (c == '%' && i + 1 < command.size() && command[i + 1] == 's') {
      word += address;
      placed = true;
      ++i;
    } else if (c == '%' && i + 1 < command.size() && command[i + 1] == '%') {
      word += '%';
      ++i;
    } else {
      word += c;
    }
  }
  end_word();
  if (!arguments.empty() && !placed) arguments.push_back(address);
  return arguments;
}

int SystemUrlOpener::Open(const std::string& address) {
  if (address.empty()) return url_open::kFileNotFound;
  Commands commands;
  if (commands_) {
    commands = *commands_;
    // NOLINTNEXTLINE(concurrency-mt-unsafe): nothing in the programs changes the environment.
  } else if (const char* browsers = std::getenv("BROWSER")) {
    commands.browsers = browsers;
  }

  for (const std::string& command : SplitAt(commands.browsers, ':')) {
    const std::vector<std::string> arguments = BrowserArguments(command, address);
    if (arguments.empty()) continue;
    const Started started = Spawn(arguments);
    if (started.error != 0) continue;
    Reap(started.pid);  // the browser runs on; only its end is waited for
    return url_open::kOpened;
  }

  const Started started = Spawn({commands.fallback, address});
  if (started.error != 0) return CodeOfSpawnError(started.error);
  const std::shared_future<std::optional<int>> status = Reap(started.pid);
  if (status.wait_for(commands.fallback_wait) != std::future_status::ready) {
    return url_open::kOpened;
  }
  // Reaped by someone else: it started, and its status is lost.
  if (!status.get()) return url_open::kOpened;
  return CodeOfFallbackStatus(*status.get());
}

}  // namespace quillon
