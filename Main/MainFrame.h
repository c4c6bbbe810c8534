#pragma once
// The main frame: the one top-level window and the owner of everything shown in it (tool bar,
// parameter panel, the "BluePrint" wall page with the wall preview, the "Data output" page, the
// about and model selection dialogs). It lays the parts out, switches the pages, and relays
// changes between the parameter panel, the wall preview and the data output page; the wall
// rules themselves are WallDesignEditor's (Main/model). GUI thread only.
#include <atomic>
#include <memory>
#include <string>

#include "Main/model/ProductCatalogue.h"
#include "Main/model/WallDesignEditor.h"
#include "Main/view/SFEffectView.h"
#include "shell/Startup.h"
#include "toolkit/SFControls.h"
#include "video/SFFrameQueue.h"
#include "video/SFPlayerModule.h"

class CAboutDlgEventImp;
class CToolBarEventImp;
class CModelSelectDlgEventImp;
class CDataOutputViewEventImp;
class CParameterSettingEventImp;
class CSFVideoWindow;

// Content choices of the parameter panel's content box, in entry order.
enum ContentChoice {
    kContentImage1 = 0,  // "Default Image 1"
    kContentImage2 = 1,  // "Default Image 2"
    kContentNone = 2,    // "No Image"
    kContentVideo = 3,   // "Sample Video"
};

class CMainFrameEventImp : public ISFDialogEvent,
                           public ISFButtonEvent,
                           public ISFVideoWindowEvent,
                           public ISFEffectViewEvent,
                           private IWallDesignView,
                           public tessaro::IMainFrame,
                           public std::enable_shared_from_this<CMainFrameEventImp> {
public:
    CMainFrameEventImp();
    ~CMainFrameEventImp() override;

    // Creates the skinned main window (hidden) with its whole content; call once, on a
    // shared_ptr (the parts keep weak references to the frame). Returns 1 on success.
    int Create();
    // tessaro::IMainFrame: shows (1) or hides (0) the main window; closes it as the tool bar's
    // close button does (StopAndClose).
    void ShowWindow(int show) override;
    void Close() override { StopAndClose(); }

    // ---- ISFDialogEvent
    int Dlg_OnInit(int created) override;
    void OnDlgSize(uint32_t type, int& cx, int& cy) override;
    int Dlg_Close() override;
    void OnDlgKeyDown(uint32_t modifiers, int key) override;

    // ---- ISFEffectViewEvent (the preview's notifications)
    void OnChangeGeometry(tagRECT panels, int columns, int rows, int width, int height) override;
    void OnChangeNum(int which, int count) override;
    void OnChangeOrientation(int landscape) override;
    void OnAttention(int code) override;
    void OnChangeModel() override;
    void OnChangeScrollGeometry(int width, int height) override;

    // ---- The tool bar's requests
    // The page switch: true the "BluePrint" wall page, false the "Data output" page.
    void ShowBluePrint(bool show);
    // Runs the about dialog modally.
    void ShowAboutDlg();
    void MinimizeWindow();
    // Stops what plays, hides the main window and closes it through Dlg_Close (ends the program).
    void StopAndClose();
    // The language was set and saved: every open window sets its texts again (tool bar, content
    // playback, about dialog, data output page, parameter panel, model selection dialog), then
    // Qt's own translator is reloaded for the language.
    void RetranslateWindows();
    // Opens the user's guide of the current language with the desktop's document opener.
    void OpenUserGuide();

    // ---- The wall design operations (parameter panel, model selection dialog)
    void ApplyWallSize(double width, double height);
    void ApplyModel(const std::wstring& name, double widthMm, double heightMm);
    void ApplyCount(int which, int count);
    int ApplyLampstand(double height);
    int ApplyOrientationChange();
    void ApplyMetersToFeet();
    void ApplyFeetToMeters();
    void ApplyFitToRoom();
    // Runs the model selection dialog modally.
    void SelectModel();
    // The content box's entry (ContentChoice).
    void ChooseContent(int choice);
    // The chosen model's record, passed on unchanged to the data output page.
    void SetProductInfo(const ProductParameter& record);
    // A modal message over the main window (title and text already translated).
    void ShowMessage(const std::wstring& title, const std::wstring& text) override;

    // ---- For the parts, the tools and the tests
    CSFDialog* Window() const { return m_window; }
    CSFEffectView* Preview() const { return m_preview; }
    const WallDesign& Design() const;
    CParameterSettingEventImp* ParameterPanel() const { return m_parameterPanel.get(); }
    CModelSelectDlgEventImp* ModelSelectDlg() const { return m_modelSelectDlg.get(); }
    CToolBarEventImp* ToolBar() const { return m_toolBar.get(); }
    CAboutDlgEventImp* AboutDlg() const { return m_aboutDlg.get(); }
    CDataOutputViewEventImp* DataOutputView() const { return m_dataOutputView.get(); }
    bool IsClosing() const { return m_closing != 0; }
    // The content playback window (null before Create or when it could not be made) and what
    // its frame path has done so far.
    CSFVideoWindow* VideoWindow() const { return m_videoWindow; }
    struct PlaybackStats {
        int playing = 0;           // the sample started playing
        int waiting = 0;           // frames copied and not yet drawn (at most 2)
        int drawn = 0;             // presentations that drew a frame
        int lastDrawn = -1;        // the player's number of the last frame drawn
        bool inOrder = true;       // every frame drawn had a higher number than the one before
        int rewinds = 0;           // ends of the file answered with a rewind
        bool unavailable = false;  // the window says no video can be shown
        int dropped = 0;           // frames replaced while waiting (the GUI thread fell behind)
    };
    PlaybackStats Playback() const;

private:
    // IWallDesignView: what the editor shows of the design.
    void ShowCount(int which, int count) override;
    void ShowLampstand(double height) override;
    void ShowOrientation(int landscape) override;
    void ShowModelName(const std::wstring& name) override;

    // The window system's title (task bar, window list) in the current language.
    void SetTitle();
    // Parts of Dlg_OnInit: the wall preview inside the scroll area (with the editor that drives
    // it), and the place of the content playback window.
    void CreatePreview();
    void CreateContentPlayback();
    // The sample starts once the main window has been painted (StartSample, from the loop).
    void ScheduleSampleStart();
    void StartSample();
    // The player module is loaded on ML_HELPER when that loop runs (it maps FFmpeg's libraries),
    // else here; the sample starts once its table is back on the GUI thread (null: no video).
    // StopSample cancels a pending load or waits for the one under way.
    struct PlayerModuleLoad;
    void OnPlayerModuleLoaded(const SF_SOFT_BASE::SFPlayerModule* player);
    // The scroll area's place on the wall page for the last size OnDlgSize received.
    tagRECT WallPageScrollRect() const;
    // Shows the preview in the data output page's preview area, first keeping its wall-page
    // rectangle when it stands on the wall page.
    void ShowDataOutputPreview(bool keepWallPageRect);

    // The content playback's frame path (the player's callbacks arrive on its thread; the
    // presentations and the rewind run on the GUI thread).
    static void OnDecodeFrame(int port, const uint8_t* data, int size, int width, int height,
                              int stampMs, SF_SOFT_BASE::ESFColorMatrix matrix,
                              SF_SOFT_BASE::ESFColorRange range, int frameNumber, void* user);
    static void OnFileEndCallback(int port, void* user);
    void OnVisibleDec(const uint8_t* data, int size, int width, int height,
                      SF_SOFT_BASE::ESFColorMatrix matrix, SF_SOFT_BASE::ESFColorRange range,
                      int frameNumber);
    int OnQTRenderSubWin();
    void OnFileEnd();
    void FileEnd();
    // The window says that no video can be shown and the sample stops (GUI thread).
    void ShowVideoUnavailable();
    void ApplyVideoSkin();
    void StopSample();

    CSFDialog* m_window = nullptr;
    std::shared_ptr<CAboutDlgEventImp> m_aboutDlg;
    std::shared_ptr<CToolBarEventImp> m_toolBar;
    std::shared_ptr<CModelSelectDlgEventImp> m_modelSelectDlg;
    std::shared_ptr<CDataOutputViewEventImp> m_dataOutputView;
    std::shared_ptr<CParameterSettingEventImp> m_parameterPanel;
    CSFEffectView* m_preview = nullptr;
    CSFScrollArea* m_scrollArea = nullptr;
    std::unique_ptr<WallDesignEditor> m_editor;
    int m_fullScreen = 0;
    int m_closing = 0;
    tagRECT m_previewRect{0, 0, 0, 0};
    int m_clientWidth = 0;
    int m_clientHeight = 0;
    bool m_bluePrintShown = true;             // the wall page (true) or the data output page
    CSFVideoWindow* m_videoWindow = nullptr;  // a child of the scroll area
    // Set once on the GUI thread before the first port is taken; read by the player's thread.
    const SF_SOFT_BASE::SFPlayerModule* m_player = nullptr;
    bool m_playerLoading = false;
    std::shared_ptr<PlayerModuleLoad> m_playerLoad;  // the load on ML_HELPER, while it may run
    int m_port = -1;
    int m_playing = 0;
    SF_SOFT_BASE::CSFFrameQueue m_frames;
    // Set by the GUI thread, read by the player's: frames are only copied while the video is
    // chosen; a frame that cannot be shown asks once for the notice.
    std::atomic<bool> m_videoChosen{false};
    std::atomic<bool> m_frameDecoded{false};
    std::atomic<bool> m_unshowableReported{false};
    PlaybackStats m_stats;
};
