// Entry point of versweep-scan, the command-line twin of the window.
#include <iostream>

#include "cli/scan_command.h"
#include "platform/file_system.h"

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    return versweep::RunScanCommand(argc, argv, std::cin, versweep::platform::StandardInputIsTerminal(), std::cout,
                                    std::cerr);
}
