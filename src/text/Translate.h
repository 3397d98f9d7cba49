#pragma once
// What the core shows goes through here, so each face can answer it in the
// user's language. The English texts are the keys: with no catalogue, or no
// translation, they are shown as they are.
//
// Texts are marked where they are written, for xgettext: Tr("..."),
// TrN("one", "many", n), and N_("...") for a constant translated later.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/Catalog.h"

namespace text {

// Marks a text for the catalogue without translating it yet.
using platform::N_;

// The catalogue the program uses from now on; nullptr for English. The
// platform's own reasons speak through it too.
void UseCatalog(const platform::Catalog* catalog);

// The language of the catalogue in use; "" for English or unknown.
std::string Language();

std::string Tr(std::string_view english);
std::string TrN(std::string_view one, std::string_view many, unsigned long n);

// The pattern with each "%1", "%2", ... replaced by its argument.
using platform::Fill;

// A size in bytes as the user reads sizes: "2.1 GB" in English.
std::string DataSize(std::uint64_t bytes);

}  // namespace text
