#include "video/qt/SFVideoWindow.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "toolkit/SFSkin.h"
#include "video/QTVideoWindowLayout.h"

namespace {

using SF_SOFT_BASE::ESFColorMatrix;
using SF_SOFT_BASE::ESFColorRange;

// What every play window of one control shows before and instead of frames.
struct PlaceholderLook {
    // The no-video image, decoded when a placeholder is first painted: the window starts hidden,
    // and the program's first paint does not wait for it.
    const QPixmap& Image() const {
        if (!imageFile.empty()) {
            image = SFLoadSkinImage(imageFile);
            imageFile.clear();
        }
        return image;
    }
    mutable std::wstring imageFile;  // still to be loaded
    mutable QPixmap image;
    QColor background{0x5c, 0x65, 0x76};
    QColor joint{Qt::black};  // the lines between the panels, as the preview draws them
    QString loadingText;
    QString unavailableText;  // non-empty: no frame is shown
};

// The cell lines of a side of `extent` logical pixels cut into `count` panels: line i lies at
// i x (extent + 2) / count - 1 (the play window stands 1 pixel inside its cell), the last one
// just past the window. The joint between panels i - 1 and i lies on line i.
int CellLine(int i, int count, int extent) {
    return i == count ? extent : i * (extent + 2) / count - 1;
}

// One panel along a side: where it lies in the window (logical pixels, end excluded) and where
// its part lies in the scaled frame (device pixels, the panels side by side without joints).
struct PanelSpan {
    int begin = 0;
    int end = 0;
    int deviceBegin = 0;
    int deviceEnd = 0;
};

// Panel i spans from just after line i (from 0 for the first) to just before line i + 1; a panel
// too narrow for a pixel is empty, and its segment of the frame is not shown.
std::vector<PanelSpan> PanelSpans(int count, int extent, qreal ratio) {
    std::vector<PanelSpan> spans(static_cast<size_t>(std::max(0, count)));
    int device = 0;
    for (int i = 0; i < count; ++i) {
        PanelSpan& span = spans[static_cast<size_t>(i)];
        span.begin = i == 0 ? 0 : CellLine(i, count, extent) + 1;
        span.end = std::max(span.begin, CellLine(i + 1, count, extent));
        span.deviceBegin = device;
        device += std::max(0, static_cast<int>(std::lround(span.end * ratio)) -
                                  static_cast<int>(std::lround(span.begin * ratio)));
        span.deviceEnd = device;
    }
    return spans;
}

QSize TotalSize(const std::vector<PanelSpan>& columns, const std::vector<PanelSpan>& rows) {
    return {columns.empty() ? 0 : columns.back().deviceEnd,
            rows.empty() ? 0 : rows.back().deviceEnd};
}

// The render target: the last frame converted to RGB32, cut into its segments when painted.
class CSFQTVideoWindowPlayWnd : public QWidget {
public:
    CSFQTVideoWindowPlayWnd(QWidget* parent, const PlaceholderLook& look)
        : QWidget(parent), m_look(look) {
        setAttribute(Qt::WA_TransparentForMouseEvents);  // the sub-window reports the mouse
        // Every pixel is painted (segments, joints or the placeholder), so a new frame repaints
        // this window alone and not the preview drawn beneath it.
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    // Converts the frame into the kept picture (reallocated only when the size changes).
    bool Convert(const uint8_t* buffer, int width, int height,
                 const SF_SOFT_BASE::SFYuvCoefficients& coefficients) {
        if (m_rgb.width() != width || m_rgb.height() != height) {
            m_rgb = QImage(width, height, QImage::Format_RGB32);
            if (m_rgb.isNull()) {
                m_hasFrame = false;  // out of memory: the placeholder shows, not a null picture
                update();
                return false;
            }
        }
        const size_t luma = static_cast<size_t>(width) * height;
        const int cw = (width + 1) / 2;
        const size_t chroma = static_cast<size_t>(cw) * ((height + 1) / 2);
        SF_SOFT_BASE::SFYuvImageView source;
        source.y = {buffer, luma};
        source.u = {buffer + luma, chroma};
        source.v = {buffer + luma + chroma, chroma};
        source.yStride = width;
        source.uStride = cw;
        source.vStride = cw;
        source.width = width;
        source.height = height;
        const SF_SOFT_BASE::SFRgbImageView destination{
            {m_rgb.bits(), static_cast<size_t>(m_rgb.sizeInBytes())},
            static_cast<int>(m_rgb.bytesPerLine())};
        m_hasFrame = SF_SOFT_BASE::ConvertYuv420ToRgb32(source, destination, coefficients);
        m_scaledStale = true;
        return m_hasFrame;
    }
    void SetSegments(int columns, int rows) {
        if (columns != m_columns || rows != m_rows) {
            m_columns = columns;
            m_rows = rows;
            update();
        }
    }
    bool HasFrame() const { return m_hasFrame; }
    qreal ratio() const { return devicePixelRatioF(); }
    // The panels' total size in device pixels, the size a frame is best delivered at.
    QSize PanelsSize() const {
        return TotalSize(PanelSpans(m_columns, width(), ratio()),
                         PanelSpans(m_rows, height(), ratio()));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (!m_hasFrame || !m_look.unavailableText.isEmpty()) {
            PaintPlaceholder(painter);
            return;
        }
        // Segment (c, r) of the frame goes into panel (c, r). The play window stands 1 pixel
        // inside its cell, whose edges (the wall's outline) stay visible around it; the joints
        // between the panels lie on the cell's lines i x side / count and are drawn here in the
        // joint colour, one logical pixel wide like the preview's.
        //
        // The frame covers the panels' total size in device pixels (the window less its joints)
        // and each panel's part of it is copied into place: the panels' parts are the frame's
        // segments to within half a pixel. The player delivers frames at that size when they
        // are larger (GetSubWinPixelSize); any other is scaled once, smoothly, into a kept
        // picture, which costs half of what one scaled draw per panel costs on a 10 x 10 wall.
        // Device pixels keep a ratio of 2 sharp.
        const std::vector<PanelSpan> columns = PanelSpans(m_columns, width(), ratio());
        const std::vector<PanelSpan> rows = PanelSpans(m_rows, height(), ratio());
        const QSize total = TotalSize(columns, rows);
        const QImage* picture = &m_rgb;
        if (m_rgb.size() != total && !total.isEmpty()) {
            if (m_scaledStale || m_scaled.size() != total) {
                if (m_scaled.size() != total) {
                    m_scaled = QImage(total, QImage::Format_RGB32);
                }
                if (!m_scaled.isNull()) {
                    QPainter scaler(&m_scaled);
                    scaler.setRenderHint(QPainter::SmoothPixmapTransform);
                    scaler.drawImage(QRectF(QPointF(0, 0), QSizeF(total)), m_rgb);
                    m_scaledStale = false;
                }
            }
            picture = m_scaledStale ? nullptr : &m_scaled;
        }
        if (picture != nullptr && !picture->isNull()) {
            for (const PanelSpan& r : rows) {
                for (const PanelSpan& c : columns) {
                    if (c.end == c.begin || r.end == r.begin) {
                        continue;
                    }
                    painter.drawImage(
                        QRectF(c.begin, r.begin, c.end - c.begin, r.end - r.begin), *picture,
                        QRectF(c.deviceBegin, r.deviceBegin, c.deviceEnd - c.deviceBegin,
                               r.deviceEnd - r.deviceBegin));
                }
            }
        }
        // The panels and these lines together cover the window.
        for (int i = 1; i < m_columns; ++i) {
            painter.fillRect(CellLine(i, m_columns, width()), 0, 1, height(), m_look.joint);
        }
        for (int i = 1; i < m_rows; ++i) {
            painter.fillRect(0, CellLine(i, m_rows, height()), width(), 1, m_look.joint);
        }
    }

private:
    void PaintPlaceholder(QPainter& painter) {
        painter.fillRect(rect(), m_look.background);
        QRect area = rect();
        const QPixmap& image = m_look.Image();
        if (!image.isNull()) {
            const QSize logical = image.deviceIndependentSize().toSize();
            const QSize fit = logical.scaled(rect().size() * 3 / 5, Qt::KeepAspectRatio);
            if (!fit.isEmpty()) {
                const QRect target(QPoint((width() - fit.width()) / 2,
                                          (height() - fit.height()) / 2 - fit.height() / 8),
                                   fit);
                painter.setRenderHint(QPainter::SmoothPixmapTransform);
                painter.drawPixmap(target, image);
                area.setTop(target.bottom());
            }
        }
        const QString& text =
            m_look.unavailableText.isEmpty() ? m_look.loadingText : m_look.unavailableText;
        painter.setPen(Qt::white);
        painter.drawText(area, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text);
    }

    const PlaceholderLook& m_look;
    QImage m_rgb;
    QImage m_scaled;            // m_rgb scaled to the panels' total size, kept while it fits
    bool m_scaledStale = true;  // a new frame arrived since m_scaled was drawn
    bool m_hasFrame = false;
    int m_columns = 1;
    int m_rows = 1;
};

class CSFQTVideoWindow;

// One cell of the layout, holding its play window one pixel inside its edge.
class CSFQTVideoWindowSubWnd : public QWidget {
public:
    CSFQTVideoWindowSubWnd(CSFQTVideoWindow* owner, QWidget* parent, int id,
                           const PlaceholderLook& look)
        : QWidget(parent), m_owner(owner), m_id(id), m_play(this, look) {}

    int Id() const { return m_id; }
    CSFQTVideoWindowPlayWnd& Play() { return m_play; }
    bool m_video = false;
    int m_proportionW = 0;
    int m_proportionH = 0;

protected:
    void resizeEvent(QResizeEvent*) override { m_play.setGeometry(rect()); }
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    CSFQTVideoWindow* m_owner;
    int m_id;
    CSFQTVideoWindowPlayWnd m_play;
};

class CSFQTVideoWindow : public QWidget, public CSFVideoWindow {
public:
    explicit CSFQTVideoWindow(ISFVideoWindowEvent* sink) : CSFVideoWindow(sink) {
        setAttribute(Qt::WA_DeleteOnClose, false);
        PlaceSubWindows();
    }

    // ---- CSFControl
    int ShowWindow(int show) override {
        setVisible(show != 0);
        return 1;
    }
    int MoveWindow(const tagRECT* r) override {
        return r != nullptr ? MoveWindow(r->left, r->top, r->right - r->left, r->bottom - r->top)
                            : 0;
    }
    int MoveWindow(int x, int y, int cx, int cy) override {
        setGeometry(x, y, std::max(0, cx), std::max(0, cy));
        return 1;
    }
    void* GetUIWnd() override { return static_cast<QWidget*>(this); }
    uint32_t GetCtrlID() override { return m_ctrlId; }

    // ---- CSFVideoWindow
    int Create(const wchar_t* /*className*/, const wchar_t* title, uint32_t style,
               const tagRECT* rect, void* parent, uint32_t id) override {
        setParent(static_cast<QWidget*>(parent));
        if (title != nullptr) {
            setObjectName(QString::fromWCharArray(title));
        }
        m_ctrlId = id;
        if (rect != nullptr) {
            MoveWindow(rect);
        }
        setVisible((style & SF_WS_VISIBLE) != 0);
        return 1;
    }
    int SetSkin(const ImageVideoWindowStyle* style) override {
        if (style == nullptr) {
            return 0;
        }
        m_look.image = QPixmap();
        m_look.imageFile = style->noVideoImage;
        if (!style->colors[0].empty()) {
            m_look.background = SFParseSkinColor(style->colors[0]);
        }
        m_look.loadingText = QString::fromStdWString(style->loadingText);
        RepaintAll();
        return 1;
    }
    int SetRows(int rows) override { return ChangeGrid(m_layout.SetRows(rows)); }
    int SetColumns(int columns) override { return ChangeGrid(m_layout.SetColumns(columns)); }
    int SetDefaultLayout(int type, const char* text) override {
        const char* chosen = type == LAYOUT_CUSTOM ? text : ::GetDefaultLayout(type);
        if (chosen == nullptr || !m_layout.Apply(chosen)) {
            return 0;
        }
        PlaceSubWindows();
        return 1;
    }
    int GetLayout(char* buffer, int size) override {
        if (buffer == nullptr || size < 1) {
            return 0;
        }
        const std::string text = m_layout.Serialize();
        const int n = std::min(static_cast<int>(text.size()), size - 1);
        std::copy_n(text.data(), n, buffer);
        buffer[n] = '\0';
        return n;
    }
    int SetSubWinProportion(int w, int h, int id) override {
        int found = 0;
        for (auto& [index, sub] : m_subs) {
            if (id == -1 || sub->Id() == id) {
                sub->m_proportionW = w;
                sub->m_proportionH = h;
                found = 1;
            }
        }
        return found;
    }
    void* GetSubWinHandle(int index) override {
        CSFQTVideoWindowSubWnd* sub = SubAt(index);
        return sub != nullptr ? static_cast<QWidget*>(sub) : nullptr;
    }
    int GetCurrentSubWinIndex() override {
        return m_focus >= 0 && m_focus < m_layout.CellCount() ? m_focus : -1;
    }
    int GetCurrentSubWinID() override { return GetSubWinIDByIndex(GetCurrentSubWinIndex()); }
    int GetSubWinIDByIndex(int index) override {
        CSFQTVideoWindowSubWnd* sub = SubAt(index);
        return sub != nullptr ? sub->Id() : -1;
    }
    int GetSubWinIndexByID(int id) override {
        for (int i = 0; i < m_layout.CellCount(); ++i) {
            if (SubAt(i) != nullptr && SubAt(i)->Id() == id) {
                return i;
            }
        }
        return -1;
    }
    int GetCurrentSubWinCount() override { return m_layout.CellCount(); }
    int SetSubWinVideoByIndex(int index, int on) override {
        CSFQTVideoWindowSubWnd* sub = SubAt(index);
        if (sub == nullptr) {
            return 0;
        }
        sub->m_video = on != 0;
        return 1;
    }
    int SetSubWinVideoByID(int id, int on) override {
        return SetSubWinVideoByIndex(GetSubWinIndexByID(id), on);
    }
    int IsPlayVideo(int index) override {
        CSFQTVideoWindowSubWnd* sub = SubAt(index);
        return sub != nullptr && sub->m_video ? 1 : 0;
    }
    int ResetSubWinSizeToMin(int index) override {
        if (index < 0 || SubAt(index) == nullptr) {
            return 0;
        }
        if (m_zoomed == index) {
            m_zoomed = -1;
            PlaceSubWindows();
        }
        return 1;
    }
    int ResetSubWinSizeToMinByID(int id) override {
        return ResetSubWinSizeToMin(GetSubWinIndexByID(id));
    }
    int SetFocusSubWin(int id) override {
        for (int i = 0; i < m_layout.CellCount(); ++i) {
            CSFQTVideoWindowSubWnd* sub = SubAt(i);
            if (sub != nullptr && sub->Id() == id && !sub->isHidden() && i != m_focus) {
                m_focus = i;
                if (m_pEvent != nullptr) {
                    m_pEvent->OnFocusWndChanged(i, id);
                }
                return 1;
            }
        }
        return 0;
    }
    int SetSubWinCtrlsVisible(int on) override {
        m_ctrlsVisible = on != 0;  // this window draws no per-cell buttons
        return 1;
    }
    int GetSubWinSize(int index, int* w, int* h) override {
        CSFQTVideoWindowSubWnd* sub = SubAt(index);
        if (sub == nullptr || w == nullptr || h == nullptr) {
            return 0;
        }
        *w = sub->width();
        *h = sub->height();
        return 1;
    }
    int GetSubWinPixelSize(int index, int* w, int* h) override {
        CSFQTVideoWindowSubWnd* sub = SubAt(index);
        if (sub == nullptr || w == nullptr || h == nullptr) {
            return 0;
        }
        const QSize size = sub->Play().PanelsSize();
        *w = size.width();
        *h = size.height();
        return 1;
    }
    int IsZooming() override { return m_zoomed >= 0 ? 1 : 0; }

    int RenderOffScreenSurface(int id, const uint8_t* buffer, int width, int height, int /*a*/,
                               int /*b*/) override {
        const int index = GetSubWinIndexByID(id);
        if (index < 0 || buffer == nullptr || width < 1 || height < 1 ||
            width > SF_SOFT_BASE::kSFMaxYuvSide || height > SF_SOFT_BASE::kSFMaxYuvSide) {
            return 0;
        }
        // Hidden or minimised, nobody sees the frame: it is not even converted.
        if (!isVisible() || window()->isMinimized()) {
            return 1;
        }
        CSFQTVideoWindowSubWnd* sub = SubAt(index);
        const bool had = sub->Play().HasFrame();
        if (!sub->Play().Convert(buffer, width, height, m_coefficients)) {
            return 0;
        }
        if (!had || m_look.unavailableText.isEmpty()) {
            sub->Play().update();
        }
        return 1;
    }
    void SetFrameColorSpace(ESFColorMatrix matrix, ESFColorRange range) override {
        m_coefficients = SF_SOFT_BASE::YuvCoefficients(matrix, range);
    }
    int SetScreenSegmentation(int columns, int rows, int id) override {
        const int index = GetSubWinIndexByID(id);
        if (index < 0 || columns < 1 || rows < 1) {
            return 0;
        }
        SubAt(index)->Play().SetSegments(columns, rows);
        return 1;
    }
    void SetUnavailableText(const wchar_t* text) override {
        m_look.unavailableText = text != nullptr ? QString::fromWCharArray(text) : QString();
        RepaintAll();
    }

    // The sub-windows' reports.
    void SubPressed(CSFQTVideoWindowSubWnd* sub, QPoint at, bool down) {
        const int index = IndexOf(sub);
        if (index < 0 || m_pEvent == nullptr) {
            return;
        }
        tagPOINT point{at.x(), at.y()};
        if (down) {
            SetFocusSubWin(sub->Id());
            m_pEvent->VideoWidow_OnLButtonDown(index, sub->Id(), point);
        } else {
            m_pEvent->VideoWidow_OnLButtonUp(index, sub->Id(), point);
        }
    }
    void SubWheel(CSFQTVideoWindowSubWnd* sub, int delta) {
        const int index = IndexOf(sub);
        if (index >= 0 && m_pEvent != nullptr) {
            m_pEvent->VideoWidow_OnMouseWheel(index, sub->Id(), delta);
        }
    }

protected:
    void resizeEvent(QResizeEvent*) override { PlaceSubWindows(); }

private:
    CSFQTVideoWindowSubWnd* SubAt(int index) {
        if (index < 0 || index >= m_layout.CellCount()) {
            return nullptr;
        }
        const auto it = m_subs.find(index);
        return it != m_subs.end() ? it->second.get() : nullptr;
    }
    int IndexOf(const CSFQTVideoWindowSubWnd* sub) {
        for (int i = 0; i < m_layout.CellCount(); ++i) {
            if (SubAt(i) == sub && !sub->isHidden()) {
                return i;
            }
        }
        return -1;
    }
    int ChangeGrid(bool changed) {
        if (!changed) {
            return 0;
        }
        PlaceSubWindows();
        if (m_pEvent != nullptr) {
            m_pEvent->OnLayoutChanged();
        }
        update();
        return 1;
    }
    // Lays the grid out on the control's size and puts one sub-window in every cell, 1 pixel
    // inside its edges; a zoomed sub-window covers the whole control alone.
    void PlaceSubWindows() {
        if (width() > 0 && height() > 0) {
            m_layout.Resize(width(), height());
        }
        const int count = m_layout.CellCount();
        for (int i = 0; i < count; ++i) {
            auto& sub = m_subs[i];
            if (!sub) {
                sub = std::make_unique<CSFQTVideoWindowSubWnd>(this, this, i, m_look);
            }
            const CQTVideoWindowLayout::Rect cell = m_layout.Cells().at(i);
            QRect geometry(cell.left + 1, cell.top + 1, cell.right - cell.left - 1,
                           cell.bottom - cell.top - 1);
            if (m_zoomed >= 0) {
                geometry = rect();
            }
            sub->setGeometry(geometry);
            sub->setVisible(m_zoomed < 0 || m_zoomed == i);
        }
        for (auto& [index, sub] : m_subs) {
            if (index >= count) {
                sub->hide();
            }
        }
        if (m_focus >= count) {
            m_focus = -1;
        }
    }
    void RepaintAll() {
        for (auto& [index, sub] : m_subs) {
            sub->Play().update();
        }
    }

    CQTVideoWindowLayout m_layout;
    PlaceholderLook m_look;
    std::map<int, std::unique_ptr<CSFQTVideoWindowSubWnd>> m_subs;
    SF_SOFT_BASE::SFYuvCoefficients m_coefficients =
        SF_SOFT_BASE::YuvCoefficients(ESFColorMatrix::Bt601, ESFColorRange::Limited);
    int m_focus = -1;
    int m_zoomed = -1;
    bool m_ctrlsVisible = true;
    uint32_t m_ctrlId = 0;
};

void CSFQTVideoWindowSubWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_owner->SubPressed(this, event->position().toPoint(), true);
}

void CSFQTVideoWindowSubWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_owner->SubPressed(this, event->position().toPoint(), false);
}

void CSFQTVideoWindowSubWnd::wheelEvent(QWheelEvent* event) {
    m_owner->SubWheel(this, event->angleDelta().y());
}

}  // namespace

const char* CSFVideoWindow::GetDefaultLayout(int type) {
    return ::GetDefaultLayout(type);
}

CSFVideoWindow* SFCreateVideoWindow(int /*a*/, ISFVideoWindowEvent* sink, int /*b*/, int /*c*/) {
    return new (std::nothrow) CSFQTVideoWindow(sink);
}
