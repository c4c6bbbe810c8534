#include "toolkit/qt/SFQTButtons.h"

#include "toolkit/SFCustomEvent.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

using SFQt::FromW;
using SFQt::PointOf;

// ======================================================================= Button

CSFQTButton::CSFQTButton(ISFButtonEvent* sink) : CSFQTWidget(sink) {
    setAutoDefault(false);
    setDefault(false);
    setFocusPolicy(Qt::NoFocus);
    QObject::connect(this, &QPushButton::clicked, this, [this] { OnClicked(); });
}

int CSFQTButton::Create(const wchar_t* text, uint32_t style, const tagRECT* rect, void* parent,
                        uint32_t id) {
    setText(FromW(text));
    ApplyCreate(parent, rect, style, id);
    return 1;
}

const QPixmap& CSFQTButton::Face(int index) const {
    if (!m_faceLoaded[index]) {
        m_images[index] = SFLoadSkinImage(m_faceNames[index]);
        m_faceLoaded[index] = true;
    }
    return m_images[index];
}

int CSFQTButton::SetSkin(const ImageButtonStyle* style) {
    if (style == nullptr) {
        return 0;
    }
    const std::wstring names[4] = {style->normal, style->hover, style->pressed, style->disabled};
    for (int i = 0; i < 4; ++i) {
        m_faceNames[i] = names[i];
        m_images[i] = QPixmap();
        m_faceLoaded[i] = false;
    }
    m_skinned = true;
    setAttribute(Qt::WA_TranslucentBackground);
    update();
    return 1;
}

void CSFQTButton::SetTextColor(SFCOLORREF color) {
    m_textColor = SFQt::FromColorRef(color);
    update();
}

void CSFQTButton::SetTextOffset(int dx, int dy) {
    m_textOffset = QPoint(dx, dy);
    update();
}

void CSFQTButton::SetTextAlign(int flags) {
    m_align = flags;
    update();
}

void CSFQTButton::GetBTNWindowRect(tagRECT* rect) {
    if (rect != nullptr) {
        *rect = SFQt::ToRect(geometry());
    }
}

void CSFQTButton::SetTextSize(int pixelSize, int bold) {
    QFont f = font();
    if (pixelSize > 0) {
        f.setPixelSize(pixelSize);
    }
    f.setBold(bold != 0);
    setFont(f);
    update();
}

void CSFQTButton::SetUnderline(int on) {
    QFont f = font();
    f.setUnderline(on != 0);
    setFont(f);
    update();
}

void CSFQTButton::SetState(int state) {
    if (state != m_state) {
        m_state = state;
        update();
    }
}

void CSFQTButton::OnClicked() {
    // The sink may destroy this button; the parent window still gets the command.
    QPointer<QWidget> parent = parentWidget();
    const uint32_t id = m_id;
    if (m_pEvent != nullptr) {
        m_pEvent->BTN_OnClicked(id);
    }
    if (!parent.isNull()) {
        CSFCustomEvent command(SF_WM_COMMAND, 0, 0, id);
        QCoreApplication::sendEvent(parent.data(), &command);
    }
}

void CSFQTButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        if (!SFQt::CallSink(this, m_pEvent, &ISFButtonEvent::BTN_OnLButtonDown, m_id, 0,
                            tagPOINT{0, 0})) {
            return;  // the sink destroyed this control
        }
        SetState(kPressed);
    }
    QPushButton::mousePressEvent(event);
}

void CSFQTButton::mouseReleaseEvent(QMouseEvent* event) {
    SetState(kNormal);
    if (!SFQt::CallSink(this, m_pEvent, &ISFButtonEvent::BTN_OnLButtonUp, m_id, 0,
                        tagPOINT{0, 0})) {
        return;  // the sink destroyed this control
    }
    QPushButton::mouseReleaseEvent(event);
}

void CSFQTButton::enterEvent(QEnterEvent* event) {
    if (!SFQt::CallSink(this, m_pEvent, &ISFButtonEvent::BTN_OnMouseMove, m_id, 0,
                        tagPOINT{0, 0})) {
        return;  // the sink destroyed this control
    }
    SetState(kHovered);
    QPushButton::enterEvent(event);
}

void CSFQTButton::leaveEvent(QEvent* event) {
    if (!SFQt::CallSink(this, m_pEvent, &ISFButtonEvent::BTN_OnMouseLeave, m_id, 0, 0)) {
        return;  // the sink destroyed this control
    }
    SetState(kNormal);
    QPushButton::leaveEvent(event);
}

void CSFQTButton::paintEvent(QPaintEvent* event) {
    if (!m_skinned) {
        QPushButton::paintEvent(event);
        return;
    }
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    int index = 0;
    if (!isEnabled()) {
        index = 3;
    } else if (m_state == kHovered) {
        index = 1;
    } else if (m_state == kPressed) {
        index = 2;
    }
    // A state without its own picture shows the normal one rather than nothing.
    const QPixmap& image = Face(index).isNull() ? Face(0) : Face(index);
    if (!image.isNull()) {
        p.drawPixmap(rect(), image);
    }
    if (!text().isEmpty()) {
        p.setFont(font());
        p.setPen(isEnabled() ? m_textColor : SFQt::kDisabledText);
        const QPoint shift = m_state == kPressed ? QPoint(0, 1) : QPoint();
        p.drawText(rect().translated(m_textOffset + shift),
                   static_cast<int>(m_align) | Qt::TextSingleLine, text());
    }
}

// ======================================================================= Radio box

CSFQTRadioBox::CSFQTRadioBox(ISFRadioBoxEvent* sink) : CSFQTWidget(sink) {
    setAutoExclusive(false);
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
}

int CSFQTRadioBox::Create(const wchar_t* text, uint32_t style, const tagRECT* rect, void* parent,
                          uint32_t id) {
    setText(FromW(text));
    ApplyCreate(parent, rect, style, id);
    return 1;
}

const QPixmap& CSFQTRadioBox::Face(int index) const {
    if (!m_faceLoaded[index]) {
        m_images[index] = SFLoadSkinImage(m_faceNames[index]);
        m_faceLoaded[index] = true;
    }
    return m_images[index];
}

int CSFQTRadioBox::SetSkin(const ImageRadioBox* style) {
    if (style == nullptr) {
        return 0;
    }
    const std::wstring names[6] = {style->checked,         style->unchecked,
                                   style->checkedHover,    style->uncheckedHover,
                                   style->checkedDisabled, style->uncheckedDisabled};
    for (int i = 0; i < 6; ++i) {
        m_faceNames[i] = names[i];
        m_images[i] = QPixmap();
        m_faceLoaded[i] = false;
    }
    m_skinned = true;
    update();
    return 1;
}

void CSFQTRadioBox::SetCheck(int check) {
    m_checked = check != 0;
    const QSignalBlocker quiet(this);
    setChecked(m_checked);
    update();
}

void CSFQTRadioBox::SetTextColor(SFCOLORREF normal) {
    m_textColor = SFQt::FromColorRef(normal);
    update();
}

void CSFQTRadioBox::SetSelectedTextColor(SFCOLORREF selected) {
    m_selectedTextColor = SFQt::FromColorRef(selected);
    update();
}

void CSFQTRadioBox::SetTextSize(int pixelSize) {
    if (pixelSize > 0) {
        QFont f = font();
        f.setPixelSize(pixelSize);
        setFont(f);
    }
}

void CSFQTRadioBox::SetTextOffset(int dx, int dy) {
    m_textOffset = QPoint(dx, dy);
    update();
}

void CSFQTRadioBox::SetTextAlign(int flags) {
    m_textAlign = flags;
    update();
}

void CSFQTRadioBox::SetIconOffset(int dx, int dy) {
    m_iconOffset = QPoint(dx, dy);
    update();
}

void CSFQTRadioBox::SetBgColor(SFCOLORREF normal, SFCOLORREF selected) {
    m_bgColor = SFQt::FromColorRef(normal);
    m_selectedBgColor = SFQt::FromColorRef(selected);
    update();
}

void CSFQTRadioBox::SetBgRect(const tagRECT* rect) {
    m_bgRect = rect != nullptr ? SFQt::ToQRect(*rect) : QRect();
    update();
}

void CSFQTRadioBox::mousePressEvent(QMouseEvent* event) {
    // The check mark is ours: Qt's own toggling (and auto-exclusivity) stays out of it.
    event->accept();
}

void CSFQTRadioBox::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) {
        return;
    }
    SetCheck(m_checked ? 0 : 1);
    if (m_pEvent != nullptr) {
        m_pEvent->RADIO_OnClicked(m_id, m_checked ? 1 : 0, PointOf(event));
    }
}

void CSFQTRadioBox::keyPressEvent(QKeyEvent* event) {
    event->ignore();
}

void CSFQTRadioBox::showEvent(QShowEvent* event) {
    QRadioButton::showEvent(event);
    if (m_pEvent != nullptr) {
        m_pEvent->RADIO_OnShowWindow(m_id, 1, 0);
    }
}

void CSFQTRadioBox::hideEvent(QHideEvent* event) {
    QRadioButton::hideEvent(event);
    if (m_pEvent != nullptr) {
        m_pEvent->RADIO_OnShowWindow(m_id, 0, 0);
    }
}

void CSFQTRadioBox::paintEvent(QPaintEvent* event) {
    if (!m_skinned) {
        QRadioButton::paintEvent(event);
        return;
    }
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor bg = m_checked && m_selectedBgColor.isValid() ? m_selectedBgColor : m_bgColor;
    if (bg.isValid()) {
        p.fillRect(m_bgRect.isEmpty() ? rect() : m_bgRect, bg);
    }
    const bool hovered = underMouse() && isEnabled();
    int index = m_checked ? 0 : 1;
    if (!isEnabled() && !Face(index + 4).isNull()) {
        index += 4;
    } else if (hovered && !Face(index + 2).isNull()) {
        index += 2;
    }
    const QPixmap& image = Face(index);
    QRect textRect = rect();
    int align = m_textAlign;
    if (!image.isNull()) {
        // Laid out by logical size: a ratio-2 skin image covers what the plain one covers.
        const QSize imageSize = image.deviceIndependentSize().toSize();
        if (imageSize.width() >= width()) {
            // A background picture: the text goes over it.
            p.drawPixmap(rect(), image);
            if (align == 0) {
                align = SF_ALIGN_CENTER;
            }
        } else {
            QSize size = imageSize;
            if (size.height() > height() && size.height() > 0) {
                size = size.scaled(QSize(width(), height()), Qt::KeepAspectRatio);
            }
            int y = (height() - size.height()) / 2;
            if (m_iconAlign & SF_ALIGN_TOP) {
                y = 0;
            } else if (m_iconAlign & SF_ALIGN_BOTTOM) {
                y = height() - size.height();
            }
            const QRect iconRect(QPoint(m_iconOffset.x(), y + m_iconOffset.y()), size);
            p.drawPixmap(iconRect, image);
            textRect.setLeft(iconRect.right() + 1 + 6);
        }
    }
    if (align == 0) {
        align = SF_ALIGN_LEFT | SF_ALIGN_VCENTER;
    }
    const QColor color = !isEnabled()                                   ? SFQt::kDisabledText
                         : (m_checked && m_selectedTextColor.isValid()) ? m_selectedTextColor
                                                                        : m_textColor;
    p.setPen(color);
    p.setFont(font());
    p.drawText(textRect.translated(m_textOffset), align | Qt::TextSingleLine, text());
}
