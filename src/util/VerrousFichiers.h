#pragma once
// The program-wide list of file locks, refreshed every five minutes. This program takes no lock: the
// list stays empty and its end releases nothing; it is kept for the components that expect it.

#include <QObject>
#include <QTimer>

#include <string>
#include <vector>

namespace tessarc {

class TVerrousFichiers : public QObject {
public:
    static constexpr int kIntervalleMs = 300000;

    explicit TVerrousFichiers(QObject* parent = nullptr);

    [[nodiscard]] const std::vector<std::string>& Fichiers() const { return fichiers_; }
    [[nodiscard]] const QTimer& Minuterie() const { return minuterie_; }

private:
    std::vector<std::string> fichiers_;
    QTimer minuterie_;
};

} // namespace tessarc
