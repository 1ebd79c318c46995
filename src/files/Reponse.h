#pragma once
// The answer of a Yes / No question, shared by the document and the window's boxes.

namespace tessarc {

// Annuler when the box was closed without a choice.
enum class TReponse { Oui, Non, Annuler };

} // namespace tessarc
