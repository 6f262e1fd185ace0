// The club's HTTP routes: GET /config, POST /account, /topten and /stat,
// GET /photos/<nick>.jpg. One log line per request on standard error, without
// bodies or passwords, and one per request the HTTP server refused.
#pragma once

#include <string>
#include <vector>

#include "http/HttpServer.h"
#include "protocol/ClubProtocol.h"
#include "protocol/ConfigPageWriter.h"
#include "service/ClubService.h"
#include "service/HashQueue.h"

namespace braxo::club {

inline constexpr const char* kSessionCookie = "braxo_session";

struct RoutesSettings {
  ConfigPageSettings page;
  std::string photo_dir;
  std::int64_t session_seconds = 30 * 86400;
  bool log_requests = true;
  // Balancers whose X-Forwarded-For is believed (IP addresses as written).
  std::vector<std::string> trusted_proxies;
};

// The address a request's limits count against: the peer, or, when the peer
// is a trusted balancer, the last address of X-Forwarded-For (the one the
// balancer added; earlier ones come from the client and may be made up).
std::string ClientAddress(const HttpRequest& request,
                          const std::vector<std::string>& trusted_proxies);

// The handler serves with `service`, and makes password hashes in `hashes`
// (a request that needs one when the queue is full is answered as busy at
// once); both must outlive it and every request it took.
HttpHandler MakeClubHandler(ClubService& service, HashQueue& hashes, RoutesSettings settings);

// Writes a log line for each request the HTTP server refused on its own, in
// the form of the handler's lines.
HttpRefusalLog MakeRefusalLog();

// The session token of a Cookie header, or empty.
std::string SessionFromCookie(const std::string& cookie_header);

// The nick of a photo path "/photos/<nick>.jpg", percent-decoded; nothing for
// any other path, an empty nick, or one holding "/", "\", ".." or a control byte.
std::optional<std::string> PhotoNick(const std::string& target);

}  // namespace braxo::club
