#pragma once
// "The program's directory": where the scenery lists, quarn.fix and magvar.nav live
// and where the exports land once a command has made it the current directory.

#include <string>

namespace quarn {

const std::string& ProgramDirectory();
void SetProgramDirectory(const std::string& directory);

// Chooses the directory: the explicit one if given, else QUARN_DATA_DIR, else the
// directory of the executable.
std::string ResolveProgramDirectory(const std::string& explicitDir, const std::string& argv0);
// The directory used when none is asked for: the executable's.
std::string DefaultProgramDirectory(const std::string& argv0);

// The data directory asked for (explicitly, else by QUARN_DATA_DIR) when it is not
// an existing directory; empty when none was asked for or it exists.
std::string MissingDataDirectory(const std::string& explicitDir);

}  // namespace quarn
