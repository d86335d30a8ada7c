#pragma once

#include <QDialog>

namespace folyant::docconverter {

// Dialog 100: the program's name and version.
class CAboutDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace folyant::docconverter
