// tessarc-cli: the document operations without the window. See Commandes.cpp for the commands.

#include "Commandes.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return tessarc::cli::Lancer(arguments);
}
