#pragma once

#include "platform/qt/QtTranslations.h"

#include <QApplication>

#include <string>

namespace folyant {

// The application of a program's window, for as long as this lives. The
// command line is the program's alone: Qt sees only the program's path. Its
// dialogs speak the language of the messages the program writes itself.
class DialogApplication {
public:
    DialogApplication(char* programPath, const std::string& programName, const QString& catalogue);
    DialogApplication(const DialogApplication&) = delete;
    DialogApplication& operator=(const DialogApplication&) = delete;

private:
    int m_argc = 1;
    char* m_argv[2];
    QApplication m_application;
    QtTranslations m_translations;
};

} // namespace folyant
