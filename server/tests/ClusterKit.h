// Pieces for tests of the club on several processes: a certificate authority
// made for the test, the balancer (haproxy with deploy/'s configuration) as
// a child process, braxo-club processes on one PostgreSQL database, and an
// HTTPS client that trusts only the test's authority.
#pragma once

#include <arpa/inet.h>
#include <curl/curl.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <strings.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ClubServerProcess.h"
#include "ServerTestKit.h"

namespace braxo::club::test {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A port nobody listens on right now, on 127.0.0.1.
inline int FreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    if (fd >= 0) close(fd);
    throw std::runtime_error("no free port on 127.0.0.1");
  }
  close(fd);
  return ntohs(addr.sin_port);
}

// Runs a shell command; throws with its output when it fails.
inline void Run(const std::string& command, const std::string& log) {
  if (std::system((command + " >>'" + log + "' 2>&1").c_str()) != 0)
    throw std::runtime_error("failed: " + command + "\n" + ReadFile(log));
}

// A certificate authority made for one test and a certificate for 127.0.0.1
// that it signed (openssl CLI). `ca` is what a client trusts, `server_pem`
// the certificate and key the balancer serves.
struct TestCertificates {
  explicit TestCertificates(const std::string& folder)
      : ca(folder + "/ca.pem"), server_pem(folder + "/server.pem") {
    const std::string d = "'" + folder + "'";
    const std::string log = folder + "/openssl.log";
    Run("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=Braxo test authority' "
        "-keyout " +
            d + "/ca.key -out " + d + "/ca.pem",
        log);
    Run("openssl req -newkey rsa:2048 -nodes -subj '/CN=127.0.0.1' -keyout " + d +
            "/server.key -out " + d + "/server.csr",
        log);
    std::ofstream(folder + "/ext.cnf") << "subjectAltName=IP:127.0.0.1\n";
    Run("openssl x509 -req -in " + d + "/server.csr -CA " + d + "/ca.pem -CAkey " + d +
            "/ca.key -CAcreateserial -days 2 -extfile " + d + "/ext.cnf -out " + d + "/server.crt",
        log);
    std::ofstream(server_pem) << ReadFile(folder + "/server.crt")
                              << ReadFile(folder + "/server.key");
  }
  std::string ca;
  std::string server_pem;
};

// A child process with its output in a file; ended with SIGTERM at the end.
class ChildProcess {
 public:
  ChildProcess(std::vector<std::string> args, std::vector<std::string> env,
               const std::string& log) {
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
      // A test that dies leaves no daemon behind.
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
      if (fd >= 0) {
        dup2(fd, 1);
        dup2(fd, 2);
      }
      for (std::string& e : env) putenv(e.data());
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execvp(argv[0], argv.data());
      _exit(127);
    }
  }
  ~ChildProcess() { Stop(SIGTERM); }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  void Stop(int signal) {
    if (pid_ <= 0) return;
    kill(pid_, signal);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
  }
  bool Running() const { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

 private:
  pid_t pid_ = -1;
};

struct HttpsReply {
  long status = 0;  // 0: no reply at all
  std::string body;
  std::string server;  // the balancer's X-Club-Server: which process answered
  std::string error;
};

// One HTTPS connection (kept alive) that trusts only `ca_file` and keeps the
// session cookie the club hands out, as the game does for its run.
class HttpsClient {
 public:
  HttpsClient(std::string base_url, std::string ca_file)
      : base_(std::move(base_url)), ca_(std::move(ca_file)), curl_(curl_easy_init()) {}
  ~HttpsClient() { curl_easy_cleanup(curl_); }
  HttpsClient(const HttpsClient&) = delete;
  HttpsClient& operator=(const HttpsClient&) = delete;

  std::string cookie;

  HttpsReply Post(const std::string& path, const std::string& body) { return Send(path, &body); }
  HttpsReply Get(const std::string& path) { return Send(path, nullptr); }

 private:
  HttpsReply Send(const std::string& path, const std::string* body) {
    HttpsReply reply;
    const std::string url = base_ + path;
    curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl_, CURLOPT_CAINFO, ca_.c_str());
    curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(curl_, CURLOPT_TIMEOUT_MS, 10000L);
    curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl_, CURLOPT_USERAGENT, "PlavoKeyStamp");
    if (body) {
      curl_easy_setopt(curl_, CURLOPT_POST, 1L);
      curl_easy_setopt(curl_, CURLOPT_POSTFIELDS, body->data());
      curl_easy_setopt(curl_, CURLOPT_POSTFIELDSIZE, static_cast<long>(body->size()));
    } else {
      curl_easy_setopt(curl_, CURLOPT_HTTPGET, 1L);
    }
    curl_slist* headers = nullptr;
    if (!cookie.empty()) headers = curl_slist_append(headers, ("Cookie: " + cookie).c_str());
    curl_easy_setopt(curl_, CURLOPT_HTTPHEADER, headers);
    struct Sink {
      HttpsReply* reply;
      std::string* cookie;
    } sink{&reply, &cookie};
    curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &reply.body);
    curl_easy_setopt(
        curl_, CURLOPT_WRITEFUNCTION, +[](char* data, size_t size, size_t n, void* out) -> size_t {
          static_cast<std::string*>(out)->append(data, size * n);
          return size * n;
        });
    curl_easy_setopt(curl_, CURLOPT_HEADERDATA, &sink);
    curl_easy_setopt(
        curl_, CURLOPT_HEADERFUNCTION, +[](char* data, size_t size, size_t n, void* out) -> size_t {
          auto* s = static_cast<Sink*>(out);
          std::string line(data, size * n);
          while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
          const auto value = [&](const char* name) -> std::optional<std::string> {
            const std::string prefix = std::string(name) + ": ";
            if (strncasecmp(line.c_str(), prefix.c_str(), prefix.size()) != 0) return std::nullopt;
            return line.substr(prefix.size());
          };
          if (const auto v = value("X-Club-Server")) s->reply->server = *v;
          if (const auto v = value("Set-Cookie")) *s->cookie = v->substr(0, v->find(';'));
          return size * n;
        });
    const CURLcode rc = curl_easy_perform(curl_);
    curl_slist_free_all(headers);
    if (rc == CURLE_OK) {
      curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &reply.status);
    } else {
      reply.error = curl_easy_strerror(rc);
    }
    return reply;
  }

  std::string base_;
  std::string ca_;
  CURL* curl_;
};

// Two braxo-club processes on one fresh PostgreSQL database, haproxy in
// front of them with TLS, configured by deploy/haproxy/braxo-club.cfg.
class ClubCluster {
 public:
  // `settings` are extra lines of the processes' settings file.
  explicit ClubCluster(const std::string& settings = "") {
    std::ofstream(folder_.path() + "/club.conf") << "photo_dir = " << folder_.path() << "/photos\n"
                                                 << "trusted_proxies = 127.0.0.1\n"
                                                 << settings;
    port_ = FreePort();
    for (int i = 0; i < 2; ++i)
      clubs_.push_back(std::make_unique<braxo::testing::ClubServerProcess>(
          std::vector<std::string>{"--database", database_.url(), "--config",
                                   folder_.path() + "/club.conf", "--public-url", BaseUrl()}));
    balancer_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"haproxy", "-db", "-f",
                                 BRAXO_DEPLOY_DIR "/haproxy/braxo-club.cfg"},
        std::vector<std::string>{"BRAXO_CLUB_BIND=127.0.0.1:" + std::to_string(port_),
                                 "BRAXO_CLUB_CERT=" + certificates_.server_pem,
                                 "BRAXO_CLUB_1=127.0.0.1:" + std::to_string(clubs_[0]->Port()),
                                 "BRAXO_CLUB_2=127.0.0.1:" + std::to_string(clubs_[1]->Port())},
        folder_.path() + "/haproxy.log");
    // Ready when both processes have answered through it.
    HttpsClient probe(BaseUrl(), certificates_.ca);
    bool seen[2] = {false, false};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (!(seen[0] && seen[1]) && std::chrono::steady_clock::now() < deadline) {
      const HttpsReply r = probe.Get("config");
      if (r.status == 200 && r.server == "club1") seen[0] = true;
      if (r.status == 200 && r.server == "club2") seen[1] = true;
      if (!balancer_->Running()) break;
      if (!(seen[0] && seen[1])) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!(seen[0] && seen[1]))
      throw std::runtime_error("the balancer did not serve both processes:\n" +
                               ReadFile(folder_.path() + "/haproxy.log"));
  }

  std::string BaseUrl() const { return "https://127.0.0.1:" + std::to_string(port_) + "/"; }
  const std::string& ca() const { return certificates_.ca; }
  std::string database_url() const { return database_.url(); }
  braxo::testing::ClubServerProcess& club(int i) { return *clubs_[i]; }
  const std::string& folder() const { return folder_.path(); }

 private:
  TempFolder folder_;
  PostgresDatabase database_;
  TestCertificates certificates_{folder_.path()};
  std::vector<std::unique_ptr<braxo::testing::ClubServerProcess>> clubs_;
  int port_ = 0;
  std::unique_ptr<ChildProcess> balancer_;
};

}  // namespace braxo::club::test
