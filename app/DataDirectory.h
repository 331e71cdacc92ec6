// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace glassfalls {

// Where the data set is when --data was not given: `data` in the working directory if there
// is one, else the data set installed beside the program (PREFIX/share/glassfalls/data for
// PREFIX/bin/glassfalls), so the piece starts from any working directory.
std::string defaultDataDirectory(const std::string& executable);

}  // namespace glassfalls
