#pragma once
// What the parts of the settings component share: the list of components, conversions, and the
// settings stores.

#include "CwinReg.h"

#include <QSettings>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessarc::cwinreg {

// Every component, in creation order.
std::vector<TWinReg*>& Instances();
QString Q(std::string_view s);
std::string S(const QString& s);
// The window that owns a component, when its owner is a window.
QWidget* FicheDe(const TWinReg* w);
// The user's store of the organisation "Vornak": the application's, or with an empty name the
// organisation's own; never falling back on another.
std::unique_ptr<QSettings> Reglages(const QString& application);
// Strings as they are, integers in decimal, 8-byte binary data as a real; anything else is skipped.
std::optional<std::string> TexteDeValeur(const QVariant& v);

} // namespace tessarc::cwinreg
