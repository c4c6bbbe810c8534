#pragma once
// The video window control: plays the content in the cells of a split layout
// (CQTVideoWindowLayout) with frames converted by the video library. Created with
// SFCreateVideoWindow; GUI thread only, like every control. This folder (target video_qt) is the
// one library that joins the video engine and the Qt widgets.
//
// Each cell holds one sub-window with one play window inside it (the cell shrunk by 1 pixel on
// every side). A play window shows the last frame given to it, cut into columns x rows segments
// (SetScreenSegmentation): segment (c, r) of the frame is scaled into the rectangle of panel
// (c, r) of the play window, and the one-pixel lines between the panels are drawn black, as the
// wall preview draws its joints. The play window paints every pixel it covers, so a frame
// repaints it alone, not what lies beneath. Until the first frame arrives it shows the
// skin's no-video image with the loading text; after SetUnavailableText with a non-empty text it
// shows that text instead of the loading text and no frame.
#include <cstdint>
#include <string>

#include "toolkit/SFControls.h"
#include "video/SFYuvToRgb.h"

// The skin record of a video window. Of its fields the window uses the no-video image, the
// first colour (the background behind the image) and the loading text; the others are kept.
struct ImageVideoWindowStyle {
    std::wstring noVideoImage;  // image file name under the skin directory
    std::wstring number1;
    std::wstring number2;
    std::wstring text1;
    std::wstring text2;
    std::wstring colors[6];  // RRGGBB
    std::wstring loadingText;
};

enum LAYOUT_TYPE { LAYOUT_1X1 = 0, LAYOUT_CUSTOM = 10 };
enum VIDEOWINDOWMODE { VIDEOWINDOWMODE_NORMAL = 0 };

class CSFVideoWindow : public CSFControl {
public:
    explicit CSFVideoWindow(ISFVideoWindowEvent* sink) : m_pEvent(sink) {}
    // The built-in layout template of a type (0..9), null for another type.
    static const char* GetDefaultLayout(int type);

    virtual int Create(const wchar_t* /*className*/, const wchar_t* /*title*/, uint32_t /*style*/,
                       const tagRECT* /*rect*/, void* /*parent*/, uint32_t /*id*/) {
        return 0;
    }
    virtual int SetSkin(const ImageVideoWindowStyle* /*style*/) { return 0; }
    virtual int GetVideoWindowMode() { return VIDEOWINDOWMODE_NORMAL; }

    // ---- Layout. SetRows/SetColumns: 0 for the current count or one below 1, else the grid is
    // rebuilt, the sink's OnLayoutChanged runs and 1 is returned. SetDefaultLayout: type 10
    // applies text, another type its built-in template (0 when there is none or it is refused).
    virtual int SetRows(int /*rows*/) { return 0; }
    virtual int SetColumns(int /*columns*/) { return 0; }
    virtual int SetDefaultLayout(int /*type*/, const char* /*text*/) { return 0; }
    // Copies the layout's text (at most size - 1 characters and a NUL); returns its length.
    virtual int GetLayout(char* /*buffer*/, int /*size*/) { return 0; }
    // Picture proportion w:h of the sub-window with that id (-1: all); (0, 0) fills the cell.
    virtual int SetSubWinProportion(int /*w*/, int /*h*/, int /*id*/) { return 0; }

    // ---- Sub-windows. Indexes run over the cells (0 .. count - 1); ids are the sub-windows'
    // own numbers (index i starts with id i). Lookups that find nothing return -1.
    virtual void* GetSubWinHandle(int /*index*/) { return nullptr; }
    virtual int GetCurrentSubWinIndex() { return -1; }
    virtual int GetCurrentSubWinID() { return -1; }
    virtual int GetSubWinIDByIndex(int /*index*/) { return -1; }
    virtual int GetSubWinIndexByID(int /*id*/) { return -1; }
    virtual int GetCurrentSubWinCount() { return 0; }
    virtual int SetSubWinVideoByIndex(int /*index*/, int /*on*/) { return 0; }
    virtual int SetSubWinVideoByID(int /*id*/, int /*on*/) { return 0; }
    virtual int IsPlayVideo(int /*index*/) { return 0; }
    // Returns the play window of that sub-window to its normal (not zoomed) size.
    virtual int ResetSubWinSizeToMin(int /*index*/) { return 0; }
    virtual int ResetSubWinSizeToMinByID(int /*id*/) { return 0; }
    // Focuses the first visible sub-window with that id that is not focused yet: 1 if it did.
    virtual int SetFocusSubWin(int /*id*/) { return 0; }
    virtual int SetSubWinCtrlsVisible(int /*on*/) { return 0; }
    virtual int GetSubWinSize(int /*index*/, int* /*w*/, int* /*h*/) { return 0; }
    // The size in device pixels a frame is drawn at in that sub-window: its panels side by side
    // without the joints. A frame of exactly that size is copied into the panels unscaled.
    virtual int GetSubWinPixelSize(int /*index*/, int* /*w*/, int* /*h*/) { return 0; }
    virtual int IsZooming() { return 0; }
    virtual int SetDragMode(int /*on*/) { return 0; }
    virtual int SetFrameZoomMode(int /*on*/) { return 0; }
    virtual int IsEnableFrameZoom() { return 0; }
    virtual int EableSubWinExchange(int /*on*/) { return 0; }
    virtual int SetLockScreen(int /*on*/) { return 0; }
    virtual int SHowSubWinAtLeast(int /*n*/) { return 0; }
    virtual int EnableSubWinAnimation(int /*on*/) { return 0; }
    virtual int VerticalSyncEnable(int /*on*/) { return 0; }
    virtual int SetSubWinRecordState(int /*index*/, int /*state*/) { return 0; }

    // ---- Rendering (GUI thread). RenderOffScreenSurface draws one frame from a single buffer:
    // Y (w x h), then U and V ((w + 1) / 2 x (h + 1) / 2), rows without padding, converted with
    // the colour space last set by SetFrameColorSpace (BT.601 limited until then). 1 when the
    // frame was taken (also while the window is hidden or minimised: it is then neither
    // converted nor drawn), 0 for an unknown id or a buffer that does not fit the size.
    virtual int RenderOffScreenSurface(int /*id*/, const uint8_t* /*buffer*/, int /*width*/,
                                       int /*height*/, int /*a*/, int /*b*/) {
        return 0;
    }
    virtual void SetFrameColorSpace(SF_SOFT_BASE::ESFColorMatrix /*matrix*/,
                                    SF_SOFT_BASE::ESFColorRange /*range*/) {}
    // Cuts the content of the sub-window with that id into columns x rows segments (1 x 1: the
    // whole frame); 0 for an unknown id or a count below 1.
    virtual int SetScreenSegmentation(int /*columns*/, int /*rows*/, int /*id*/) { return 0; }
    // A non-empty text replaces the loading text and the frame (the content cannot be shown);
    // an empty one returns to showing frames.
    virtual void SetUnavailableText(const wchar_t* /*text*/) {}

protected:
    ISFVideoWindowEvent* m_pEvent;
};

// Allocates the Qt video window with the sink (may be null); null when allocation failed. The
// content preview passes (0, sink, 1, 1); the other arguments are kept for their callers.
CSFVideoWindow* SFCreateVideoWindow(int a, ISFVideoWindowEvent* sink, int b, int c);
