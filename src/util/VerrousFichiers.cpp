#include "VerrousFichiers.h"

namespace tessarc {

TVerrousFichiers::TVerrousFichiers(QObject* parent) : QObject(parent) {
    minuterie_.setInterval(kIntervalleMs);
    minuterie_.start();
}

} // namespace tessarc
