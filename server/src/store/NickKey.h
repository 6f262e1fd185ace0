// The form of a nick that the stores compare, so that every backend treats
// nicks differing only in letter case as one nick.
#pragma once

#include <string>

namespace braxo::club {

// Lower-cases ASCII and the Cyrillic letters of a UTF-8 nick.
std::string NickKey(const std::string& nick);

}  // namespace braxo::club
