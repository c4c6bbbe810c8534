#include "Main/view/SFQTEffectView.h"

#include "toolkit/SFFactory.h"
#include "toolkit/SFSkin.h"

#include <QEvent>
#include <QFile>
#include <QFontMetrics>
#include <QImageReader>
#include <QPainter>
#include <QPolygonF>
#include <cmath>

namespace {

const QColor kCeiling(243, 243, 243);
const QColor kFloor(222, 224, 227);
const QColor kSideWall(232, 232, 232);
const QColor kBareBackWall(250, 250, 250);  // the back wall without a texture
const QColor kDimension(176, 178, 185);
const QColor kDarkLabel(37, 37, 37);      // labels 0, 2, 5: the panels and the model
const QColor kLightLabel(207, 207, 207);  // labels 1, 3, 4, 6: the gaps and the stand
// White text on the light grey labels would be all but unreadable (contrast 1.6:1); they take
// the dark labels' colour instead (10:1).
const QColor kTextOnLight(37, 37, 37);
constexpr int kLabelTextPixels = 12;
constexpr int kLabelPadding = 3;  // on either side of a label's text
constexpr int kButtonCount = 6;
const QSize kDefaultButtonSize(28, 28);  // until a skin gives the image's size

bool IsDarkLabel(int label) {
    return label == kLabelModel || label == kLabelWallWidth || label == kLabelWallHeight;
}

bool SameRect(const tagRECT& a, const tagRECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A 1-pixel pen in device-independent pixels: 2 device pixels at a ratio of 2. (A cosmetic pen
// would be 1 device pixel, a hairline on such screens.)
QPen LinePen(const QColor& colour, Qt::PenStyle style = Qt::SolidLine) {
    return QPen(colour, 1.0, style, Qt::SquareCap, Qt::MiterJoin);
}

// A line through the centres of the pixels it names, end pixels included: with antialiasing on
// it covers exactly those pixels at a ratio of 1 and the same area at 2, so it is crisp at both.
void Line(QPainter& p, int x1, int y1, int x2, int y2) {
    p.drawLine(QLineF(x1 + 0.5, y1 + 0.5, x2 + 0.5, y2 + 0.5));
}

// The size a cache pixmap needs for a logical size at a pixel ratio.
QSize DeviceSize(const QSize& logical, qreal dpr) {
    return QSize(static_cast<int>(std::ceil(logical.width() * dpr)),
                 static_cast<int>(std::ceil(logical.height() * dpr)));
}

bool CacheFits(const QPixmap& cache, const QSize& logical, qreal dpr) {
    return !cache.isNull() && cache.devicePixelRatio() == dpr &&
           cache.size() == DeviceSize(logical, dpr);
}

// A file that fails every read once its cancel flag is set, so a decode reading from it ends at
// its next read (unbuffered: every read of the decoder comes here).
class CancellableFile final : public QFile {
public:
    CancellableFile(const QString& path, std::shared_ptr<std::atomic<bool>> cancel)
        : QFile(path), m_cancel(std::move(cancel)) {}

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        return m_cancel->load() ? -1 : QFile::readData(data, maxSize);
    }

private:
    std::shared_ptr<std::atomic<bool>> m_cancel;
};

// Decodes the first of the files that loads, with the ratio given for it; a null image when
// none does or the decode was cancelled.
QImage DecodeScreenImage(const QStringList& files, const QList<qreal>& ratios,
                         const std::shared_ptr<std::atomic<bool>>& cancel) {
    for (qsizetype i = 0; i < files.size() && !cancel->load(); ++i) {
        CancellableFile file(files[i], cancel);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            continue;
        }
        QImageReader reader(&file);
        QImage image = reader.read();
        if (!image.isNull() && !cancel->load()) {
            image.setDevicePixelRatio(ratios[i]);
            return image;
        }
    }
    return QImage();
}

}  // namespace

CSFQTEffectView::CSFQTEffectView(ISFEffectViewEvent* sink) : CSFQTWidget(sink), m_geometry(this) {
    SFQt::RegisterWindow(this);
    // The room covers every pixel: Qt need not paint what lies behind the preview.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_labelFont = font();
    m_labelFont.setPixelSize(kLabelTextPixels);
    m_labelFont.setStyleStrategy(QFont::PreferAntialias);
    for (int i = 0; i < kButtonCount; ++i) {
        m_buttonSizes[i] = kDefaultButtonSize;
        m_buttons[i] = SFCreateButton(this);
        if (m_buttons[i] == nullptr) {
            continue;
        }
        const tagRECT r{0, 0, kDefaultButtonSize.width(), kDefaultButtonSize.height()};
        m_buttons[i]->Create(L"", SF_WS_VISIBLE, &r, static_cast<QWidget*>(this),
                             static_cast<uint32_t>(i));
        m_buttons[i]->SetCursor();
    }
    ScheduleLayout();
}

CSFQTEffectView::~CSFQTEffectView() {
    // Before the widget goes: a finished decode's queued result dies with it, unseen.
    CancelScreenDecode();
    m_geometry.SetListener(nullptr);
    SFQt::UnregisterWindow(this);
    // The buttons are Qt children and go with the widget.
}

int CSFQTEffectView::Create(const wchar_t* /*className*/, const wchar_t* title, uint32_t style,
                            const tagRECT* rect, void* parent, uint32_t id) {
    setWindowTitle(SFQt::FromW(title));
    ApplyCreate(parent, rect, style, id);
    ScheduleLayout();
    return 1;
}

// A hidden widget gets its move and resize events only when shown; the report must not wait.
int CSFQTEffectView::MoveWindow(const tagRECT* rect) {
    const int done = CSFQTWidget::MoveWindow(rect);
    ScheduleLayout();
    return done;
}

int CSFQTEffectView::MoveWindow(int x, int y, int cx, int cy) {
    const int done = CSFQTWidget::MoveWindow(x, y, cx, cy);
    ScheduleLayout();
    return done;
}

// ---------------------------------------------------------------- IWallPreview

void CSFQTEffectView::SetModel(const std::wstring& name, double panelHeight, double panelWidth) {
    m_geometry.SetModel(name, panelHeight, panelWidth);
}
void CSFQTEffectView::SetWallSize(double wallHeight, double wallWidth) {
    m_geometry.SetViewSize(width(), height());
    m_geometry.SetWallSize(wallHeight, wallWidth);
}
int CSFQTEffectView::SetLayout(int columns, int rows) {
    return m_geometry.SetLayout(columns, rows);
}
void CSFQTEffectView::FitToRoom() {
    m_geometry.FitToRoom();
}
int CSFQTEffectView::ChangeOrientation() {
    return m_geometry.ChangeOrientation();
}
void CSFQTEffectView::ChangeLampstand(double lampstand) {
    m_geometry.SetViewSize(width(), height());
    m_geometry.ChangeLampstand(lampstand);
}
void CSFQTEffectView::MetersToFeet() {
    m_geometry.MetersToFeet();
}
void CSFQTEffectView::FeetToMeters() {
    m_geometry.FeetToMeters();
}

// ---------------------------------------------------------------- Drawing state

void CSFQTEffectView::SetBackground(const wchar_t* image) {
    m_texture = SFLoadSkinImage(image != nullptr ? image : L"");
    m_roomCache = QPixmap();
    update();
}

void CSFQTEffectView::SetBgScreen(const wchar_t* image) {
    CancelScreenDecode();
    m_screen = QPixmap();
    m_screenCache = QPixmap();
    ++m_screenGeneration;
    // The files SFLoadSkinImage would try, in its order: the "@2x" twin where the screen's
    // ratio asks for it, then the plain image.
    const QString path = SFSkinImagePath(image != nullptr ? image : L"");
    QStringList files;
    QList<qreal> ratios;
    if (!path.isEmpty()) {
        if (SFSkinImageRatio() == 2) {
            const qsizetype dot = path.lastIndexOf(u'.');
            const qsizetype slash = path.lastIndexOf(u'/');
            files << (dot > slash ? path.left(dot) + QStringLiteral("@2x") + path.mid(dot)
                                  : path + QStringLiteral("@2x"));
            ratios << 2.0;
        }
        files << path;
        ratios << 1.0;
    }
    m_screenFiles = files;
    m_screenRatios = ratios;
    m_screenPending = !files.isEmpty();
    // The decode starts at the next paint (StartScreenDecode): until the window has been drawn
    // once it would only compete with building it.
    update();
}

void CSFQTEffectView::StartScreenDecode() {
    if (!m_screenPending || m_decoder.joinable()) {
        return;  // nothing asked for, or it runs already
    }
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    m_decodeCancel = cancel;
    const quint64 generation = m_screenGeneration;
    // The worker is joined (CancelScreenDecode) before this widget is destroyed, so the queued
    // call is always posted to a live object; Qt drops it if the widget goes first.
    m_decoder =
        std::thread([this, files = m_screenFiles, ratios = m_screenRatios, cancel, generation] {
            QImage decoded = DecodeScreenImage(files, ratios, cancel);
            if (!cancel->load()) {
                QMetaObject::invokeMethod(
                    this,
                    [this, decoded = std::move(decoded), generation]() mutable {
                        OnScreenDecoded(std::move(decoded), generation);
                    },
                    Qt::QueuedConnection);
            }
        });
}

void CSFQTEffectView::CancelScreenDecode() {
    if (m_decodeCancel) {
        m_decodeCancel->store(true);
    }
    if (m_decoder.joinable()) {
        m_decoder.join();
    }
    m_decodeCancel.reset();
    m_screenPending = false;
}

void CSFQTEffectView::OnScreenDecoded(QImage image, quint64 generation) {
    if (generation != m_screenGeneration) {
        return;  // a later SetBgScreen replaced it
    }
    if (m_decoder.joinable()) {
        m_decoder.join();  // it has posted its result: it ends now
    }
    m_decodeCancel.reset();
    m_screenPending = false;
    m_screen = QPixmap::fromImage(std::move(image));  // a failed decode draws nothing
    m_screenCache = QPixmap();
    update();
}

void CSFQTEffectView::SetBgStyle(int style) {
    if (style < kBgWhite || style > kBgNone || style == m_bgStyle) {
        return;
    }
    m_bgStyle = style;
    m_styleChanged = true;  // the main frame shows or hides the content over the panels
    ScheduleLayout();
}

void CSFQTEffectView::SetOperable(int operable) {
    for (CSFButton* button : m_buttons) {
        if (button != nullptr) {
            button->ShowWindow(operable != 0 ? 1 : 0);
        }
    }
}

int CSFQTEffectView::SetBtnSkin(int button, const ImageButtonStyle* style) {
    if (button < 0 || button >= kButtonCount || m_buttons[button] == nullptr) {
        return 1;
    }
    if (m_buttons[button]->SetSkin(style) == 0) {
        return 0;  // no style: nothing changed
    }
    // The button takes the size of its normal image.
    const QPixmap normal = SFLoadSkinImage(style->normal);
    if (!normal.isNull()) {
        m_buttonSizes[button] = normal.deviceIndependentSize().toSize();
        ScheduleLayout();
    }
    return 1;
}

QString CSFQTEffectView::LabelText(int label) const {
    return label >= 0 && label < kLabelCount ? CurrentLayout().texts[label] : QString();
}

QRect CSFQTEffectView::LabelRect(int label) const {
    if (label < 0 || label >= kLabelCount) {
        return QRect();
    }
    CurrentLayout();
    return m_labelRects[label];
}

CSFButton* CSFQTEffectView::Button(int button) const {
    return button >= 0 && button < kButtonCount ? m_buttons[button] : nullptr;
}

// ---------------------------------------------------------------- Notifications

void CSFQTEffectView::OnChangeNum(int which, int count) {
    if (m_pEvent != nullptr) {
        m_pEvent->OnChangeNum(which, count);
    }
}
void CSFQTEffectView::OnChangeOrientation(int landscape) {
    if (m_pEvent != nullptr) {
        m_pEvent->OnChangeOrientation(landscape);
    }
}
void CSFQTEffectView::OnAttention(int code) {
    if (m_pEvent != nullptr) {
        m_pEvent->OnAttention(code);
    }
}
void CSFQTEffectView::OnChangeModel() {
    if (m_pEvent != nullptr) {
        m_pEvent->OnChangeModel();
    }
}
void CSFQTEffectView::OnChangeScrollGeometry(int width, int height) {
    resize(width, height);
    ScheduleLayout();
    if (m_pEvent != nullptr) {
        m_pEvent->OnChangeScrollGeometry(width, height);
    }
}

void CSFQTEffectView::BTN_OnClicked(uint32_t id) {
    // The geometry raises the notifications and asks for the repaint.
    m_geometry.PressButton(static_cast<int>(id));
}

// ---------------------------------------------------------------- Layout

void CSFQTEffectView::ScheduleLayout() {
    m_layoutStale = true;
    update();
    if (!m_layoutQueued) {
        m_layoutQueued = true;
        // Dropped with the widget if it is destroyed first.
        QMetaObject::invokeMethod(
            this, [this] { RunLayout(); }, Qt::QueuedConnection);
    }
}

void CSFQTEffectView::RunLayout() {
    m_layoutQueued = false;
    CurrentLayout();
    PlaceButtons();
    ReportGeometry();
}

const EffectViewLayout& CSFQTEffectView::CurrentLayout() const {
    if (m_layoutStale) {
        m_layout = LayOutEffectView(m_geometry, width(), height());
        const QFontMetricsF metrics(m_labelFont);
        for (int i = 0; i < kLabelCount; ++i) {
            m_labelWidths[i] =
                static_cast<int>(std::ceil(metrics.horizontalAdvance(m_layout.texts[i]))) +
                2 * kLabelPadding;
            m_labelRects[i] = FitLabelRect(
                m_layout.labels[i], m_labelWidths[i], m_layout.width,
                i == kLabelModel ? LabelGrowth::kLeftwards : LabelGrowth::kAroundCentre);
        }
        m_layoutStale = false;
    }
    return m_layout;
}

void CSFQTEffectView::PlaceButtons() {
    for (int i = 0; i < kButtonCount; ++i) {
        if (m_buttons[i] != nullptr) {
            const QRect r = EffectViewButtonRect(m_layout, i, m_buttonSizes[i]);
            m_buttons[i]->MoveWindow(r.x(), r.y(), r.width(), r.height());
        }
    }
}

void CSFQTEffectView::ReportGeometry() {
    const tagRECT panel = m_layout.panel;
    const QPoint at = pos();
    const tagRECT inParent{panel.left + at.x(), panel.top + at.y(), panel.right + at.x(),
                           panel.bottom + at.y()};
    const QSize size(m_layout.width, m_layout.height);
    if (m_reported && !m_styleChanged && SameRect(inParent, m_reportedInParent) &&
        m_layout.columns == m_reportedColumns && m_layout.rows == m_reportedRows &&
        size == m_reportedSize) {
        return;
    }
    m_reported = true;
    m_styleChanged = false;
    m_reportedPanel = panel;
    m_reportedInParent = inParent;
    m_reportedColumns = m_layout.columns;
    m_reportedRows = m_layout.rows;
    m_reportedSize = size;
    if (m_pEvent != nullptr) {
        m_pEvent->OnChangeGeometry(inParent, m_layout.columns, m_layout.rows, size.width(),
                                   size.height());
    }
}

void CSFQTEffectView::resizeEvent(QResizeEvent* event) {
    ScheduleLayout();
    CSFQTWidget::resizeEvent(event);
}

void CSFQTEffectView::moveEvent(QMoveEvent* event) {
    ScheduleLayout();
    CSFQTWidget::moveEvent(event);
}

void CSFQTEffectView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        const QFont::StyleStrategy strategy = m_labelFont.styleStrategy();
        m_labelFont = font();
        m_labelFont.setPixelSize(kLabelTextPixels);
        m_labelFont.setStyleStrategy(strategy);
        ScheduleLayout();
    }
    CSFQTWidget::changeEvent(event);
}

// ---------------------------------------------------------------- Painting

void CSFQTEffectView::paintEvent(QPaintEvent* /*event*/) {
    CurrentLayout();
    QPainter p(this);
    // The device painted on (a grab or render target may have another ratio than the screen).
    const qreal dpr = p.device()->devicePixelRatioF();
    DrawRoom(p, dpr);
    DrawPanels(p, dpr);
    DrawDimensions(p);
    DrawLabels(p);
    StartScreenDecode();
}

void CSFQTEffectView::DrawRoom(QPainter& p, qreal dpr) {
    const QSize size(m_layout.width, m_layout.height);
    if (!CacheFits(m_roomCache, size, dpr)) {
        const int w = m_layout.width;
        const int h = m_layout.height;
        const double m = m_layout.margin;
        m_roomCache = QPixmap(DeviceSize(size, dpr));
        m_roomCache.setDevicePixelRatio(dpr);
        // The side walls are the ground the ceiling and floor are laid on, so their antialiased
        // diagonals blend with the wall beside them and leave no light seam.
        m_roomCache.fill(kSideWall);
        QPainter room(&m_roomCache);
        room.setRenderHint(QPainter::Antialiasing);
        room.setPen(Qt::NoPen);
        room.setBrush(kCeiling);
        room.drawPolygon(
            QPolygonF({QPointF(0, 0), QPointF(m, m), QPointF(w - m, m), QPointF(w, 0)}));
        room.setBrush(kFloor);
        room.drawPolygon(
            QPolygonF({QPointF(0, h), QPointF(w, h), QPointF(w - m, h - m), QPointF(m, h - m)}));
        room.setRenderHint(QPainter::Antialiasing, false);
        const QRect back = m_layout.backWall;
        if (m_texture.isNull()) {
            room.fillRect(back, kBareBackWall);
        } else {
            room.drawTiledPixmap(back, m_texture);
        }
    }
    p.drawPixmap(0, 0, m_roomCache);
}

void CSFQTEffectView::DrawPanels(QPainter& p, qreal dpr) {
    const QRect panel = SFQt::ToQRect(m_layout.panel);
    if (m_bgStyle == kBgWhite || (m_bgStyle == kBgScreen && m_screenPending)) {
        p.fillRect(panel, Qt::white);  // also a screen image still being decoded
    } else if (m_bgStyle == kBgScreen && !m_screen.isNull() && !panel.isEmpty()) {
        if (!CacheFits(m_screenCache, panel.size(), dpr)) {
            m_screenCache = m_screen.scaled(DeviceSize(panel.size(), dpr), Qt::IgnoreAspectRatio,
                                            Qt::SmoothTransformation);
            m_screenCache.setDevicePixelRatio(dpr);
        }
        p.drawPixmap(panel.topLeft(), m_screenCache);
    }
    // Style 2 leaves the panels to the content window laid over them.

    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(LinePen(Qt::black));
    p.setBrush(Qt::NoBrush);
    const int left = m_layout.panel.left;
    const int top = m_layout.panel.top;
    const int right = m_layout.panel.right;
    const int bottom = m_layout.panel.bottom;
    if (right > left && bottom > top) {
        p.drawRect(QRectF(panel).translated(0.5, 0.5));
    } else {
        Line(p, left, top, right, bottom);  // no rows or no columns: the outline is a line
    }
    // Joints between the panels; on a wall of more panels than pixels each column or row of
    // pixels is drawn once.
    int previous = left;
    for (int i = 1; i < m_layout.columns; ++i) {
        const int x = static_cast<int>(left + i * m_layout.aw / m_layout.columns);
        if (x != previous) {
            Line(p, x, top, x, bottom);
            previous = x;
        }
    }
    previous = top;
    for (int j = 1; j < m_layout.rows; ++j) {
        const int y = static_cast<int>(top + j * m_layout.ah / m_layout.rows);
        if (y != previous) {
            Line(p, left, y, right, y);
            previous = y;
        }
    }
}

void CSFQTEffectView::DrawDimensions(QPainter& p) const {
    const EffectViewLayout& l = m_layout;
    const int m = l.margin;
    const int w = l.width;
    const int h = l.height;
    p.setRenderHint(QPainter::Antialiasing);

    // Along the top.
    const int y = l.topLineY;
    p.setPen(LinePen(kDimension, Qt::DotLine));
    for (int x : l.topTicks) {
        Line(p, x, y + 5, x, m);
    }
    p.setPen(LinePen(kDimension));
    Line(p, m, y, w - m, y);
    for (int x : l.topTicks) {
        Line(p, x, y - 5, x, y + 5);
    }
    p.setPen(LinePen(Qt::black));
    if (l.topTicks[2] > l.topTicks[1]) {
        Line(p, l.topTicks[1], y, l.topTicks[2], y);
    }

    // Along the right side.
    const int x = l.sideLineX;
    p.setPen(LinePen(kDimension, Qt::DotLine));
    for (int ty : l.sideTicks) {
        Line(p, x - 5, ty, w - m, ty);
    }
    p.setPen(LinePen(kDimension));
    Line(p, x, m, x, h - m);
    for (int ty : l.sideTicks) {
        Line(p, x - 5, ty, x + 5, ty);
    }
    p.setPen(LinePen(Qt::black));
    if (l.sideTicks[2] > l.sideTicks[1]) {
        Line(p, x, l.sideTicks[1], x, l.sideTicks[2]);
    }
}

void CSFQTEffectView::DrawLabels(QPainter& p) const {
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(m_labelFont);
    const QFontMetrics metrics(m_labelFont);
    for (int i = 0; i < kLabelCount; ++i) {
        const QString& text = m_layout.texts[i];
        if (i == kLabelModel && text.isEmpty()) {
            continue;  // no model applied: no empty dark box
        }
        const QRect r = m_labelRects[i];
        const bool dark = IsDarkLabel(i);
        p.fillRect(r, dark ? kDarkLabel : kLightLabel);
        p.setPen(dark ? QColor(Qt::white) : kTextOnLight);
        // Only a text wider than the whole preview is shortened.
        if (r.width() < m_labelWidths[i]) {
            p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine,
                       metrics.elidedText(text, Qt::ElideRight, r.width() - 2 * kLabelPadding));
        } else {
            p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, text);
        }
    }
}

CSFEffectView* SFCreateEffectView(ISFEffectViewEvent* sink) {
    return SFQt::Make<CSFQTEffectView>(sink);
}
