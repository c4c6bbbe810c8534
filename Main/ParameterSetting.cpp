#include "Main/ParameterSetting.h"

#include <QFontMetrics>

#include <algorithm>

#include "Main/MainFrame.h"
#include "shell/lang/LanguageTable.h"
#include "toolkit/SFFactory.h"

namespace {

constexpr double kToFeet = 3.2808399;
constexpr double kToMetres = 0.3048;
constexpr int kHeaderBand = 70;  // the step headers take the top 70 pixels at any scale
constexpr int kStripTop = 87;    // top of the strip's labels
constexpr int kMaxCount = 1000;
constexpr int kTextPixels = 12;  // the panel's texts, before the UI scale

// Shown in the model name label until the frame applies the first catalogue model: a model
// name is data, not a text of the program, so it does not pass through the language table.
constexpr wchar_t kPlaceholderModel[] = L"QXM480VQX-RT";

struct UnitRange {
    double minimum;
    double maximum;
};
// Wall width and height, then lampstand, in metres and in feet (the same lengths converted).
constexpr UnitRange kWallMetres{2.0, 60.0};
constexpr UnitRange kWallFeet{6.5616798, 196.850394};
constexpr UnitRange kLampstandMetres{0.6, 1.8};
constexpr UnitRange kLampstandFeet{1.96850394, 5.90551182};

tagRECT Rect(int x, int y, int w, int h) {
    return tagRECT{x, y, x + w, y + h};
}

ImageNumSpinerStyle SpinnerSkin() {
    ImageNumSpinerStyle s;
    s.frameImage = L"kuang2_nor.png";
    s.upNormal = L"spiner_up_n.png";
    s.upHover = L"spiner_up_h.png";
    s.upPressed = L"spiner_up_p.png";
    s.upDisabled = L"spiner_up_d.png";
    s.downNormal = L"spiner_down_n.png";
    s.downHover = L"spiner_down_h.png";
    s.downPressed = L"spiner_down_p.png";
    s.downDisabled = L"spiner_down_d.png";
    return s;
}

ImageButtonStyle ButtonSkin(const wchar_t* normal, const wchar_t* hover) {
    ImageButtonStyle s;
    s.normal = normal;
    s.hover = hover;
    return s;
}

const SFCOLORREF kLabelColour = SFRGB(102, 102, 102);
const SFCOLORREF kAccent = SFRGB(91, 138, 255);

}  // namespace

SF_BEGIN_MESSAGE_MAP(CParameterSettingEventImp)
SF_ON_COMMAND(CParameterSettingEventImp::kFitToRoom, OnFitToRoom)
SF_ON_COMMAND(CParameterSettingEventImp::kSelectModel, OnSelectModel)
SF_END_MESSAGE_MAP()

CParameterSettingEventImp::CParameterSettingEventImp(std::weak_ptr<CMainFrameEventImp> frame)
    : m_frame(std::move(frame)), m_modelNameText(kPlaceholderModel) {}

CParameterSettingEventImp::~CParameterSettingEventImp() {
    // The controls report to this object: they must not outlive it.
    if (!m_viewWidget.isNull()) {
        SFDestroyControl(m_view);
    }
}

int CParameterSettingEventImp::Create(void* parent) {
    if (m_view != nullptr) {
        return 1;
    }
    m_view = SFCreateView(this);
    if (m_view == nullptr) {
        return 0;
    }
    const tagRECT initial = Rect(0, 0, SFScaled(1000), SFScaled(118));
    m_view->Create(L"", L"", 0, &initial, parent, 0);
    m_viewWidget = static_cast<QWidget*>(m_view->GetUIWnd());
    void* view = m_view->GetUIWnd();
    const tagRECT none = Rect(0, 0, 0, 0);

    // Every control is created empty and placed by Layout; RetranslateTexts gives the texts.
    auto doubleSpinner = [&](uint32_t id, UnitRange range, double step, double value) {
        CSFDoubleSpiner* d = SFCreateDoubleSpiner(this);
        if (d == nullptr) {
            return d;
        }
        d->Create(L"", &none, view, id);
        const ImageNumSpinerStyle skin = SpinnerSkin();
        d->SetSkin(&skin);
        d->SetDecimals(2);
        d->SetStep(step);
        d->SetRange(range.minimum, range.maximum);
        d->SetCurrentNum(value);
        d->ShowWindow(1);
        m_members.push_back({d, 1});
        return d;
    };
    m_background = SFCreatePictureCtrl(nullptr);
    if (m_background != nullptr) {
        m_background->Create(L"", SF_WS_VISIBLE, &none, view, 0);
        m_background->SetImage(L"bgWhite.png");
    }
    for (int k = 0; k < 4; ++k) {
        const std::wstring n = std::to_wstring(k + 1);
        m_steps[k] = MakeRadio(kStepWallSize + k, kNoStep, L"common_step" + n + L"_h.png",
                               L"common_step" + n + L"_n.png", k == 0);
        if (m_steps[k] != nullptr) {
            // The header image carries a numbered badge; the title starts after it.
            m_steps[k]->SetTextOffset(46, 0);
            m_steps[k]->SetTextAlign(SF_ALIGN_LEFT | SF_ALIGN_VCENTER);
            m_steps[k]->SetTextColor(SFRGB(136, 136, 136));
            m_steps[k]->SetSelectedTextColor(SFRGB(34, 34, 34));
        }
    }
    m_meters = MakeRadio(kMeters, 1, L"common_check_m.png", L"common_uncheck_m.png", true);
    m_feet = MakeRadio(kFeet, 1, L"common_check_ft.png", L"common_uncheck_ft.png", false);
    m_widthLabel = MakeLabel(1, kLabelColour);
    m_width = doubleSpinner(kWallWidth, kWallMetres, 1.0, 6.0);
    m_heightLabel = MakeLabel(1, kLabelColour);
    m_height = doubleSpinner(kWallHeight, kWallMetres, 1.0, 2.0);
    m_lampstandLabel = MakeLabel(1, kLabelColour);
    m_lampstand = doubleSpinner(kLampstand, kLampstandMetres, 0.1, 1.0);

    m_fitToRoom = SFCreateButton(this);
    if (m_fitToRoom != nullptr) {
        m_fitToRoom->Create(L"", SF_WS_VISIBLE, &none, view, kFitToRoom);
        const ImageButtonStyle faces =
            ButtonSkin(L"common_FIT TO ROOM_n.png", L"common_FIT TO ROOM_h.png");
        m_fitToRoom->SetSkin(&faces);
        m_fitToRoom->SetTextColor(SFRGB(255, 255, 255));
        m_fitToRoom->SetTextSize(SFScaled(kTextPixels), 0);
        m_fitToRoom->SetCursor();
    }

    // The controls of the other steps are built when first needed (BuildLaterSteps): they are
    // hidden until their step opens, and building them took a third of the panel's start.
    RetranslateTexts();
    Layout(initial.right, initial.bottom);
    return 1;
}

void CParameterSettingEventImp::BuildLaterSteps() {
    if (m_laterStepsBuilt || m_view == nullptr) {
        return;
    }
    m_laterStepsBuilt = true;
    void* view = m_view->GetUIWnd();
    const tagRECT none = Rect(0, 0, 0, 0);
    auto countSpinner = [&](uint32_t id) {
        CSFNumSpiner* n = SFCreateNumSpiner(this);
        if (n == nullptr) {
            return n;
        }
        n->Create(L"", &none, view, id);
        const ImageNumSpinerStyle skin = SpinnerSkin();
        n->SetSkin(&skin);
        n->ShowWindow(0);  // range and value: SetNum below
        m_members.push_back({n, 3});
        return n;
    };

    m_modelNameTitle = MakeLabel(2, SFRGB(34, 34, 34));
    m_modelName = MakeLabel(2, kLabelColour);
    m_selectModel = SFCreateButton(this);
    if (m_selectModel != nullptr) {
        m_selectModel->Create(L"", 0, &none, view, kSelectModel);
        const ImageButtonStyle faces =
            ButtonSkin(L"common_Select Model_n.png", L"common_Select Model_h.png");
        m_selectModel->SetSkin(&faces);
        m_selectModel->SetTextColor(kAccent);
        m_selectModel->SetTextSize(SFScaled(kTextPixels), 0);
        m_selectModel->SetCursor();
        m_members.push_back({m_selectModel, 2});
    }

    m_orientationLabel = MakeLabel(3, kLabelColour);
    m_landscapeRadio =
        MakeRadio(kLandscape, 3, L"common_check_m.png", L"common_uncheck_m.png", true);
    m_portraitRadio =
        MakeRadio(kPortrait, 3, L"common_check_ft.png", L"common_uncheck_ft.png", false);
    m_columnsLabel = MakeLabel(3, kLabelColour);
    m_columns = countSpinner(kColumns);
    m_rowsLabel = MakeLabel(3, kLabelColour);
    m_rows = countSpinner(kRows);

    m_content = SFCreateComboBox(this);
    if (m_content != nullptr) {
        m_content->Create(0, &none, view, kContent);
        ImageComboBoxStyle skin;
        skin.image = L"ComboBox_134.png";
        const wchar_t* slices[7] = {L"0,0,134,17",  L"0,18,134,17", L"0,36,134,17", L"0,36,134,17",
                                    L"0,54,134,17", L"0,0,134,17",  L"0,28,134,17"};
        for (int i = 0; i < 7; ++i) {
            skin.stateRects[i] = slices[i];
        }
        m_content->SetSkin(&skin);
        for (int i = 0; i < 4; ++i) {
            m_content->AddString(L"");
        }
        m_content->SetCurSel(0);
        m_members.push_back({m_content, 4});
    }
    // Places and texts of the new controls (created hidden; a step switch shows them), then
    // what the frame set meanwhile (the model name is fitted to its placed label).
    if (!m_viewWidget.isNull()) {
        Layout(m_viewWidget->width(), m_viewWidget->height());
    }
    RetranslateTexts();
    SetModelName(m_modelNameText);
    SetOrientation(m_landscape ? 1 : 0);
    SetNum(1, m_counts[1]);
    SetNum(0, m_counts[0]);
}

CSFStatic* CParameterSettingEventImp::MakeLabel(int step, SFCOLORREF colour) {
    CSFStatic* s = SFCreateStatic(nullptr);
    if (s == nullptr) {
        return s;
    }
    const tagRECT none = Rect(0, 0, 0, 0);
    s->Create(L"", step <= 1 ? SF_WS_VISIBLE : 0, &none, m_view->GetUIWnd(), 0);
    s->SetTextColor(colour);
    s->SetTextSize(SFScaled(kTextPixels));
    m_members.push_back({s, step});
    return s;
}

CSFRadioBox* CParameterSettingEventImp::MakeRadio(uint32_t id, int step, const std::wstring& on,
                                                  const std::wstring& off, bool checked) {
    CSFRadioBox* r = SFCreateRadioBox(this);
    if (r == nullptr) {
        return r;
    }
    const tagRECT none = Rect(0, 0, 0, 0);
    r->Create(L"", step <= 1 ? SF_WS_VISIBLE : 0, &none, m_view->GetUIWnd(), id);
    ImageRadioBox faces;
    faces.checked = on;
    faces.unchecked = off;
    r->SetSkin(&faces);
    r->SetCheck(checked ? 1 : 0);
    r->SetTextSize(SFScaled(kTextPixels));
    r->SetTextColor(kLabelColour);
    r->SetSelectedTextColor(SFRGB(63, 111, 230));
    r->SetTextAlign(SF_ALIGN_CENTER);
    r->SetCursor();
    m_members.push_back({r, step});
    return r;
}

CSFControl* CParameterSettingEventImp::Control(uint32_t id) const {
    // A control of a later step asked for before its step was opened is built as a step switch
    // would build it; `control` refers to the member, so it is read after the build.
    auto later = [this](auto* const& control) -> CSFControl* {
        const_cast<CParameterSettingEventImp*>(this)->BuildLaterSteps();
        return control;
    };
    switch (id) {
        case kStepWallSize:
        case kStepModel:
        case kStepLayout:
        case kStepContent:
            return m_steps[id - kStepWallSize];
        case kMeters:
            return m_meters;
        case kFeet:
            return m_feet;
        case kWallWidth:
            return m_width;
        case kWallHeight:
            return m_height;
        case kFitToRoom:
            return m_fitToRoom;
        case kSelectModel:
            return later(m_selectModel);
        case kLandscape:
            return later(m_landscapeRadio);
        case kPortrait:
            return later(m_portraitRadio);
        case kColumns:
            return later(m_columns);
        case kRows:
            return later(m_rows);
        case kLampstand:
            return m_lampstand;
        case kContent:
            return later(m_content);
        default:
            return nullptr;
    }
}

void CParameterSettingEventImp::OnSize(uint32_t /*type*/, int cx, int cy) {
    Layout(cx, cy);
}

// Every control has its place whether it is shown or not, so a step switch moves nothing. Left
// edges chain: each control starts a fixed gap after the right edge of the one before it.
void CParameterSettingEventImp::Layout(int w, int h) {
    const float s = SFGetUIScale();
    const auto sc = SFScaled;
    auto centred = [h](int height) { return kHeaderBand + (h - kHeaderBand - height) / 2; };
    auto place = [](CSFControl* c, int x, int y, int cw, int ch) {
        if (c != nullptr) {
            c->MoveWindow(x, y, cw, ch);
        }
        return x + cw;  // right edge, exclusive
    };

    place(m_background, 0, kHeaderBand, w, h - kHeaderBand);
    const int headerWidth = sc(180);
    const int headerHeight = static_cast<int>(70.0f * s - 1.0f);
    for (int k = 0; k < 4; ++k) {
        place(m_steps[k], 70 + k * (headerWidth + 60), 0, headerWidth, headerHeight);
    }

    const int radioW = sc(65), radioH = sc(27);
    const int labelW = sc(70), labelH = sc(22);
    const int spinW = sc(100), spinH = sc(18);
    int x = place(m_meters, 70, centred(radioH), radioW, radioH);
    x = place(m_feet, x, centred(radioH), radioW, radioH);
    x = place(m_widthLabel, x + 10, kStripTop, labelW, labelH);
    x = place(m_width, x + 10, centred(spinH), spinW, spinH);
    x = place(m_heightLabel, x + 10, kStripTop, labelW, labelH);
    x = place(m_height, x + 10, centred(spinH), spinW, spinH);
    x = place(m_lampstandLabel, x + 10, kStripTop, labelW, labelH);
    place(m_lampstand, x + 10, centred(spinH), spinW, spinH);
    place(m_fitToRoom, w - 149, centred(27), 119, 27);

    place(m_modelNameTitle, 70, kStripTop, 110, labelH);
    place(m_modelName, 180, kStripTop, 110, labelH);
    place(m_selectModel, 300, centred(27), 100, 27);

    place(m_orientationLabel, 70, kStripTop, 80, labelH);
    x = place(m_landscapeRadio, 160, centred(radioH), radioW, radioH);
    x = place(m_portraitRadio, x, centred(radioH), radioW, radioH);
    x = place(m_columnsLabel, x + 10, kStripTop, 80, labelH);
    x = place(m_columns, x + 10, centred(spinH), spinW, spinH);
    x = place(m_rowsLabel, x + 15, kStripTop, 80, labelH);
    place(m_rows, x + 10, centred(spinH), spinW, spinH);

    place(m_content, 120, kStripTop, sc(134), sc(17));
    FitLabels();
}

// The labels have fixed slots, and some texts ("Lampstand(ft)") are wider than their slot in
// some fonts: such a text is set smaller, down to 9 pixels, rather than cut.
void CParameterSettingEventImp::FitLabels() {
    for (CSFStatic* label : {m_widthLabel, m_heightLabel, m_lampstandLabel, m_modelNameTitle,
                             m_modelName, m_orientationLabel, m_columnsLabel, m_rowsLabel}) {
        if (label == nullptr) {
            continue;
        }
        tagRECT r{0, 0, 0, 0};
        label->GetStaticCtrolPos(&r);
        wchar_t text[256] = {};
        label->GetStaticText(text, 256);
        QFont font = static_cast<QWidget*>(label->GetUIWnd())->font();
        const QString shown = QString::fromWCharArray(text);
        int size = SFScaled(kTextPixels);
        for (; size > 9; --size) {
            font.setPixelSize(size);
            if (QFontMetrics(font).horizontalAdvance(shown) <= r.right - r.left) {
                break;
            }
        }
        label->SetTextSize(size);
    }
}

void CParameterSettingEventImp::RetranslateTexts() {
    auto text = [](CSFControl* c, const std::wstring& t) {
        if (c != nullptr) {
            c->SetWindowTextW(t.c_str());
        }
    };
    text(m_steps[0], Translate(L"Define Wall Size"));
    text(m_steps[1], Translate(L"Choose Model"));
    text(m_steps[2], Translate(L"Display Layout"));
    text(m_steps[3], Translate(L"Content Configuration"));
    text(m_meters, Translate(L"Meters"));
    text(m_feet, Translate(L"Feet"));
    SetUnitLabels();
    text(m_fitToRoom, Translate(L"  Fit To Room"));
    text(m_modelNameTitle, Translate(L"Model Name:"));
    text(m_selectModel, Translate(L"Select Model"));
    text(m_orientationLabel, Translate(L"Orientation"));
    text(m_landscapeRadio, Translate(L"Landscape"));
    text(m_portraitRadio, Translate(L"Portrait"));
    text(m_columnsLabel, Translate(L"Colums"));
    text(m_rowsLabel, Translate(L"Rows"));
    if (m_content != nullptr) {
        const std::wstring entries[4] = {Translate(L"Default Image 1"),
                                         Translate(L"Default Image 2"), Translate(L"No Image"),
                                         Translate(L"Sample Video")};
        for (int i = 0; i < 4; ++i) {
            m_content->SetLBText(i, entries[i].c_str());
        }
    }
    FitLabels();
}

void CParameterSettingEventImp::SetUnitLabels() {
    const bool metres = m_metricUnits == 1;
    const std::wstring width = metres ? Translate(L"Width(m)") : Translate(L"Width(ft)");
    const std::wstring height = metres ? Translate(L"Height(m)") : Translate(L"Height(ft)");
    const std::wstring lampstand =
        metres ? Translate(L"Lampstand(m)") : Translate(L"Lampstand(ft)");
    for (auto [label, t] : {std::pair{m_widthLabel, &width}, std::pair{m_heightLabel, &height},
                            std::pair{m_lampstandLabel, &lampstand}}) {
        if (label != nullptr) {
            label->SetStaticText(t->c_str(), false);
        }
    }
}

// ---- Notifications

void CParameterSettingEventImp::RADIO_OnClicked(uint32_t id, int /*state*/, tagPOINT /*pt*/) {
    // A radio box flips its own mark on every click; each branch sets the marks it means.
    switch (id) {
        case kStepWallSize:
        case kStepModel:
        case kStepLayout:
        case kStepContent:
            SwitchStep(static_cast<int>(id - kStepWallSize) + 1);
            break;
        case kMeters:
            SwitchUnit(1);
            break;
        case kFeet:
            SwitchUnit(0);
            break;
        case kLandscape:
            ChangeOrientation(true);
            break;
        case kPortrait:
            ChangeOrientation(false);
            break;
        default:
            break;
    }
}

void CParameterSettingEventImp::SwitchStep(int step) {
    if (step > 1) {
        BuildLaterSteps();
    }
    m_openStep = step;
    for (const StepMember& m : m_members) {
        if (m.step != kNoStep) {
            m.control->ShowWindow(m.step == step ? 1 : 0);
        }
    }
    for (int k = 0; k < 4; ++k) {
        if (m_steps[k] != nullptr) {
            m_steps[k]->SetCheck(k + 1 == step ? 1 : 0);
        }
    }
}

void CParameterSettingEventImp::SwitchUnit(int metric) {
    if (m_meters != nullptr && m_feet != nullptr) {
        m_meters->SetCheck(metric);
        m_feet->SetCheck(1 - metric);
    }
    if (metric == m_metricUnits) {
        return;
    }
    m_metricUnits = metric;
    SetUnitLabels();
    FitLabels();
    const double factor = metric == 1 ? kToMetres : kToFeet;
    const UnitRange wall = metric == 1 ? kWallMetres : kWallFeet;
    const UnitRange lampstand = metric == 1 ? kLampstandMetres : kLampstandFeet;
    // The value is read before the range changes: the new range would clamp the old value.
    for (auto [spinner, range] :
         {std::pair{m_width, wall}, std::pair{m_height, wall}, std::pair{m_lampstand, lampstand}}) {
        if (spinner != nullptr) {
            const double v = spinner->GetCurrentNum();
            spinner->SetRange(range.minimum, range.maximum);
            spinner->SetCurrentNum(v * factor);
        }
    }
    if (const auto frame = m_frame.lock()) {
        metric == 1 ? frame->ApplyFeetToMeters() : frame->ApplyMetersToFeet();
    }
}

// A click on the radio of the orientation the wall already has asks for nothing: the wall would
// otherwise turn away from the orientation the user clicked. Afterwards the radios always show
// the wall's orientation as the frame last reported it.
void CParameterSettingEventImp::ChangeOrientation(bool toLandscape) {
    if (toLandscape == m_landscape) {
        SetOrientation(m_landscape ? 1 : 0);
        return;
    }
    const auto frame = m_frame.lock();
    const int turned = frame ? frame->ApplyOrientationChange() : 0;
    // A turn reported itself through SetOrientation meanwhile; a refusal changed nothing.
    SetOrientation(m_landscape ? 1 : 0);
    if (turned == 0 && frame) {
        frame->ShowMessage(Translate(L"Attention"), Translate(L"Can not Change Orientation."));
    }
}

void CParameterSettingEventImp::OnCurrentNumChanged(uint32_t id, double value) {
    switch (id) {
        case kWallWidth:
        case kWallHeight:
            ApplyWallSize();
            break;
        case kLampstand:
            if (const auto frame = m_frame.lock()) {
                frame->ApplyLampstand(value);
            }
            break;
        default:
            break;
    }
}

void CParameterSettingEventImp::ApplyWallSize() {
    if (const auto frame = m_frame.lock(); frame && m_width != nullptr && m_height != nullptr) {
        frame->ApplyWallSize(m_width->GetCurrentNum(), m_height->GetCurrentNum());
    }
}

void CParameterSettingEventImp::OnCurrentNumChanged(uint32_t id, int value) {
    // A count the frame writes back (SetNum) is the wall's own answer, not a request: handing it
    // on would ask the wall again, and for a reported 0 (a count the user cannot choose) start a
    // refusal loop.
    if (m_settingCount || (id != kColumns && id != kRows)) {
        return;
    }
    CSFNumSpiner* spinner = id == kColumns ? m_columns : m_rows;
    int minimum = 1, maximum = kMaxCount;
    spinner->GetRange(&minimum, &maximum);
    if (value >= 1 && (minimum != 1 || maximum != kMaxCount)) {
        // The user moved away from a reported count outside 1..1000: back to the normal range.
        m_settingCount = true;
        spinner->SetRange(1, std::max(kMaxCount, value));
        m_settingCount = false;
    }
    if (const auto frame = m_frame.lock()) {
        frame->ApplyCount(id == kColumns ? 1 : 0, value);
    }
}

void CParameterSettingEventImp::SelectChanged(uint32_t id, int index) {
    if (id == kContent) {
        if (const auto frame = m_frame.lock()) {
            frame->ChooseContent(index);
        }
    }
}

void CParameterSettingEventImp::BTN_OnLButtonDown(uint32_t id, uint32_t /*flags*/,
                                                  tagPOINT /*pt*/) {
    if (id == kSelectModel && m_selectModel != nullptr) {
        m_selectModel->SetTextColor(SFRGB(255, 255, 255));
    }
}

void CParameterSettingEventImp::BTN_OnLButtonUp(uint32_t id, uint32_t /*flags*/, tagPOINT /*pt*/) {
    if (id == kSelectModel && m_selectModel != nullptr) {
        m_selectModel->SetTextColor(kAccent);
    }
}

void CParameterSettingEventImp::OnFitToRoom() {
    if (const auto frame = m_frame.lock()) {
        frame->ApplyFitToRoom();
    }
}

void CParameterSettingEventImp::OnSelectModel() {
    if (const auto frame = m_frame.lock()) {
        frame->SelectModel();
    }
}

// ---- Setters

void CParameterSettingEventImp::SetNum(int which, int count) {
    m_counts[which == 1 ? 1 : 0] = count;
    CSFNumSpiner* spinner = CountSpinner(which);
    if (spinner == nullptr) {
        return;
    }
    const int shown = std::max(0, count);
    m_settingCount = true;
    // The range holds the reported count: a wall with no room for one panel shows 0, not the
    // range's minimum (which would be a count the wall never reported).
    spinner->SetRange(std::min(1, shown), std::max(kMaxCount, shown));
    spinner->SetCurrentNum(shown);
    m_settingCount = false;
}

void CParameterSettingEventImp::SetOrientation(int landscape) {
    m_landscape = landscape != 0;
    if (m_landscapeRadio != nullptr && m_portraitRadio != nullptr) {
        m_landscapeRadio->SetCheck(m_landscape ? 1 : 0);
        m_portraitRadio->SetCheck(m_landscape ? 0 : 1);
    }
}

void CParameterSettingEventImp::SetLampstandValue(double height) {
    if (m_lampstand != nullptr) {
        m_lampstand->SetCurrentNum(height);
    }
}

void CParameterSettingEventImp::SetModelName(const std::wstring& name) {
    m_modelNameText = name;
    if (m_modelName == nullptr) {
        return;
    }
    m_modelName->SetStaticText(name.c_str(), false);
    FitLabels();
    // A name too wide for its slot even at the smallest size ends in "…" (never cut inside a
    // character) and is shown whole in the tool tip.
    tagRECT r{0, 0, 0, 0};
    m_modelName->GetStaticCtrolPos(&r);
    const QString whole = QString::fromStdWString(name);
    const QString shown = QFontMetrics(static_cast<QWidget*>(m_modelName->GetUIWnd())->font())
                              .elidedText(whole, Qt::ElideRight, r.right - r.left);
    if (shown != whole) {
        m_modelName->SetStaticText(shown.toStdWString().c_str(), false);
    }
    m_modelName->SetToolTipText(shown == whole ? L"" : name.c_str());
}
