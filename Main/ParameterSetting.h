#pragma once
// The parameter panel: the band of controls across the wall page with which the user states the
// wall in four steps (wall size, model, layout, content). It holds no geometry: every change is
// handed to the main frame's wall operations, which answer through the setters below. Created and
// owned by the main frame; GUI thread only.
//
// The frame is reached through a weak reference locked for each call; without a frame (not yet
// made, already gone, or a test showing the panel alone) a request simply goes nowhere and the
// panel keeps showing what it shows.
#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/SFControls.h"

class CMainFrameEventImp;

class CParameterSettingEventImp : public ISFViewEvent,
                                  public ISFNumSpinerEvent,
                                  public ISFDoubleSpinerEvent,
                                  public ISFButtonEvent,
                                  public ISFRadioBoxEvent,
                                  public ISFComboBoxEvent {
    SF_DECLARE_MESSAGE_MAP(CParameterSettingEventImp)

public:
    // Control ids: the value every notification carries.
    enum ControlId : uint32_t {
        kStepWallSize = 200,  // step headers 200..203
        kStepModel = 201,
        kStepLayout = 202,
        kStepContent = 203,
        kMeters = 204,
        kFeet = 205,
        kWallWidth = 206,
        kWallHeight = 207,
        kFitToRoom = 208,
        kSelectModel = 209,
        kLandscape = 210,
        kPortrait = 211,
        kColumns = 212,
        kRows = 213,
        kLampstand = 214,
        kContent = 215,
    };

    explicit CParameterSettingEventImp(std::weak_ptr<CMainFrameEventImp> frame);
    ~CParameterSettingEventImp() override;

    // Builds the panel's view and controls inside parent (hidden; the main frame places it).
    // Returns 1 on success.
    int Create(void* parent);
    CSFView* View() const { return m_view; }
    // The control with that id (ControlId), or null: for the frame's layout checks and the tests.
    CSFControl* Control(uint32_t id) const;

    // ---- Setters of the main frame. None of them calls back into the frame.
    // The column (which = 1) or row (which = 0) spinner shows count (0 when not one fits). The
    // spinner's range widens to hold a reported count outside 1..1000; user input stays within
    // 1..1000 (or up to the reported count).
    void SetNum(int which, int count);
    // Landscape radio selected = landscape != 0, Portrait radio the opposite.
    void SetOrientation(int landscape);
    void SetLampstandValue(double height);
    // A name too wide for its label even at 9 pixels ends in "…", whole in the tool tip.
    void SetModelName(const std::wstring& name);
    // Sets every text again from the language table (unit labels in the unit shown).
    void RetranslateTexts();

    // 1 while the panel shows metres, 0 while it shows feet.
    int MetricUnits() const { return m_metricUnits; }
    // The open step, 1..4.
    int OpenStep() const { return m_openStep; }

    // ---- ISFViewEvent
    void OnSize(uint32_t type, int cx, int cy) override;
    // ---- Control notifications
    void OnCurrentNumChanged(uint32_t id, int value) override;
    void OnCurrentNumChanged(uint32_t id, double value) override;
    void RADIO_OnClicked(uint32_t id, int state, tagPOINT pt) override;
    void SelectChanged(uint32_t id, int index) override;
    void BTN_OnLButtonDown(uint32_t id, uint32_t flags, tagPOINT pt) override;
    void BTN_OnLButtonUp(uint32_t id, uint32_t flags, tagPOINT pt) override;

private:
    // Which of the four steps a control belongs to; kNoStep stays as it is on a step switch.
    static constexpr int kNoStep = 0;
    struct StepMember {
        CSFControl* control;
        int step;
    };

    void OnFitToRoom();
    void OnSelectModel();
    void SwitchStep(int step);
    // Builds the controls of steps 2 to 4 (once), showing what the setters set meanwhile.
    void BuildLaterSteps();
    CSFStatic* MakeLabel(int step, SFCOLORREF colour);
    CSFRadioBox* MakeRadio(uint32_t id, int step, const std::wstring& on, const std::wstring& off,
                           bool checked);
    void SwitchUnit(int metric);
    void ChangeOrientation(bool toLandscape);
    void ApplyWallSize();
    void SetUnitLabels();
    void FitLabels();
    void Layout(int w, int h);
    CSFNumSpiner* CountSpinner(int which) const { return which == 1 ? m_columns : m_rows; }

    std::weak_ptr<CMainFrameEventImp> m_frame;
    CSFView* m_view = nullptr;
    QPointer<QWidget> m_viewWidget;  // null once the view's Qt parent has deleted it
    int m_metricUnits = 1;
    int m_openStep = 1;
    bool m_landscape = true;      // the wall's orientation as last set through SetOrientation
    bool m_settingCount = false;  // SetNum is writing a count spinner: its report is not input
    bool m_laterStepsBuilt = false;
    // What the setters set, kept for the controls of the later steps until they are built.
    int m_counts[2] = {1, 1};  // [0] rows, [1] columns
    std::wstring m_modelNameText;

    CSFPictureCtrl* m_background = nullptr;
    CSFRadioBox* m_steps[4] = {};
    CSFRadioBox* m_meters = nullptr;
    CSFRadioBox* m_feet = nullptr;
    CSFStatic* m_widthLabel = nullptr;
    CSFDoubleSpiner* m_width = nullptr;
    CSFStatic* m_heightLabel = nullptr;
    CSFDoubleSpiner* m_height = nullptr;
    CSFStatic* m_lampstandLabel = nullptr;
    CSFDoubleSpiner* m_lampstand = nullptr;
    CSFButton* m_fitToRoom = nullptr;
    CSFStatic* m_modelNameTitle = nullptr;
    CSFStatic* m_modelName = nullptr;
    CSFButton* m_selectModel = nullptr;
    CSFStatic* m_orientationLabel = nullptr;
    CSFRadioBox* m_landscapeRadio = nullptr;
    CSFRadioBox* m_portraitRadio = nullptr;
    CSFStatic* m_columnsLabel = nullptr;
    CSFNumSpiner* m_columns = nullptr;
    CSFStatic* m_rowsLabel = nullptr;
    CSFNumSpiner* m_rows = nullptr;
    CSFComboBox* m_content = nullptr;
    std::vector<StepMember> m_members;
};
