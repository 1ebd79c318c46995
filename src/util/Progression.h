#pragma once
// The small interface through which long work reports progress and can be cancelled. The window maps
// it onto its status bar, message pump and Esc; the command-line tool onto the terminal and Ctrl-C.

#include <stdexcept>
#include <string>

namespace tessarc {

// Cancellation by the user; its message is "abandon".
class EStopError : public std::runtime_error {
public:
    EStopError() : std::runtime_error("abandon") {}
};

class IProgression {
public:
    virtual ~IProgression() = default;
    // Shows text in status panel 0 (400 px) or 1 (the rest); an empty text clears it. Throws EStopError
    // when the user asked to stop and confirmed.
    virtual void AffiInfo(int panneau, const std::string& texte) = 0;
};

// For work run where nobody watches.
class ProgressionMuette final : public IProgression {
public:
    void AffiInfo(int, const std::string&) override {}
};

} // namespace tessarc
