#include "toolkit/qt/SFQTLabels.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QTextOption>

#include <climits>

using SFQt::CssColor;
using SFQt::FromW;
using SFQt::PointOf;

// ======================================================================= Static

CSFQTStatic::CSFQTStatic(ISFStaticEvent* sink) : CSFQTWidget(sink) {
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setTextFormat(Qt::PlainText);
    setMouseTracking(true);
}

int CSFQTStatic::Create(const wchar_t* text, uint32_t style, const tagRECT* rect, void* parent,
                        uint32_t id) {
    SetControlText(FromW(text));
    ApplyCreate(parent, rect, style, id);
    return 1;
}

void CSFQTStatic::SetControlText(const QString& t) {
    m_text = t;
    if (m_wrapAnywhere) {
        // QLabel breaks lines at word boundaries only; a zero-width space between every two
        // characters gives it a break opportunity everywhere.
        QString broken;
        broken.reserve(t.size() * 2);
        for (qsizetype i = 0; i < t.size(); ++i) {
            broken += t.at(i);
            if (i + 1 < t.size() && !t.at(i).isHighSurrogate()) {
                broken += QChar(0x200B);
            }
        }
        setText(broken);
    } else {
        setText(t);
    }
}

void CSFQTStatic::SetStaticText(const wchar_t* text, bool redraw) {
    SetControlText(FromW(text));
    if (redraw) {
        repaint();
    }
}

int CSFQTStatic::GetStaticText(wchar_t* buffer, int size) {
    return SFQt::CopyOut(m_text, buffer, size);
}

void CSFQTStatic::SetTextAlignFlag(int flags) {
    setAlignment(Qt::Alignment(flags));
}

void CSFQTStatic::SetTextColor(SFCOLORREF color) {
    m_color = SFQt::FromColorRef(color);
    ApplyStyle();
}

void CSFQTStatic::SetTextBold(int bold) {
    m_bold = bold != 0;
    ApplyStyle();
}

void CSFQTStatic::SetBgColor(SFCOLORREF color, int fill) {
    m_background = fill != 0 ? SFQt::FromColorRef(color) : QColor();
    ApplyStyle();
}

void CSFQTStatic::SetObjectName(const wchar_t* name) {
    setObjectName(FromW(name));
}

void CSFQTStatic::SetTextSize(int pixelSize) {
    if (pixelSize > 0) {
        m_pixelSize = pixelSize;
        ApplyStyle();
    }
}

void CSFQTStatic::GetStaticCtrolPos(tagRECT* rect) {
    if (rect != nullptr) {
        *rect = SFQt::ToRect(geometry());
    }
}

void CSFQTStatic::SetTextOffset(int dx, int dy) {
    setContentsMargins(std::max(0, dx), std::max(0, dy), 0, 0);
}

void CSFQTStatic::SetWordWrap(int on) {
    setWordWrap(on != 0);
}

void CSFQTStatic::SetWrapAnywhere(int on) {
    m_wrapAnywhere = on != 0;
    if (m_wrapAnywhere) {
        setWordWrap(true);
    }
    SetControlText(m_text);
}

int CSFQTStatic::GetTextHeight(int width) {
    QFont f = font();
    f.setPixelSize(m_pixelSize);
    f.setBold(m_bold);
    const QFontMetrics fm(f);
    int flags = static_cast<int>(alignment());
    if (wordWrap()) {
        flags |= m_wrapAnywhere ? Qt::TextWrapAnywhere : Qt::TextWordWrap;
    }
    const QMargins m = contentsMargins();
    const QRect bound = fm.boundingRect(
        QRect(0, 0, std::max(1, width - m.left() - m.right()), INT_MAX / 2), flags, m_text);
    return bound.height() + m.top() + m.bottom();
}

void CSFQTStatic::ApplyStyle() {
    // Font and palette, not a style sheet of its own: a widget's style sheet gives it a style
    // object of its own and a polish at every change (a label's colour and size are set one
    // after the other), which made labels the dearest part of building a window. The program's
    // style sheet styles no QLabel, so the palette shows as set.
    QFont f = font();
    f.setPixelSize(m_pixelSize);
    f.setBold(m_bold);
    setFont(f);
    QPalette palette = this->palette();
    palette.setColor(
        QPalette::WindowText,
        m_color.isValid() ? m_color : QApplication::palette(this).color(QPalette::WindowText));
    if (m_background.isValid()) {
        palette.setColor(QPalette::Window, m_background);
    }
    setPalette(palette);
    setAutoFillBackground(m_background.isValid());
}

void CSFQTStatic::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton &&
        !SFQt::CallSink(this, m_pEvent, &ISFStaticEvent::STATIC_OnLButtonDown, m_id, 0,
                        PointOf(event))) {
        return;  // the sink destroyed this control
    }
    QLabel::mousePressEvent(event);
}

void CSFQTStatic::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton &&
        !SFQt::CallSink(this, m_pEvent, &ISFStaticEvent::STATIC_OnLButtonUp, m_id, 0,
                        PointOf(event))) {
        return;  // the sink destroyed this control
    }
    QLabel::mouseReleaseEvent(event);
}

void CSFQTStatic::mouseMoveEvent(QMouseEvent* event) {
    if (!SFQt::CallSink(this, m_pEvent, &ISFStaticEvent::STATIC_OnMouseMove, m_id, 0,
                        PointOf(event))) {
        return;  // the sink destroyed this control
    }
    QLabel::mouseMoveEvent(event);
}

// ======================================================================= Picture

CSFQTPictureCtrl::CSFQTPictureCtrl(ISFPictureCtrlEvent* sink) : CSFQTWidget(sink) {}

int CSFQTPictureCtrl::Create(const wchar_t* text, uint32_t style, const tagRECT* rect, void* parent,
                             uint32_t id) {
    m_text = FromW(text);
    ApplyCreate(parent, rect, style, id);
    return 1;
}

int CSFQTPictureCtrl::SetImage(const wchar_t* path) {
    m_picture = SFQt::LoadPicture(FromW(path));
    update();
    return m_picture.isNull() ? 0 : 1;
}

void CSFQTPictureCtrl::SetDrawPicture(int draw) {
    m_draw = draw != 0;
    update();
}

void CSFQTPictureCtrl::SetPictureCtrlText(const wchar_t* text) {
    m_text = FromW(text);
    update();
}

void CSFQTPictureCtrl::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    if (m_draw && !m_picture.isNull()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawPixmap(rect(), m_picture);
    }
    if (!m_text.isEmpty()) {
        p.setPen(SFQt::kText);
        p.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, m_text);
    }
}

void CSFQTPictureCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton &&
        !SFQt::CallSink(this, m_pEvent, &ISFPictureCtrlEvent::PICTRL_OnLButtonDown, m_id, 0,
                        PointOf(event))) {
        return;  // the sink destroyed this control
    }
    QLabel::mousePressEvent(event);
}

void CSFQTPictureCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton &&
        !SFQt::CallSink(this, m_pEvent, &ISFPictureCtrlEvent::PICTRL_OnLButtonUp, m_id, 0,
                        PointOf(event))) {
        return;  // the sink destroyed this control
    }
    QLabel::mouseReleaseEvent(event);
}

void CSFQTPictureCtrl::mouseMoveEvent(QMouseEvent* event) {
    if (!SFQt::CallSink(this, m_pEvent, &ISFPictureCtrlEvent::PICTRL_OnMouseMove, m_id, 0,
                        PointOf(event))) {
        return;  // the sink destroyed this control
    }
    QLabel::mouseMoveEvent(event);
}
