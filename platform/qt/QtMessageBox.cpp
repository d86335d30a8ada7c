#include "platform/qt/QtMessageBox.h"

#include "platform/TerminationWatch.h"

#include <QApplication>
#include <QMessageBox>

#include <utility>

namespace folyant {

namespace {

QMessageBox::StandardButtons standardButtons(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::Ok:
        return QMessageBox::Ok;
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton standardButton(MessageAnswer answer)
{
    switch (answer) {
    case MessageAnswer::Ok:
        return QMessageBox::Ok;
    case MessageAnswer::Cancel:
        return QMessageBox::Cancel;
    case MessageAnswer::Yes:
        return QMessageBox::Yes;
    case MessageAnswer::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon qtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::None:
        return QMessageBox::NoIcon;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Stop:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

MessageAnswer answerFor(int button)
{
    switch (button) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    default:
        return MessageAnswer::Ok;
    }
}

} // namespace

QtMessageBox::QtMessageBox(std::string programCaption, bool unattended)
    : m_caption(std::move(programCaption))
    , m_unattended(unattended)
    , m_standardError(m_caption)
{
}

MessageAnswer QtMessageBox::show(const std::string& text, MessageButtons buttons, MessageIcon icon,
    MessageAnswer defaultAnswer, const std::string& caption)
{
    // Once the process is asked to end, nobody is left to answer: a box
    // would keep it from ending.
    if (m_unattended || TerminationWatch::requestedInProcess())
        return m_standardError.show(text, buttons, icon, defaultAnswer, caption);
    const std::string& title = caption.empty() ? m_caption : caption;
    QMessageBox box(qtIcon(icon), QString::fromStdString(title), QString::fromStdString(text),
        standardButtons(buttons), QApplication::activeWindow());
    box.setDefaultButton(standardButton(defaultAnswer));
    return answerFor(box.exec());
}

} // namespace folyant
