// The DU2ROR dialog on Qt's offscreen platform, with the real interpreter.
#include "converter/core/StringTable.h"
#include "converter/gui/CDu2RorDlg.h"
#include "converter/gui/CPercentProgressCtrl.h"
#include "installation/MachineSettings.h"
#include "platform/Platform.h"
#include "platform/TerminationWatch.h"
#include "platform/qt/QtFileDialogs.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>

using namespace folyant;
using namespace folyant::converter;
using folyant::test::TempFolder;

namespace {

class DialogTest : public ::testing::Test {
protected:
    ConversionJob jobFor(const std::string& source)
    {
        ConversionJob job;
        job.outputPath = folder.file("out.pdf");
        job.sourcePath = source;
        return job;
    }

    // Runs the event loop until the dialog has nothing left to convert.
    void waitForEnd(CDu2RorDlg& dialog)
    {
        for (int turns = 0; dialog.isConverting() && turns < 1000000; ++turns)
            QApplication::processEvents();
        QApplication::processEvents();
    }

    template <typename T> T* control(CDu2RorDlg& dialog, int id)
    {
        return dialog.findChild<T*>(QString::number(id));
    }

    TempFolder folder;
    IniMachineSettings machine{std::string(FOLYANT_DEV_SYSCONF) + "/Quorvale/Folyant Velmo.conf"};
    test::RecordingProfile profile;
    test::RecordingMessageBox messages;
    test::RecordingShell shell;
    XdgEmail mail;
    test::RecordingFileDialogs files;
    Platform platform{machine, profile, messages, shell, mail, files, false};
};

TEST_F(DialogTest, ConvertsRunsTheChainAndClosesWithoutSaving)
{
    auto job = jobFor(test::dataFile("acrobat6-win-word-12p.ps"));
    job.showRequested = true;
    CDu2RorDlg dialog(job, platform);
    dialog.OnInitDialog();
    dialog.show();
    ASSERT_TRUE(dialog.isConverting());
    waitForEnd(dialog);

    EXPECT_FALSE(dialog.isVisible()) << "the close flag defaults to 1";
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(profile.writes.empty());
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_EQ(shell.opened, std::vector<std::string>{job.outputPath});
    EXPECT_EQ(test::pdfPageCount(job.outputPath), 12);
    EXPECT_EQ(control<CPercentProgressCtrl>(dialog, 1021)->GetPos(), 300);
    EXPECT_EQ(control<QLabel>(dialog, 1004)->text().toStdString(), job.outputPath);
    EXPECT_EQ(control<QLabel>(dialog, 1002)->text(), QStringLiteral("99"));
}

TEST_F(DialogTest, StaysOpenWithoutCloseFlagAndExitSavesFiveValues)
{
    profile.values["CloseAfterProcess"] = 0;
    CDu2RorDlg dialog(jobFor(test::dataFile("cups-testfile.ps")), platform);
    dialog.OnInitDialog();
    dialog.show();
    auto* exit = control<QPushButton>(dialog, 1005);
    QApplication::processEvents();
    waitForEnd(dialog);

    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(exit->isEnabled());
    EXPECT_EQ(control<CPercentProgressCtrl>(dialog, 1021)->GetPos(), 300);
    EXPECT_FALSE(control<QCheckBox>(dialog, 1007)->isChecked());

    exit->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(profile.writes,
        (std::vector<std::string>{"CloseAfterProcess", "Quality", "PaperSize", "PaperW", "PaperH"}));
    EXPECT_EQ(profile.values["CloseAfterProcess"], 0);
}

TEST_F(DialogTest, UntickingCloseDuringTheRunKeepsTheDialogOpen)
{
    CDu2RorDlg dialog(jobFor(test::dataFile("acrobat6-win-word-12p.ps")), platform);
    dialog.OnInitDialog();
    dialog.show();
    dialog.FeedStep();
    EXPECT_FALSE(control<QPushButton>(dialog, 1005)->isEnabled()) << "no leaving by 종료 mid-run";
    control<QCheckBox>(dialog, 1007)->click();
    waitForEnd(dialog);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(control<QPushButton>(dialog, 1005)->isEnabled());
}

TEST_F(DialogTest, BarShowsThePercentageMidRun)
{
    CDu2RorDlg dialog(jobFor(test::dataFile("acrobat6-win-word-12p.ps")), platform);
    dialog.OnInitDialog();
    dialog.show(); // no events processed: the timer must not run the job to its end
    dialog.FeedStep();
    auto* bar = control<CPercentProgressCtrl>(dialog, 1021);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetPos(), 65535 * 300 / 101976);
    EXPECT_EQ(bar->displayText(), "64%");
    const QImage shot = dialog.grab().toImage();
    EXPECT_TRUE(shot.save(QStringLiteral(FOLYANT_TEST_ARTEFACTS "/dialog-mid-run.png")));
    const QPoint inFilledPart = bar->mapTo(&dialog, QPoint(2, bar->height() / 2));
    EXPECT_EQ(
        shot.pixelColor(inFilledPart * shot.devicePixelRatio()), bar->palette().color(QPalette::Highlight));
    dialog.CancelJob();
}

TEST_F(DialogTest, CancelMidRunDeletesWhatItWrote)
{
    const auto job = jobFor(test::dataFile("acrobat6-win-word-12p.ps"));
    CDu2RorDlg dialog(job, platform);
    EXPECT_FALSE(control<QPushButton>(dialog, 1006)->isEnabled()) << "nothing to cancel before a run";
    test::writeFile(job.outputPath, "an earlier PDF");
    dialog.OnInitDialog();
    dialog.FeedStep();
    ASSERT_EQ(test::filesBelow(folder.path()).size(), 2u) << "the PDF is written beside the output";
    EXPECT_TRUE(control<QPushButton>(dialog, 1006)->isEnabled());

    control<QPushButton>(dialog, 1006)->click();
    EXPECT_FALSE(dialog.isConverting());
    EXPECT_EQ(test::filesBelow(folder.path()), std::vector<std::string>{"out.pdf"});
    EXPECT_EQ(test::readFile(job.outputPath), "an earlier PDF") << "what was there stays";
    EXPECT_TRUE(control<QPushButton>(dialog, 1005)->isEnabled());
    EXPECT_FALSE(control<QPushButton>(dialog, 1006)->isEnabled()) << "nothing left to cancel";
    dialog.FeedStep();
    EXPECT_EQ(test::filesBelow(folder.path()).size(), 1u) << "a later tick does nothing";
}

TEST_F(DialogTest, TheAmountFieldHoldsLargeNumbers)
{
    CDu2RorDlg dialog(jobFor(test::dataFile("cups-testfile.ps")), platform);
    auto* amount = control<QLabel>(dialog, 1002);
    for (const char* shown : {"14591", "99999999"})
        EXPECT_LE(amount->fontMetrics().horizontalAdvance(QString::fromLatin1(shown)), amount->width())
            << shown;
}

TEST_F(DialogTest, ClosingMidRunCancelsLikeTheButton)
{
    const auto job = jobFor(test::dataFile("acrobat6-win-word-12p.ps"));
    CDu2RorDlg dialog(job, platform);
    dialog.OnInitDialog();
    dialog.show();
    dialog.FeedStep();
    dialog.close();
    EXPECT_FALSE(dialog.isConverting());
    EXPECT_FALSE(test::fileExists(job.outputPath));
    EXPECT_TRUE(profile.writes.empty());
}

TEST_F(DialogTest, WithoutValueWordsOrWithAMissingSourceNothingHappens)
{
    {
        CDu2RorDlg dialog(ConversionJob{}, platform);
        dialog.OnInitDialog();
        EXPECT_FALSE(dialog.isConverting());
    }
    CDu2RorDlg dialog(jobFor(folder.file("missing.ps")), platform);
    dialog.OnInitDialog();
    EXPECT_FALSE(dialog.isConverting());
    EXPECT_EQ(control<QLabel>(dialog, 1004)->text().toStdString(), folder.file("out.pdf"));
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_FALSE(test::fileExists(folder.file("out.pdf")));
}

TEST_F(DialogTest, BrokenInstallationShowsThreeBoxesAndStillConverts)
{
    IniMachineSettings missing(folder.file("absent.conf"));
    Platform broken{missing, profile, messages, shell, mail, files, false};
    const auto job = jobFor(test::dataFile("cups-testfile.ps"));
    CDu2RorDlg dialog(job, broken);
    dialog.OnInitDialog();
    EXPECT_EQ(messages.texts, std::vector<std::string>(3, "Invalid Installation."));
    waitForEnd(dialog);
    EXPECT_EQ(test::pdfPageCount(job.outputPath), 1) << "the interpreter's own resources serve";
}

TEST_F(DialogTest, AboutCommandOpensTheAboutBox)
{
    CDu2RorDlg dialog(ConversionJob{}, platform);
    QString seen;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            seen = modal->windowTitle();
            modal->close();
        }
    });
    EXPECT_TRUE(dialog.OnCommand(CDu2RorDlg::kCommandAbout));
    EXPECT_EQ(seen, QStringLiteral("Folyant 정보"));
    EXPECT_FALSE(dialog.OnCommand(4242));
}

TEST_F(DialogTest, TerminationEndsAnOpenFileDialogAndTheRun)
{
    QtFileDialogs realFiles;
    Platform withDialogs{machine, profile, messages, shell, mail, realFiles, false};
    CDu2RorDlg dialog(ConversionJob{}, withDialogs);
    TerminationWatch termination;
    dialog.setTerminationWatch(&termination);
    dialog.show();
    bool fileDialogSeen = false;
    bool stuck = false;
    QTimer::singleShot(50, [&] {
        fileDialogSeen = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()) != nullptr;
        ::raise(SIGTERM);
    });
    // Should the dialog stay up, the test must still end.
    QTimer::singleShot(10000, [&] {
        while (QWidget* modal = QApplication::activeModalWidget()) {
            stuck = true;
            modal->close();
        }
    });
    dialog.OnCommand(CDu2RorDlg::kCommandOpenAndConvert);
    EXPECT_TRUE(fileDialogSeen);
    EXPECT_FALSE(stuck) << "the file dialog stayed up after SIGTERM";
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(termination.wasRequested());
}

} // namespace
