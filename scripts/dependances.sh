#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need; quiet when nothing is missing.
set -euo pipefail

paquets=(
    build-essential cmake ninja-build pkg-config clang clang-tidy
    qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-translations-l10n qt6-qpa-plugins libqt6svg6
    libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri libxrandr-dev libcairo2-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    libpugixml-dev libboost-dev
    xvfb xauth xdg-utils shared-mime-info desktop-file-utils fonts-dejavu-core locales
)

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

manquants=()
for p in "${paquets[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || manquants+=("$p")
done
if [ ${#manquants[@]} -gt 0 ]; then
    echo "Installation des paquets : ${manquants[*]}"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${manquants[@]}" >/dev/null
fi

# A French locale, so that the tests can check that numbers never follow the user's decimal comma.
if ! locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$'; then
    $sudo sed -i 's/^# *fr_FR.UTF-8 UTF-8/fr_FR.UTF-8 UTF-8/' /etc/locale.gen
    $sudo locale-gen >/dev/null
fi
