// Small rules of the club account windows that are worth a test of their own:
// how a rating is written, which addresses from the club may be opened, and
// how personal information is cleaned before it is saved. Plain C++.
#pragma once

#include <string>
#include <string_view>

#include "club/AccountService.h"
#include "club/ClubSession.h"

namespace braxo {

// A rating rounded to three decimals with a decimal comma and exactly three
// decimals: 12 gives "12,000", 12.5 "12,500", 12.25 "12,250", -0.0004
// "0,000". A value that is not finite gives "0,000".
std::string FormatClubRating(double rating);

// Whether an address taken from the club's data (a member's web site, social
// address or e-mail) may be handed to the desktop: an absolute http or https
// address with a host, or a "mailto:" address with an "@" and nothing that
// could smuggle another command (white space, control characters,
// backslashes). Everything else is only shown as text.
bool IsOpenableClubLink(std::string_view link);

// The personal information as it is saved: every "$" and "~" becomes a space,
// since the club's reply uses both as separators.
PersonalInfo CleanPersonalInfo(PersonalInfo info);

// The fourteen texts in the order of the windows' rows (kPersonalInfoWireOrder:
// the web site before Skype), and back.
inline constexpr int kInfoRowCount = static_cast<int>(kPersonalInfoTextCount);
std::string& InfoRow(PersonalInfo& info, int row);  // row 0-13
const std::string& InfoRow(const PersonalInfo& info, int row);

}  // namespace braxo

namespace braxo {

// The ratings (1 red, 2 yellow, 3 green) of the account page's four boxes.
struct AccountFieldRatings {
  int nick = 1, city = 1, password = 1, email = 1;
};

// Which account page controls take input.
struct AccountPageEnabled {
  bool fields = false;  // the four boxes and the three lists
  bool create = false;  // "Create an account"
  bool login_or_sign_out = false;
  bool rated_switch = false;  // "Play global rating"
};

// Why the account window opens: the player clicked the account icon, or the
// pre-game check asks before a new game (only then may the player choose a
// rated game).
enum class AccountWindowPurpose { kAccountIcon, kPreGameCheck };

// The account page's enabled rule for an account state and the window's
// purpose. `locked` is set while a rated game is open or a game is in
// progress: then nothing takes input. Create needs nobody logged in, nick and
// city at least yellow, password and e-mail green; logging in needs a nick at
// least yellow and a green password; the rating switch is for a member at the
// pre-game check only.
AccountPageEnabled AccountPageControls(AccountState account_state, AccountWindowPurpose purpose,
                                       AccountFieldRatings ratings, bool locked);

}  // namespace braxo
