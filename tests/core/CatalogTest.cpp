// The catalogue reader that the Windows program uses, on the catalogues msgfmt
// makes from po/ in this build (so it runs under Wine too).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/MoFile.h"

namespace {

std::string Catalogue(const std::string& language) {
    std::ifstream in(std::string(CLIPVANE_BUILD_LOCALEDIR) + "/" + language + "/LC_MESSAGES/clipvane.mo",
                     std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TEST(PluralRule, GivesEachLanguagesForm) {
    struct Case {
        const char* rule;
        unsigned long n, index;
    } cases[] = {
        {"0", 5, 0},
        {"(n != 1)", 1, 0},
        {"(n != 1)", 0, 1},
        {"(n > 1)", 0, 0},  // French: zero is singular
        {"(n > 1)", 2, 1},
        // Russian and Polish nest conditions and use every operator kind.
        {"(n%10==1 && n%100!=11 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2)", 21, 0},
        {"(n%10==1 && n%100!=11 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2)", 13, 2},
        {"(n==1 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2)", 24, 1},
        {"n == 1 ? 0 : !(n - 2) ? 1 : 2", 2, 1},
        {"(n / 0)", 3, 0},  // no crash on a division by zero
        {"n ==", 1, 0},     // nor on a broken rule
    };
    for (const auto& c : cases) EXPECT_EQ(platform::PluralIndex(c.rule, c.n), c.index) << c.rule << " n=" << c.n;
}

TEST(MoFile, ReadsEveryCatalogueOfTheBuild) {
    struct Case {
        const char* language;
        const char* start;
        unsigned long n;  // the count of "%1 file converted"
        const char* converted;
    } cases[] = {
        {"ja", "開始", 2, "%1 件のファイルを変換しました"}, {"zh_CN", "开始", 2, "已转换 %1 个文件"},
        {"de", "START", 1, "%1 Datei umgewandelt"},         {"de", "START", 0, "%1 Dateien umgewandelt"},
        {"fr", "DÉMARRER", 0, "%1 fichier converti"},  // French: zero is singular
        {"fr", "DÉMARRER", 2, "%1 fichiers convertis"},     {"es", "INICIAR", 2, "%1 archivos convertidos"},
        {"ru", "СТАРТ", 21, "%1 файл преобразован"},        {"ru", "СТАРТ", 3, "%1 файла преобразовано"},
        {"ru", "СТАРТ", 11, "%1 файлов преобразовано"},     {"pl", "START", 22, "Przekonwertowano %1 pliki"},
        {"pl", "START", 25, "Przekonwertowano %1 plików"},  {"pt_BR", "INICIAR", 0, "%1 arquivo convertido"},
        {"ko", "시작", 2, "파일 %1개를 변환했습니다"},      {"zh_TW", "開始", 2, "已轉換 %1 個檔案"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        const platform::MoFile mo(Catalogue(c.language));
        ASSERT_FALSE(mo.Empty());
        EXPECT_EQ(mo.Text("START"), c.start);
        EXPECT_EQ(mo.Plural("%1 file converted", "%1 files converted", c.n), c.converted);
        // What the catalogue lacks stays English, in its plural too.
        EXPECT_EQ(mo.Text("Not in any catalogue"), "Not in any catalogue");
        EXPECT_EQ(mo.Plural("%1 cat", "%1 cats", 2), "%1 cats");
        EXPECT_EQ(mo.Text(""), "");
    }
}

TEST(MoFile, ADamagedCatalogueIsEnglish) {
    const std::string good = Catalogue("de");
    ASSERT_GT(good.size(), 64u);
    std::string cut = good.substr(0, good.size() / 2);  // offsets point past the end
    std::string wrong = good;
    wrong[0] = 'X';
    for (const std::string& bytes : {std::string(), std::string("tiny"), cut, wrong}) {
        const platform::MoFile mo(bytes);
        EXPECT_TRUE(mo.Empty());
        EXPECT_EQ(mo.Text("START"), "START");
        EXPECT_EQ(mo.Plural("%1 file converted", "%1 files converted", 2), "%1 files converted");
    }
}

}  // namespace
