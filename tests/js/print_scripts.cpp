// Prints a script exactly as the shell hands it to the page, for the JavaScript tests: a bootstrap script
// as the web view host injects it, or the fetch that push registration runs in the page.
// Usage: print_scripts recorder|shell ORIGIN, or print_scripts fetch
#include "desktop/PushNotifications.h"
#include "web/BootstrapScripts.h"

#include <iostream>
#include <string_view>

int main(int argc, char** argv)
{
    const std::string_view which = argc > 1 ? argv[1] : "";
    if (which == "fetch" && argc == 2)
        std::cout << norla::PushNotifications::fetchScript;
    else if (which == "recorder" && argc == 3)
        std::cout << norla::recorderBootstrapScript(argv[2]);
    else if (which == "shell" && argc == 3)
        std::cout << norla::shellBootstrapScript(argv[2]);
    else {
        std::cerr << "usage: print_scripts recorder|shell ORIGIN, or print_scripts fetch\n";
        return 2;
    }
    return std::cout.flush() ? 0 : 1;
}
