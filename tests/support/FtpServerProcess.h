// A real FTP server for the photo upload tests: Debian's pyftpdlib as a child
// process on 127.0.0.1, a free control port and a free passive port, one user
// with write rights in a folder the test names. Header-only, POSIX.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace braxo::testing {

class FtpServerProcess {
 public:
  FtpServerProcess(const std::string& folder, const std::string& user, const std::string& password)
      : port_(FreePort()) {
    const int passive = FreePort();
    const std::string range = std::to_string(passive) + "-" + std::to_string(passive);
    std::vector<std::string> args = {"/usr/bin/python3",
                                     "-m",
                                     "pyftpdlib",
                                     "-i",
                                     "127.0.0.1",
                                     "-p",
                                     std::to_string(port_),
                                     "-w",
                                     "-d",
                                     folder,
                                     "-u",
                                     user,
                                     "-P",
                                     password,
                                     "-r",
                                     range};
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("cannot start the FTP server");
    if (pid_ == 0) {
      std::vector<char*> argv;
      for (std::string& arg : args) argv.push_back(arg.data());
      argv.push_back(nullptr);
      // The server's log would only clutter the test output.
      freopen("/dev/null", "w", stderr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!Accepts(port_)) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        throw std::runtime_error("the FTP server ended at start-up (python3-pyftpdlib missing?)");
      }
      if (std::chrono::steady_clock::now() > deadline) {
        Stop();
        throw std::runtime_error("the FTP server did not start listening");
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  ~FtpServerProcess() { Stop(); }
  FtpServerProcess(const FtpServerProcess&) = delete;
  FtpServerProcess& operator=(const FtpServerProcess&) = delete;

  int Port() const { return port_; }
  // The folder's address: "ftp://127.0.0.1:PORT/".
  std::string FolderUrl() const { return "ftp://127.0.0.1:" + std::to_string(port_) + "/"; }

  // A loopback port nobody listens on at the moment of asking.
  static int FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      if (fd >= 0) close(fd);
      throw std::runtime_error("no free loopback port");
    }
    close(fd);
    return ntohs(address.sin_port);
  }

 private:
  static bool Accepts(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
  }
  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = -1;
  }

  int port_;
  pid_t pid_ = -1;
};

}  // namespace braxo::testing
