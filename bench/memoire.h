#pragma once
// Process memory figures for the benchmarks, read from /proc.

#include <fstream>
#include <string>

namespace tessarc::bench {

// Peak resident set (VmHWM) or current resident set (VmRSS), in bytes.
inline long long LireMemoire(const std::string& champ) {
    std::ifstream f("/proc/self/status");
    std::string ligne;
    while (std::getline(f, ligne))
        if (ligne.rfind(champ + ":", 0) == 0) return std::stoll(ligne.substr(champ.size() + 1)) * 1024;
    return 0;
}

inline long long PicMemoire() {
    return LireMemoire("VmHWM");
}
inline long long MemoireCourante() {
    return LireMemoire("VmRSS");
}

// Starts a new peak measurement from the current resident set.
inline void RemettrePicAZero() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

} // namespace tessarc::bench
