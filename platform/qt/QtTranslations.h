#pragma once

#include <QString>
#include <QTranslator>

namespace folyant {

// A program's dialogs in the user's language (as the message tables choose
// it): its own catalogue from the resources (":/i18n/CATALOGUE_LANGUAGE") and
// Qt's, for the standard buttons and file dialogs. Installed while this lives.
class QtTranslations {
public:
    explicit QtTranslations(const QString& catalogue);
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

private:
    QTranslator m_own;
    QTranslator m_qt;
};

} // namespace folyant
