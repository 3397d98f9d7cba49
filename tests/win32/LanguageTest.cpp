// The Win32 windows in each language built into the program: the catalogue
// chosen by the user's interface language, and every caption within its
// control in the window's font (measured with GDI, as the controls draw it).
#include <map>

#include "WindowFixture.h"
#include "platform/windows/Catalog.h"
#include "support/CaptionFit.h"
#include "text/Translate.h"

namespace win32_test {
namespace {

using platform::windows::Utf8;

TEST(ResourceCatalog, ChoosesByInterfaceLanguageThenLanguageAloneThenEnglish) {
    struct Case {
        const wchar_t* locale;
        const char* language;
        const char* start;
    } cases[] = {
        {L"ja-JP", "ja", "開始"},    {L"de-AT", "de", "START"},      {L"zh-CN", "zh_CN", "开始"},
        {L"zh-TW", "zh_TW", "開始"}, {L"zh-HK", "zh_TW", "開始"},    {L"zh-Hant-MO", "zh_TW", "開始"},
        {L"zh-SG", "zh_CN", "开始"}, {L"pt-BR", "pt_BR", "INICIAR"}, {L"pt-PT", "pt_BR", "INICIAR"},
        {L"ko-KR", "ko", "시작"},    {L"sv-SE", "", "START"},        {L"en-US", "", "START"},
        {L"", "", "START"},
    };
    for (const auto& c : cases) {
        const platform::windows::ResourceCatalog catalog(c.locale);
        EXPECT_EQ(catalog.Language(), c.language) << Utf8(c.locale);
        EXPECT_EQ(catalog.Text("START"), c.start) << Utf8(c.locale);
    }
}

int TextWidth(HDC dc, const std::string& text) {
    const std::wstring wide = app::ToControlText(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    return size.cx;
}

// See support/CaptionFit.h.
TEST(Captions, FitTheirControlsInEveryLanguage) {
    const wchar_t* locales[] = {L"en-US", L"ja-JP", L"de-DE", L"fr-FR", L"es-ES", L"zh-CN", L"pt-BR",
                                L"it-IT", L"ru-RU", L"ko-KR", L"zh-TW", L"nl-NL", L"pl-PL"};
    HDC dc = GetDC(nullptr);
    std::map<std::string_view, int> english;
    for (const wchar_t* locale : locales) {
        const platform::windows::ResourceCatalog catalog(locale);
        text::UseCatalog(&catalog);
        SCOPED_TRACE(Utf8(locale));
        HGDIOBJ old = SelectObject(dc, app::WindowFont());
        testing_support::ExpectCaptionsFit([&](const std::string& text) { return TextWidth(dc, text); },
                                           [](int twips) { return app::Pixels(twips); }, english,
                                           [](const forms::Layout& designed) {
                                               return forms::FittedLayout(designed, platform::kNativeFileMenu,
                                                                          app::TextTwips);
                                           });
        SelectObject(dc, old);
        text::UseCatalog(nullptr);
    }
    ReleaseDC(nullptr, dc);
}

}  // namespace
}  // namespace win32_test
