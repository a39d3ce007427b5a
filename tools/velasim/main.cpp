// velasim: live control of a running printer simulator from the command line.

#include <iostream>
#include <string>
#include <vector>

#include "velasim_cli.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return velasim::Run(args, std::cout, std::cerr);
}
