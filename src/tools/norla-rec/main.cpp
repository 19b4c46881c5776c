#include "RecCommandLine.h"
#include "TerminalProgress.h"

#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv)
{
    norla::RecCommandLine::installLiveSeams();
    // Long commands show their progress on standard error, but only to a person at a terminal.
    norla::TerminalProgress::showOn(STDERR_FILENO);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return norla::RecCommandLine::run(arguments, std::cout, std::cerr);
}
