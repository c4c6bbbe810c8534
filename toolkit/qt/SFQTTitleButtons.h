#pragma once
// The four title-bar buttons of a skinned window: where they sit, which one the pointer hovers
// or presses, and how each state is drawn. Button 1 closes the window, 2 maximises or restores
// it, 3 minimises it (restores a maximised one), 4 has no built-in action; a button whose skin
// position is empty does not exist. At most one button is active (hovered or pressed) at a time.
//
// Coordinates are the frame's (the window's minus the shadow band). Positions follow the right
// edge: a negative x counts from it, a positive one shifts by how much the frame grew since the
// skin was read. GUI thread only.
#include "toolkit/SFSkin.h"

#include <QPixmap>
#include <QRect>

class QPainter;
class QWidget;

enum class SFTitleButton { None = 0, Close = 1, MaximizeRestore = 2, Minimize = 3, Custom = 4 };
enum class SFTitleButtonState { Normal = 0, Hover = 1, Pressed = 2 };

class CSFQTTitleButtons {
public:
    // `owner` is repainted whenever a button's state changes.
    explicit CSFQTTitleButtons(QWidget* owner) : m_owner(owner) {}

    // Reads the 12 state rectangles, 4 positions and 12 images of the record (each group in its
    // own button order) for a frame `frameWidth` wide; every button returns to normal.
    void ReadSkin(const DialogStyle& style, int frameWidth);

    // The button's rectangle for a frame `frameWidth` wide; empty when it does not exist.
    QRect Rect(SFTitleButton button, int frameWidth) const;
    SFTitleButton At(const QPoint& framePos, int frameWidth) const;
    SFTitleButtonState State(SFTitleButton button) const;

    // The pointer's story. Press: the button under it becomes pressed (true), or nothing
    // (false). Move: the button under it is hovered and returned, unless one is held pressed
    // (None then: the pressed one keeps its picture until the release). Release: a press released
    // on its own button returns that button for its action (it is hovered again); released
    // elsewhere, nothing acts.
    bool Press(const QPoint& framePos, int frameWidth);
    SFTitleButton Move(const QPoint& framePos, int frameWidth);
    SFTitleButton Release(const QPoint& framePos, int frameWidth);
    // The pointer left the window (a pressed button keeps its picture) / the window was hidden.
    void Leave();
    void Reset();

    // Draws every existing button at `origin` + its rectangle: its own image for the state
    // (the normal one when the state has none), or without images its state rectangle cut
    // from `frameImage`.
    void Paint(QPainter& painter, const QPoint& origin, int frameWidth,
               const QPixmap& frameImage) const;

private:
    struct Button {
        QRect position;  // as given by the skin (negative x: from the right edge)
        QRect states[3];
        QPixmap images[3];
        bool Exists() const { return !position.isEmpty(); }
    };
    static constexpr SFTitleButton kAll[4] = {SFTitleButton::Close, SFTitleButton::MaximizeRestore,
                                              SFTitleButton::Minimize, SFTitleButton::Custom};

    const Button& Of(SFTitleButton button) const { return m_buttons[static_cast<int>(button) - 1]; }
    Button& Of(SFTitleButton button) { return m_buttons[static_cast<int>(button) - 1]; }
    void Set(SFTitleButton button, SFTitleButtonState state);

    QWidget* m_owner;
    Button m_buttons[4];
    int m_skinWidth = 0;  // frame width when the skin was read
    SFTitleButton m_active = SFTitleButton::None;
    SFTitleButtonState m_state = SFTitleButtonState::Normal;
};
