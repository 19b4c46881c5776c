#include "RecCommandLine.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    norla::RecCommandLine::installLiveSeams();
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return norla::RecCommandLine::run(arguments, std::cout, std::cerr);
}
