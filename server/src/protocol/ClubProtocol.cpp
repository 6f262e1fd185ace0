#include "protocol/ClubProtocol.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <functional>
#include <map>
#include <set>

#include "club/ReplyRules.h"
#include "club/Scramble.h"
#include "i18n/Utf8.h"
#include "storage/TextFile.h"

namespace braxo::club {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<std::string> PercentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '+') {
      out += ' ';
    } else if (c == '%') {
      if (i + 2 >= text.size()) return std::nullopt;
      const int hi = HexDigit(text[i + 1]);
      const int lo = HexDigit(text[i + 2]);
      if (hi < 0 || lo < 0) return std::nullopt;
      out += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

bool IsAscii(std::string_view s) {
  for (const char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

enum class Charset { kCp1251, kUtf8 };

// The decoded fields of one recognised request.
class Fields {
 public:
  Fields(const FormFields& raw, Charset charset) {
    for (const auto& [name, value] : raw) {
      if (charset == Charset::kCp1251) {
        values_[name] = IsAscii(value) ? value : Cp1251ToUtf8(value);
      } else if (IsValidUtf8(value)) {
        values_[name] = value;
      } else {
        valid_ = false;
      }
    }
  }
  bool valid() const { return valid_; }
  const std::string& operator[](const std::string& name) const {
    static const std::string kEmpty;
    const auto it = values_.find(name);
    return it == values_.end() ? kEmpty : it->second;
  }
  std::optional<std::int64_t> Int(const std::string& name) const {
    const auto v = ParseClubInteger((*this)[name]);
    if (!v) return std::nullopt;
    return *v;
  }

 private:
  std::map<std::string, std::string> values_;
  bool valid_ = true;
};

ProtocolReply Reply(std::string kind, std::string body_utf8, int status = 200) {
  ProtocolReply reply;
  reply.kind = std::move(kind);
  // ASCII reads the same in both character sets; most replies are only that.
  reply.body = IsAscii(body_utf8) ? std::move(body_utf8) : Utf8ToCp1251(body_utf8);
  reply.http_status = status;
  return reply;
}

// A refusal in the form the request's reader takes as a failure; a rate
// limit is the same refusal with status 429, a password check that found no
// turn in time 503.
ProtocolReply Refusal(std::string kind, Status status, std::string body = "no") {
  const int http_status = status == Status::kLimited ? 429 : status == Status::kBusy ? 503 : 200;
  ProtocolReply reply = Reply(std::move(kind), std::move(body), http_status);
  if (status == Status::kBusy) reply.error = "busy: no turn to check a password";
  return reply;
}

std::string Num(std::int64_t n) { return std::to_string(n); }

std::string Join(const std::vector<std::string>& fields, char separator) {
  std::string out;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i) out += separator;
    out += fields[i];
  }
  return out;
}

// The names of the personal texts in a save, in the order they travel
// (kPersonalInfoWireOrder: the web site before Skype).
const std::array<const char*, kPersonalInfoTextCount> kInfoSaveNames = {
    "namei", "name2", "about",    "telephone", "emailo",  "website",    "skype",
    "ok",    "vk",    "telegram", "facebook",  "twitter", "instagramm", "youtube"};

std::string EntryRecords(const std::vector<TableEntry>& entries) {
  std::string out;
  for (const TableEntry& e : entries) {
    out += "$" +
           Join({Num(e.place), Num(e.table_id), Num(e.score), e.nick, e.country_code, e.city, e.sex,
                 e.writer_version, e.time_stamp, e.message},
                ' ') +
           "*";
  }
  return out;
}

using Handler = std::function<ProtocolReply(ClubService&, const RequestContext&, const Fields&)>;

struct Kind {
  Service service;
  const char* name;
  Charset charset;
  std::vector<std::string> fields;
  Handler handle;
  std::vector<std::string> sorted_fields = Sorted(fields);

  static std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
  }
};

const std::string kPrefix = "xxxbr";

const std::vector<Kind>& Kinds() {
  static const std::vector<Kind> kinds = [] {
    std::vector<Kind> k;
    // Account service.
    k.push_back({Service::kAccount,
                 "account-create",
                 Charset::kCp1251,
                 {"nick", "pw", "city", "country1", "country2", "sex", "email", "dater", "R01",
                  "R02", "R03", "R04", "R05", "R06"},
                 [](ClubService& s, const RequestContext& ctx, const Fields& f) {
                   for (const char* n : {"R04", "R05", "R06"})
                     if (!f.Int(n)) return Refusal("account-create", Status::kRefused);
                   const SessionResult r = s.CreateAccount(
                       ctx, {f["nick"], f["pw"], f["city"], f["country1"], f["country2"], f["sex"],
                             f["email"], f["dater"], f["R01"], f["R02"], f["R03"]});
                   if (r.status == Status::kNickTaken) return Reply("account-create", "is");
                   if (r.status != Status::kOk) return Refusal("account-create", r.status);
                   ProtocolReply reply = Reply("account-create", "ok");
                   reply.session_token = r.session_token;
                   return reply;
                 }});
    k.push_back({Service::kAccount,
                 "login",
                 Charset::kUtf8,
                 {"nick", "pw", "label0"},
                 [](ClubService& s, const RequestContext& ctx, const Fields& f) {
                   const SessionResult r = s.Login(ctx, f["nick"], f["pw"]);
                   if (r.status != Status::kOk) return Refusal("login", r.status);
                   const StoredAccount& a = r.account;
                   ProtocolReply reply = Reply(
                       "login",
                       "$" +
                           Join({a.city, a.country_name, a.country_code, a.sex, a.email,
                                 a.registered_on, a.reserved_r01, a.reserved_r02, a.reserved_r03,
                                 Num(a.kezs_balance), Num(a.reserved_r05), Num(a.reserved_r06)},
                                ' ') +
                           "$");
                   reply.session_token = r.session_token;
                   return reply;
                 }});
    k.push_back({Service::kAccount,
                 "info-read",
                 Charset::kUtf8,
                 {"nick", "labelinforead"},
                 [](ClubService& s, const RequestContext&, const Fields& f) {
                   const auto info = s.ReadPersonalInfo(f["nick"]);
                   if (!info) return Refusal("info-read", Status::kRefused);
                   std::vector<std::string> wire;
                   for (const auto text : kPersonalInfoWireOrder) wire.push_back((*info).*text);
                   return Reply("info-read", "$" + Join(wire, '~') + "$");
                 }});
    {
      std::vector<std::string> names = {"nick", "labelinfosave"};
      names.insert(names.end(), kInfoSaveNames.begin(), kInfoSaveNames.end());
      k.push_back({Service::kAccount, "info-save", Charset::kCp1251, names,
                   [](ClubService& s, const RequestContext& ctx, const Fields& f) {
                     PersonalInfo info;
                     for (size_t w = 0; w < kInfoSaveNames.size(); ++w)
                       info.*kPersonalInfoWireOrder[w] = f[kInfoSaveNames[w]];
                     const Status st = s.SavePersonalInfo(ctx, f["nick"], info);
                     return st == Status::kOk ? Reply("info-save", "ok") : Refusal("info-save", st);
                   }});
    }
    k.push_back({Service::kAccount,
                 "member-count",
                 Charset::kCp1251,
                 {"label1"},
                 [](ClubService& s, const RequestContext&, const Fields&) {
                   return Reply("member-count", "$" + Num(s.CountMembers()));
                 }});
    k.push_back({Service::kAccount,
                 "rating-place",
                 Charset::kCp1251,
                 {kPrefix + "rating"},
                 [](ClubService& s, const RequestContext&, const Fields& f) {
                   const auto rating = ParseClubNumber(f[kPrefix + "rating"]);
                   if (!rating || !std::isfinite(*rating))
                     return Refusal("rating-place", Status::kRefused);
                   return Reply("rating-place", "$" + Num(s.RatingPlace(*rating)));
                 }});
    k.push_back({Service::kAccount,
                 "rated-top-ten",
                 Charset::kUtf8,
                 {kPrefix + "kon"},
                 [](ClubService& s, const RequestContext&, const Fields&) {
                   std::string out;
                   std::int64_t place = 0;
                   for (const RatedPlayer& p : s.RatedTopTen())
                     out += "$" +
                            Join({Num(++place), p.nick, p.city, p.country_name, p.country_code,
                                  std::string(1, p.sex), FormatClubNumber(p.rating)},
                                 ' ') +
                            "*";
                   return Reply("rated-top-ten", out);
                 }});
    k.push_back({Service::kAccount,
                 "kez-credit",
                 Charset::kCp1251,
                 {"nick", "labelkezsave", "R04"},
                 [](ClubService& s, const RequestContext& ctx, const Fields& f) {
                   const auto amount = f.Int("R04");
                   if (!amount) return Refusal("kez-credit", Status::kRefused);
                   const Status st = s.CreditKezs(ctx, f["nick"], *amount);
                   return st == Status::kOk ? Reply("kez-credit", "ok") : Refusal("kez-credit", st);
                 }});
    k.push_back({Service::kAccount,
                 "kez-balance",
                 Charset::kUtf8,
                 {"nick", "labelkezread"},
                 [](ClubService& s, const RequestContext&, const Fields& f) {
                   const auto balance = s.KezBalance(f["nick"]);
                   if (!balance) return Refusal("kez-balance", Status::kRefused);
                   return Reply("kez-balance", "$" + Num(*balance));
                 }});
    k.push_back({Service::kAccount,
                 "game-read",
                 Charset::kUtf8,
                 {"nick", "pw", kPrefix + "best"},
                 [](ClubService& s, const RequestContext& ctx, const Fields& f) {
                   const GameRecordResult r = s.ReadGameRecord(ctx, f["nick"], f["pw"]);
                   // "no" as field 1 makes both of the game's readers fail.
                   if (r.status != Status::kOk) return Refusal("game-read", r.status, "$no$");
                   return Reply("game-read",
                                "$" +
                                    Join({Num(r.record.rated_games), Num(r.record.best_score),
                                          FormatClubNumber(r.rating), "0", "0", "0", "0", "0"},
                                         ' ') +
                                    "$");
                 }});
    k.push_back({Service::kAccount,
                 "game-save",
                 Charset::kCp1251,
                 {"nick", "pw", kPrefix + "kon", kPrefix + "best", kPrefix + "rating",
                  kPrefix + "R1", kPrefix + "R2"},
                 [](ClubService& s, const RequestContext& ctx, const Fields& f) {
                   const auto rated_games = f.Int(kPrefix + "kon");
                   const auto best_score = f.Int(kPrefix + "best");
                   const auto rating = ParseClubNumber(f[kPrefix + "rating"]);
                   if (!rated_games || !best_score || !rating)
                     return Refusal("game-save", Status::kRefused);
                   const Status st = s.SaveGameRecord(ctx, f["nick"], f["pw"], *rated_games,
                                                      *best_score, *rating);
                   return st == Status::kOk ? Reply("game-save", "ok") : Refusal("game-save", st);
                 }});

    // Tournament and chat tables.
    k.push_back({Service::kTopTen,
                 "topten-read",
                 Charset::kUtf8,
                 {"gid"},
                 [](ClubService& s, const RequestContext&, const Fields& f) {
                   const auto id = f.Int("gid");
                   const auto entries = id ? s.ReadTable(*id) : std::nullopt;
                   if (!entries) return Refusal("topten-read", Status::kRefused, "$no*");
                   return Reply("topten-read", EntryRecords(*entries));
                 }});
    k.push_back({Service::kTopTen,
                 "topten-own",
                 Charset::kCp1251,
                 {"gid", "nick", "city"},
                 [](ClubService& s, const RequestContext&, const Fields& f) {
                   const auto id = f.Int("gid");
                   const auto entries = id ? s.OwnResults(*id, f["nick"], f["city"]) : std::nullopt;
                   if (!entries) return Refusal("topten-own", Status::kRefused, "$no*");
                   return Reply("topten-own", EntryRecords(*entries));
                 }});
    k.push_back({Service::kTopTen,
                 "topten-count",
                 Charset::kUtf8,
                 {"rgid"},
                 [](ClubService& s, const RequestContext&, const Fields& f) {
                   const auto id = f.Int("rgid");
                   const auto count = id ? s.GameCount(*id) : std::nullopt;
                   if (!count) return Refusal("topten-count", Status::kRefused);
                   return Reply("topten-count", "$" + Num(*count));
                 }});
    k.push_back({Service::kTopTen,
                 "topten-write",
                 Charset::kCp1251,
                 {"gid", "nick", "city", "country", "score", "R7", "R8", "R9", "R10"},
                 [](ClubService& s, const RequestContext& ctx, const Fields& f) {
                   const auto id = f.Int("gid");
                   const auto score = f.Int("score");
                   if (!id || !score) return Refusal("topten-write", Status::kRefused);
                   const WriteResult r =
                       s.WriteEntry(ctx, {*id, f["nick"], f["city"], f["country"], *score, f["R7"],
                                          f["R8"], f["R9"], f["R10"]});
                   if (r.status != Status::kOk) return Refusal("topten-write", r.status);
                   return Reply("topten-write", "$" + Num(r.place));
                 }});

    // Usage statistics.
    k.push_back({Service::kStat,
                 "stat-read",
                 Charset::kUtf8,
                 {"gid"},
                 [](ClubService& s, const RequestContext&, const Fields& f) {
                   const auto id = f.Int("gid");
                   const auto stats = id ? s.ReadStats(*id) : std::nullopt;
                   if (!stats) return Refusal("stat-read", Status::kRefused, "$no*");
                   std::vector<std::string> fields = {Num(stats->starts), Num(stats->unique_starts),
                                                      Num(stats->likes), stats->last_like_nick};
                   for (const auto x : stats->finished_games_by_flag) fields.push_back(Num(x));
                   fields.push_back("0");
                   fields.push_back("#");
                   return Reply("stat-read", "$" + Join(fields, ' ') + "*");
                 }});
    const auto tail = [](const char* kind, Status st) {
      return st == Status::kOk ? Reply(kind, "$ ok#") : Refusal(kind, st, "$ no#");
    };
    k.push_back({Service::kStat,
                 "stat-start",
                 Charset::kCp1251,
                 {"gid", "stat1", "stat2"},
                 [tail](ClubService& s, const RequestContext& ctx, const Fields& f) {
                   const auto id = f.Int("gid");
                   const std::string& unique = f["stat2"];
                   if (!id || f["stat1"] != "1" || (unique != "0" && unique != "1"))
                     return tail("stat-start", Status::kRefused);
                   return tail("stat-start", s.CountStart(ctx, *id, unique == "1"));
                 }});
    k.push_back({Service::kStat,
                 "stat-like",
                 Charset::kCp1251,
                 {"gid", "stat3", "stat4"},
                 [tail](ClubService& s, const RequestContext& ctx, const Fields& f) {
                   const auto id = f.Int("gid");
                   if (!id || f["stat3"] != "1") return tail("stat-like", Status::kRefused);
                   return tail("stat-like", s.Like(ctx, *id, f["stat4"]));
                 }});
    {
      std::vector<std::string> names = {"gid"};
      for (int i = 1; i <= 12; ++i) names.push_back("R" + std::to_string(i));
      k.push_back({Service::kStat, "stat-finished", Charset::kCp1251, names,
                   [tail](ClubService& s, const RequestContext& ctx, const Fields& f) {
                     const auto id = f.Int("gid");
                     std::array<std::int64_t, 12> flags{};
                     for (int i = 0; i < 12; ++i) {
                       const auto v = f.Int("R" + std::to_string(i + 1));
                       if (!v || !id) return tail("stat-finished", Status::kRefused);
                       flags[i] = *v;
                     }
                     return tail("stat-finished", s.CountFinishedGame(ctx, *id, flags));
                   }});
    }
    return k;
  }();
  return kinds;
}

}  // namespace

std::optional<FormFields> ParseForm(std::string_view body) {
  FormFields fields;
  std::set<std::string> seen;
  size_t start = 0;
  while (start <= body.size()) {
    size_t end = body.find('&', start);
    if (end == std::string_view::npos) end = body.size();
    const std::string_view pair = body.substr(start, end - start);
    const size_t eq = pair.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    auto name = PercentDecode(pair.substr(0, eq));
    auto value = PercentDecode(pair.substr(eq + 1));
    if (!name || !value || name->empty() || !seen.insert(*name).second) return std::nullopt;
    fields.emplace_back(std::move(*name), std::move(*value));
    start = end + 1;
  }
  return fields;
}

ProtocolReply HandleClubRequest(ClubService& service, Service which, const RequestContext& ctx,
                                std::string_view body) {
  const auto raw = ParseForm(body);
  if (!raw) return Reply("malformed", "no", 400);
  std::vector<std::string> names;
  for (const auto& field : *raw) names.push_back(field.first);
  std::sort(names.begin(), names.end());
  for (const Kind& kind : Kinds()) {
    if (kind.service != which || kind.sorted_fields != names) continue;
    const Fields fields(*raw, kind.charset);
    if (!fields.valid()) return Refusal(kind.name, Status::kRefused);
    try {
      return kind.handle(service, ctx, fields);
    } catch (const std::exception& e) {
      ProtocolReply failed = Reply(kind.name, "no", 503);
      failed.error = e.what();
      return failed;
    }
  }
  return Reply("unknown", "no", 400);
}

std::string ConfigPageText(const ConfigPageSettings& s) {
  std::string page;
  if (!s.tournament_available) page += "WTGamesPause=#\n";
  if (!s.chat_available) page += "CTGamesPause=#\n";
  page += "WTGamesPatt=" + ScrambleText(s.public_url + "topten", kConfigKey) + "#\n";
  page += "StatPath=" + ScrambleText(s.public_url + "stat", kConfigKey) + "#\n";
  page += "AccPath=" + ScrambleText(s.public_url + "account", kAccountKey) + "#\n";
  page += "PhotoPath=" + ScrambleText(s.public_url + "photos/", kAccountKey) + "#\n";
  page += "FtpPath=" + ScrambleText(s.ftp_url, kAccountKey) + "#\n";
  if (!s.download_link.empty()) page += "DownLoad_Link_Braxo=" + s.download_link + "#\n";
  if (!s.store_link.empty()) page += "Google_Play_Link_Braxo=" + s.store_link + "#\n";
  page += std::string("NewsBraxo2.5=") + (s.announcement_show ? "Y" : "N") + "#" +
          s.announcement_text + "#" + s.announcement_text2 + "#" + s.announcement_link + "#0#\n";
  return page;
}

}  // namespace braxo::club
