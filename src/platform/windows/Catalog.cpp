#include "Catalog.h"

#include <algorithm>

#include "Win32.h"

#include <shlwapi.h>

namespace platform::windows {

namespace {

std::wstring UserLocaleName() {
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    const LCID lcid = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
    if (LCIDToLocaleName(lcid, name, LOCALE_NAME_MAX_LENGTH, 0) <= 0) return L"";
    return name;
}

std::string_view Resource(const std::wstring& name) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, name.c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return {};
    return {static_cast<const char*>(bytes), SizeofResource(module, found)};
}

}  // namespace

ResourceCatalog::ResourceCatalog() : ResourceCatalog(UserLocaleName()) {}

ResourceCatalog::ResourceCatalog(const std::wstring& localeName) {
    // "zh-CN" is catalogue "zh_CN"; "de-AT" falls back to "de". Chinese goes
    // by its script (Traditional in Taiwan, Hong Kong and Macao), and
    // Portuguese of any country reads the Brazilian catalogue.
    std::wstring language, script, region;
    for (std::size_t start = 0; start <= localeName.size();) {
        const std::size_t end = std::min(localeName.find(L'-', start), localeName.size());
        const std::wstring part = localeName.substr(start, end - start);
        if (start == 0)
            language = part;
        else if (part.size() == 4)
            script = part;
        else if (part.size() == 2)
            region = part;
        start = end + 1;
    }
    std::wstring nearest;
    if (language == L"zh")
        nearest = script == L"Hant" || (script != L"Hans" && (region == L"TW" || region == L"HK" || region == L"MO"))
                      ? L"zh_TW"
                      : L"zh_CN";
    if (language == L"pt") nearest = L"pt_BR";
    for (const std::wstring& candidate : {region.empty() ? L"" : language + L"_" + region, language, nearest}) {
        if (candidate.empty() || candidate == L"en") continue;
        const std::string_view bytes = Resource(candidate);
        if (bytes.empty()) continue;
        mo_ = MoFile(bytes);
        language_ = Utf8(candidate);
        return;
    }
}

std::string ResourceCatalog::Text(std::string_view english) const { return mo_.Text(english); }

std::string ResourceCatalog::Plural(std::string_view one, std::string_view many, unsigned long n) const {
    return mo_.Plural(one, many, n);
}

std::string ResourceCatalog::DataSize(std::uint64_t bytes) const {
    wchar_t shown[64] = {};
    if (language_.empty() || !StrFormatByteSizeW(static_cast<LONGLONG>(bytes), shown, 64)) return {};
    return Utf8(shown);
}

}  // namespace platform::windows
