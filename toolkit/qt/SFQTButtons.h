#pragma once
// Buttons: the push button and the radio box. Each derives from its Qt widget first and its
// abstract control second; the toolkit hands out the abstract part only. GUI thread only; a null
// sink is allowed everywhere and silences the control.
#include "toolkit/SFControls.h"
#include "toolkit/qt/SFQTCommon.h"

#include <QPushButton>
#include <QRadioButton>

// Button: press → BTN_OnLButtonDown, state pressed; release → state normal, BTN_OnLButtonUp,
// then Qt decides on a click; click → BTN_OnClicked(id), then a command (273, code 0, id) sent
// synchronously to the parent window's message map (ids 1 and 2 run its OK and Cancel paths).
// Enter → BTN_OnMouseMove, hovered; leave → BTN_OnMouseLeave, normal. Unskinned buttons keep
// Qt's look (and the application style sheet); skinned ones draw their state image and text.
class CSFQTButton final : public SFQt::CSFQTWidget<QPushButton, CSFButton> {
public:
    enum State { kHovered = 0, kPressed = 1, kNormal = 2 };

    explicit CSFQTButton(ISFButtonEvent* sink);
    int Create(const wchar_t* text, uint32_t style, const tagRECT* rect, void* parent,
               uint32_t id) override;
    int SetSkin(const ImageButtonStyle* style) override;
    void SetTextColor(SFCOLORREF color) override;
    void SetTextOffset(int dx, int dy) override;
    void SetTextAlign(int flags) override;
    void GetBTNWindowRect(tagRECT* rect) override;
    void SetTextSize(int pixelSize, int bold) override;
    void SetUnderline(int on) override;
    void TextAdjust(int dx, int dy) override { SetTextOffset(dx, dy); }

    int VisualState() const { return m_state; }

protected:
    QString ControlText() const override { return text(); }
    void SetControlText(const QString& t) override { setText(t); }
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void OnClicked();
    void SetState(int state);

    // The faces by name, each decoded when first drawn (Face): the hover, pressed and disabled
    // faces are seldom needed before the user points at the button, so start-up decodes none.
    const QPixmap& Face(int index) const;
    std::wstring m_faceNames[4];  // normal, hover, pressed, disabled
    mutable QPixmap m_images[4];
    mutable bool m_faceLoaded[4] = {};
    bool m_skinned = false;
    int m_state = kNormal;
    QColor m_textColor = SFQt::kText;
    QPoint m_textOffset;
    int m_align = SF_ALIGN_CENTER;
};

// Radio box: a release inside flips its own check mark on every click (also when it was
// checked) and reports RADIO_OnClicked(id, new state, point); SetCheck is silent. Keeping a
// group exclusive is the sink's business.
class CSFQTRadioBox final : public SFQt::CSFQTWidget<QRadioButton, CSFRadioBox> {
public:
    explicit CSFQTRadioBox(ISFRadioBoxEvent* sink);
    int Create(const wchar_t* text, uint32_t style, const tagRECT* rect, void* parent,
               uint32_t id) override;
    int SetSkin(const ImageRadioBox* style) override;
    void SetCheck(int check) override;
    int GetCheck() override { return m_checked ? 1 : 0; }
    void SetTextColor(SFCOLORREF normal) override;
    void SetSelectedTextColor(SFCOLORREF selected) override;
    void SetTextSize(int pixelSize) override;
    void SetTextOffset(int dx, int dy) override;
    void SetTextAlign(int flags) override;
    void SetIconOffset(int dx, int dy) override;
    void SetIconAlign(int flags) override { m_iconAlign = flags; }
    void SetBgColor(SFCOLORREF normal, SFCOLORREF selected) override;
    void SetBgRect(const tagRECT* rect) override;
    uint32_t GetRadioId() override { return m_id; }

protected:
    QString ControlText() const override { return text(); }
    void SetControlText(const QString& t) override {
        setText(t);
        update();
    }
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The faces by name, each decoded when first drawn (Face): a box shows one of them until
    // the user points at it, so start-up decodes only that one.
    const QPixmap& Face(int index) const;
    // checked, unchecked, checked hover, unchecked hover, disabled x2
    std::wstring m_faceNames[6];
    mutable QPixmap m_images[6];
    mutable bool m_faceLoaded[6] = {};
    bool m_skinned = false;
    bool m_checked = false;
    QColor m_textColor = SFQt::kTextMuted;
    QColor m_selectedTextColor;
    QColor m_bgColor;
    QColor m_selectedBgColor;
    QRect m_bgRect;
    QPoint m_textOffset;
    QPoint m_iconOffset;
    int m_textAlign = 0;  // 0: automatic (centred over a background image, else left)
    int m_iconAlign = SF_ALIGN_LEFT | SF_ALIGN_VCENTER;
};
