#pragma once

#include <QDialog>

class QButtonGroup;
class QLineEdit;
class QRadioButton;

namespace folyant {
class MessageBox;
} // namespace folyant

namespace folyant::converter {
}

namespace folyant::converter {

// "용지 설정": the job's own page size or a custom one in millimetres.
class CPaperDlg final : public QDialog {
    Q_OBJECT
public:
    CPaperDlg(MessageBox& messages, QWidget* parent = nullptr);
    int m_paperMode = 0; // 0 the job's own size, 1 custom, -1 neither
    unsigned m_width = 0;
    unsigned m_height = 0;
    int exec() override;
    void accept() override;

private:
    MessageBox& m_messages;
    QButtonGroup* m_group = nullptr;
    QRadioButton* m_ownSize = nullptr;
    QRadioButton* m_customSize = nullptr;
    QLineEdit* m_widthEdit = nullptr;
    QLineEdit* m_heightEdit = nullptr;
};

} // namespace folyant::converter
