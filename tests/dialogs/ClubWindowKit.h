// What the tournament, chat and statistics window tests share: the game's
// own club code pointed at a club on loopback (the real braxo-club with a
// fresh database, or a test server that refuses, stays silent or answers
// garbage), the game's real pictures, and readers for what a window drew.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <string>
#include <vector>

#include "ClubServerProcess.h"
#include "TestHttpServer.h"
#include "WaitingClub.h"
#include "club/ClubAccess.h"
#include "club/ClubClient.h"
#include "club/Scramble.h"
#include "dialogs/ClubWindowShared.h"
#include "ui/Pictures.h"

namespace braxo::dialogs_test {

// The game's club operations against the club whose base address (ending in
// "/") is `base_url`: its tournament, statistics and account services.
class ClubConnection {
 public:
  explicit ClubConnection(const std::string& base_url, HttpLimits limits = {}) : client(limits) {
    settings.top_ten_address.plain = base_url + "topten";
    settings.stat_address.plain = base_url + "stat";
    services.account_address = ScrambleText(base_url + "account", kAccountKey);
    services.top_ten_available = services.chat_available = true;
  }

  ClubClient client;
  ClubServiceState services;
  Settings settings;
  ClubAccess access{client, services, settings};
  // The same operations, each waited for.
  testing::WaitingClubAccess waiting{access};
};

// A club that fails in one of three ways: nothing listens (refused), it takes
// the connection and never answers (silent), or it answers with `garbage`.
enum class Failure { kRefused, kSilent, kGarbage };

inline std::string FailureName(const ::testing::TestParamInfo<Failure>& info) {
  switch (info.param) {
    case Failure::kRefused:
      return "Refused";
    case Failure::kSilent:
      return "Silent";
    case Failure::kGarbage:
      return "Garbage";
  }
  return {};
}

class FailingClub {
 public:
  FailingClub(Failure failure, const std::string& garbage)
      : failure_(failure),
        garbage_(testing::TestHttpServer::Always(garbage)),
        silent_([](const testing::RecordedRequest&) {
          testing::CannedResponse r;
          r.mode = testing::CannedResponse::Mode::kSilent;
          return r;
        }) {}

  // The club's base address, ending in "/".
  std::string BaseUrl() const {
    switch (failure_) {
      case Failure::kRefused:
        return "http://127.0.0.1:" + std::to_string(testing::UnusedPort()) + "/";
      case Failure::kSilent:
        return silent_.Url("");
      case Failure::kGarbage:
        return garbage_.Url("");
    }
    return {};
  }

 private:
  Failure failure_;
  testing::TestHttpServer garbage_;
  testing::TestHttpServer silent_;
};

// A passport as the settings hold it.
inline TournamentPassport MakePassport(const std::string& nick, const std::string& city,
                                       const std::string& country, char sex) {
  TournamentPassport passport;
  passport.nick = nick;
  passport.city = city;
  passport.country_code = country;
  passport.sex = sex;
  return passport;
}

// The texts a box drew, as "text@x,y".
inline std::vector<std::string> Placed(const std::vector<DrawnText>& texts) {
  std::vector<std::string> out;
  for (const DrawnText& t : texts)
    out.push_back(t.text.toStdString() + "@" + std::to_string(t.x) + "," + std::to_string(t.y));
  return out;
}

inline const DrawnText* Find(const std::vector<DrawnText>& texts, const QString& text) {
  for (const DrawnText& t : texts)
    if (t.text == text) return &t;
  return nullptr;
}

// True when `picture` lies unchanged at (x, y) of `canvas`, where it was
// drawn over whatever was there: its opaque pixels match exactly.
inline bool PictureAt(const QImage& canvas, const QImage& picture, int x, int y) {
  const QImage a = canvas.convertToFormat(QImage::Format_ARGB32);
  const QImage p = picture.convertToFormat(QImage::Format_ARGB32);
  int opaque = 0;
  for (int py = 0; py < p.height(); ++py) {
    for (int px = 0; px < p.width(); ++px) {
      const QColor want = p.pixelColor(px, py);
      if (want.alpha() < 255) continue;
      ++opaque;
      if (a.pixelColor(x + px, y + py).rgb() != want.rgb()) return false;
    }
  }
  return opaque > 0;
}

// The notices a window showed, in order.
struct RecordedNotices {
  std::vector<std::string> messages;
  NoticeOverShower Shower() {
    return [this](QWidget*, const Notice& notice) { messages.push_back(notice.message); };
  }
};

}  // namespace braxo::dialogs_test
