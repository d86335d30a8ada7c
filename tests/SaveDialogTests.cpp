// The desktop agent's save dialog, off screen: adding a job to an existing
// PDF and combining the jobs that wait behind it.
#include "session/core/SaveChoice.h"
#include "session/gui/SaveDialog.h"
#include "tests/support/Modal.h"
#include "tests/support/TestSupport.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace folyant;
using folyant::test::TempFolder;

namespace {

session::SaveChoice proposedIn(const TempFolder& folder)
{
    session::SaveChoice proposed;
    proposed.folder = folder.path();
    proposed.name = "Minutes.pdf";
    return proposed;
}

TEST(SaveDialog, AddToTakesAnExistingPdfAndTheOptionsAsSet)
{
    TempFolder folder;
    const std::string previous = folder.file("Week 49.pdf");
    test::writeFile(previous, "%PDF-1.7\n");
    session::SaveDialog dialog(
        proposedIn(folder), QStringLiteral("Minutes"), QString::fromStdString(previous));
    auto* addTo = dialog.findChild<QPushButton*>(QStringLiteral("addTo"));
    ASSERT_NE(addTo, nullptr);
    EXPECT_EQ(addTo->text(), QStringLiteral("기존 PDF에 추가…"));
    EXPECT_FALSE(dialog.findChild<QCheckBox*>(QStringLiteral("combine"))->isVisibleTo(&dialog))
        << "nothing waits to be combined";
    dialog.findChild<QCheckBox*>(QStringLiteral("open"))->setChecked(true);

    ASSERT_TRUE(dialog.addTo(QString::fromStdString(previous)));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const session::SaveChoice& choice = dialog.choice();
    EXPECT_EQ(choice.path(), previous) << "the combined PDF takes the old one's place";
    EXPECT_EQ(choice.appendTo, previous);
    EXPECT_TRUE(choice.openAfterSaving);
    EXPECT_EQ(session::converterWords(choice).visible,
        (std::vector<std::string>{previous, "/showpdf", "/append", previous}));
    EXPECT_EQ(test::readFile(previous), "%PDF-1.7\n") << "the dialog writes nothing";
}

TEST(SaveDialog, AddToRefusesWhatIsNoPdf)
{
    TempFolder folder;
    test::writeFile(folder.file("notes.pdf"), "just text\n");
    session::SaveDialog dialog(proposedIn(folder), QStringLiteral("Minutes"));
    QString said;
    test::whenModal([&said](QWidget* box) {
        said = static_cast<QMessageBox*>(box)->text();
        static_cast<QMessageBox*>(box)->accept();
    });
    EXPECT_FALSE(dialog.addTo(QString::fromStdString(folder.file("notes.pdf"))));
    EXPECT_NE(said.indexOf(QStringLiteral("PDF가 아니어서 추가할 수 없습니다")), -1) << said.toStdString();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.choice().appendTo.empty());
}

TEST(SaveDialog, WaitingJobsCanBeCombinedIntoThePdfInTheirOrder)
{
    TempFolder folder;
    session::SaveDialog dialog(proposedIn(folder), QStringLiteral("Minutes"));
    auto* combine = dialog.findChild<QCheckBox*>(QStringLiteral("combine"));
    EXPECT_FALSE(combine->isVisibleTo(&dialog));
    dialog.setWaitingJobs(2); // printed while the dialog is open
    ASSERT_TRUE(combine->isVisibleTo(&dialog));
    EXPECT_NE(combine->text().indexOf(QStringLiteral("2")), -1);
    EXPECT_FALSE(dialog.combinesWaitingJobs()) << "only when asked";
    combine->setChecked(true);
    dialog.findChild<QGroupBox*>(QStringLiteral("protect"))->setChecked(true);
    dialog.findChild<QLineEdit*>(QStringLiteral("userPassword"))->setText(QStringLiteral("sesame"));
    dialog.findChild<QCheckBox*>(QStringLiteral("mail"))->setChecked(true);
    dialog.accept();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.combinesWaitingJobs());

    const auto choices = session::combinedChoices(dialog.choice(), 3);
    ASSERT_EQ(choices.size(), 3u);
    const std::string pdf = folder.file("Minutes.pdf");
    const struct {
        std::vector<std::string> visible;
        bool hidden;
    } expected[] = {
        {{pdf}, false},
        {{pdf, "/append", pdf}, false},
        // The last job protects and mails the whole PDF.
        {{pdf, "/emailpdf", "/append", pdf}, true},
    };
    for (std::size_t i = 0; i < choices.size(); ++i) {
        const auto words = session::converterWords(choices[i]);
        EXPECT_EQ(words.visible, expected[i].visible) << i;
        EXPECT_EQ(!words.hidden.empty(), expected[i].hidden) << i;
    }
    EXPECT_TRUE(session::combinedChoices(dialog.choice(), 1).front().protect) << "one job keeps all it asked";
}

} // namespace
