#pragma once
// The scroll area and the pop-up menu. Each derives from its Qt widget first and its abstract
// control second; the toolkit hands out the abstract part only. GUI thread only; a null sink is
// allowed everywhere and silences the control.
#include "toolkit/SFControls.h"
#include "toolkit/qt/SFQTCommon.h"

#include <QColor>
#include <QMenu>
#include <QScrollArea>

#include <map>

// Scroll area: GetUIWnd is the scrolled content (the parent for children). Vertical scrolling
// reports OnChange(id, value, maximum) unless SetValue was asked not to. A background image is
// drawn stretched over the visible area (skin surfaces are gradients, which tiles would band).
class CSFQTScrollArea final : public SFQt::CSFQTWidget<QScrollArea, CSFScrollArea> {
public:
    explicit CSFQTScrollArea(ISFScrollAreaEvent* sink);
    int Create(uint32_t style, const tagRECT* rect, int contentWidth, int contentHeight,
               void* parent, uint32_t id) override;
    void ResizeScrollArea(int cx, int cy) override;
    void SetRange(int min, int max) override;
    void SetValue(int value, bool notify) override;
    int GetValue() override;
    void SetUPNextValue(int step) override;
    void SetDownNextValue(int step) override;
    void SrollToTop() override { SetValue(0, true); }
    void SetEnableScrollBar(int enable) override;
    int SetSkin(const ScrollAreaStyle* style) override;
    void* GetUIWnd() override { return m_content; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void StretchBackground();

    QWidget* m_content;
    bool m_quiet = false;
    QPixmap m_backgroundImage;
    // The image's one colour when every pixel has it, opaque (else invalid): the stretched
    // image is then that colour, with no scaling on each resize.
    QColor m_backgroundColour;
};

// Menu: a triggered action reports Menu_OnAction(action id). Popup shows it at a screen
// position and returns at once.
class CSFQTMenu final : public SFQt::CSFQTWidget<QMenu, CSFMenu> {
public:
    explicit CSFQTMenu(ISFMenuEvent* sink);
    int Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id) override;
    void SetSkin(const wchar_t* styleSheet) override { setStyleSheet(SFQt::FromW(styleSheet)); }
    CSFMenu* AddMenu(const wchar_t* title) override;
    int AddAction(const wchar_t* icon, const wchar_t* text, int actionId) override;
    int AddAction(const wchar_t* text, int actionId) override;
    void AddSeparator() override { addSeparator(); }
    void SetActionEnable(int actionId, int enable) override;
    void SetActionCheckable(int actionId, int checkable) override;
    void SetActionChecked(int actionId, int checked) override;
    int IsActionChecked(int actionId) override;
    void SetActionVisible(int actionId, int visible) override;
    void SetActionText(int actionId, const wchar_t* text) override;
    void Popup(int x, int y) override { popup(QPoint(x, y)); }
    QAction* Action(int actionId) const;

protected:
    QString ControlText() const override { return title(); }
    void SetControlText(const QString& t) override { setTitle(t); }

private:
    std::map<int, QAction*> m_actions;
};
