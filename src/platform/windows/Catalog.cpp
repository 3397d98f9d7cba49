#include "Catalog.h"

#include "Win32.h"

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
    // "zh-CN" is catalogue "zh_CN"; "de-AT" falls back to "de".
    std::wstring full = localeName.substr(0, localeName.find(L'-', localeName.find(L'-') + 1));
    for (auto& c : full)
        if (c == L'-') c = L'_';
    const std::wstring language = full.substr(0, full.find(L'_'));
    for (const std::wstring& candidate : {full, language}) {
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

}  // namespace platform::windows
