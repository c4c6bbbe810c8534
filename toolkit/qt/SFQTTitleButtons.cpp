#include "toolkit/qt/SFQTTitleButtons.h"

#include <QPainter>
#include <QWidget>

void CSFQTTitleButtons::ReadSkin(const DialogStyle& style, int frameWidth) {
    // The record lists the rectangles for buttons 4, 3, 2, 1 and the images for 1, 3, 2, 4.
    static constexpr SFTitleButton kRectOrder[4] = {SFTitleButton::Custom, SFTitleButton::Minimize,
                                                    SFTitleButton::MaximizeRestore,
                                                    SFTitleButton::Close};
    static constexpr SFTitleButton kImageOrder[4] = {SFTitleButton::Close, SFTitleButton::Minimize,
                                                     SFTitleButton::MaximizeRestore,
                                                     SFTitleButton::Custom};
    for (int k = 0; k < 4; ++k) {
        Button& rectButton = Of(kRectOrder[k]);
        rectButton.position = SFParseSkinRect(style.buttonPositions[k]);
        Button& imageButton = Of(kImageOrder[k]);
        for (int s = 0; s < 3; ++s) {
            rectButton.states[s] = SFParseSkinRect(style.buttonStateRects[k * 3 + s]);
            imageButton.images[s] = SFLoadSkinImage(style.buttonImages[k * 3 + s]);
        }
    }
    m_skinWidth = frameWidth;
    m_active = SFTitleButton::None;
    m_state = SFTitleButtonState::Normal;
}

QRect CSFQTTitleButtons::Rect(SFTitleButton button, int frameWidth) const {
    if (button == SFTitleButton::None || !Of(button).Exists()) {
        return QRect();
    }
    const QRect& p = Of(button).position;
    if (p.x() < 0) {
        return SFResolveSkinPosition(p, frameWidth);
    }
    return p.translated(frameWidth - m_skinWidth, 0);
}

SFTitleButton CSFQTTitleButtons::At(const QPoint& framePos, int frameWidth) const {
    for (const SFTitleButton b : kAll) {
        if (Rect(b, frameWidth).contains(framePos)) {
            return b;
        }
    }
    return SFTitleButton::None;
}

SFTitleButtonState CSFQTTitleButtons::State(SFTitleButton button) const {
    return (button != SFTitleButton::None && button == m_active) ? m_state
                                                                 : SFTitleButtonState::Normal;
}

void CSFQTTitleButtons::Set(SFTitleButton button, SFTitleButtonState state) {
    if (button == SFTitleButton::None) {
        state = SFTitleButtonState::Normal;
    }
    const SFTitleButton active = state == SFTitleButtonState::Normal ? SFTitleButton::None : button;
    if (active == m_active && state == m_state) {
        return;
    }
    m_active = active;
    m_state = state;
    m_owner->update();
}

bool CSFQTTitleButtons::Press(const QPoint& framePos, int frameWidth) {
    const SFTitleButton under = At(framePos, frameWidth);
    if (under == SFTitleButton::None) {
        return false;
    }
    Set(under, SFTitleButtonState::Pressed);
    return true;
}

SFTitleButton CSFQTTitleButtons::Move(const QPoint& framePos, int frameWidth) {
    if (m_state == SFTitleButtonState::Pressed) {
        return SFTitleButton::None;  // the pressed button keeps its picture until the release
    }
    const SFTitleButton under = At(framePos, frameWidth);
    Set(under, SFTitleButtonState::Hover);
    return under;
}

SFTitleButton CSFQTTitleButtons::Release(const QPoint& framePos, int frameWidth) {
    if (m_state != SFTitleButtonState::Pressed) {
        return SFTitleButton::None;
    }
    const SFTitleButton pressed = m_active;
    const SFTitleButton under = At(framePos, frameWidth);
    Set(under, SFTitleButtonState::Hover);
    return under == pressed ? pressed : SFTitleButton::None;
}

void CSFQTTitleButtons::Leave() {
    if (m_state != SFTitleButtonState::Pressed) {
        Set(SFTitleButton::None, SFTitleButtonState::Normal);
    }
}

void CSFQTTitleButtons::Reset() {
    m_active = SFTitleButton::None;
    m_state = SFTitleButtonState::Normal;
}

void CSFQTTitleButtons::Paint(QPainter& painter, const QPoint& origin, int frameWidth,
                              const QPixmap& frameImage) const {
    for (const SFTitleButton b : kAll) {
        const Button& button = Of(b);
        if (!button.Exists()) {
            continue;
        }
        const int state = static_cast<int>(State(b));
        const QRect target = Rect(b, frameWidth).translated(origin);
        if (!button.images[0].isNull()) {
            painter.drawPixmap(
                target, button.images[state].isNull() ? button.images[0] : button.images[state]);
        } else if (!frameImage.isNull()) {
            QRect src = button.states[state];
            if (src.width() <= 0 || src.height() <= 0) {
                src = button.states[0];
            }
            if (src.width() > 0 && src.height() > 0) {
                painter.drawPixmap(target, frameImage, SFSkinSourceRect(frameImage, src));
            }
        }
    }
}
