#pragma once
// The subcommands of tessarc-cli. Each lives in its own file and is listed once in Commandes.cpp.

#include "Console.h"
#include "Document.h"

#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tessarc::cli {

// A usage error: exit code 2.
class EUsage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr int SortieReussite = 0;
inline constexpr int SortieEchec = 1;
inline constexpr int SortieUsage = 2;

struct TCommande {
    const char* Nom;
    const char* Syntaxe; // arguments, after the name
    const char* Aide;    // what it does, one or more lines
    int (*Executer)(std::span<const std::string> arguments, TConsole& console);
};

[[nodiscard]] std::span<const TCommande> Commandes();

// The whole program: arguments without the program name; returns the exit code.
[[nodiscard]] int Lancer(std::span<const std::string> arguments);

int Proprietes(std::span<const std::string> arguments, TConsole& console);
int Convertir(std::span<const std::string> arguments, TConsole& console);
int Mailler(std::span<const std::string> arguments, TConsole& console);

// An option of a command and the number of values that follow it.
struct TOption {
    const char* Nom;
    int NbValeurs = 1;
};
// For the commands: the positional arguments, and each option given with its values, in order.
struct TArguments {
    std::vector<std::string> Positionnels;
    std::vector<std::pair<std::string, std::vector<std::string>>> Options;
};
// options lists the options the command knows; any other argument starting with "--" is refused.
[[nodiscard]] TArguments AnalyserArguments(std::span<const std::string> arguments,
                                           std::span<const TOption> options);
// Opens nom into doc; the reader's notes go to standard error. False on a failure, already reported.
[[nodiscard]] bool Ouvrir(TDocument& doc, const std::filesystem::path& nom, TConsole& console);

// A level 0..4, or a usage error.
[[nodiscard]] int LireNiveau(const std::string& texte);

} // namespace tessarc::cli
