#include "platform/qt/QtTranslations.h"

#include "platform/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace folyant {

namespace {
// Qt names its catalogues by region where the suite names the script.
QString qtCatalogueLanguage(std::string_view language)
{
    if (language == "zh_Hans")
        return QStringLiteral("zh_CN");
    if (language == "zh_Hant")
        return QStringLiteral("zh_TW");
    return QString::fromUtf8(language.data(), static_cast<qsizetype>(language.size()));
}
} // namespace

QtTranslations::QtTranslations(const QString& catalogue)
{
    const std::string_view language = language::kLanguages[language::userLanguage()];
    if (m_own.load(QStringLiteral(":/i18n/") + catalogue + QLatin1Char('_')
            + QString::fromUtf8(language.data(), static_cast<qsizetype>(language.size()))))
        QCoreApplication::installTranslator(&m_own);
    if (m_qt.load(QStringLiteral("qtbase_") + qtCatalogueLanguage(language),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&m_qt);
}

QtTranslations::~QtTranslations()
{
    QCoreApplication::removeTranslator(&m_qt);
    QCoreApplication::removeTranslator(&m_own);
}

} // namespace folyant
