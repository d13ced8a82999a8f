// Entry point of versweep-scan, the command-line twin of the window.
#include <iostream>

#include <unistd.h>

#include "cli/scan_command.h"

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    return versweep::RunScanCommand(argc, argv, std::cin, ::isatty(0) == 1, std::cout, std::cerr);
}
