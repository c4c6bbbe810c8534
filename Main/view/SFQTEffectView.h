#pragma once
// The Qt implementation of the wall preview. It paints the room, the back wall texture, the
// panels with their joints, the dimension lines and the seven labels itself (from the layout of
// EffectViewLayout.h), and carries six toolkit buttons as children.
//
// Layout and report: every change (geometry, size, position in the parent, style) marks the
// layout stale and queues one layout pass for the event loop, so that an operation that changes
// several things (SetWallSize resizes, then shrinks the counts) is laid out once, with its final
// numbers. The pass places the buttons and raises OnChangeGeometry when what it reports (the
// panel rectangle in the parent's coordinates, the counts, the preview's size) differs from the
// last report, or the background style changed since. Painting uses the same layout (computed
// on demand when the pass has not run yet) and never changes anything.
//
// Painting is cheap: the room with its tiled texture and the screen image scaled to the panels
// are cached as pixmaps at the device's pixel ratio and rebuilt only when their size, the
// ratio or the image changes. Lines are 1 device-independent pixel wide and sit on whole
// pixels, so they stay crisp at any ratio.
#include "Main/view/EffectViewLayout.h"
#include "Main/view/SFEffectView.h"
#include "toolkit/qt/SFQTCommon.h"

#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

#include <atomic>
#include <memory>
#include <thread>

class QPainter;

class CSFQTEffectView : public SFQt::CSFQTWidget<QWidget, CSFEffectView>,
                        private IWallGeometryEvent,
                        private ISFButtonEvent {
public:
    explicit CSFQTEffectView(ISFEffectViewEvent* sink);
    ~CSFQTEffectView() override;
    int Create(const wchar_t* className, const wchar_t* title, uint32_t style, const tagRECT* rect,
               void* parent, uint32_t id) override;
    void Invalidate() override { update(); }
    int MoveWindow(const tagRECT* rect) override;
    int MoveWindow(int x, int y, int cx, int cy) override;

    // IWallPreview: the geometry's operations; the geometry asks for the repaint.
    void SetModel(const std::wstring& name, double panelHeight, double panelWidth) override;
    void SetWallSize(double wallHeight, double wallWidth) override;
    int SetLayout(int columns, int rows) override;
    void FitToRoom() override;
    int ChangeOrientation() override;
    void ChangeLampstand(double lampstand) override;
    void MetersToFeet() override;
    void FeetToMeters() override;

    void SetBackground(const wchar_t* image) override;
    void SetBgScreen(const wchar_t* image) override;
    // 0, 1 or 2 (EffectViewBgStyle); other values are ignored.
    void SetBgStyle(int style) override;
    void SetOperable(int operable) override;
    int SetBtnSkin(int button, const ImageButtonStyle* style) override;
    const WallGeometry& Geometry() const override { return m_geometry; }
    tagRECT PanelRect() const override { return m_reportedPanel; }

    // What the labels show and where, as the next paint draws them (tests, tools).
    QString LabelText(int label) const;
    QRect LabelRect(int label) const;
    // The button of the given number (WallButton), or null.
    CSFButton* Button(int button) const;
    // True from SetBgScreen until its image has arrived (or failed to); the decode starts when
    // the view is next painted.
    bool ScreenImagePending() const { return m_screenPending; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The geometry's notifications, forwarded to the sink.
    void OnChangeNum(int which, int count) override;
    void OnChangeOrientation(int landscape) override;
    void OnAttention(int code) override;
    void OnChangeModel() override;
    void OnChangeScrollGeometry(int width, int height) override;
    void OnRedraw() override { ScheduleLayout(); }
    // A button released over itself: its action (WallGeometry::PressButton).
    void BTN_OnClicked(uint32_t id) override;

    void ScheduleLayout();
    void RunLayout();
    // The layout of the current state and size, recomputed when stale.
    const EffectViewLayout& CurrentLayout() const;
    void PlaceButtons();
    void ReportGeometry();

    // The screen image is decoded on a worker thread (a 1920 × 1080 picture costs more than the
    // whole window to build); the result comes back through the event loop. Cancel stops a
    // running decode at its next read and waits for the worker.
    void CancelScreenDecode();
    void StartScreenDecode();
    void OnScreenDecoded(QImage image, quint64 generation);

    void DrawRoom(QPainter& p, qreal dpr);
    void DrawPanels(QPainter& p, qreal dpr);
    void DrawDimensions(QPainter& p) const;
    void DrawLabels(QPainter& p) const;

    WallGeometry m_geometry;
    CSFButton* m_buttons[6] = {};
    QSize m_buttonSizes[6];
    int m_bgStyle = kBgScreen;
    QFont m_labelFont;

    mutable EffectViewLayout m_layout;
    mutable QRect m_labelRects[kLabelCount];      // grown to their texts
    mutable int m_labelWidths[kLabelCount] = {};  // what each text needs, padding included
    mutable bool m_layoutStale = true;
    bool m_layoutQueued = false;

    // The last report: nothing is raised again until one of these changes (or the style).
    bool m_reported = false;
    bool m_styleChanged = false;
    tagRECT m_reportedPanel{0, 0, 0, 0};  // own coordinates
    tagRECT m_reportedInParent{0, 0, 0, 0};
    int m_reportedColumns = 0;
    int m_reportedRows = 0;
    QSize m_reportedSize;

    QPixmap m_texture;
    QPixmap m_screen;
    QPixmap m_roomCache;        // room and back wall at the device's ratio
    QPixmap m_screenCache;      // the screen image scaled to the panel rectangle
    QStringList m_screenFiles;  // what the decode tries, in order, with each file's ratio
    QList<qreal> m_screenRatios;
    bool m_screenPending = false;    // a decode runs: style 1 draws white panels until it ends
    quint64 m_screenGeneration = 0;  // which SetBgScreen a finished decode belongs to
    std::shared_ptr<std::atomic<bool>> m_decodeCancel;
    std::thread m_decoder;
};
