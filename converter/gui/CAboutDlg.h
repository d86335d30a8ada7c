#pragma once

#include <QDialog>

namespace folyant::converter {

// "Folyant 정보": the program's icon, name and version.
class CAboutDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace folyant::converter
