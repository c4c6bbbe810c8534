#include "toolkit/qt/SFQTEdits.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QMouseEvent>
#include <QRegularExpressionValidator>
#include <QStringListModel>

#include <algorithm>
#include <cmath>
#include <optional>

using SFQt::FromW;

namespace {

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

// Qt's spin boxes refuse the keystroke that takes a number past the range, so "999" typed into
// 2..60 would stay "9". A number outside the range is let through as unfinished instead, and
// HeldToRange gives the nearest bound for it when the edit ends.
template <class SpinBox>
QValidator::State LetOutOfRangeThrough(const SpinBox& box, QValidator::State state,
                                       const QString& text) {
    bool ok = false;
    const double v = box.locale().toDouble(text.trimmed(), &ok);
    const bool outside =
        ok && (v < static_cast<double>(box.minimum()) || v > static_cast<double>(box.maximum()));
    return state == QValidator::Invalid && outside ? QValidator::Intermediate : state;
}

// The typed number held to the range; nothing for text that is not a number.
template <class SpinBox>
std::optional<double> HeldToRange(const SpinBox& box, const QString& text) {
    bool ok = false;
    const double v = box.locale().toDouble(text.trimmed(), &ok);
    if (!ok || std::isnan(v)) {
        return std::nullopt;
    }
    return std::clamp(v, static_cast<double>(box.minimum()), static_cast<double>(box.maximum()));
}

}  // namespace

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

// ======================================================================= Spinners

CSFQTNumSpiner::CSFQTNumSpiner(ISFNumSpinerEvent* sink) : CSFQTWidget(sink) {
    setFrame(false);
    setLocale(QLocale::c());
    // Typed text is reported once, when the user ends the edit (Enter or focus out), not per
    // keystroke: typing "25" must not ask the wall for 2 first. Arrows report at once.
    setKeyboardTracking(false);
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

QValidator::State CSFQTNumSpiner::validate(QString& text, int& pos) const {
    return LetOutOfRangeThrough(*this, QSpinBox::validate(text, pos), text);
}

void CSFQTNumSpiner::fixup(QString& text) const {
    if (const std::optional<double> held = HeldToRange(*this, text)) {
        text = textFromValue(static_cast<int>(*held));
    } else {
        QSpinBox::fixup(text);
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
    setLocale(QLocale::c());
    setKeyboardTracking(false);  // as the number spinner: one report per finished edit
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

QValidator::State CSFQTDoubleSpiner::validate(QString& text, int& pos) const {
    return LetOutOfRangeThrough(*this, QDoubleSpinBox::validate(text, pos), text);
}

void CSFQTDoubleSpiner::fixup(QString& text) const {
    if (const std::optional<double> held = HeldToRange(*this, text)) {
        text = textFromValue(*held);
    } else {
        QDoubleSpinBox::fixup(text);
    }
}

int CSFQTDoubleSpiner::SetSkin(const ImageNumSpinerStyle* style) {
    if (style == nullptr) {
        return 0;
    }
    setStyleSheet(SpinnerSheet("QDoubleSpinBox", *style));
    return 1;
}
