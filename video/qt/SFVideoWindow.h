#pragma once
// The video window control: plays the content in the cells of a split layout
// (CQTVideoWindowLayout) with frames converted by the video library. Created with
// SFCreateVideoWindow; GUI thread only, like every control. Its operations, the Qt class and the
// factory's definition come with the window; this folder (target video_qt) is their home, the
// one library that joins the video engine and the Qt widgets.
#include "toolkit/SFControls.h"

class CSFVideoWindow : public CSFControl {
public:
    explicit CSFVideoWindow(ISFVideoWindowEvent* sink) : m_pEvent(sink) {}
    virtual int Create(const wchar_t* /*className*/, const wchar_t* /*title*/, uint32_t /*style*/,
                       const tagRECT* /*rect*/, void* /*parent*/, uint32_t /*id*/) {
        return 0;
    }

protected:
    ISFVideoWindowEvent* m_pEvent;
};

// Allocates the Qt video window with the sink (may be null); null when allocation failed.
// Declared ahead of its definition: nothing may call it until the window exists.
CSFVideoWindow* SFCreateVideoWindow(ISFVideoWindowEvent* sink);
