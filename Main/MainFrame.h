#pragma once
// The main frame: the one top-level window and the owner of everything shown in it (tool bar,
// parameter panel, the "BluePrint" wall page with the wall preview, the "Data output" page, the
// about and model selection dialogs). It lays the parts out, switches the pages, and relays
// changes between the parameter panel, the wall preview and the data output page; the wall
// rules themselves are WallDesignEditor's (Main/model). GUI thread only.
#include <memory>
#include <string>

#include "Main/model/ProductCatalogue.h"
#include "Main/model/WallDesignEditor.h"
#include "Main/view/SFEffectView.h"
#include "shell/Startup.h"
#include "toolkit/SFControls.h"

class CAboutDlgEventImp;
class CToolBarEventImp;
class CModelSelectDlgEventImp;
class CDataOutputViewEventImp;
class CParameterSettingEventImp;

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
    // The scroll area's place on the wall page for the last size OnDlgSize received.
    tagRECT WallPageScrollRect() const;
    // Shows the preview in the data output page's preview area, first keeping its wall-page
    // rectangle when it stands on the wall page.
    void ShowDataOutputPreview(bool keepWallPageRect);

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
    bool m_bluePrintShown = true;  // the wall page (true) or the data output page
};
