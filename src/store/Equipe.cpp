#include "Equipe.h"

namespace tessarc {

TEquipe::TEquipe() {
    if (std::thread::hardware_concurrency() >= 2)
        aide_ = std::jthread([this](const std::stop_token& fin) { Boucle(fin); });
}

TEquipe::~TEquipe() {
    if (aide_.joinable()) {
        aide_.request_stop();
        aide_.join();
    }
}

void TEquipe::Boucle(const std::stop_token& fin) {
    std::unique_lock verrou(m_);
    for (;;) {
        if (!cv_.wait(verrou, fin, [&] { return demandees_ != faites_; })) return;
        const std::function<void(int)>* tache = tache_;
        verrou.unlock();
        std::exception_ptr erreur;
        try {
            (*tache)(1);
        } catch (...) {
            erreur = std::current_exception();
        }
        verrou.lock();
        erreur_ = erreur;
        faites_ = demandees_;
        cv_.notify_all();
    }
}

void TEquipe::Executer(const std::function<void(int)>& travail) {
    arret_.store(false, std::memory_order_relaxed);
    if (!aide_.joinable()) {
        travail(0);
        travail(1);
        return;
    }
    {
        const std::lock_guard verrou(m_);
        tache_ = &travail;
        ++demandees_;
    }
    cv_.notify_all();
    std::exception_ptr erreur;
    try {
        travail(0);
    } catch (...) {
        erreur = std::current_exception();
        arret_.store(true, std::memory_order_relaxed);
    }
    std::unique_lock verrou(m_);
    cv_.wait(verrou, [&] { return faites_ == demandees_; });
    tache_ = nullptr;
    if (!erreur) erreur = std::exchange(erreur_, nullptr);
    erreur_ = nullptr;
    verrou.unlock();
    if (erreur) std::rethrow_exception(erreur);
}

} // namespace tessarc
