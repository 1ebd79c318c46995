#pragma once
// Two cores for long work that the calling thread leads: the caller runs its part while a helper
// thread runs the other, and only the caller reports progress or sees Esc. An exception on either side
// comes back to the caller; when the caller's part throws, Arret() tells the helper to give up.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

namespace tessarc {

class TEquipe {
public:
    TEquipe();
    ~TEquipe();
    TEquipe(const TEquipe&) = delete;
    TEquipe& operator=(const TEquipe&) = delete;

    // travail(0) on the calling thread and travail(1) on the helper, returning when both are done; the
    // caller's exception first, else the helper's, is rethrown. On a single core both parts run here.
    void Executer(const std::function<void(int part)>& travail);
    [[nodiscard]] bool Arret() const { return arret_.load(std::memory_order_relaxed); }

private:
    void Boucle(const std::stop_token& fin);

    std::mutex m_;
    std::condition_variable_any cv_;
    const std::function<void(int)>* tache_ = nullptr;
    std::uint64_t demandees_ = 0;
    std::uint64_t faites_ = 0;
    std::exception_ptr erreur_;
    std::atomic<bool> arret_{false};
    std::jthread aide_;
};

// Work cut in n numbered pieces that two threads take in turn.
class TDistributeur {
public:
    explicit TDistributeur(std::size_t n) : n_(n) {}
    // The next piece, false when none is left.
    [[nodiscard]] bool Prendre(std::size_t& piece) {
        piece = suivante_.fetch_add(1, std::memory_order_relaxed);
        return piece < n_;
    }

private:
    std::size_t n_;
    std::atomic<std::size_t> suivante_{0};
};

} // namespace tessarc
