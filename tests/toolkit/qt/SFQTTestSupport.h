// What the toolkit's Qt tests share: the widget behind a control and creation in one expression.
#pragma once

#include "toolkit/SFControls.h"

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
