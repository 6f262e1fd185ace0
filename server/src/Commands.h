// braxo-club's commands besides serving: the FTP daemon's two hooks for the
// photo upload, and copying a club from one database to another.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace braxo::club {

inline constexpr const char* kCommandsUsage =
    "       braxo-club auth-ftp --database URL [--config FILE]\n"
    "           the FTP daemon's login check (pure-authd): reads AUTHD_ACCOUNT,\n"
    "           AUTHD_PASSWORD and AUTHD_REMOTE_IP, prints the daemon's reply\n"
    "       braxo-club accept-photo [--config FILE] UPLOADED_FILE\n"
    "           the FTP daemon's upload hook (pure-uploadscript): keeps the file as\n"
    "           the member's photo when it is one, removes the upload\n"
    "       braxo-club copy --from URL --to URL\n"
    "           copies a club's data into an empty database (SQLite to PostgreSQL)\n";

// Runs the command `args` names (args[0]); nothing when args[0] is not one.
std::optional<int> RunCommand(const std::vector<std::string>& args);

}  // namespace braxo::club
