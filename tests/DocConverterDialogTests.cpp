// The document converter's dialogs on Qt's offscreen platform, with the real
// interpreter and a settings file of the test's own.
#include "docconverter/gui/CDocConverterDlg.h"
#include "docconverter/gui/CHwpViewerPathDlg.h"
#include "installation/MachineSettings.h"
#include "platform/Shell.h"
#include "platform/WordProcessorFonts.h"
#include "tests/support/Modal.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

using namespace folyant;
using namespace folyant::docconverter;
using folyant::test::child;
using folyant::test::TempFolder;
using folyant::test::whenModal;

namespace {

class DocDialogTest : public ::testing::Test {
protected:
    DocDialogTest()
    {
        std::filesystem::create_directories(settings.file("Quorvale"));
        test::writeFile(machinePath(), test::developmentMachineSettings());
    }
    std::string machinePath() const { return settings.file("Quorvale/Folyant Velmo.conf"); }
    void fill(CDocConverterDlg& dialog, const std::string& document, const std::string& pdf)
    {
        child<QLineEdit>(&dialog, 1002)->setText(QString::fromStdString(document));
        child<QLineEdit>(&dialog, 1005)->setText(QString::fromStdString(pdf));
    }

    TempFolder folder;
    TempFolder settings;
    IniMachineSettings machine{machinePath()};
    test::RecordingMessageBox messages;
    test::RecordingShell shell;
    test::RecordingFileDialogs files;
    test::RecordingDestination destinations;
    IniWordProcessorFonts fonts{settings.file("HNC/Shared.conf")};
    DocPlatform platform{machine, messages, shell, files, destinations, fonts};
};

TEST_F(DocDialogTest, ControlsMenusAndAScreenshot)
{
    CDocConverterDlg dialog(platform);
    dialog.OnInitDialog();
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Folyant Velmo");
    EXPECT_TRUE(messages.texts.empty()) << "a complete installation and no HwpvwPath show nothing";

    const std::map<int, QString> buttons{
        {1003, "..."}, {1004, "..."}, {1008, "보기"}, {1014, "작업시작"}, {1006, "보기"}, {1, "닫기"}};
    for (const auto& [id, text] : buttons) {
        auto* button = child<QPushButton>(&dialog, id);
        ASSERT_NE(button, nullptr) << id;
        EXPECT_EQ(button->text(), text) << id;
    }
    EXPECT_FALSE(child<QPushButton>(&dialog, 1006)->isVisible());
    EXPECT_FALSE(child<QPushButton>(&dialog, 1006)->isEnabled());
    EXPECT_FALSE(child<QPushButton>(&dialog, 1)->isVisible());
    EXPECT_TRUE(child<QPushButton>(&dialog, 1)->isDefault());
    ASSERT_NE(child<QLineEdit>(&dialog, 1002), nullptr);
    ASSERT_NE(child<QLineEdit>(&dialog, 1005), nullptr);
    EXPECT_FALSE(child<QLabel>(&dialog, 1025)->pixmap().isNull()) << "the banner";

    QStringList menus;
    for (QAction* menu : dialog.findChild<QMenuBar*>()->actions()) {
        QStringList items;
        for (QAction* item : menu->menu()->actions())
            items << item->text();
        menus << menu->text() + ": " + items.join(", ");
    }
    EXPECT_EQ(menus.join(" | "), "파일: 작업시작, 닫기 | 설정: 한/글 뷰어 경로 | 제품정보: Folyant Velmo은?");
    EXPECT_FALSE(dialog.OnCommand(12345));

    const QImage shot = dialog.grab().toImage();
    EXPECT_TRUE(shot.save(QStringLiteral(FOLYANT_TEST_ARTEFACTS "/docconverter-dialog.png")));

    files.openAnswer = folder.file("report.doc");
    dialog.OnBrowseDocument();
    EXPECT_EQ(child<QLineEdit>(&dialog, 1002)->text().toStdString(), folder.file("report.doc"));
    EXPECT_NE(files.filters.at(0).find("*.HWP"), std::string::npos);
    files.saveAnswer = folder.file("report.pdf");
    child<QLineEdit>(&dialog, 1002)->setText("typed, not taken");
    dialog.OnBrowsePdf();
    EXPECT_EQ(child<QLineEdit>(&dialog, 1005)->text().toStdString(), folder.file("report.pdf"));
    EXPECT_EQ(child<QLineEdit>(&dialog, 1002)->text().toStdString(), folder.file("report.doc"))
        << "both fields come from the stored paths";

    child<QPushButton>(&dialog, 1008)->click();
    EXPECT_EQ(shell.opened, std::vector<std::string>{folder.file("report.pdf")});
}

TEST_F(DocDialogTest, StartCommandRefusesConvertsAndShowsTheCompletedNames)
{
    CDocConverterDlg dialog(platform);
    dialog.setPrinter(test::printReadyPostScript);
    dialog.OnInitDialog();
    dialog.show();

    fill(dialog, "  " + test::dataFile("cups-testfile.ps"), " out ");
    EXPECT_EQ(dialog.OnStart(), StartOutcome::Refused);
    EXPECT_EQ(messages.texts, std::vector<std::string>{"'' 폴더가 존재하지 않습니다."});
    EXPECT_EQ(child<QLineEdit>(&dialog, 1005)->text(), "out.pdf") << "the completed name after a message";
    EXPECT_EQ(child<QLineEdit>(&dialog, 1002)->text().toStdString(), test::dataFile("cups-testfile.ps"));
    EXPECT_TRUE(child<QPushButton>(&dialog, 1014)->isEnabled()) << "ready for another try";

    messages.texts.clear();
    fill(dialog, "", folder.file("x"));
    EXPECT_EQ(dialog.OnStart(), StartOutcome::NothingToDo);
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_EQ(child<QLineEdit>(&dialog, 1005)->text().toStdString(), folder.file("x")) << "shown as typed";

    fill(dialog, test::dataFile("cups-testfile.ps"), folder.file("Report") + "  ");
    EXPECT_EQ(dialog.OnStart(), StartOutcome::Converted);
    EXPECT_EQ(messages.texts, std::vector<std::string>{kConverted});
    EXPECT_EQ(child<QLineEdit>(&dialog, 1005)->text().toStdString(), folder.file("Report.pdf"));
    EXPECT_EQ(test::pagesWithStamp(folder.file("Report.pdf"), 1), 1);
    EXPECT_FALSE(test::fileExists(folder.file("Report.tmp")));
}

TEST_F(DocDialogTest, ControlsAreDisabledAndClosingIgnoredWhileTheJobFeeds)
{
    CDocConverterDlg dialog(platform);
    dialog.setPrinter(test::printReadyPostScript);
    dialog.OnInitDialog();
    dialog.show();
    fill(dialog, test::dataFile("lo74-print-poi-15556-korean.ps"), folder.file("korean.pdf"));

    std::map<int, bool> enabledMidway;
    bool stillOpen = false;
    QTimer::singleShot(0, &dialog, [&] {
        for (const int id : {1002, 1003, 1004, 1005, 1006, 1008, 1014, 1})
            enabledMidway[id] = child<QWidget>(&dialog, id)->isEnabled();
        dialog.reject();
        dialog.OnCommand(CDocConverterDlg::kCommandClose);
        dialog.OnCommand(CDocConverterDlg::kCommandHwpViewerPath);
        stillOpen = dialog.isVisible() && dialog.isRunningJob();
    });
    EXPECT_EQ(dialog.OnStart(), StartOutcome::Converted);
    ASSERT_EQ(enabledMidway.size(), 8u) << "the timer ran while the job pumped";
    for (const auto& [id, enabled] : enabledMidway)
        EXPECT_FALSE(enabled) << id;
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(child<QPushButton>(&dialog, 1014)->isEnabled());
    EXPECT_TRUE(child<QPushButton>(&dialog, 1006)->isEnabled()) << "enabled again, and still hidden";
    EXPECT_FALSE(child<QPushButton>(&dialog, 1006)->isVisible());
    EXPECT_GT(test::pdfPageCount(folder.file("korean.pdf")), 0);
}

TEST_F(DocDialogTest, HwpViewerPathIsStoredOnOkAndOnCancel)
{
    CDocConverterDlg dialog(platform);
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.hwpViewerPath(), "");

    whenModal([this](QWidget* modal) {
        auto* edit = child<QLineEdit>(modal, 1021);
        EXPECT_EQ(edit->text(), "");
        edit->setText("  /opt/hnc/HwpView.exe ");
        const QImage shot = modal->grab().toImage();
        EXPECT_TRUE(shot.save(QStringLiteral(FOLYANT_TEST_ARTEFACTS "/docconverter-hwp-viewer-path.png")));
        child<QPushButton>(modal, 1)->click();
    });
    dialog.OnCommand(CDocConverterDlg::kCommandHwpViewerPath);
    EXPECT_EQ(dialog.hwpViewerPath(), "  /opt/hnc/HwpView.exe ") << "as typed, not trimmed";
    EXPECT_EQ(machine.readString("HwpvwPath", 65535), "  /opt/hnc/HwpView.exe ");

    machine.writeString("HwpvwPath", "changed behind the dialog's back");
    whenModal([](QWidget* modal) {
        child<QLineEdit>(modal, 1021)->setText("/not/taken");
        child<QPushButton>(modal, 2)->click();
    });
    dialog.OnCommand(CDocConverterDlg::kCommandHwpViewerPath);
    EXPECT_EQ(dialog.hwpViewerPath(), "  /opt/hnc/HwpView.exe ");
    EXPECT_EQ(machine.readString("HwpvwPath", 65535), "  /opt/hnc/HwpView.exe ") << "rewritten on Cancel";

    CDocConverterDlg again(platform);
    again.OnInitDialog();
    EXPECT_EQ(again.hwpViewerPath(), "  /opt/hnc/HwpView.exe ");
}

TEST_F(DocDialogTest, EnterAndEscapeDoWhatTheButtonsDefine)
{
    // Keys go to the widget with the focus.
    const auto press = [](QWidget* target, int key) {
        target->setFocus();
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &down);
    };
    // Enter in a field: the hidden default button "닫기", which ends with OK.
    CDocConverterDlg entered(platform);
    entered.OnInitDialog();
    entered.show();
    press(child<QLineEdit>(&entered, 1002), Qt::Key_Return);
    EXPECT_FALSE(entered.isVisible());
    EXPECT_EQ(entered.result(), QDialog::Accepted);

    CDocConverterDlg keypad(platform);
    keypad.OnInitDialog();
    keypad.show();
    press(child<QLineEdit>(&keypad, 1005), Qt::Key_Enter);
    EXPECT_EQ(keypad.result(), QDialog::Accepted);

    // Escape cancels.
    CDocConverterDlg escaped(platform);
    escaped.OnInitDialog();
    escaped.show();
    press(child<QLineEdit>(&escaped, 1002), Qt::Key_Escape);
    EXPECT_FALSE(escaped.isVisible());
    EXPECT_EQ(escaped.result(), QDialog::Rejected);

    // Enter on a push button with the focus presses that button.
    CDocConverterDlg focused(platform);
    focused.OnInitDialog();
    focused.show();
    files.saveAnswer = folder.file("chosen.pdf");
    press(child<QPushButton>(&focused, 1004), Qt::Key_Return);
    EXPECT_TRUE(focused.isVisible());
    EXPECT_EQ(child<QLineEdit>(&focused, 1005)->text().toStdString(), folder.file("chosen.pdf"));

    // While a job runs, neither key ends the dialog.
    CDocConverterDlg running(platform);
    running.setPrinter(test::printReadyPostScript);
    running.OnInitDialog();
    running.show();
    fill(running, test::dataFile("lo74-print-poi-15556-korean.ps"), folder.file("keys.pdf"));
    QTimer::singleShot(0, &running, [&] {
        press(child<QLineEdit>(&running, 1002), Qt::Key_Return);
        press(child<QLineEdit>(&running, 1002), Qt::Key_Escape);
    });
    EXPECT_EQ(running.OnStart(), StartOutcome::Converted);
    EXPECT_TRUE(running.isVisible());
}

TEST_F(DocDialogTest, BrokenInstallationIsToldWithTheErrorCaption)
{
    std::filesystem::remove(machinePath());
    CDocConverterDlg dialog(platform);
    dialog.OnInitDialog();
    EXPECT_EQ(messages.texts, std::vector<std::string>(3, "Invalid Installation."));
}

} // namespace
