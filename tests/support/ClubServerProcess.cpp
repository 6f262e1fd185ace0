#include "ClubServerProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace braxo::testing {
namespace {

constexpr auto kStartTimeout = std::chrono::seconds(10);
constexpr auto kStopTimeout = std::chrono::seconds(10);

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Waits for the child for at most `timeout`; true when it has ended.
bool WaitFor(pid_t pid, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    int status = 0;
    const pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid || (r < 0 && errno == ECHILD)) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    usleep(10000);
  }
}

}  // namespace

ClubServerProcess::ClubServerProcess(std::vector<std::string> extra_args)
    : extra_args_(std::move(extra_args)) {
  std::string pattern = (std::filesystem::temp_directory_path() / "braxo-club-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
  data_dir_ = pattern;
  stderr_path_ = data_dir_ + "/server.log";
  try {
    Start(0);
  } catch (...) {
    std::error_code ec;
    std::filesystem::remove_all(data_dir_, ec);
    throw;
  }
}

ClubServerProcess::~ClubServerProcess() {
  Stop(SIGTERM);
  std::error_code ec;
  std::filesystem::remove_all(data_dir_, ec);
}

std::string ClubServerProcess::BaseUrl() const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/";
}

int ClubServerProcess::Port() const { return port_; }

const std::string& ClubServerProcess::DataDir() const { return data_dir_; }

void ClubServerProcess::Kill() { Stop(SIGKILL); }

void ClubServerProcess::Restart() {
  Stop(SIGTERM);
  try {
    Start(port_);
  } catch (const std::runtime_error&) {
    // The old port was taken in the meantime.
    Start(0);
  }
}

void ClubServerProcess::Stop(int signal) {
  if (pid_ <= 0) return;
  kill(pid_, signal);
  if (!WaitFor(pid_, kStopTimeout)) {
    kill(pid_, SIGKILL);
    WaitFor(pid_, kStopTimeout);
  }
  pid_ = -1;
}

void ClubServerProcess::Start(int port) {
  int out[2];
  if (pipe(out) != 0) throw std::runtime_error("cannot create a pipe");
  std::vector<std::string> args = {BRAXO_CLUB_SERVER_BINARY, "--listen",
                                   "127.0.0.1:" + std::to_string(port), "--database",
                                   "sqlite:" + data_dir_ + "/club.db"};
  args.insert(args.end(), extra_args_.begin(), extra_args_.end());

  const pid_t pid = fork();
  if (pid < 0) {
    close(out[0]);
    close(out[1]);
    throw std::runtime_error("cannot start braxo-club");
  }
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    const int err = open(stderr_path_.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (err >= 0) dup2(err, STDERR_FILENO);
    close(out[0]);
    close(out[1]);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(out[1]);
  pid_ = pid;

  // The server prints one line "listening on http://HOST:PORT/" once it listens.
  std::string line;
  const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
  bool done = false;
  while (!done) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd p{out[0], POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
    char c;
    const ssize_t n = read(out[0], &c, 1);
    if (n <= 0) break;
    if (c == '\n') {
      done = true;
    } else {
      line += c;
    }
  }
  close(out[0]);
  const std::string prefix = "listening on http://127.0.0.1:";
  if (!done || line.rfind(prefix, 0) != 0) {
    Stop(SIGKILL);
    throw std::runtime_error("braxo-club did not start: " + ReadFile(stderr_path_));
  }
  port_ = std::atoi(line.c_str() + prefix.size());
}

}  // namespace braxo::testing
