#include "GettextCatalog.h"

#include <libintl.h>

#include <QLocale>
#include <filesystem>

namespace platform {

namespace {
constexpr const char* kDomain = "clipvane";

std::string LocaleFolder(const std::string& programFolder) {
    std::error_code error;
    const auto installed = std::filesystem::path(programFolder).parent_path() / "share" / "locale";
    if (std::filesystem::is_directory(installed, error)) return installed.string();
    return CLIPVANE_BUILD_LOCALEDIR;
}
}  // namespace

GettextCatalog::GettextCatalog(const std::string& programFolder) : folder_(LocaleFolder(programFolder)) {
    bindtextdomain(kDomain, folder_.c_str());
    bind_textdomain_codeset(kDomain, "UTF-8");
}

std::string GettextCatalog::Text(std::string_view english) const {
    // gettext answers the empty text with the catalogue's header.
    if (english.empty()) return {};
    return dgettext(kDomain, std::string(english).c_str());
}

std::string GettextCatalog::Plural(std::string_view one, std::string_view many, unsigned long n) const {
    return dngettext(kDomain, std::string(one).c_str(), std::string(many).c_str(), n);
}

std::string GettextCatalog::DataSize(std::uint64_t bytes) const {
    const QLocale locale;
    if (locale.language() == QLocale::English || locale.language() == QLocale::C) return {};
    return locale.formattedDataSize(static_cast<qint64>(bytes), 1, QLocale::DataSizeSIFormat).toStdString();
}

}  // namespace platform
