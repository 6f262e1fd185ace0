// The club server's request decoding and dispatch on arbitrary bodies: the
// first byte picks the service, the rest is the POST body. The service runs
// on an in-memory database, so whatever a body gets stored is read back by
// later inputs too. Replies must never hold a record that a stored text split.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "http/ClubRoutes.h"
#include "protocol/ClubProtocol.h"
#include "service/Secrets.h"

namespace {

struct Club {
  Club() {
    braxo::club::InitSecrets();
    repository = braxo::club::OpenRepository("sqlite::memory:");
    service = std::make_unique<braxo::club::ClubService>(*repository, braxo::club::ServiceLimits{});
  }
  std::unique_ptr<braxo::club::Repository> repository;
  std::unique_ptr<braxo::club::ClubService> service;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Club club;
  if (size == 0) return 0;
  const auto which = static_cast<braxo::club::Service>(data[0] % 3);
  const std::string_view body(reinterpret_cast<const char*>(data + 1), size - 1);
  static double now = 1'800'000'000;
  now += 1;
  const braxo::club::RequestContext ctx{"127.0.0.1", "", now};
  const braxo::club::ProtocolReply reply =
      braxo::club::HandleClubRequest(*club.service, which, ctx, body);
  if (reply.http_status < 200 || reply.http_status > 599) std::abort();
  if (reply.kind.empty()) std::abort();

  const std::string target(body);
  if (const auto nick = braxo::club::PhotoNick(target)) {
    if (nick->empty() || nick->find('/') != std::string::npos ||
        nick->find("..") != std::string::npos)
      std::abort();
  }
  braxo::club::SessionFromCookie(target);
  return 0;
}
