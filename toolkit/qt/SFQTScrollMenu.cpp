#include "toolkit/qt/SFQTScrollMenu.h"

#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QScrollBar>

using SFQt::CssColor;
using SFQt::FromW;

namespace {

// The colour of an image whose pixels are all the same opaque colour; invalid otherwise (or
// for a null image).
QColor UniformOpaqueColour(const QPixmap& pixmap) {
    if (pixmap.isNull()) {
        return QColor();
    }
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    const QRgb first = image.pixel(0, 0);
    if (qAlpha(first) != 255) {
        return QColor();
    }
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (row[x] != first) {
                return QColor();
            }
        }
    }
    return QColor::fromRgb(first);
}

}  // namespace

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
    // A background naming an image (it has an extension) is tiled behind the content; the
    // content widget stops filling itself so that it shows through.
    const bool image = style->background.find(L'.') != std::wstring::npos;
    const QColor bg = image ? SFQt::kSurface : pick(style->background, SFQt::kSurface);
    const QColor handle = pick(style->handle, QColor(196, 202, 212));
    const QColor hover = pick(style->handleHover, SFQt::kAccent);
    const QColor groove = pick(style->groove, bg);
    const QString areaBackground =
        image ? QString() : QStringLiteral("background: %1; ").arg(CssColor(bg));
    setStyleSheet(
        QStringLiteral("QScrollArea { %1border: 0; }"
                       " QScrollBar:vertical { background: %4; width: 10px; margin: 0; }"
                       " QScrollBar:horizontal { background: %4; height: 10px; margin: 0; }"
                       " QScrollBar::handle { background: %2; border-radius: 4px;"
                       " min-height: 24px; min-width: 24px; margin: 1px; }"
                       " QScrollBar::handle:hover { background: %3; }"
                       " QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }"
                       " QScrollBar::add-page, QScrollBar::sub-page { background: none; }")
            .arg(areaBackground, CssColor(handle), CssColor(hover), CssColor(groove)));
    if (image) {
        // After the style sheet, whose polish would otherwise reset the viewport's palette.
        m_backgroundImage = SFLoadSkinImage(style->background);
        m_backgroundColour = UniformOpaqueColour(m_backgroundImage);
        QPalette palette = viewport()->palette();
        palette.setBrush(QPalette::Window, QBrush(bg));
        viewport()->setPalette(palette);
        viewport()->setAutoFillBackground(true);
        m_content->setAutoFillBackground(false);
        StretchBackground();
    }
    return 1;
}

void CSFQTScrollArea::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    StretchBackground();
}

void CSFQTScrollArea::StretchBackground() {
    if (m_backgroundImage.isNull() || viewport()->size().isEmpty()) {
        return;
    }
    QPalette palette = viewport()->palette();
    if (m_backgroundColour.isValid()) {
        // A one-colour image stretches to that colour: smooth scaling a 16 × 16 image to a
        // window-sized area cost more than building the whole main window.
        if (palette.brush(QPalette::Window) == QBrush(m_backgroundColour)) {
            return;
        }
        palette.setBrush(QPalette::Window, QBrush(m_backgroundColour));
    } else {
        palette.setBrush(QPalette::Window,
                         QBrush(m_backgroundImage.scaled(viewport()->size(), Qt::IgnoreAspectRatio,
                                                         Qt::SmoothTransformation)));
    }
    viewport()->setPalette(palette);
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
