#pragma once
// The wall preview control: draws the wall design held by its WallGeometry, carries the six
// buttons of its own, and reports to the main frame through ISFEffectViewEvent. Created with
// SFCreateEffectView (main_view); GUI thread only, like every control.
//
// The preview is the authoritative holder of the geometry: the main frame's WallDesignEditor
// drives it through IWallPreview (each operation is WallGeometry's, followed by a repaint), and
// the geometry's notifications reach the sink as raised, synchronously.
#include "Main/model/WallGeometry.h"
#include "toolkit/SFControls.h"

// The preview's notifications. The wall's own (counts, orientation, attention, change model,
// new pixel size) are the geometry's, declared once in IWallGeometryEvent and forwarded as
// raised; OnRedraw is the preview's own business and sinks leave it alone.
class ISFEffectViewEvent : public IWallGeometryEvent {
public:
    // The preview has laid out its drawing: the rectangle of the panels in the parent window's
    // coordinates, columns, rows, and the preview's width and height in pixels. The main frame
    // lays the content window over the panels with it.
    virtual void OnChangeGeometry(tagRECT panels, int columns, int rows, int width, int height) {
        (void)panels, (void)columns, (void)rows, (void)width, (void)height;
    }
};

// Content styles of the panel rectangle.
enum EffectViewBgStyle {
    kBgWhite = 0,   // panels filled white
    kBgScreen = 1,  // panels show the screen image
    kBgNone = 2,    // panels left undrawn: the sample video plays over them
};

class CSFEffectView : public CSFControl, public IWallPreview {
public:
    explicit CSFEffectView(ISFEffectViewEvent* sink) : m_pEvent(sink) {}
    virtual int Create(const wchar_t* /*className*/, const wchar_t* /*title*/, uint32_t /*style*/,
                       const tagRECT* /*rect*/, void* /*parent*/, uint32_t /*id*/) {
        return 0;
    }
    virtual void Invalidate() {}

    // Images are names under the skin directory; an image that cannot be read draws nothing.
    virtual void SetBackground(const wchar_t* /*image*/) {}
    virtual void SetBgScreen(const wchar_t* /*image*/) {}
    virtual void SetBgStyle(int /*style*/) {}
    // 1 shows, 0 hides the six buttons.
    virtual void SetOperable(int /*operable*/) {}
    // Button 0..5 (WallButton) gets its images; other numbers are ignored. Returns 1.
    virtual int SetBtnSkin(int /*button*/, const ImageButtonStyle* /*style*/) { return 1; }
    // The geometry the preview draws (read-only: change it through IWallPreview).
    virtual const WallGeometry& Geometry() const = 0;
    // The panel rectangle as last drawn and reported, in the preview's own coordinates.
    virtual tagRECT PanelRect() const { return tagRECT{0, 0, 0, 0}; }

protected:
    ISFEffectViewEvent* m_pEvent;
};

// Allocates the Qt preview with the sink (may be null); null when allocation failed. Lives until
// SFDestroyControl or its Qt parent's destruction, as every control of SFFactory.h.
CSFEffectView* SFCreateEffectView(ISFEffectViewEvent* sink);
