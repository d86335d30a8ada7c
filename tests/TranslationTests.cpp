// The dialogs in the user's language: every catalogue complete, and the one
// a locale chooses really reaching the dialogs, Qt's own buttons included.
#include "converter/gui/CQualityDlg.h"
#include "docconverter/gui/CAboutDlg.h"
#include "platform/qt/QtTranslations.h"

#include <QCoreApplication>
#include <QFile>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <utility>

namespace {

struct Message {
    QString translation;
    bool finished = false;
};
// (context, source) -> what the catalogue says for it.
using Catalogue = std::map<std::pair<QString, QString>, Message>;

Catalogue readCatalogue(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    Catalogue messages;
    QXmlStreamReader xml(&file);
    QString context;
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("source"))
            source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")) {
            const bool finished = xml.attributes().value(QLatin1String("type")).isEmpty();
            messages[{context, source}] = {xml.readElementText(), finished};
        }
    }
    EXPECT_FALSE(xml.hasError()) << path.toStdString() << ": " << xml.errorString().toStdString();
    return messages;
}

TEST(Translations, EveryCatalogueIsCompleteAndKoreanKeepsItsTexts)
{
    const char* catalogues[] = {"converter/translations/converter", "docconverter/translations/docconverter",
        "session/translations/session"};
    const char* languages[] = {"en", "ja", "zh_Hans", "zh_Hant"};
    for (const char* catalogue : catalogues) {
        const QString base = QStringLiteral(FOLYANT_SOURCE_DIR "/") + QString::fromUtf8(catalogue);
        const Catalogue korean = readCatalogue(base + QStringLiteral("_ko.ts"));
        EXPECT_GT(korean.size(), 5u) << catalogue;
        for (const auto& [key, message] : korean) {
            // The Korean texts are the dialogs' own: shown exactly as written.
            const QString expected = message.translation.isEmpty() ? key.second : message.translation;
            EXPECT_EQ(expected, key.second) << catalogue << ": " << key.second.toStdString();
        }
        for (const char* language : languages) {
            SCOPED_TRACE(std::string(catalogue) + "_" + language);
            const Catalogue other
                = readCatalogue(base + QLatin1Char('_') + QLatin1String(language) + QStringLiteral(".ts"));
            EXPECT_EQ(other.size(), korean.size()) << "every text of the Korean catalogue, no more";
            for (const auto& [key, message] : other) {
                EXPECT_TRUE(korean.count(key)) << "not in the Korean catalogue: " << key.second.toStdString();
                EXPECT_TRUE(message.finished) << "unfinished: " << key.second.toStdString();
                EXPECT_FALSE(message.translation.isEmpty()) << "untranslated: " << key.second.toStdString();
                // A placeholder or an accelerator lost in translation loses
                // the version number or the shortcut.
                for (const QString& mark : {QStringLiteral("%1"), QStringLiteral("&")})
                    EXPECT_EQ(message.translation.count(mark), key.second.count(mark))
                        << key.second.toStdString() << " -> " << message.translation.toStdString();
            }
        }
    }
}

TEST(Translations, TheLocaleChoosesTheDialogsLanguage)
{
    const struct {
        const char* locale;
        const char* quality;
        const char* about;
        const char* qtCancel;
    } cases[] = {
        {"ko_KR.UTF-8", "품질 설정", "zevConverter 정보", "취소"},
        {"en_US.UTF-8", "Quality Settings", "About zevConverter", "Cancel"},
        {"ja_JP.UTF-8", "品質設定", "zevConverter について", "キャンセル"},
        {"zh_CN.UTF-8", "质量设置", "关于 zevConverter", "取消"},
        {"zh_TW.UTF-8", "品質設定", "關於 zevConverter", "取消"},
        // A language the suite does not have leaves the texts as written, Qt's too.
        {"de_DE.UTF-8", "품질 설정", "zevConverter 정보", "취소"},
    };
    const std::string savedLanguage = std::getenv("LC_ALL") ? std::getenv("LC_ALL") : "";
    for (const auto& each : cases) {
        SCOPED_TRACE(each.locale);
        ::setenv("LC_ALL", each.locale, 1);
        const folyant::QtTranslations converter(QStringLiteral("converter"));
        const folyant::QtTranslations docconverter(QStringLiteral("docconverter"));
        const folyant::converter::CQualityDlg quality;
        EXPECT_EQ(quality.windowTitle().toStdString(), each.quality);
        const folyant::docconverter::CAboutDlg about;
        EXPECT_EQ(about.windowTitle().toStdString(), each.about);
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel").toStdString(), each.qtCancel);
    }
    ::setenv("LC_ALL", savedLanguage.c_str(), 1);
}

} // namespace
