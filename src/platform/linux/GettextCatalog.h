#pragma once
#include <cstdint>
#include <string>

#include "platform/Catalog.h"

namespace platform {

// GNU gettext's catalogues (glibc), chosen by LANGUAGE, LC_ALL, LC_MESSAGES
// and LANG as every program on the desktop chooses them; the locale must be
// set (setlocale) before the first text is asked for.
class GettextCatalog : public Catalog {
public:
    // Catalogues beside an installed program (<prefix>/share/locale), else in
    // the build's own folder.
    explicit GettextCatalog(const std::string& programFolder);
    std::string Text(std::string_view english) const override;
    std::string Plural(std::string_view one, std::string_view many, unsigned long n) const override;
    // In the locale's own form ("2,1 Go"); English keeps the program's.
    std::string DataSize(std::uint64_t bytes) const override;

    const std::string& Folder() const { return folder_; }

private:
    std::string folder_;
};

}  // namespace platform
