// The club's HTTP stack answering one constant reply: the baseline of the
// club load benchmark (bench/club_load.sh), so that the ratio shows what the
// club's work costs on top of HTTP.
#include <csignal>
#include <iostream>
#include <thread>

#include "http/HttpServer.h"

int main() {
  std::signal(SIGPIPE, SIG_IGN);
  braxo::club::HttpLimits limits;
  braxo::club::HttpServer server(
      [](const braxo::club::HttpRequest&, const braxo::club::HttpResponder& respond) {
        respond(braxo::club::HttpResponse{200,
                                          "text/plain; charset=windows-1251",
                                          "$1 76 12000 Bob 1-001 Moscow M 2.7 # #*",
                                          {}});
      },
      limits);
  server.Listen("127.0.0.1", 0);
  server.StopOnSignals();
  std::cout << "listening on http://127.0.0.1:" << server.port() << "/" << std::endl;
  server.Run();
}
