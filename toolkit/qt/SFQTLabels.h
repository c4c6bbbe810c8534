#pragma once
// Labels: static text and pictures. Each derives from its Qt widget first and its abstract
// control second; the toolkit hands out the abstract part only. GUI thread only; a null sink is
// allowed everywhere and silences the control.
#include "toolkit/SFControls.h"
#include "toolkit/qt/SFQTCommon.h"

#include <QLabel>

// Static text. Colour, size, weight and background become the label's own style sheet, so
// they win over the application style sheet; SetObjectName lets that sheet style the rest.
class CSFQTStatic final : public SFQt::CSFQTWidget<QLabel, CSFStatic> {
public:
    explicit CSFQTStatic(ISFStaticEvent* sink);
    int Create(const wchar_t* text, uint32_t style, const tagRECT* rect, void* parent,
               uint32_t id) override;
    void SetStaticText(const wchar_t* text, bool redraw) override;
    int GetStaticText(wchar_t* buffer, int size) override;
    void SetTextAlignFlag(int flags) override;
    int GetTextAlignFlag() override { return static_cast<int>(alignment().toInt()); }
    void SetTextColor(SFCOLORREF color) override;
    void SetTextBold(int bold) override;
    int GetTextSize() override { return m_pixelSize; }
    void SetBgColor(SFCOLORREF color, int fill) override;
    void SetObjectName(const wchar_t* name) override;
    void SetTextSize(int pixelSize) override;
    void GetStaticCtrolPos(tagRECT* rect) override;
    void SetTextOffset(int dx, int dy) override;
    void SetWordWrap(int on) override;
    void SetWrapAnywhere(int on) override;
    void GetGeometry(tagRECT* rect) override { GetStaticCtrolPos(rect); }
    void* GetHandle() override { return static_cast<QWidget*>(this); }
    int GetTextHeight(int width) override;

protected:
    QString ControlText() const override { return m_text; }
    void SetControlText(const QString& t) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void ApplyStyle();

    QString m_text;
    bool m_wrapAnywhere = false;
    int m_pixelSize = 12;
    bool m_bold = false;
    QColor m_color;
    QColor m_background;
};

// Picture: an image drawn scaled to the control, with an optional text over it.
class CSFQTPictureCtrl : public SFQt::CSFQTWidget<QLabel, CSFPictureCtrl> {
public:
    explicit CSFQTPictureCtrl(ISFPictureCtrlEvent* sink);
    int Create(const wchar_t* text, uint32_t style, const tagRECT* rect, void* parent,
               uint32_t id) override;
    int SetImage(const wchar_t* path) override;
    void SetDrawPicture(int draw) override;
    void* GetHWnd() override { return static_cast<QWidget*>(this); }
    void SetPictureCtrlText(const wchar_t* text) override;
    const QPixmap& Picture() const { return m_picture; }

protected:
    QString ControlText() const override { return m_text; }
    void SetControlText(const QString& t) override {
        m_text = t;
        update();
    }
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QPixmap m_picture;
    QString m_text;
    bool m_draw = true;
};
