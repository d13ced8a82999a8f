// Runs a test executable with the user's home, data and state folders in a private temporary folder.
#pragma once

#include <string>

namespace versweep::test {

/// Points HOME, XDG_DATA_HOME and XDG_STATE_HOME at a fresh temporary folder, then runs every test. The
/// trash code reads them once per process, so this comes before anything else and one private home serves
/// the whole executable. Fails the run when the user's real trash changed meanwhile.
int RunTestsInPrivateHome(int argc, char** argv);

/// The private home trash: "$XDG_DATA_HOME/Trash".
std::string PrivateTrashRoot();

} // namespace versweep::test
