// Where a passport that the player has never filled in starts: from the
// member logged in to the club, or else with the desktop's country. A
// passport the player has filled in is never changed.
#pragma once

#include <QLocale>
#include <optional>
#include <string>

#include "club/ClubRecords.h"
#include "club/ClubSession.h"
#include "storage/SettingsFile.h"

namespace braxo {

struct PassportStart {
  // The member logged in to the club, when one is.
  std::optional<MemberAccount> member;
  // The desktop's territory; AnyTerritory when unknown.
  QLocale::Territory territory = QLocale::AnyTerritory;
};

// The member of `session` (when one is logged in) and the territory of the
// desktop's locale (QLocale::system()).
PassportStart DesktopPassportStart(const ClubSession& session);

// The country list's code ("d-nnn") of a territory; nullopt when the list
// has no such country.
std::optional<std::string> CountryCodeOfTerritory(QLocale::Territory territory);

// True while the passport still carries the name every new installation
// starts with.
bool PassportUntouched(const TournamentPassport& passport);

// Fills an untouched passport from the member (nick, city, country and sex),
// or, with nobody logged in, takes the territory's country when the list has
// it. A touched passport, or a member whose texts the passport could not
// hold, leaves the passport as it is.
void StartPassport(TournamentPassport& passport, const PassportStart& start);

}  // namespace braxo
