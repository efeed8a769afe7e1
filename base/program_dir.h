#pragma once
// "The program's directory": where the scenery lists, quarn.fix and magvar.nav live
// and where the exports land once a command has made it the current directory. The
// application object keeps the one chosen at start and hands it on.

#include <string>

namespace quarn {

// Chooses the directory: the explicit one if given, else QUARN_DATA_DIR, else the
// directory of the executable, or the user's data directory when the executable's
// cannot be written (an installed program).
std::string ResolveProgramDirectory(const std::string& explicitDir, const std::string& argv0);
// The directory used when none is asked for: the executable's, or the user's data
// directory when the executable's cannot be written.
std::string DefaultProgramDirectory(const std::string& argv0);

// The data directory asked for (explicitly, else by QUARN_DATA_DIR) when it is not
// an existing directory; empty when none was asked for or it exists.
std::string MissingDataDirectory(const std::string& explicitDir);

// The user's data directory: XDG_DATA_HOME/quarn, else HOME/.local/share/quarn (a
// relative XDG_DATA_HOME counts as unset); empty when neither gives an absolute path.
std::string UserDataDirectory(const char* xdgDataHome, const char* home);

// The executable's directory when a file can be created in it; else the user's data
// directory, created here, unless it cannot be (or userDir is empty).
std::string WritableDataDirectory(const std::string& exeDir, const std::string& userDir);

}  // namespace quarn
