#pragma once
// The sweep of a scanned surface shared by the generated vaults.

#include <algorithm>

// quota samples over a surface of longueurU (u, across) x longueurV (v, along), nu across, in scan order,
// one jittered sample per lattice cell; echantillon(u, v) for each, u drawn before v.
template <typename THasard, typename F>
void Balayer(long long nu, double longueurU, double longueurV, long long quota, THasard& h, F&& echantillon) {
    nu = std::max<long long>(1, nu);
    const long long nv = std::max<long long>(1, (quota + nu - 1) / nu);
    for (long long j = 0; j < nv && quota > 0; ++j)
        for (long long i = 0; i < nu && quota > 0; ++i, --quota) {
            const double u = (static_cast<double>(i) + h.Uniforme()) * longueurU / static_cast<double>(nu);
            const double v = (static_cast<double>(j) + h.Uniforme()) * longueurV / static_cast<double>(nv);
            echantillon(u, v);
        }
}
