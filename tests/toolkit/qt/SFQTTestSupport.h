// What the toolkit's Qt tests share: the widget behind a control and creation in one expression.
#pragma once

#include "toolkit/SFControls.h"
#include "toolkit/SFFactory.h"

#include <QPointer>
#include <QTest>
#include <QWidget>

#include <utility>

// The Qt widget a control is.
inline QWidget* W(CSFControl* c) {
    return static_cast<QWidget*>(c->GetUIWnd());
}

// The control after Create(args...), so that a test makes and places a control in one step.
template <class Control, class... Args>
Control* Made(Control* c, Args&&... args) {
    c->Create(std::forward<Args>(args)...);
    return c;
}

// The contract every control kind keeps, for create(style, rectangle, parent) making one
// sink-less: Create honours the visible bit, MoveWindow takes width and height (a null rectangle
// is ignored), ShowWindow and EnableWindow act, SFDestroyControl deletes the whole widget.
template <class Create>
void ExpectCommonContract(Create create) {
    QWidget parent;
    parent.show();
    const tagRECT r{4, 6, 104, 36};
    CSFControl* hidden = create(0, &r, &parent);
    QVERIFY(hidden != nullptr);
    QVERIFY(!W(hidden)->isVisible());
    QCOMPARE(W(hidden)->parentWidget(), &parent);
    QCOMPARE(W(hidden)->geometry(), QRect(4, 6, 100, 30));
    QCOMPARE(hidden->ShowWindow(1), 1);
    QVERIFY(W(hidden)->isVisible());
    hidden->MoveWindow(1, 2, 50, 20);
    QCOMPARE(W(hidden)->geometry(), QRect(1, 2, 50, 20));
    hidden->MoveWindow(static_cast<const tagRECT*>(nullptr));
    QCOMPARE(W(hidden)->geometry(), QRect(1, 2, 50, 20));
    hidden->EnableWindow(0);
    QVERIFY(!W(hidden)->isEnabled());
    CSFControl* shown = create(SF_WS_VISIBLE, &r, &parent);
    QVERIFY(W(shown)->isVisible());
    QPointer<QWidget> gone(W(shown));
    SFDestroyControl(shown);
    QVERIFY(gone.isNull());
    SFDestroyControl(hidden);
}
