// braxo-club: the club server. See server/PROTOCOL.md and --help.
#include <csignal>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "Commands.h"
#include "ServerConfig.h"
#include "http/ClubRoutes.h"
#include "service/HashQueue.h"
#include "service/Secrets.h"

using namespace braxo::club;

int main(int argc, char** argv) {
  // A reader that went away (a closed standard output) must not end the club.
  std::signal(SIGPIPE, SIG_IGN);
  if (const auto rc = RunCommand(std::vector<std::string>(argv + 1, argv + argc))) return *rc;
  std::string error;
  const auto cl = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!cl) {
    std::cerr << "braxo-club: " << error << "\n\n" << kUsage;
    return 2;
  }
  if (cl->help) {
    std::cout << kUsage << kCommandsUsage;
    return 0;
  }

  ServerSettings settings;
  if (!cl->config_file.empty()) {
    if (const auto problem = LoadServerSettings(cl->config_file, settings)) {
      std::cerr << "braxo-club: " << *problem << "\n";
      return 2;
    }
  }

  try {
    InitSecrets();
    const std::string database_url = ResolveDatabaseUrl(cl->database_url);
    auto repository = OpenRepository(database_url);
    ClubService service(*repository, settings.limits);

    RoutesSettings routes;
    routes.page = settings.page;
    routes.session_seconds = settings.limits.session_seconds;
    routes.log_requests = settings.log_requests;
    routes.trusted_proxies = settings.trusted_proxies;
    routes.photo_dir = settings.photo_dir;
    if (routes.photo_dir.empty()) {
      if (IsPostgresUrl(database_url)) {
        // Processes sharing one database must share one photo folder too.
        throw std::runtime_error("a PostgreSQL club needs photo_dir in its --config file");
      }
      const std::filesystem::path db(database_url.substr(std::string("sqlite:").size()));
      routes.photo_dir = (db.parent_path() / "photos").string();
    }
    std::error_code ec;
    std::filesystem::create_directories(routes.photo_dir, ec);

    // The configuration page needs the bound port, known only after Listen.
    HttpHandler handler;
    HttpServer server([&handler](const HttpRequest& request,
                                 HttpResponder respond) { handler(request, std::move(respond)); },
                      settings.http);
    // After the server: destroyed first, with the requests still waiting in it.
    HashQueue hashes(settings.limits.password_hashes_at_once, settings.limits.password_hash_queue);
    server.Listen(cl->host, cl->port);
    const std::string listen_url = "http://" + cl->host + ":" + std::to_string(server.port()) + "/";
    routes.page.public_url = cl->public_url.empty() ? listen_url : cl->public_url;
    if (routes.page.ftp_url.empty()) {
      const std::string& url = routes.page.public_url;
      const size_t host_start = url.find("://") + 3;
      const size_t host_end = url.find_first_of(":/", host_start);
      routes.page.ftp_url = "ftp://" + url.substr(host_start, host_end - host_start) + ":2121/";
    }
    handler = MakeClubHandler(service, hashes, routes);
    if (settings.log_requests) server.OnRefusal(MakeRefusalLog());
    server.StopOnSignals();

    std::cout << "listening on " << listen_url << std::endl;
    std::cerr << "braxo-club: serving " << database_url << " at " << listen_url << std::endl;
    server.Run();
    std::cerr << "braxo-club: stopped" << std::endl;
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "braxo-club: " << e.what() << "\n";
    return 1;
  }
}
