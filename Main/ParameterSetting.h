#pragma once
// The parameter panel: the band of controls across the wall page with which the user states the
// wall in four steps (wall size, model, layout, content). It holds no geometry: every change is
// handed to the main frame's wall operations, which answer through the setters below. Created and
// owned by the main frame; GUI thread only.
#include <memory>
#include <string>

#include "toolkit/SFControls.h"

class CMainFrameEventImp;

class CParameterSettingEventImp : public ISFViewEvent,
                                  public ISFNumSpinerEvent,
                                  public ISFDoubleSpinerEvent,
                                  public ISFButtonEvent,
                                  public ISFRadioBoxEvent,
                                  public ISFComboBoxEvent {
public:
    explicit CParameterSettingEventImp(std::weak_ptr<CMainFrameEventImp> frame);
    ~CParameterSettingEventImp() override;

    // Builds the panel's view and controls inside parent (hidden; the main frame places it).
    // Returns 1 on success.
    int Create(void* parent);
    CSFView* View() const { return m_view; }

    // ---- Setters of the main frame
    // The column (which = 1) or row (which = 0) spinner shows count (0 when not one fits).
    void SetNum(int which, int count);
    void SetOrientation(int landscape);
    void SetLampstandValue(double height);
    void SetModelName(const std::wstring& name);
    // Sets every text again from the language table.
    void RetranslateTexts();

private:
    std::weak_ptr<CMainFrameEventImp> m_frame;
    CSFView* m_view = nullptr;
};
