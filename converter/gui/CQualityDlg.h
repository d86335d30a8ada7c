#pragma once

#include <QDialog>

class QComboBox;

namespace folyant::converter {

// "품질 설정": the quality preset from a sorted list of three.
class CQualityDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CQualityDlg(QWidget* parent = nullptr);
    int m_quality = 0;
    int exec() override;
    void accept() override;

private:
    QComboBox* m_list = nullptr;
};

} // namespace folyant::converter
