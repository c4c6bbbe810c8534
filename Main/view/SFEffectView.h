#pragma once
// The wall preview control: draws the wall design held by its WallGeometry, carries the six
// buttons of its own, and reports to the main frame through ISFEffectViewEvent. Created with
// SFCreateEffectView (main_view); GUI thread only, like every control.
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

class CSFEffectView : public CSFControl {
public:
    explicit CSFEffectView(ISFEffectViewEvent* sink) : m_pEvent(sink) {}
    virtual int Create(const wchar_t* /*className*/, const wchar_t* /*title*/, uint32_t /*style*/,
                       const tagRECT* /*rect*/, void* /*parent*/, uint32_t /*id*/) {
        return 0;
    }
    virtual void Invalidate() {}

protected:
    ISFEffectViewEvent* m_pEvent;
};

// Allocates the Qt preview with the sink (may be null); null when allocation failed. Lives until
// SFDestroyControl or its Qt parent's destruction, as every control of SFFactory.h.
CSFEffectView* SFCreateEffectView(ISFEffectViewEvent* sink);
