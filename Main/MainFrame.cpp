#include "Main/MainFrame.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLoggingCategory>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>

#include "Main/AboutDlg.h"
#include "Main/DataOutputView.h"
#include "Main/DialogStyles.h"
#include "Main/ModelSelectDlg.h"
#include "Main/MsgDlg.h"
#include "Main/ParameterSetting.h"
#include "Main/ToolBar.h"
#include "framework/SFModules.h"
#include "framework/SFPost.h"
#include "framework/os/SFAppDir.h"
#include "framework/os/SFStreamConvert.h"
#include "shell/QtTranslation.h"
#include "shell/lang/LanguageTable.h"
#include "toolkit/SFFactory.h"
#include "toolkit/SFSkin.h"
#include "toolkit/SFToolkit.h"
#include "video/SFPlayerLoader.h"
#include "video/qt/SFVideoWindow.h"

Q_LOGGING_CATEGORY(lcMainFrame, "tessaro.mainframe")

namespace {

// The data output page shows the preview in a fixed 672 × 378 area on its left; the scroll area
// moves there (window coordinates) while that page is shown, and the page lays out around it.
constexpr tagRECT kDataOutputScrollRect = CDataOutputViewEventImp::kPreviewArea;
constexpr tagRECT kDataOutputPreviewRect{0, 0, 672, 378};
// The preview stands this far from the scroll area's left edge on the wall page.
constexpr int kPreviewLeft = 60;
// The code the "Help" entry has always passed for the guide; F1 (a Qt key code) asks too.
constexpr int kHelpKeyCode = 112;
// The sample content, beside the executable.
constexpr const char* kSampleVideo = "Audio.mp4";
// The largest frame side the content playback shows. A larger frame (up to the player's 8192)
// would cost hundreds of megabytes in the frame buffers and a converted picture for a preview
// a few hundred pixels wide: it gets the "cannot be shown" notice instead.
constexpr int kMaxShownSide = 4096;
// The play time last written to the diagnostics (any player thread).
std::atomic<int> g_lastPlayTime{0};

// The dialogs' record with the main window's own frame image, band and dark title.
DialogStyle MainWindowStyle() {
    DialogStyle s = SkinnedDialogStyle({L"0,0,10,8", L"30,0,1,8", L"138,0,10,8", L"0,37,1,30",
                                        L"0,37,1,30", L"0,37,1,30", L"0,84,10,1", L"10,84,30,1",
                                        L"84,84,2,1", L"85,37,1,30", L"85,37,1,30", L"85,37,1,30"});
    s.frameImage = L"DlgBackgorund.png";
    s.titleColor = L"333333";
    s.titleArea = L"0,0,1000,62";
    s.rect57 = L"";
    return s;
}

// The preview's buttons show their hover face while pressed.
ImageButtonStyle Faces(const wchar_t* normal, const wchar_t* hover, const wchar_t* disabled) {
    return ButtonFaces(normal, hover, hover, disabled);
}

void Place(CSFControl* control, const tagRECT& rect) {
    if (control != nullptr) {
        control->MoveWindow(&rect);
    }
}

QWidget* WidgetOf(CSFControl* control) {
    return control != nullptr ? static_cast<QWidget*>(control->GetUIWnd()) : nullptr;
}

}  // namespace

CMainFrameEventImp::CMainFrameEventImp() = default;

CMainFrameEventImp::~CMainFrameEventImp() {
    // No frame callback may run into a frame being destroyed: the port goes first (closing it
    // joins the decoding thread).
    StopSample();
    // The editor drives the preview, which dies with the window; the parts only hold weak
    // references to this frame and check their own controls before touching them.
    m_editor.reset();
    if (m_window != nullptr) {
        CSFDialog* window = m_window;
        m_window = nullptr;
        m_preview = nullptr;
        m_videoWindow = nullptr;  // a child of the scroll area
        m_scrollArea = nullptr;
        SFDestroyControl(window);
    }
}

int CMainFrameEventImp::Create() {
    if (m_window != nullptr) {
        return 1;
    }
    m_window = SFCreateMainWindow(this, nullptr);
    if (m_window == nullptr) {
        qCWarning(lcMainFrame, "the main window could not be created");
        return 0;
    }
    const DialogStyle style = MainWindowStyle();
    m_window->SetSkin(&style);
    // The tool bar shows the program's title in the title area; the skinned window's own title
    // text would show through it, so the name goes to the window system's title alone.
    m_window->Create(L"", nullptr);  // runs Dlg_OnInit(1)
    SetTitle();
    m_window->SetDlgIcon(L"logo.png");
    const float s = SFGetUIScale();
    m_window->MoveWindow(0, 0, static_cast<int>(1000 * s + 20), static_cast<int>(700 * s + 20));
    m_window->CenterWindow(nullptr);
    m_window->SetFrameShadow(true);
    return 1;
}

void CMainFrameEventImp::SetTitle() {
    if (QWidget* window = WidgetOf(m_window)) {
        window->setWindowTitle(QString::fromStdWString(Translate(L"ProductName")));
    }
}

void CMainFrameEventImp::ShowWindow(int show) {
    if (m_window != nullptr) {
        m_window->ShowWindow(show);
    }
}

int CMainFrameEventImp::Dlg_OnInit(int created) {
    if (created != 1 || m_toolBar) {
        return 1;  // a modal run of the main window builds nothing
    }
    void* window = GetUIWnd();
    const std::weak_ptr<CMainFrameEventImp> self = weak_from_this();

    m_toolBar = std::make_shared<CToolBarEventImp>(self);
    m_toolBar->Create(window);
    m_dataOutputView = std::make_shared<CDataOutputViewEventImp>(self);
    m_dataOutputView->Create(window);
    m_parameterPanel = std::make_shared<CParameterSettingEventImp>(self);
    m_parameterPanel->Create(window);
    m_aboutDlg = std::make_shared<CAboutDlgEventImp>(self);
    m_aboutDlg->Create(window);

    m_scrollArea = SFCreateScrollArea(nullptr);
    if (m_scrollArea != nullptr) {
        const tagRECT area{0, 0, 980, 700};
        m_scrollArea->Create(SF_WS_VISIBLE, &area, 980, 700, window, 0);
        ScrollAreaStyle areaStyle;
        areaStyle.background = L"/bgColorWhite.png";
        m_scrollArea->SetSkin(&areaStyle);
        CreatePreview();
    }

    m_modelSelectDlg = std::make_shared<CModelSelectDlgEventImp>(self);
    m_modelSelectDlg->Create(window);

    CreateContentPlayback();

    if (m_editor) {
        // The preview's built-in panel size stands for no model at all: until a catalogue record
        // is applied, preview and mirror agree that there is none (an empty catalogue then shows
        // no panels, and the rules refuse instead of dividing by a zero size).
        m_editor->ApplyModel(L"", 0.0, 0.0);
    }
    m_modelSelectDlg->ShowDefaultModel();
    return 1;
}

void CMainFrameEventImp::CreatePreview() {
    m_preview = SFCreateEffectView(this);
    if (m_preview == nullptr) {
        qCWarning(lcMainFrame, "the wall preview could not be created");
        return;
    }
    const tagRECT rect{0, 0, 60, 20};
    m_preview->Create(L"", L"", SF_WS_VISIBLE, &rect, m_scrollArea->GetUIWnd(), 0);
    m_preview->SetBackground(L"screenBg.png");
    m_preview->SetBgScreen(L"image1.png");
    m_preview->SetBgStyle(kBgScreen);
    const ImageButtonStyle add = Faces(L"body_add_n.png", L"body_add_h.png", L"body_add_n.png");
    const ImageButtonStyle less = Faces(L"body_less_n.png", L"body_less_h.png", L"body_less_n.png");
    const ImageButtonStyle rotate =
        Faces(L"body_rotating_n.png", L"body_rotating_h.png", L"body_rotating_n.png");
    const ImageButtonStyle choose =
        Faces(L"body_choose_n.png", L"body_choose_h.png", L"body_choose.png");
    m_preview->SetBtnSkin(kButtonMoreColumns, &add);
    m_preview->SetBtnSkin(kButtonLessColumns, &less);
    m_preview->SetBtnSkin(kButtonMoreRows, &add);
    m_preview->SetBtnSkin(kButtonLessRows, &less);
    m_preview->SetBtnSkin(kButtonRotate, &rotate);
    m_preview->SetBtnSkin(kButtonChangeModel, &choose);
    IWallDesignView& view = *this;
    m_editor = std::make_unique<WallDesignEditor>(*m_preview, view);
}

void CMainFrameEventImp::CreateContentPlayback() {
    // The content playback window lies over the preview's panels (OnChangeGeometry) and is
    // shown only while the sample video is the chosen content; the sample plays from here on.
    if (m_scrollArea == nullptr) {
        return;
    }
    m_videoWindow = SFCreateVideoWindow(0, this, 1, 1);
    if (m_videoWindow == nullptr) {
        qCWarning(lcMainFrame, "the content playback window could not be created");
        return;
    }
    m_videoWindow->SetSubWinCtrlsVisible(0);
    ApplyVideoSkin();
    const tagRECT rect{10, 10, -10, -10};
    m_videoWindow->Create(L"", Translate(L"VideoWindow").c_str(), 0, &rect,
                          m_scrollArea->GetUIWnd(), 0);

    ScheduleSampleStart();
    m_videoWindow->SetSubWinVideoByID(0, 1);
    m_videoWindow->ResetSubWinSizeToMin(0);
    m_videoWindow->SetSubWinProportion(0, 0, -1);
    m_videoWindow->SetFocusSubWin(0);
    m_videoWindow->ShowWindow(0);
}

namespace {

// Runs a callback once, from the event loop, right after the watched window's first paint.
class AfterFirstPaint final : public QObject {
public:
    AfterFirstPaint(QWidget* window, std::function<void()> callback)
        : QObject(window), m_callback(std::move(callback)) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                m_callback();
                deleteLater();
            });
        }
        return false;
    }

private:
    std::function<void()> m_callback;
};

}  // namespace

void CMainFrameEventImp::ScheduleSampleStart() {
    // Opening the sample and decoding its first frames takes tens of milliseconds that the
    // window's first picture need not wait for: the sample starts right after that picture.
    QWidget* window = WidgetOf(m_window);
    if (window == nullptr) {
        StartSample();
        return;
    }
    new AfterFirstPaint(window, [self = weak_from_this()] {
        if (auto frame = self.lock()) {
            frame->StartSample();
        }
    });
}

// Loads the player module on ML_HELPER and hands the table to the frame on the GUI thread, if the
// frame still exists then: the task holds no strong reference, so the frame is never destroyed
// on the worker. The helper thread is not stopped at exit, so the frame cancels a load not yet
// begun and waits for one under way (Cancel) before it goes: no load runs on into the process's
// end.
struct CMainFrameEventImp::PlayerModuleLoad {
    explicit PlayerModuleLoad(std::weak_ptr<CMainFrameEventImp> owner) : frame(std::move(owner)) {}

    void Run() {
        {
            std::lock_guard lock(mutex);
            if (cancelled) {
                return;
            }
            running = true;
        }
        OrvexBase::SFPostTask(
            OrvexBase::ML_MAIN,
            {".\\Main\\MainFrame", 270, "&CMainFrameEventImp::OnPlayerModuleLoaded",
             "CMainFrameEventImp::PlayerModuleLoad::Run", 3},
            frame, &CMainFrameEventImp::OnPlayerModuleLoaded, SF_SOFT_BASE::SFLoadPlayerModule());
        {
            std::lock_guard lock(mutex);
            running = false;
        }
        ended.notify_all();
    }

    // GUI thread. Once this returns no load starts and none is under way.
    void Cancel() {
        std::unique_lock lock(mutex);
        cancelled = true;
        ended.wait(lock, [this] { return !running; });
    }

    const std::weak_ptr<CMainFrameEventImp> frame;
    std::mutex mutex;
    std::condition_variable ended;
    bool cancelled = false;
    bool running = false;
};

void CMainFrameEventImp::StartSample() {
    if (m_closing != 0 || m_port >= 0 || m_stats.unavailable || m_playerLoading) {
        return;
    }
    if (m_player == nullptr) {
        // Loading maps FFmpeg's libraries (tens of ms): on ML_HELPER where that loop runs, here
        // otherwise; the sample starts when the table is back (OnPlayerModuleLoaded).
        m_playerLoading = true;
        m_playerLoad = std::make_shared<PlayerModuleLoad>(weak_from_this());
        if (!OrvexBase::SFPostTask(OrvexBase::ML_HELPER,
                                   {".\\Main\\MainFrame", 270, "&PlayerModuleLoad::Run",
                                    "CMainFrameEventImp::StartSample", 3},
                                   m_playerLoad, &PlayerModuleLoad::Run)) {
            m_playerLoad.reset();
            OnPlayerModuleLoaded(SF_SOFT_BASE::SFLoadPlayerModule());
        }
        return;
    }
    // The full path: the module keeps the application directory it was handed when loaded.
    const std::string sample = SF_SOFT_BASE::ApplicationDirectory() + "/" + kSampleVideo;
    const SF_SOFT_BASE::SFPlayerModule& player = *m_player;
    if (player.GetPort(&m_port) != 0 && player.OpenFile(m_port, sample.c_str()) != 0) {
        player.SetDecodeCallback(m_port, &CMainFrameEventImp::OnDecodeFrame, this);
        player.SetFileEndCallback(m_port, &CMainFrameEventImp::OnFileEndCallback, this);
        m_playing = player.Play(m_port, -1);
    }
    m_stats.playing = m_playing;
    if (m_playing == 0) {
        qCWarning(lcMainFrame, "the sample video %s cannot be played", kSampleVideo);
        ShowVideoUnavailable();
    }
}

void CMainFrameEventImp::OnPlayerModuleLoaded(const SF_SOFT_BASE::SFPlayerModule* player) {
    m_playerLoading = false;
    m_player = player;
    if (m_closing != 0) {
        return;
    }
    if (m_player == nullptr) {
        ShowVideoUnavailable();  // the loader said why (tessaro.video)
        return;
    }
    StartSample();
}

void CMainFrameEventImp::ApplyVideoSkin() {
    if (m_videoWindow == nullptr) {
        return;
    }
    ImageVideoWindowStyle style;
    style.noVideoImage = L"NoVideo.png";
    style.number1 = L"3000";
    style.number2 = L"4000";
    style.text1 = L"2";
    style.text2 = L"2";
    const wchar_t* colors[6] = {L"5c6576", L"353b48", L"fa0000", L"586f1b", L"00fa00", L"38b6ff"};
    std::copy(std::begin(colors), std::end(colors), std::begin(style.colors));
    style.loadingText = Translate(L"Loading...");
    m_videoWindow->SetSkin(&style);
    if (m_stats.unavailable) {
        m_videoWindow->SetUnavailableText(Translate(L"No video can be shown").c_str());
    }
}

void CMainFrameEventImp::ShowVideoUnavailable() {
    m_stats.unavailable = true;
    StopSample();
    if (m_videoWindow != nullptr) {
        m_videoWindow->SetUnavailableText(Translate(L"No video can be shown").c_str());
    }
}

void CMainFrameEventImp::StopSample() {
    if (m_playerLoad) {
        m_playerLoad->Cancel();
        m_playerLoad.reset();
    }
    if (m_port >= 0) {
        // Freeing the port stops and closes it; once it returns no callback runs any more.
        m_player->FreePort(m_port);
        m_port = -1;
        m_playing = 0;
    }
    m_frames.Clear();
}

void CMainFrameEventImp::OnDecodeFrame(int port, const uint8_t* data, int size, int width,
                                       int height, int /*stampMs*/,
                                       SF_SOFT_BASE::ESFColorMatrix matrix,
                                       SF_SOFT_BASE::ESFColorRange range, int frameNumber,
                                       void* user) {
    if (user == nullptr) {
        return;
    }
    const int time = static_cast<CMainFrameEventImp*>(user)->m_player->GetPlayedTime(port);
    if (g_lastPlayTime.exchange(time) != time) {
        qCDebug(lcMainFrame, "time:%d", time);
    }
    static_cast<CMainFrameEventImp*>(user)->OnVisibleDec(data, size, width, height, matrix, range,
                                                         frameNumber);
}

void CMainFrameEventImp::OnVisibleDec(const uint8_t* data, int size, int width, int height,
                                      SF_SOFT_BASE::ESFColorMatrix matrix,
                                      SF_SOFT_BASE::ESFColorRange range, int frameNumber) {
    if (m_videoWindow == nullptr) {
        return;
    }
    m_frameDecoded = true;
    if (width > kMaxShownSide || height > kMaxShownSide) {
        if (!m_unshowableReported.exchange(true)) {
            OrvexBase::SFPostTask(
                OrvexBase::ML_MAIN,
                {".\\Main\\MainFrame", 714, "&CMainFrameEventImp::ShowVideoUnavailable",
                 "CMainFrameEventImp::OnVisibleDec", 3},
                weak_from_this(), &CMainFrameEventImp::ShowVideoUnavailable);
        }
        return;
    }
    // Nobody sees the video while another content is chosen: nothing is copied or drawn.
    if (!m_videoChosen.load(std::memory_order_relaxed)) {
        return;
    }
    if (m_frames.Push(data, size, width, height, matrix, range, frameNumber, kMaxShownSide)) {
        OrvexBase::SFPostTask(OrvexBase::ML_MAIN,
                              {".\\Main\\MainFrame", 714, "&CMainFrameEventImp::OnQTRenderSubWin",
                               "CMainFrameEventImp::OnVisibleDec", 3},
                              weak_from_this(), &CMainFrameEventImp::OnQTRenderSubWin);
    }
}

int CMainFrameEventImp::OnQTRenderSubWin() {
    const SF_SOFT_BASE::SFQueuedFrame* frame = m_frames.Take();
    if (frame == nullptr || m_videoWindow == nullptr || m_stats.unavailable) {
        return 0;  // replaced by a newer frame, or the sample was stopped
    }
    m_videoWindow->SetFrameColorSpace(frame->matrix, frame->range);
    if (m_videoWindow->RenderOffScreenSurface(m_videoWindow->GetCurrentSubWinID(),
                                              frame->data.data(), frame->width, frame->height,
                                              m_port, -1) == 0) {
        return 0;
    }
    // The player shrinks the frames that follow to the size the window draws them at (a resize
    // is taken up by the next frame), so they are neither converted nor scaled at full size.
    int shownWidth = 0;
    int shownHeight = 0;
    if (m_player != nullptr &&
        m_videoWindow->GetSubWinPixelSize(m_videoWindow->GetCurrentSubWinIndex(), &shownWidth,
                                          &shownHeight) != 0) {
        m_player->SetShownSize(m_port, shownWidth, shownHeight);
    }
    m_stats.inOrder = m_stats.inOrder && frame->number > m_stats.lastDrawn;
    m_stats.lastDrawn = frame->number;
    ++m_stats.drawn;
    return 1;
}

void CMainFrameEventImp::OnFileEndCallback(int /*port*/, void* user) {
    if (user != nullptr) {
        static_cast<CMainFrameEventImp*>(user)->OnFileEnd();
    }
}

void CMainFrameEventImp::OnFileEnd() {
    OrvexBase::SFPostTask(OrvexBase::ML_MAIN,
                          {".\\Main\\MainFrame", 827, "&CMainFrameEventImp::FileEnd",
                           "CMainFrameEventImp::OnFileEnd", 3},
                          weak_from_this(), &CMainFrameEventImp::FileEnd);
}

void CMainFrameEventImp::FileEnd() {
    if (m_port < 0) {
        return;  // stopped meanwhile
    }
    // A file that ended without a single picture (truncated, no decodable frame) would be
    // rewound forever for nothing: it cannot be shown.
    if (!m_frameDecoded) {
        ShowVideoUnavailable();
        return;
    }
    m_player->SetPlayPos(m_port, 0.0f);
    ++m_stats.rewinds;
}

CMainFrameEventImp::PlaybackStats CMainFrameEventImp::Playback() const {
    PlaybackStats stats = m_stats;
    stats.playing = m_playing;
    stats.waiting = m_frames.Waiting();
    stats.dropped = m_frames.Dropped();
    return stats;
}

void CMainFrameEventImp::OnDlgSize(uint32_t /*type*/, int& cx, int& cy) {
    m_clientWidth = cx;
    m_clientHeight = cy;
    if (!m_toolBar || m_fullScreen != 0) {
        return;
    }
    const float s = SFGetUIScale();
    const int t = static_cast<int>(36 * s);
    const int p = static_cast<int>(118 * s);
    Place(m_toolBar->View(), {10, 10, cx - 10, t + 10});
    // Placed without being built: the page is built when first shown.
    m_dataOutputView->PlaceView({10, t + 10, cx - 10, cy - 10});
    Place(m_parameterPanel->View(), {10, t + 10, cx - 10, t + 10 + p});
    if (m_parameterPanel->View() != nullptr) {
        m_parameterPanel->View()->ShowWindow(m_bluePrintShown ? 1 : 0);
    }
    if (m_scrollArea == nullptr || m_preview == nullptr) {
        return;
    }
    const tagRECT area = WallPageScrollRect();
    const int w = area.right - area.left;
    const int h = area.bottom - area.top;
    m_scrollArea->MoveWindow(&area);
    m_scrollArea->ResizeScrollArea(w, h);
    m_previewRect = {kPreviewLeft, 0, w - 61, h - 1};
    m_preview->MoveWindow(&m_previewRect);
    // The preview draws its wall in proportion to its own width: give it the design's wall (the
    // one the panel shows) again, so a new layout never disagrees with the panel and the mirror.
    if (m_editor) {
        const WallDesign& design = m_editor->Design();
        m_editor->ApplyWallSize(design.wallWidth, design.wallHeight);
    }
    if (!m_bluePrintShown) {
        ShowDataOutputPreview(true);  // the data output page stays; only its preview follows it
    }
}

tagRECT CMainFrameEventImp::WallPageScrollRect() const {
    const float s = SFGetUIScale();
    const int t = static_cast<int>(36 * s);
    const int p = static_cast<int>(118 * s);
    return {10, t + 10 + p, m_clientWidth - 10, m_clientHeight - 174 + t + 10 + p};
}

void CMainFrameEventImp::ShowBluePrint(bool show) {
    if (!m_toolBar) {
        return;
    }
    const bool leavingWallPage = m_bluePrintShown && !show;
    m_bluePrintShown = show;
    if (m_parameterPanel->View() != nullptr) {
        m_parameterPanel->View()->ShowWindow(show ? 1 : 0);
    }
    // A page never built need not be built to stay hidden.
    CSFView* page = show && !m_dataOutputView->ViewBuilt() ? nullptr : m_dataOutputView->View();
    if (page != nullptr) {
        page->ShowWindow(show ? 0 : 1);
        // Built after the parameter panel and the preview's scroll area, the page would cover
        // them: it keeps the place it has when built first, just under the panel.
        QWidget* panel = WidgetOf(m_parameterPanel->View());
        if (!show && panel != nullptr) {
            WidgetOf(page)->stackUnder(panel);
        }
    }
    if (m_scrollArea == nullptr || m_preview == nullptr) {
        return;
    }
    if (show) {
        const tagRECT area = WallPageScrollRect();
        m_scrollArea->MoveWindow(&area);
        const int width = m_previewRect.right - m_previewRect.left;
        m_previewRect.left = kPreviewLeft;
        m_previewRect.right = kPreviewLeft + width;
        m_preview->MoveWindow(&m_previewRect);
        OnChangeScrollGeometry(width, m_previewRect.bottom - m_previewRect.top);
    } else {
        // Asked again while the data output page is shown, the preview already has its small
        // size: the wall page's rectangle kept when leaving it must stay.
        ShowDataOutputPreview(leavingWallPage);
        const WallDesign& design = Design();
        m_dataOutputView->SetScreenConfiguration(design.columns, design.rows);
    }
    m_preview->SetOperable(show ? 1 : 0);
}

void CMainFrameEventImp::ShowDataOutputPreview(bool keepWallPageRect) {
    const QWidget* preview = WidgetOf(m_preview);
    if (keepWallPageRect && preview != nullptr) {
        m_previewRect = {0, 0, preview->width(), preview->height()};  // restored on return
    }
    m_scrollArea->MoveWindow(&kDataOutputScrollRect);
    m_scrollArea->ResizeScrollArea(kDataOutputPreviewRect.right, kDataOutputPreviewRect.bottom);
    m_preview->MoveWindow(&kDataOutputPreviewRect);
}

int CMainFrameEventImp::Dlg_Close() {
    if (m_window != nullptr) {
        m_window->ShowWindow(0);
    }
    m_closing = 1;
    // Qt ends its event loop when the last visible window closes, but this window was hidden
    // just now, before its close completes, so Qt no longer counts it: end the loop here. Only
    // a running loop is ended (a test that drives the frame runs none, and a quit request then
    // would end every loop it starts later).
    if (QThread::currentThread()->loopLevel() > 0) {
        QCoreApplication::exit(0);
    }
    return 0;
}

void CMainFrameEventImp::OnDlgKeyDown(uint32_t /*modifiers*/, int key) {
    if (key == kHelpKeyCode || key == Qt::Key_F1) {
        OpenUserGuide();
    }
}

void CMainFrameEventImp::OpenUserGuide() {
    std::wstring path = SFGetAppPath();
    if (CurrentLanguage == 0) {
        path += L"/" + Translate(L"User's Eng Guide.pdf");
    } else if (CurrentLanguage == 1) {
        path += L"/" + Translate(L"User's Chn Guide.pdf");
    }
    // Other language values have no guide: the application directory itself opens. A guide that
    // is not there is not offered to the desktop at all (it would show its own error).
    std::error_code error;
    if (!std::filesystem::exists(SF_SOFT_BASE::CSFStreamConvert::ToNarrow(path), error)) {
        qCInfo(lcMainFrame, "no user's guide at %s", qUtf8Printable(QString::fromStdWString(path)));
        return;
    }
    SFOpenDocument(path);
}

void CMainFrameEventImp::OnChangeGeometry(tagRECT panels, int columns, int rows, int /*width*/,
                                          int /*height*/) {
    // The played content lies exactly over the drawn panels, one segment per panel; the
    // rectangle comes in the scroll area's coordinates, the window's parent too.
    if (m_videoWindow == nullptr) {
        return;
    }
    const tagRECT rect = panels;
    m_videoWindow->MoveWindow(&rect);
    m_videoWindow->SetScreenSegmentation(columns, rows, m_videoWindow->GetCurrentSubWinID());
}

void CMainFrameEventImp::OnChangeNum(int which, int count) {
    if (m_editor) {
        m_editor->OnChangeNum(which, count);
    }
}

void CMainFrameEventImp::OnChangeOrientation(int landscape) {
    if (m_editor) {
        m_editor->OnChangeOrientation(landscape);
    }
}

void CMainFrameEventImp::OnAttention(int code) {
    if (m_editor) {
        m_editor->OnAttention(code);
    }
}

void CMainFrameEventImp::OnChangeModel() {
    SelectModel();
}

void CMainFrameEventImp::OnChangeScrollGeometry(int width, int height) {
    if (m_scrollArea == nullptr) {
        return;
    }
    // The scrollable content reaches to the preview's far edges, so none of the drawing is cut
    // off by the content's edge where the preview does not stand at the origin.
    const QWidget* preview = WidgetOf(m_preview);
    const int left = preview != nullptr ? preview->x() : 0;
    const int top = preview != nullptr ? preview->y() : 0;
    m_scrollArea->ResizeScrollArea(left + width, top + height);
    if (m_bluePrintShown) {
        m_previewRect = {left, top, left + width, top + height};  // what a return restores
    }
}

void CMainFrameEventImp::ShowAboutDlg() {
    if (m_aboutDlg) {
        m_aboutDlg->DoModal();
    }
}

void CMainFrameEventImp::MinimizeWindow() {
    if (m_window != nullptr) {
        m_window->MacShowMinimize(true);
    }
}

void CMainFrameEventImp::StopAndClose() {
    // The sample stops and closes first, so no frame arrives while the window goes away.
    if (m_playing != 0) {
        StopSample();
    }
    if (m_window != nullptr) {
        m_window->ShowWindow(0);
        m_window->SendDlgMessage(SF_UI_CLOSE, 0, 0);
    }
}

void CMainFrameEventImp::RetranslateWindows() {
    SetTitle();
    if (m_toolBar) {
        m_toolBar->RetranslateTexts();
    }
    if (m_aboutDlg) {
        m_aboutDlg->RetranslateTexts();
    }
    if (m_dataOutputView) {
        m_dataOutputView->RetranslateTexts();
    }
    if (m_parameterPanel) {
        m_parameterPanel->RetranslateTexts();
    }
    if (m_modelSelectDlg) {
        m_modelSelectDlg->RetranslateTexts();
    }
    ApplyVideoSkin();                       // the loading text follows the language
    InstallQtTranslation(CurrentLanguage);  // Qt's own texts (standard dialogs, menus)
}

void CMainFrameEventImp::ApplyWallSize(double width, double height) {
    if (m_editor) {
        m_editor->ApplyWallSize(width, height);
    }
}

void CMainFrameEventImp::ApplyModel(const std::wstring& name, double widthMm, double heightMm) {
    if (m_editor) {
        m_editor->ApplyModel(name, widthMm, heightMm);
    }
}

void CMainFrameEventImp::ApplyCount(int which, int count) {
    if (m_editor) {
        m_editor->ApplyCount(which, count);
    }
}

int CMainFrameEventImp::ApplyLampstand(double height) {
    return m_editor ? m_editor->ApplyLampstand(height) : 0;
}

int CMainFrameEventImp::ApplyOrientationChange() {
    return m_editor ? m_editor->ApplyOrientationChange() : 0;
}

void CMainFrameEventImp::ApplyMetersToFeet() {
    if (m_editor) {
        m_editor->ApplyMetersToFeet();
    }
}

void CMainFrameEventImp::ApplyFeetToMeters() {
    if (m_editor) {
        m_editor->ApplyFeetToMeters();
    }
}

void CMainFrameEventImp::ApplyFitToRoom() {
    if (m_editor) {
        m_editor->ApplyFitToRoom();
    }
}

void CMainFrameEventImp::SelectModel() {
    if (m_modelSelectDlg) {
        m_modelSelectDlg->DoModal();
    }
}

void CMainFrameEventImp::ChooseContent(int choice) {
    if (m_preview == nullptr || choice < kContentImage1 || choice > kContentVideo) {
        return;  // no such entry
    }
    switch (choice) {
        case kContentImage1:
            m_preview->SetBgScreen(L"image1.png");
            m_preview->SetBgStyle(kBgScreen);
            break;
        case kContentImage2:
            m_preview->SetBgScreen(L"image2.png");
            m_preview->SetBgStyle(kBgScreen);
            break;
        case kContentNone:
            m_preview->SetBgStyle(kBgWhite);
            break;
        default:
            // The preview leaves the panels undrawn; the playback window covers them.
            m_preview->SetBgStyle(kBgNone);
            break;
    }
    const bool video = choice == kContentVideo;
    m_videoChosen = video;
    if (m_videoWindow != nullptr) {
        m_videoWindow->ShowWindow(video ? 1 : 0);
        if (video) {
            static_cast<QWidget*>(m_videoWindow->GetUIWnd())->raise();
        }
    }
}

void CMainFrameEventImp::SetProductInfo(const ProductParameter& record) {
    if (m_dataOutputView) {
        m_dataOutputView->SetProductInfo(record);
    }
}

void CMainFrameEventImp::ShowMessage(const std::wstring& title, const std::wstring& text) {
    ShowMessageBox(text.c_str(), title.c_str(), m_window != nullptr ? GetUIWnd() : nullptr);
}

const WallDesign& CMainFrameEventImp::Design() const {
    static const WallDesign kDefault;
    return m_editor ? m_editor->Design() : kDefault;
}

void CMainFrameEventImp::ShowCount(int which, int count) {
    if (m_parameterPanel) {
        m_parameterPanel->SetNum(which, count);
    }
}

void CMainFrameEventImp::ShowLampstand(double height) {
    if (m_parameterPanel) {
        m_parameterPanel->SetLampstandValue(height);
    }
}

void CMainFrameEventImp::ShowOrientation(int landscape) {
    if (m_parameterPanel) {
        m_parameterPanel->SetOrientation(landscape);
    }
}

void CMainFrameEventImp::ShowModelName(const std::wstring& name) {
    if (m_parameterPanel) {
        m_parameterPanel->SetModelName(name);
    }
}
