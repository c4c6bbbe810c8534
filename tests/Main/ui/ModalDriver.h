#pragma once
// Drives the modal windows of the program from a test: the next modal window that opens is
// handed to a callback (which reads it and closes it with simulated input) instead of blocking
// the test. GUI thread only.
#include <QApplication>
#include <QLabel>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace uitest {

// The texts of every visible label of a window, in child order.
inline QStringList VisibleTexts(QWidget* window) {
    QStringList texts;
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->isVisible() && !label->text().isEmpty()) texts << label->text();
    }
    return texts;
}

// Calls answer(window) once, for the first modal window that is active within timeoutMs; polls
// every few milliseconds from the event loop the modal run itself spins. The callback must
// close the window (a key press, a click). Returns a flag that becomes true once it ran.
inline std::shared_ptr<bool> AnswerNextModal(std::function<void(QWidget*)> answer,
                                             int timeoutMs = 5000) {
    auto answered = std::make_shared<bool>(false);
    auto* timer = new QTimer(qApp);
    auto waited = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        *waited += 5;
        if (modal != nullptr && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            *answered = true;
            answer(modal);
        } else if (*waited > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(5);
    return answered;
}

}  // namespace uitest
