#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace folyant::test {

// Runs action on the modal window once it is open (the caller then enters
// its modal loop).
inline void whenModal(std::function<void(QWidget*)> action, QWidget* notThis = nullptr)
{
    QTimer::singleShot(10, [action = std::move(action), notThis] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == notThis) {
            whenModal(action, notThis);
            return;
        }
        action(modal);
    });
}

// The control with a dialog id below parent.
template <typename T> T* child(QWidget* parent, int id)
{
    return parent->findChild<T*>(QString::number(id));
}

} // namespace folyant::test
