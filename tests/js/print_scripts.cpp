// Prints one bootstrap script exactly as the web view host would inject it, for the JavaScript tests.
// Usage: print_scripts recorder|shell ORIGIN
#include "web/BootstrapScripts.h"

#include <cstdio>
#include <iostream>
#include <string_view>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: print_scripts recorder|shell ORIGIN\n";
        return 2;
    }
    const std::string_view which = argv[1];
    const std::string_view origin = argv[2];
    if (which == "recorder")
        std::cout << norla::recorderBootstrapScript(origin);
    else if (which == "shell")
        std::cout << norla::shellBootstrapScript(origin);
    else {
        std::cerr << "unknown script: " << which << '\n';
        return 2;
    }
    return std::cout.flush() ? 0 : 1;
}
