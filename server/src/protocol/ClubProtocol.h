// The club's wire protocol: form bodies in, reply texts out. A request is
// recognised by the exact set of its field names in the game's table of
// requests (club/wire/RequestTable.h), decoded in its style's character set
// (the plain style Windows-1251, the list style UTF-8), handed to the
// ClubService, and its result written by the writer of its reply form, beside
// which the game's reader of that form lives. Replies are Windows-1251.
// server/PROTOCOL.md lists every kind.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "club/wire/RequestTable.h"
#include "service/ClubService.h"

namespace braxo::club {

// Field names and values as bytes: split at "&" and at each pair's first "=",
// then "+" read as a space and "%XX" as its byte. Nothing for a malformed
// body (a bad "%" escape, a field without "=", an empty or repeated name).
using FormFields = std::vector<std::pair<std::string, std::string>>;
std::optional<FormFields> ParseForm(std::string_view body);

using Service = wire::Service;

struct ProtocolReply {
  int http_status = 200;
  std::string body;             // Windows-1251
  std::string session_token;    // to be set as the session cookie when not empty
  std::string kind;             // the request's kind, for the log ("login", "topten-write", ...)
  std::string error;            // why the request failed inside the club, for the log
  int retry_after_seconds = 0;  // for a busy club: when to ask again (0: not said)
};

// Whether answering this body may make a password hash: an account creation,
// or a request carrying a password that the club has not found right lately.
// A body that is no recognised request needs none. Never throws.
bool NeedsPasswordHash(ClubService& service, Service which, std::string_view body);

// The answer to a body that needs a password hash when no hash can be made
// soon: the refusal of its request, status 503, ask again in a second.
ProtocolReply BusyReply(Service which, std::string_view body);

// Decodes, dispatches and answers one POST body of a service. Never throws for
// bad input; a database failure comes back as status 503.
ProtocolReply HandleClubRequest(ClubService& service, Service which, const RequestContext& ctx,
                                std::string_view body);

}  // namespace braxo::club
