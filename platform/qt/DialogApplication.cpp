#include "platform/qt/DialogApplication.h"

namespace folyant {

DialogApplication::DialogApplication(
    char* programPath, const std::string& programName, const QString& catalogue)
    : m_argv{programPath, nullptr}
    , m_application(m_argc, m_argv)
    , m_translations(catalogue)
{
    QApplication::setApplicationName(QString::fromStdString(programName));
}

} // namespace folyant
