#pragma once
// The data files of an X-Plane installation, in the order they are to be loaded.

#include <string>
#include <vector>

namespace quarn {

// Whether the folder holds an X-Plane installation: its default navaid file,
// "Resources/default data/earth_nav.dat".
bool IsXPlaneFolder(const std::string& folder);

// The files to read from an installation, in load order (a later file wins over an
// earlier one for the same airport):
//   earth_nav.dat and earth_fix.dat, each from "Custom Data" where it is there, else
//     from "Resources/default data";
//   the global airports' apt.dat ("Global Scenery/Global Airports", X-Plane 12, or
//     "Resources/default scenery/default apt dat", X-Plane 11);
//   the apt.dat ("Earth nav data/apt.dat") of every enabled scenery pack of
//     "Custom Scenery/scenery_packs.ini" that has one, from the last listed to the
//     first, so that a pack listed earlier wins.
// The folder and file names inside a pack are matched without regard to case, as packs
// made elsewhere spell them. Problems name what is missing or unreadable.
std::vector<std::string> XPlaneDataFiles(const std::string& folder,
                                         std::vector<std::string>& problems);

}  // namespace quarn
