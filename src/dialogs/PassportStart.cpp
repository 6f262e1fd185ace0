#include "dialogs/PassportStart.h"

#include <QString>
#include <array>
#include <string_view>
#include <utility>

#include "club/NameRules.h"
#include "club/TopTenService.h"
#include "dialogs/ClubWindowShared.h"
#include "i18n/CountryCatalogue.h"

namespace braxo {
namespace {

// Territories whose name in the country list differs from the locale's by
// more than case, "&" and punctuation, by their two-letter code.
// clang-format off
constexpr std::array<std::pair<std::string_view, std::string_view>, 20> kListNames = {{
    {"CD", "Congo Democratic Republic"}, {"CG", "Congo Republic"},
    {"CI", "Ivory Coast (Cote Divoire)"}, {"CZ", "Czech Republic"},
    {"EC", "Equador"},                   {"GS", "South Georgia"},
    {"LK", "Sri-Lanka"},                 {"ME", "Serbia-Montenegro"},
    {"MO", "Macau"},                     {"MR", "Mauretania"},
    {"MV", "Maledives"},                 {"PN", "Pitcairn Islands"},
    {"PY", "Paraquay"},                  {"RS", "Serbia-Montenegro"},
    {"SZ", "Swaziland"},                 {"TL", "East Timor"},
    {"US", "USA"},                       {"UY", "Uruquay"},
    {"VC", "Saint Vincent and the Grenadines"},
    {"VI", "Virgin Islands"},
}};
// clang-format on

// Lower-case letters and digits only, "&" read as "and", "the" dropped:
// "Bosnia & Herzegovina" and "Bosnia And Herzegovina" compare equal.
QString Folded(QString name) {
  name.replace(QChar('&'), QStringLiteral(" and "));
  QString out;
  for (const QString& word : name.toLower().split(QChar(' '), Qt::SkipEmptyParts)) {
    QString letters;
    for (const QChar c : word)
      if (c.isLetterOrNumber()) letters += c;
    if (letters != QStringLiteral("the")) out += letters;
  }
  return out;
}

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

PassportStart DesktopPassportStart(const ClubSession& session) {
  PassportStart start;
  if (session.account_state != AccountState::kNobody && !session.current_user.nick.empty())
    start.member = session.current_user;
  start.territory = QLocale::system().territory();
  return start;
}

std::optional<std::string> CountryCodeOfTerritory(QLocale::Territory territory) {
  if (territory == QLocale::AnyTerritory) return std::nullopt;
  QString wanted = Folded(QLocale::territoryToString(territory));
  const QString iso = QLocale::territoryToCode(territory);
  for (const auto& [code, name] : kListNames)
    if (iso == Q(code)) wanted = Folded(Q(name));
  for (int continent = kFirstContinent; continent <= kLastContinent; ++continent) {
    // Index 0 is "Unknown" on every continent.
    for (int index = 1; index <= LastCountryIndex(continent); ++index) {
      if (Folded(Q(CountryInfo(continent, index).name)) == wanted)
        return CountryCode::FromParts(continent, index)->ToString();
    }
  }
  return std::nullopt;
}

bool PassportUntouched(const TournamentPassport& passport) {
  return passport.nick == TournamentPassport{}.nick;
}

void StartPassport(TournamentPassport& passport, const PassportStart& start) {
  if (!PassportUntouched(passport)) return;
  if (start.member) {
    const MemberAccount& member = *start.member;
    const bool fits = RateNameTextUtf8(member.nick, kRateNick) >= kRateCyrillic &&
                      RateNameTextUtf8(member.city, kRateCity) >= kRateCyrillic &&
                      CountryCode::Parse(member.country_code).has_value();
    if (!fits) return;
    passport.nick = member.nick;
    passport.city = member.city;
    passport.country_code = member.country_code;
    if (member.sex == 'M' || member.sex == 'W') passport.sex = member.sex;
    return;
  }
  if (const auto code = CountryCodeOfTerritory(start.territory)) passport.country_code = *code;
}

}  // namespace braxo
