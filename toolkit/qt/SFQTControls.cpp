#include "toolkit/qt/SFQTControls.h"

#include "toolkit/SFCustomEvent.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollBar>
#include <QStringListModel>
#include <QTextOption>

#include <climits>

using SFQt::FromW;

namespace {

tagPOINT PointOf(const QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    return tagPOINT{p.x(), p.y()};
}

QString CssColor(const QColor& c) {
    return c.name(QColor::HexRgb);
}

// Quoted for a style sheet url(); the path may hold blanks and parentheses.
QString CssUrl(const std::wstring& name) {
    QString path = SFSkinImagePath(name);
    path.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return QStringLiteral("url(\"%1\")").arg(path);
}

// The spinners' look from their record: the frame image stretched over the box, the arrows
// drawn from their four state images (normal, hover, pressed, disabled).
QString SpinnerSheet(const char* cls, const ImageNumSpinerStyle& s) {
    const QString c = QString::fromLatin1(cls);
    QString sheet;
    auto rule = [&](const QString& selector, const QString& body) {
        sheet += selector + QStringLiteral(" { ") + body + QStringLiteral(" }\n");
    };
    QString box = QStringLiteral("padding-left: 6px; padding-right: 18px; color: #222222;");
    if (!SFSkinImagePath(s.frameImage).isEmpty()) {
        box += QStringLiteral(" border-image: ") + CssUrl(s.frameImage) +
               QStringLiteral(" 0 0 0 0 stretch stretch; border: 0;");
    }
    rule(c, box);
    const struct {
        const char* sub;
        const char* position;
        const std::wstring* images[4];
    } arrows[] = {
        {"up", "top right", {&s.upNormal, &s.upHover, &s.upPressed, &s.upDisabled}},
        {"down", "bottom right", {&s.downNormal, &s.downHover, &s.downPressed, &s.downDisabled}},
    };
    static const char* const kStates[4] = {"", ":hover", ":pressed", ":disabled"};
    for (const auto& a : arrows) {
        const QString button =
            c + QStringLiteral("::") + QString::fromLatin1(a.sub) + QStringLiteral("-button");
        rule(button, QStringLiteral("subcontrol-origin: border; subcontrol-position: ") +
                         QString::fromLatin1(a.position) +
                         QStringLiteral("; width: 16px; border: 0;"));
        for (int i = 0; i < 4; ++i) {
            if (!SFSkinImagePath(*a.images[i]).isEmpty()) {
                rule(button + QString::fromLatin1(kStates[i]),
                     QStringLiteral("border-image: ") + CssUrl(*a.images[i]) +
                         QStringLiteral(" 0 0 0 0 stretch stretch;"));
            }
        }
        rule(c + QStringLiteral("::") + QString::fromLatin1(a.sub) + QStringLiteral("-arrow"),
             QStringLiteral("image: none; width: 0; height: 0;"));
    }
    return sheet;
}

}  // namespace

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

int CSFQTButton::SetSkin(const ImageButtonStyle* style) {
    if (style == nullptr) {
        return 0;
    }
    m_images[0] = SFLoadSkinImage(style->normal);
    m_images[1] = SFLoadSkinImage(style->hover);
    m_images[2] = SFLoadSkinImage(style->pressed);
    m_images[3] = SFLoadSkinImage(style->disabled);
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
    const QPixmap& image = m_images[index].isNull() ? m_images[0] : m_images[index];
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

int CSFQTRadioBox::SetSkin(const ImageRadioBox* style) {
    if (style == nullptr) {
        return 0;
    }
    m_images[0] = SFLoadSkinImage(style->checked);
    m_images[1] = SFLoadSkinImage(style->unchecked);
    m_images[2] = SFLoadSkinImage(style->checkedHover);
    m_images[3] = SFLoadSkinImage(style->uncheckedHover);
    m_images[4] = SFLoadSkinImage(style->checkedDisabled);
    m_images[5] = SFLoadSkinImage(style->uncheckedDisabled);
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
    if (!isEnabled() && !m_images[index + 4].isNull()) {
        index += 4;
    } else if (hovered && !m_images[index + 2].isNull()) {
        index += 2;
    }
    const QPixmap& image = m_images[index];
    QRect textRect = rect();
    int align = m_textAlign;
    if (!image.isNull()) {
        if (image.width() >= width()) {
            // A background picture: the text goes over it.
            p.drawPixmap(rect(), image);
            if (align == 0) {
                align = SF_ALIGN_CENTER;
            }
        } else {
            QSize size = image.size();
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
    QFont f = font();
    f.setPixelSize(m_pixelSize);
    f.setBold(m_bold);
    setFont(f);
    QString sheet = QStringLiteral("font-size: %1px; font-weight: %2;")
                        .arg(m_pixelSize)
                        .arg(m_bold ? QStringLiteral("bold") : QStringLiteral("normal"));
    if (m_color.isValid()) {
        sheet += QStringLiteral(" color: %1;").arg(CssColor(m_color));
    }
    if (m_background.isValid()) {
        sheet += QStringLiteral(" background-color: %1;").arg(CssColor(m_background));
    }
    setStyleSheet(sheet);
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

// ======================================================================= Edit

CSFQTEditCtrl::CSFQTEditCtrl(ISFEditCtrlEvent* sink) : CSFQTWidget(sink) {
    QObject::connect(this, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (m_pEvent != nullptr) {
            m_pEvent->EDIT_OnTextChange(m_id, t.toStdWString().c_str());
        }
    });
    QObject::connect(this, &QLineEdit::returnPressed, this, [this] {
        if (m_pEvent != nullptr) {
            m_pEvent->EDIT_OnEnterPressed(m_id, text().toStdWString().c_str());
        }
    });
}

int CSFQTEditCtrl::Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id,
                          int password) {
    setEchoMode(password != 0 ? QLineEdit::Password : QLineEdit::Normal);
    ApplyCreate(parent, rect, style, id);
    return 1;
}

void CSFQTEditCtrl::SetSkin(const wchar_t* styleSheet) {
    setStyleSheet(FromW(styleSheet));
}

void CSFQTEditCtrl::SetPattern(const QString& pattern) {
    const QRegularExpression re(pattern);
    if (!re.isValid()) {
        setValidator(nullptr);
        return;
    }
    setValidator(new QRegularExpressionValidator(re, this));
}

void CSFQTEditCtrl::SetRegExp(const wchar_t* pattern) {
    SetPattern(FromW(pattern));
}
void CSFQTEditCtrl::SetNumberOnly() {
    SetPattern(QStringLiteral("[0-9]*"));
}
void CSFQTEditCtrl::SetPhoneNumberOnly() {
    SetPattern(QStringLiteral("[0-9+\\- ]*"));
}
void CSFQTEditCtrl::SetEmailNumberOnly() {
    SetPattern(QStringLiteral("[A-Za-z0-9._%+\\-]*@?[A-Za-z0-9.\\-]*"));
}
void CSFQTEditCtrl::SetPasswordWordOnly() {
    SetPattern(QStringLiteral("[\\x21-\\x7E]*"));
}

void CSFQTEditCtrl::SetMaxCharacterLength(int length) {
    if (length > 0) {
        setMaxLength(length);
    }
}

void CSFQTEditCtrl::AddTips(const wchar_t* text) {
    const QString tip = FromW(text);
    if (tip.isEmpty() || m_tips.contains(tip)) {
        return;
    }
    m_tips.append(tip);
    auto* completer = new QCompleter(m_tips, this);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    setCompleter(completer);
}

void CSFQTEditCtrl::ShowTipList(int show) {
    if (completer() != nullptr && show != 0) {
        completer()->complete();
    }
}

void CSFQTEditCtrl::SetNoMenu(int on) {
    setContextMenuPolicy(on != 0 ? Qt::NoContextMenu : Qt::DefaultContextMenu);
}

void CSFQTEditCtrl::SetTextSize(int pixelSize) {
    if (pixelSize > 0) {
        QFont f = font();
        f.setPixelSize(pixelSize);
        setFont(f);
    }
}

void CSFQTEditCtrl::mousePressEvent(QMouseEvent* event) {
    if (!SFQt::CallSink(this, m_pEvent, &ISFEditCtrlEvent::EDIT_OnMousePressed, m_id,
                        text().toStdWString().c_str())) {
        return;  // the sink destroyed this control
    }
    QLineEdit::mousePressEvent(event);
}

void CSFQTEditCtrl::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (m_pEvent != nullptr) {
        m_pEvent->edit_FocusInEvent(m_id, text().toStdWString().c_str());
    }
}

void CSFQTEditCtrl::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (m_pEvent != nullptr) {
        m_pEvent->edit_FocusOutEvent(m_id, text().toStdWString().c_str());
    }
}

// ======================================================================= Combo box

CSFQTComboBox::CSFQTComboBox(ISFComboBoxEvent* sink) : CSFQTWidget(sink) {
    setFrame(false);
    setFocusPolicy(Qt::NoFocus);
    view()->setFocusPolicy(Qt::NoFocus);
    setIconSize(QSize(1, 25));
    QObject::connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_quiet && m_pEvent != nullptr) {
            m_pEvent->SelectChanged(m_id, index);
        }
    });
}

int CSFQTComboBox::Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id) {
    ApplyCreate(parent, rect, style, id);
    return 1;
}

int CSFQTComboBox::SetSkin(const ImageComboBoxStyle* style) {
    if (style == nullptr) {
        return 0;
    }
    m_strip = SFLoadSkinImage(style->image);
    for (int i = 0; i < 7; ++i) {
        m_rects[i] = SFParseSkinRect(style->stateRects[i]);
        m_stretch[i] = style->stateModes[i] == L"stretch";
    }
    m_skinned = true;
    update();
    return 1;
}

int CSFQTComboBox::AddString(const wchar_t* text) {
    // Every row 25 pixels tall: a transparent 1 x 25 icon sets the row height.
    static const QIcon spacer = [] {
        QPixmap pm(1, 25);
        pm.fill(Qt::transparent);
        return QIcon(pm);
    }();
    m_quiet = true;
    addItem(spacer, FromW(text));
    m_quiet = false;
    return count() - 1;
}

int CSFQTComboBox::DeleteString(int index) {
    if (index < 0 || index >= count()) {
        return -1;
    }
    m_quiet = true;
    removeItem(index);
    m_quiet = false;
    return count();
}

int CSFQTComboBox::GetLBText(int index, wchar_t* buffer, int size) {
    if (index < 0 || index >= count()) {
        return -1;
    }
    const QString t = itemText(index);
    SFQt::CopyOut(t, buffer, size);
    return static_cast<int>(t.size());
}

int CSFQTComboBox::SetLBText(int index, const wchar_t* text) {
    if (index < 0 || index >= count()) {
        return -1;
    }
    setItemText(index, FromW(text));
    return index;
}

int CSFQTComboBox::SetCurSel(int index) {
    if (index < 0 || index >= count()) {
        return -1;
    }
    m_quiet = true;
    setCurrentIndex(index);
    m_quiet = false;
    return currentIndex();
}

void CSFQTComboBox::SetOriginStyle(int origin) {
    m_origin = origin == 1;
    update();
}

void CSFQTComboBox::Clear() {
    m_quiet = true;
    clear();
    m_quiet = false;
}

void CSFQTComboBox::SetControlText(const QString& t) {
    m_quiet = true;
    setCurrentText(t);
    m_quiet = false;
}

int CSFQTComboBox::LookState() const {
    return isEnabled() ? m_look : kDisabled;
}

void CSFQTComboBox::SetLook(int look) {
    if (look != m_look) {
        m_look = look;
        update();
    }
}

void CSFQTComboBox::showPopup() {
    if (count() <= 0) {
        return;  // Qt opens no list without items, and would never close one either
    }
    // The list opens above when its rows (25 pixels each) would run off the screen below.
    const int rows = std::min(count(), maxVisibleItems());
    const QScreen* s = screen();
    const int screenHeight = s != nullptr ? s->geometry().bottom() + 1 : INT_MAX;
    const bool above = rows * 25 + mapToGlobal(QPoint(0, 0)).y() + height() > screenHeight;
    m_popupShown = true;
    SetLook(above ? kOpenAbove : kOpenBelow);
    QComboBox::showPopup();
}

void CSFQTComboBox::hidePopup() {
    QComboBox::hidePopup();
    m_popupShown = false;
    SetLook(kNormal);
}

void CSFQTComboBox::wheelEvent(QWheelEvent* event) {
    event->ignore();
}

void CSFQTComboBox::enterEvent(QEnterEvent* event) {
    if (!m_popupShown) {
        SetLook(kHover);
    }
    QComboBox::enterEvent(event);
}

void CSFQTComboBox::leaveEvent(QEvent* event) {
    if (!m_popupShown) {
        SetLook(kNormal);
    }
    QComboBox::leaveEvent(event);
}

void CSFQTComboBox::mousePressEvent(QMouseEvent* event) {
    SetLook(kOpenBelow);
    QComboBox::mousePressEvent(event);
}

void CSFQTComboBox::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_popupShown) {
        SetLook(kNormal);
    }
    QComboBox::mouseReleaseEvent(event);
}

void CSFQTComboBox::focusInEvent(QFocusEvent* event) {
    SetLook(kNormal);
    QComboBox::focusInEvent(event);
}

void CSFQTComboBox::paintEvent(QPaintEvent* event) {
    if (!m_skinned || m_origin) {
        QComboBox::paintEvent(event);
        return;
    }
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    // State rectangles 1, 2, 3, 4, 5 of the record: normal, hover, open below, open above,
    // disabled. A state without a rectangle falls back to the normal one.
    const int look = LookState();
    QRect src = m_rects[look];
    bool stretch = m_stretch[look];
    if (src.width() <= 0 || src.height() <= 0) {
        src = m_rects[0];
        stretch = m_stretch[0];
    }
    if (!m_strip.isNull() && src.width() > 0 && src.height() > 0) {
        if (stretch) {
            p.drawPixmap(rect(), m_strip, src);
        } else {
            p.drawPixmap(QPoint(0, (height() - src.height()) / 2), m_strip, src);
        }
    } else {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(look == kNormal || look == kDisabled ? SFQt::kBorder : SFQt::kAccent);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    }
    p.setPen(isEnabled() ? SFQt::kText : SFQt::kDisabledText);
    p.setFont(font());
    // The strip's right part holds the arrow: keep the text clear of it.
    const QRect textRect = rect().adjusted(8, 0, -std::min(24, width() / 4), 0);
    const QString elided =
        fontMetrics().elidedText(currentText(), Qt::ElideRight, textRect.width());
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, elided);
}

// ======================================================================= Spinners

CSFQTNumSpiner::CSFQTNumSpiner(ISFNumSpinerEvent* sink) : CSFQTWidget(sink) {
    setFrame(false);
    QObject::connect(this, &QSpinBox::valueChanged, this, [this](int v) {
        if (m_pEvent != nullptr) {
            m_pEvent->OnCurrentNumChanged(m_id, v);
        }
    });
}

int CSFQTNumSpiner::Create(const wchar_t* /*text*/, const tagRECT* rect, void* parent,
                           uint32_t id) {
    ApplyCreate(parent, rect, 0, id, false);
    return 1;
}

void CSFQTNumSpiner::SetRange(int min, int max) {
    setRange(min, max);
}

void CSFQTNumSpiner::GetRange(int* min, int* max) {
    if (min != nullptr) {
        *min = minimum();
    }
    if (max != nullptr) {
        *max = maximum();
    }
}

int CSFQTNumSpiner::SetSkin(const ImageNumSpinerStyle* style) {
    if (style == nullptr) {
        return 0;
    }
    setStyleSheet(SpinnerSheet("QSpinBox", *style));
    return 1;
}

CSFQTDoubleSpiner::CSFQTDoubleSpiner(ISFDoubleSpinerEvent* sink) : CSFQTWidget(sink) {
    setFrame(false);
    setSingleStep(1.0);
    setDecimals(2);
    QObject::connect(this, &QDoubleSpinBox::valueChanged, this, [this](double v) {
        if (m_pEvent != nullptr) {
            m_pEvent->OnCurrentNumChanged(m_id, v);
        }
    });
}

int CSFQTDoubleSpiner::Create(const wchar_t* /*text*/, const tagRECT* rect, void* parent,
                              uint32_t id) {
    ApplyCreate(parent, rect, 0, id, false);
    return 1;
}

void CSFQTDoubleSpiner::SetRange(double min, double max) {
    const QSignalBlocker quiet(this);
    setRange(min, max);
}

void CSFQTDoubleSpiner::GetRange(double* min, double* max) {
    if (min != nullptr) {
        *min = minimum();
    }
    if (max != nullptr) {
        *max = maximum();
    }
}

void CSFQTDoubleSpiner::SetCurrentNum(double v) {
    const QSignalBlocker quiet(this);
    setValue(v);
}

void CSFQTDoubleSpiner::SetDecimals(int decimals) {
    const QSignalBlocker quiet(this);
    setDecimals(std::clamp(decimals, 0, 10));
}

int CSFQTDoubleSpiner::SetSkin(const ImageNumSpinerStyle* style) {
    if (style == nullptr) {
        return 0;
    }
    setStyleSheet(SpinnerSheet("QDoubleSpinBox", *style));
    return 1;
}

// ======================================================================= List control

CSFQTListCtrl::CSFQTListCtrl(ISFListCtrlEvent* sink) : CSFQTWidget(sink) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);
    setShowGrid(false);
    setAlternatingRowColors(false);
    setFrameShape(QFrame::NoFrame);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(28);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    QObject::connect(this, &QTableWidget::itemSelectionChanged, this, [this] {
        if (m_pEvent != nullptr) {
            m_pEvent->OnSelected(GetFirstSelectedRow());
        }
    });
    ListCtrlStyle defaults;
    SetSkin(&defaults);
}

int CSFQTListCtrl::Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id,
                          int /*flag*/) {
    ApplyCreate(parent, rect, style, id);
    return 1;
}

int CSFQTListCtrl::SetSkin(const ListCtrlStyle* style) {
    if (style == nullptr) {
        return 0;
    }
    auto pick = [](const std::wstring& text, const QColor& fallback) {
        return text.empty() ? fallback : SFParseSkinColor(text);
    };
    const QColor headerBg = pick(style->headerBackground, QColor(240, 243, 248));
    const QColor headerText = pick(style->headerText, SFQt::kTextMuted);
    const QColor rowBg = pick(style->rowBackground, Qt::white);
    const QColor altBg = pick(style->alternateRowBackground, QColor(249, 250, 252));
    const QColor selected = pick(style->selectedBackground, QColor(232, 239, 255));
    const QColor text = pick(style->text, SFQt::kText);
    const QColor grid = pick(style->grid, SFQt::kBorder);
    setAlternatingRowColors(!style->alternateRowBackground.empty());
    setStyleSheet(
        QStringLiteral("QTableWidget { background: %1; alternate-background-color: %2; color: %3;"
                       " gridline-color: %4; selection-background-color: %5;"
                       " selection-color: %3; border: 0; outline: 0; }"
                       " QTableWidget::item { padding-left: 8px; border: 0; }"
                       " QTableWidget::item:selected { background: %5; color: %3; }"
                       " QHeaderView::section { background: %6; color: %7; border: 0;"
                       " border-bottom: 1px solid %4; padding: 4px 8px; font-weight: 600; }")
            .arg(CssColor(rowBg), CssColor(altBg), CssColor(text), CssColor(grid),
                 CssColor(selected), CssColor(headerBg), CssColor(headerText)));
    return 1;
}

int CSFQTListCtrl::InsertColumn(int index, const wchar_t* title, int format, int width,
                                int /*subItem*/) {
    const int at = std::clamp(index, 0, columnCount());
    insertColumn(at);
    auto* header = new QTableWidgetItem(FromW(title));
    header->setTextAlignment(Qt::Alignment(format != 0 ? format : SF_ALIGN_LEFT) |
                             Qt::AlignVCenter);
    setHorizontalHeaderItem(at, header);
    if (width > 0) {
        setColumnWidth(at, width);
    }
    if (format != 0) {
        m_columnAlign[at] = format;
    }
    return at;
}

int CSFQTListCtrl::InsertColumnCheck(int index, const wchar_t* title, int width) {
    const int at = InsertColumn(index, title, SF_ALIGN_CENTER, width, 0);
    m_checkColumn = at;
    return at;
}

void CSFQTListCtrl::SetColumnWidth(int column, int width) {
    if (column >= 0 && column < columnCount()) {
        setColumnWidth(column, std::max(0, width));
    }
}

void CSFQTListCtrl::SetColumnHidden(int column, int hidden) {
    if (column >= 0 && column < columnCount()) {
        setColumnHidden(column, hidden != 0);
    }
}

void CSFQTListCtrl::SetColumnTextAlign(int column, int flags) {
    if (column < 0 || column >= columnCount()) {
        return;
    }
    m_columnAlign[column] = flags;
    for (int row = 0; row < rowCount(); ++row) {
        if (QTableWidgetItem* it = item(row, column)) {
            it->setTextAlignment(Qt::Alignment(flags));
        }
    }
}

void CSFQTListCtrl::SetHeaderViewTextAlignLeft() {
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void CSFQTListCtrl::SetHorizontalHeaderVisible(int visible) {
    horizontalHeader()->setVisible(visible != 0);
}

bool CSFQTListCtrl::ValidCell(int row, int column) const {
    return row >= 0 && row < rowCount() && column >= 0 && column < columnCount();
}

QTableWidgetItem* CSFQTListCtrl::Cell(int row, int column) {
    if (!ValidCell(row, column)) {
        return nullptr;
    }
    QTableWidgetItem* it = item(row, column);
    if (it == nullptr) {
        it = new QTableWidgetItem();
        const auto align = m_columnAlign.find(column);
        it->setTextAlignment(align != m_columnAlign.end() ? Qt::Alignment(align->second)
                                                          : (Qt::AlignLeft | Qt::AlignVCenter));
        setItem(row, column, it);
    }
    return it;
}

int CSFQTListCtrl::InsertItem(int row, const wchar_t* text) {
    const int at = InsertRow(row);
    if (columnCount() == 0) {
        setColumnCount(1);
    }
    if (QTableWidgetItem* it = Cell(at, 0)) {
        it->setText(FromW(text));
    }
    return at;
}

int CSFQTListCtrl::InsertRow(int row) {
    const int at = std::clamp(row, 0, rowCount());
    insertRow(at);
    return at;
}

int CSFQTListCtrl::DeleteItem(int row) {
    if (row < 0 || row >= rowCount()) {
        return -1;
    }
    removeRow(row);
    return 1;
}

int CSFQTListCtrl::SetItemText(int row, int column, const wchar_t* text) {
    QTableWidgetItem* it = Cell(row, column);
    if (it == nullptr) {
        return -1;
    }
    it->setText(FromW(text));
    return 1;
}

int CSFQTListCtrl::GetItemText(int row, int column, wchar_t* buffer, int size) {
    if (!ValidCell(row, column)) {
        return -1;
    }
    const QTableWidgetItem* it = item(row, column);
    return SFQt::CopyOut(it != nullptr ? it->text() : QString(), buffer, size);
}

int CSFQTListCtrl::SetItemData(int row, uintptr_t value) {
    QTableWidgetItem* it = Cell(row, 0);
    if (it == nullptr) {
        return -1;
    }
    it->setData(Qt::UserRole, QVariant::fromValue<qulonglong>(value));
    return 1;
}

uintptr_t CSFQTListCtrl::GetItemData(int row) {
    if (!ValidCell(row, 0) || item(row, 0) == nullptr) {
        return 0;
    }
    return static_cast<uintptr_t>(item(row, 0)->data(Qt::UserRole).toULongLong());
}

int CSFQTListCtrl::SetItemIcon(int row, int column, const wchar_t* image) {
    QTableWidgetItem* it = Cell(row, column);
    if (it == nullptr) {
        return -1;
    }
    it->setIcon(QIcon(SFQt::LoadPicture(FromW(image))));
    return 1;
}

int CSFQTListCtrl::SetItemWidget(int row, int column, CSFControl* control) {
    if (!ValidCell(row, column) || control == nullptr || control->GetUIWnd() == nullptr) {
        return -1;
    }
    setCellWidget(row, column, static_cast<QWidget*>(control->GetUIWnd()));
    return 1;
}

int CSFQTListCtrl::SetRowColor(int row, SFCOLORREF color) {
    if (row < 0 || row >= rowCount()) {
        return -1;
    }
    for (int c = 0; c < columnCount(); ++c) {
        Cell(row, c)->setBackground(SFQt::FromColorRef(color));
    }
    return 1;
}

int CSFQTListCtrl::SetTextColor(int row, int column, SFCOLORREF color) {
    QTableWidgetItem* it = Cell(row, column);
    if (it == nullptr) {
        return -1;
    }
    it->setForeground(SFQt::FromColorRef(color));
    return 1;
}

int CSFQTListCtrl::SetItemToolTipText(int row, int column, const wchar_t* text) {
    QTableWidgetItem* it = Cell(row, column);
    if (it == nullptr) {
        return -1;
    }
    it->setToolTip(FromW(text));
    return 1;
}

int CSFQTListCtrl::GetFirstSelectedRow() {
    int first = -1;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        if (first < 0 || index.row() < first) {
            first = index.row();
        }
    }
    return first;
}

int CSFQTListCtrl::SetRowSelected(int row) {
    if (row < 0 || row >= rowCount()) {
        return -1;
    }
    selectRow(row);
    return 1;
}

int CSFQTListCtrl::SetItemSelected(int row, int column) {
    if (!ValidCell(row, column)) {
        return -1;
    }
    setCurrentCell(row, column);
    return 1;
}

int CSFQTListCtrl::GetFirstSelectedItemPosition() {
    const int row = GetFirstSelectedRow();
    return row < 0 ? 0 : row + 1;
}

int CSFQTListCtrl::GetNextSelectedItem(int& position) {
    if (position <= 0 || position > rowCount()) {
        position = 0;
        return -1;
    }
    const int row = position - 1;
    // Advance to the next selected row after this one (0 when none is left).
    position = 0;
    for (int r = row + 1; r < rowCount(); ++r) {
        if (selectionModel()->isRowSelected(r, QModelIndex())) {
            position = r + 1;
            break;
        }
    }
    return row;
}

int CSFQTListCtrl::SetCheck(int row, int check) {
    const int column = m_checkColumn >= 0 ? m_checkColumn : 0;
    QTableWidgetItem* it = Cell(row, column);
    if (it == nullptr) {
        return -1;
    }
    it->setFlags(it->flags() | Qt::ItemIsUserCheckable);
    it->setCheckState(check != 0 ? Qt::Checked : Qt::Unchecked);
    return 1;
}

int CSFQTListCtrl::GetCheck(int row) {
    const int column = m_checkColumn >= 0 ? m_checkColumn : 0;
    if (!ValidCell(row, column) || item(row, column) == nullptr) {
        return 0;
    }
    return item(row, column)->checkState() == Qt::Checked ? 1 : 0;
}

void CSFQTListCtrl::keyPressEvent(QKeyEvent* event) {
    if (!SFQt::CallSink(this, m_pEvent, &ISFListCtrlEvent::OnLVKeyPress, m_id, event->key())) {
        return;  // the sink destroyed this control
    }
    QTableWidget::keyPressEvent(event);
}

// ======================================================================= Scroll area

CSFQTScrollArea::CSFQTScrollArea(ISFScrollAreaEvent* sink)
    : CSFQTWidget(sink), m_content(new QWidget()) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setWidget(m_content);  // owned by the scroll area from here on
    QObject::connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int v) {
        if (!m_quiet && m_pEvent != nullptr) {
            m_pEvent->OnChange(m_id, v, verticalScrollBar()->maximum());
        }
    });
}

int CSFQTScrollArea::Create(uint32_t style, const tagRECT* rect, int contentWidth,
                            int contentHeight, void* parent, uint32_t id) {
    m_content->resize(std::max(0, contentWidth), std::max(0, contentHeight));
    ApplyCreate(parent, rect, style, id);
    return 1;
}

void CSFQTScrollArea::ResizeScrollArea(int cx, int cy) {
    m_content->resize(std::max(0, cx), std::max(0, cy));
}

void CSFQTScrollArea::SetRange(int min, int max) {
    verticalScrollBar()->setRange(min, std::max(min, max));
}

void CSFQTScrollArea::SetValue(int value, bool notify) {
    m_quiet = !notify;
    verticalScrollBar()->setValue(value);
    m_quiet = false;
}

int CSFQTScrollArea::GetValue() {
    return verticalScrollBar()->value();
}

void CSFQTScrollArea::SetUPNextValue(int step) {
    if (step > 0) {
        verticalScrollBar()->setSingleStep(step);
    }
}

void CSFQTScrollArea::SetDownNextValue(int step) {
    if (step > 0) {
        verticalScrollBar()->setPageStep(step);
    }
}

void CSFQTScrollArea::SetEnableScrollBar(int enable) {
    const Qt::ScrollBarPolicy policy = enable != 0 ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    setVerticalScrollBarPolicy(policy);
    setHorizontalScrollBarPolicy(policy);
}

int CSFQTScrollArea::SetSkin(const ScrollAreaStyle* style) {
    if (style == nullptr) {
        return 0;
    }
    auto pick = [](const std::wstring& text, const QColor& fallback) {
        return text.empty() ? fallback : SFParseSkinColor(text);
    };
    const QColor bg = pick(style->background, SFQt::kSurface);
    const QColor handle = pick(style->handle, QColor(196, 202, 212));
    const QColor hover = pick(style->handleHover, SFQt::kAccent);
    const QColor groove = pick(style->groove, bg);
    setStyleSheet(
        QStringLiteral("QScrollArea { background: %1; border: 0; }"
                       " QScrollBar:vertical { background: %4; width: 10px; margin: 0; }"
                       " QScrollBar:horizontal { background: %4; height: 10px; margin: 0; }"
                       " QScrollBar::handle { background: %2; border-radius: 4px;"
                       " min-height: 24px; min-width: 24px; margin: 1px; }"
                       " QScrollBar::handle:hover { background: %3; }"
                       " QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }"
                       " QScrollBar::add-page, QScrollBar::sub-page { background: none; }")
            .arg(CssColor(bg), CssColor(handle), CssColor(hover), CssColor(groove)));
    return 1;
}

// ======================================================================= Menu

CSFQTMenu::CSFQTMenu(ISFMenuEvent* sink) : CSFQTWidget(sink) {}

int CSFQTMenu::Create(uint32_t /*style*/, const tagRECT* /*rect*/, void* parent, uint32_t id) {
    // A menu is a pop-up: it keeps its window flags under its parent and is never shown here.
    if (QWidget* p = SFQt::ParentWidget(parent)) {
        setParent(p, windowFlags());
    }
    m_id = id;
    return 1;
}

CSFMenu* CSFQTMenu::AddMenu(const wchar_t* title) {
    auto* sub = new CSFQTMenu(m_pEvent);
    sub->setParent(this, sub->windowFlags());
    sub->setTitle(FromW(title));
    addMenu(sub);
    return sub;
}

int CSFQTMenu::AddAction(const wchar_t* icon, const wchar_t* text, int actionId) {
    if (m_actions.count(actionId) != 0) {
        return 0;
    }
    QAction* action = addAction(FromW(text));
    const QPixmap pm = SFQt::LoadPicture(FromW(icon));
    if (!pm.isNull()) {
        action->setIcon(QIcon(pm));
    }
    m_actions[actionId] = action;
    QObject::connect(action, &QAction::triggered, this, [this, actionId] {
        if (m_pEvent != nullptr) {
            m_pEvent->Menu_OnAction(actionId);
        }
    });
    return 1;
}

int CSFQTMenu::AddAction(const wchar_t* text, int actionId) {
    return AddAction(nullptr, text, actionId);
}

QAction* CSFQTMenu::Action(int actionId) const {
    const auto found = m_actions.find(actionId);
    return found != m_actions.end() ? found->second : nullptr;
}

void CSFQTMenu::SetActionEnable(int actionId, int enable) {
    if (QAction* a = Action(actionId)) {
        a->setEnabled(enable != 0);
    }
}

void CSFQTMenu::SetActionCheckable(int actionId, int checkable) {
    if (QAction* a = Action(actionId)) {
        a->setCheckable(checkable != 0);
    }
}

void CSFQTMenu::SetActionChecked(int actionId, int checked) {
    if (QAction* a = Action(actionId)) {
        a->setChecked(checked != 0);
    }
}

int CSFQTMenu::IsActionChecked(int actionId) {
    const QAction* a = Action(actionId);
    return (a != nullptr && a->isChecked()) ? 1 : 0;
}

void CSFQTMenu::SetActionVisible(int actionId, int visible) {
    if (QAction* a = Action(actionId)) {
        a->setVisible(visible != 0);
    }
}

void CSFQTMenu::SetActionText(int actionId, const wchar_t* text) {
    if (QAction* a = Action(actionId)) {
        a->setText(FromW(text));
    }
}

// ======================================================================= View

CSFQTView::CSFQTView(ISFViewEvent* sink) : CSFQTWidget(sink) {
    if (sink != nullptr) {
        sink->SetUIWnd(static_cast<QWidget*>(this));
    }
    SFQt::RegisterWindow(this);
}

CSFQTView::~CSFQTView() {
    SFQt::UnregisterWindow(this);
    if (m_pEvent != nullptr && m_pEvent->GetUIWnd() == static_cast<QWidget*>(this)) {
        m_pEvent->SetUIWnd(nullptr);
    }
}

int CSFQTView::Create(const wchar_t* /*className*/, const wchar_t* title, uint32_t style,
                      const tagRECT* rect, void* parent, uint32_t id) {
    setWindowTitle(FromW(title));
    ApplyCreate(parent, rect, style, id);
    if (m_pEvent != nullptr) {
        m_pEvent->OnCreate();
    }
    return 1;
}

void CSFQTView::SetBgColor(SFCOLORREF color, int fill) {
    m_background = fill != 0 ? SFQt::FromColorRef(color) : QColor();
    update();
}

void CSFQTView::paintEvent(QPaintEvent* /*event*/) {
    if (m_background.isValid()) {
        QPainter p(this);
        p.fillRect(rect(), m_background);
    }
}

void CSFQTView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_pEvent != nullptr) {
        m_pEvent->OnSize(0, width(), height());
    }
}

void CSFQTView::mousePressEvent(QMouseEvent* event) {
    if (m_pEvent != nullptr && event->button() == Qt::LeftButton) {
        m_pEvent->OnLButtonDown(0, PointOf(event));
    }
}

void CSFQTView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (m_pEvent != nullptr && event->button() == Qt::LeftButton) {
        m_pEvent->OnLButtonDblClk(0, PointOf(event));
    }
}

void CSFQTView::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    if (m_pEvent != nullptr) {
        m_pEvent->OnEnter();
    }
}

void CSFQTView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (m_pEvent != nullptr) {
        m_pEvent->OnLeave();
    }
}

void CSFQTView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_pEvent != nullptr) {
        m_pEvent->OnShowWindow(1);
    }
}

void CSFQTView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (m_pEvent != nullptr) {
        m_pEvent->OnShowWindow(0);
    }
}

void CSFQTView::customEvent(QEvent* event) {
    if (event->type() != CSFCustomEvent::EventType()) {
        QWidget::customEvent(event);
        return;
    }
    int handled = 0;
    if (SFQt::DeliverToMap(this, m_pEvent, *static_cast<const CSFCustomEvent*>(event), handled)) {
        event->setAccepted(handled != 0);
    }
}

// ======================================================================= Effect view

CSFQTEffectView::CSFQTEffectView(ISFEffectViewEvent* sink) : CSFQTWidget(sink) {
    SFQt::RegisterWindow(this);
}

CSFQTEffectView::~CSFQTEffectView() {
    SFQt::UnregisterWindow(this);
}

int CSFQTEffectView::Create(const wchar_t* /*className*/, const wchar_t* title, uint32_t style,
                            const tagRECT* rect, void* parent, uint32_t id) {
    setWindowTitle(FromW(title));
    ApplyCreate(parent, rect, style, id);
    return 1;
}
