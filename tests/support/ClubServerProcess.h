// The real braxo-club as a child process, for tests that need a club: on
// 127.0.0.1, a free port, a fresh database in a new temporary folder. Plain
// C++ and POSIX. Targets linking braxo_club_test_server depend on braxo-club.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace braxo::testing {

// The real braxo-club on 127.0.0.1, a free port, a fresh database in a new temporary folder.
class ClubServerProcess {
 public:
  // `extra_args` go to the server after --listen and --database. Throws
  // std::runtime_error, with the server's standard error, when it does not
  // report that it listens within a few seconds.
  explicit ClubServerProcess(std::vector<std::string> extra_args = {});
  ~ClubServerProcess();  // SIGTERM, wait, remove the folder
  ClubServerProcess(const ClubServerProcess&) = delete;
  ClubServerProcess& operator=(const ClubServerProcess&) = delete;

  std::string BaseUrl() const;  // "http://127.0.0.1:PORT/"
  int Port() const;
  const std::string& DataDir() const;  // the temporary folder (database, photos)
  void Kill();                         // SIGKILL and wait
  void Restart();                      // start again on the same database and port if free

 private:
  void Start(int port);
  void Stop(int signal);

  std::vector<std::string> extra_args_;
  std::string data_dir_;
  std::string stderr_path_;
  pid_t pid_ = -1;
  int port_ = 0;
};

}  // namespace braxo::testing
