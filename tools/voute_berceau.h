#pragma once
// The sample scan that a newcomer opens first: a barrel vault whose axis runs along Y, so that the
// opening X-Z view shows the arch.

#include <cstdint>
#include <string>

// Writes exactly total points "X Y Z R G B" to sortie: the intrados in stone courses with lime mortar
// joints, the two side walls, the arch ring and its piers on the front face, a paved floor patch, and
// a passer-by with some dust to clean. The same seed always gives the same file. Returns the exit code
// of the program: 0, or 1 when the file cannot be written (said on standard error).
int EcrireVouteBerceau(long long total, const std::string& sortie, std::uint64_t graine);
