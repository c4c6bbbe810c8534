#include "Main/ModelSelectDlg.h"

#include <QFontMetrics>
#include <QString>

#include <algorithm>
#include <cmath>

#include "Main/DialogStyles.h"
#include "Main/MainFrame.h"
#include "shell/lang/LanguageTable.h"
#include "toolkit/SFFactory.h"

namespace {

// Shown in the model name label until a row is shown: a model name is data, not a text of the
// program, so it does not pass through the language table.
constexpr wchar_t kPlaceholderModel[] = L"QXM480VQX-RT";

// Shares of the list's width taken by its six columns, in column order.
constexpr double kColumnShares[6] = {0.23, 0.17, 0.15, 0.19, 0.16, 0.05};

constexpr SFCOLORREF kDetailColour = SFRGB(153, 153, 153);

// trunc(n × s − 1): the sizes the layout gives one pixel short of a scaled whole.
int ScaledLess1(double n) {
    return static_cast<int>(std::trunc(n * SFGetUIScale() - 1.0));
}

// The model selection dialog's skin record.
DialogStyle CommonDialogStyle() {
    DialogStyle s = SkinnedDialogStyle(kBand35Pieces);
    s.flag = 1;
    return s;
}

}  // namespace

SF_BEGIN_MESSAGE_MAP(CModelSelectDlgEventImp)
SF_ON_COMMAND(CModelSelectDlgEventImp::kChoose, OnChoose)
SF_ON_COMMAND(CModelSelectDlgEventImp::kCancel, OnCancel)
SF_ON_COMMAND(CModelSelectDlgEventImp::kClose, OnCancel)
SF_END_MESSAGE_MAP()

CModelSelectDlgEventImp::CModelSelectDlgEventImp(std::weak_ptr<CMainFrameEventImp> frame)
    : m_frame(std::move(frame)) {}

CModelSelectDlgEventImp::~CModelSelectDlgEventImp() {
    // The dialog and its controls report to this object: they must not outlive it.
    if (!m_windowWidget.isNull()) {
        SFDestroyControl(m_window);
    }
}

int CModelSelectDlgEventImp::Create(void* owner) {
    if (m_created) {
        return 1;
    }
    m_created = true;
    m_owner = owner;
    m_database = std::make_shared<CDatabaseManager>();
    m_database->LoadProductParameters(m_catalogue);
    // The window is hidden until the user asks for it: it is built then (BuildWindow), which
    // keeps its ~20 ms out of the start-up.
    return 1;
}

CSFDialog* CModelSelectDlgEventImp::BuildWindow() {
    if (m_window != nullptr || !m_created) {
        return m_window;
    }
    void* owner = m_owner;
    m_window = SFCreateDialog(this, owner, 0);
    if (m_window == nullptr) {
        return nullptr;
    }
    m_windowWidget = static_cast<QWidget*>(m_window->GetUIWnd());
    const DialogStyle style = CommonDialogStyle();
    m_window->SetSkin(&style);
    m_window->SetTitleToTopDistance(static_cast<int>(8.0 * SFGetUIScale() + 10.0));
    // The 20 extra pixels are the shadow band around the frame (10 on each side).
    m_width = SFScaled(800) + 20;
    m_height = SFScaled(470) + 20;
    m_window->MoveWindow(0, 0, m_width, m_height);
    m_window->Create(Translate(L"Select Model").c_str(), owner);  // builds the controls
    m_window->CenterWindow(owner);
    m_window->SetDrawBackGround(1);
    m_window->SetFrameShadow(true);
    // A hidden window hears of its size only when first shown; the controls need it now.
    Layout(m_width, m_height);
    // The default model chosen before the window existed is the list's selection.
    if (m_detailsRow >= 0) {
        SelectRowQuietly(m_currentRow);
    }
    return m_window;
}

int CModelSelectDlgEventImp::Dlg_OnInit(int created) {
    if (created == 0 || m_close != nullptr) {
        return 1;  // a modal run: the controls exist and keep their state
    }
    void* window = m_window->GetUIWnd();
    const tagRECT none{0, 0, 0, 0};

    m_close = CreateCloseButton(
        this, window, kClose,
        ButtonFaces(L"common_close_n.png", L"common_close_h.png", L"common_close_h.png"));
    if (m_close != nullptr) {
        m_close->SetCursor();
    }
    m_picture = SFCreatePictureCtrl(nullptr);
    if (m_picture != nullptr) {
        m_picture->Create(L"", SF_WS_VISIBLE, &none, window, 0);
        m_picture->SetImage(L"box_model_bg.png");
    }
    m_modelName = SFCreateStatic(nullptr);
    if (m_modelName != nullptr) {
        m_modelName->Create(m_catalogue.empty() ? L"" : kPlaceholderModel, SF_WS_VISIBLE, &none,
                            window, 0);
        m_modelName->SetTextColor(SFRGB(91, 138, 255));
        m_modelName->SetTextSize(SFScaled(17));
    }
    for (CSFStatic*& detail : m_details) {
        detail = SFCreateStatic(nullptr);
        if (detail != nullptr) {
            detail->Create(L"", SF_WS_VISIBLE, &none, window, 0);
            detail->SetTextColor(kDetailColour);
            detail->SetTextSize(SFScaled(12));
        }
    }
    BuildList();
    m_choose = SFCreateButton(this);
    if (m_choose != nullptr) {
        m_choose->Create(L"", SF_WS_VISIBLE, &none, window, kChoose);
        const ImageButtonStyle faces = ButtonFaces(L"box_choose_bg_n.png", L"box_choose_bg_h.png",
                                                   L"box_choose_bg_nmage1.png");
        m_choose->SetSkin(&faces);
        m_choose->SetTextColor(SFRGB(255, 255, 255));
        m_choose->SetCursor();
    }
    // Never shown: the close button and Escape are the ways out without choosing.
    m_cancel = SFCreateButton(this);
    if (m_cancel != nullptr) {
        m_cancel->Create(L"", 0, &none, window, kCancel);
        const ImageButtonStyle faces =
            ButtonFaces(L"btn_ok_nor.png", L"btn_ok_hov.png", L"btn_ok_pre.png");
        m_cancel->SetSkin(&faces);
        m_cancel->SetTextColor(SFRGB(9, 118, 223));
    }
    SetTexts();
    return 1;
}

void CModelSelectDlgEventImp::BuildList() {
    m_list = SFCreateListCtrl(this);
    if (m_list == nullptr) {
        return;
    }
    const tagRECT none{0, 0, 0, 0};
    m_list->Create(SF_WS_VISIBLE, &none, m_window->GetUIWnd(), 0, 0);
    m_list->SetShowGrid(0);
    const std::wstring headers[6] = {Translate(L"Model"),          Translate(L"Brightness"),
                                     Translate(L"Contrast"),       Translate(L"Bezel Width"),
                                     Translate(L"Bezel-to-bezel"), Translate(L"Size")};
    for (int c = 0; c < 6; ++c) {
        m_list->InsertColumn(c, headers[c].c_str(), SF_ALIGN_LEFT | SF_ALIGN_VCENTER, 0, c);
    }
    FillList();
    // An empty catalogue is said inside the empty list, with the file that was looked for. The
    // notice is the list's child, so it stays over the list and goes with it.
    m_emptyNotice = nullptr;
    if (m_catalogue.empty()) {
        m_emptyNotice = SFCreateStatic(nullptr);
    }
    if (m_emptyNotice != nullptr) {
        const std::wstring where =
            QString::fromStdString(CDatabaseManager::CataloguePath()).toStdWString();
        const std::wstring text = Translate(L"No display model could be read from ") + where;
        m_emptyNotice->Create(text.c_str(), SF_WS_VISIBLE, &none, m_list->GetUIWnd(), 0);
        m_emptyNotice->SetTextColor(SFRGB(34, 34, 34));
        m_emptyNotice->SetTextSize(SFScaled(13));
        m_emptyNotice->SetTextAlignFlag(SF_ALIGN_HCENTER | SF_ALIGN_TOP);
        m_emptyNotice->SetWrapAnywhere(1);  // a path has no blanks to break at
    }
}

void CModelSelectDlgEventImp::FillList() {
    m_quietSelection = true;
    int row = 0;
    for (const auto& [key, record] : m_catalogue) {
        m_list->InsertItem(row, record.model.c_str());
        m_list->SetItemText(row, 1, record.brightness.c_str());
        m_list->SetItemText(row, 2, record.contrast.c_str());
        m_list->SetItemText(row, 3, record.bezelWidth.c_str());
        m_list->SetItemText(row, 4, record.bezelToBezel.c_str());
        m_list->SetItemText(row, 5, record.size.c_str());
        ++row;
    }
    m_quietSelection = false;
}

void CModelSelectDlgEventImp::OnDlgSize(uint32_t /*type*/, int& cx, int& cy) {
    m_width = cx;
    m_height = cy;
    Layout(cx, cy);
}

void CModelSelectDlgEventImp::Layout(int w, int h) {
    const double s = SFGetUIScale();
    const auto sc = SFScaled;
    auto place = [](CSFControl* c, int x, int y, int cw, int ch) {
        if (c != nullptr) {
            c->MoveWindow(x, y, cw, ch);
        }
    };
    // The close button keeps to the frame's top right corner, inside the shadow band when the
    // window has one (10 pixels) and at the window's edge when it has none.
    tagRECT frame{0, 0, w, h};
    m_window->GetDlgClientRect(&frame);
    const int closeSize = ScaledLess1(16);
    place(m_close, static_cast<int>(std::trunc(frame.right - 27.0 * s)),
          frame.top + (sc(41) - closeSize) / 2, closeSize, closeSize);

    const int pictureLeft = sc(30), pictureTop = sc(41) + 30;
    const int pictureWidth = ScaledLess1(200), pictureHeight = ScaledLess1(120);
    place(m_picture, pictureLeft, pictureTop, pictureWidth, pictureHeight);
    int top = pictureTop + pictureHeight + 20;
    place(m_modelName, sc(30), top, sc(300), sc(20));
    top += sc(20) + 20;
    for (CSFStatic* detail : m_details) {
        place(detail, sc(30), top, sc(300), sc(20));
        top += sc(20) + 15;
    }

    const int listLeft = pictureLeft + pictureWidth + 20;
    // The text labels reach under the list; their texts are fitted to the part left visible.
    const int textWidth = std::min(sc(300), listLeft - 10 - sc(30));
    if (textWidth != m_textWidth) {
        m_textWidth = textWidth;
        ShowDetails(m_detailsRow);
    }
    const int listWidth = ScaledLess1(540), listHeight = ScaledLess1(363);
    place(m_list, listLeft, pictureTop, listWidth, listHeight);
    if (m_list != nullptr) {
        for (int c = 0; c < 6; ++c) {
            m_list->SetColumnWidth(c, static_cast<int>(listWidth * kColumnShares[c]));
        }
    }
    place(m_emptyNotice, 20, sc(50), listWidth - 40, sc(120));

    const int buttonWidth = ScaledLess1(140), buttonHeight = ScaledLess1(28);
    place(m_cancel, w / 2 - 10 - buttonWidth, h - 30 - buttonHeight, buttonWidth, buttonHeight);
    place(m_choose, 330, pictureTop + listHeight + 8, buttonWidth, buttonHeight);
}

void CModelSelectDlgEventImp::RetranslateTexts() {
    if (m_window == nullptr) {
        return;
    }
    SetTexts();
    if (m_list != nullptr) {
        // The list offers no way to rename its headers: it is built again in the new language,
        // with the same rows and selection.
        const int selected = m_list->GetFirstSelectedRow();
        SFDestroyControl(m_list);
        BuildList();
        Layout(m_width, m_height);
        SelectRowQuietly(selected);
    }
}

void CModelSelectDlgEventImp::SetTexts() {
    m_window->SetWindowTextW(Translate(L"Select Model").c_str());
    if (m_close != nullptr) {
        m_close->SetToolTipText(Translate(L"Close").c_str());
    }
    if (m_choose != nullptr) {
        m_choose->SetWindowTextW(Translate(L"Choose this model").c_str());
    }
    if (m_cancel != nullptr) {
        m_cancel->SetWindowTextW(Translate(L"Cancel").c_str());
    }
    ShowDetails(m_detailsRow);
}

// ---- Rows

void CModelSelectDlgEventImp::OnSelected(int row) {
    if (m_quietSelection || CatalogueRecordAt(m_catalogue, row) == nullptr) {
        return;  // a selection the dialog made itself, or none at all
    }
    m_currentRow = row;
    ShowDetails(row);
}

void CModelSelectDlgEventImp::ShowDetails(int row) {
    const ProductParameter* record = CatalogueRecordAt(m_catalogue, row);
    const std::wstring labels[4] = {Translate(L"Dimension:"), Translate(L"Resolution:"),
                                    Translate(L"Power Consumption:"), Translate(L"Weight:")};
    if (record != nullptr) {
        m_detailsRow = row;
        SetDetail(m_modelName, record->model);
    }
    const std::wstring* values[4] = {nullptr, nullptr, nullptr, nullptr};
    if (record != nullptr) {
        values[0] = &record->dimension;
        values[1] = &record->resolution;
        values[2] = &record->powerConsumption;
        values[3] = &record->weight;
    }
    for (int i = 0; i < 4; ++i) {
        // The label text runs straight into the value ("Dimension:1213x684").
        SetDetail(m_details[i], values[i] != nullptr ? labels[i] + *values[i] : labels[i]);
    }
}

// A text wider than its label is cut at a whole character (never inside a surrogate pair or a
// combining sequence) and ends in "…"; the whole text is then the label's tool tip.
void CModelSelectDlgEventImp::SetDetail(CSFStatic* label, const std::wstring& text) {
    if (label == nullptr) {
        return;
    }
    QFont font = static_cast<QWidget*>(label->GetUIWnd())->font();
    font.setPixelSize(label->GetTextSize());
    const QString whole = QString::fromStdWString(text);
    const int width = m_textWidth > 0 ? m_textWidth : SFScaled(300);
    const QString shown = QFontMetrics(font).elidedText(whole, Qt::ElideRight, width);
    label->SetStaticText(shown.toStdWString().c_str(), false);
    label->SetToolTipText(shown == whole ? L"" : text.c_str());
}

void CModelSelectDlgEventImp::SelectRowQuietly(int row) {
    if (m_list == nullptr) {
        return;
    }
    m_quietSelection = true;
    m_list->SetRowSelected(row);
    m_quietSelection = false;
}

void CModelSelectDlgEventImp::ApplyRow(int row) {
    const ProductParameter* record = CatalogueRecordAt(m_catalogue, row);
    const auto frame = m_frame.lock();
    if (record != nullptr && frame) {
        frame->ApplyModel(record->model, record->panelWidthMm, record->panelHeightMm);
        frame->SetProductInfo(*record);
    }
}

void CModelSelectDlgEventImp::ShowDefaultModel() {
    if (CatalogueRecordAt(m_catalogue, 0) == nullptr) {
        return;  // nothing was read: no model, and the dialog says why
    }
    m_currentRow = 0;
    m_chosenRow = 0;
    if (m_window != nullptr) {
        SelectRowQuietly(0);
        ShowDetails(0);
    } else {
        m_detailsRow = 0;  // what the window shows once it is built
    }
    ApplyRow(0);
}

// ---- Leaving

int CModelSelectDlgEventImp::DoModal() {
    CSFDialog* window = BuildWindow();
    return window != nullptr ? window->DoModalDlg() : 2;
}

void CModelSelectDlgEventImp::OnChoose() {
    const ProductParameter* record = CatalogueRecordAt(m_catalogue, m_currentRow);
    if (record == nullptr) {
        return;  // an empty catalogue: nothing to choose
    }
    m_chosenRow = m_currentRow;
    // The catalogue never changes after loading, so the record outlives the calls below.
    const auto frame = m_frame.lock();
    if (frame) {
        frame->ApplyModel(record->model, record->panelWidthMm, record->panelHeightMm);
    }
    m_window->MFCOK();
    if (frame) {
        frame->SetProductInfo(*record);
    }
}

void CModelSelectDlgEventImp::OnCancel() {
    // The selection goes back to the model in use; the details keep the last row looked at.
    if (CatalogueRecordAt(m_catalogue, m_chosenRow) != nullptr) {
        SelectRowQuietly(m_chosenRow);
        m_currentRow = m_chosenRow;
    }
    m_window->MFCCancel();
}

void CModelSelectDlgEventImp::OnDlgKeyDown(uint32_t /*modifiers*/, int key) {
    if (key == Qt::Key_Escape && m_window != nullptr) {
        m_window->MFCCancel();  // leaves rows and selection as they are
    }
}

CSFButton* CModelSelectDlgEventImp::Button(uint32_t id) const {
    if (Window() == nullptr) {
        return nullptr;
    }
    switch (id) {
        case kClose:
            return m_close;
        case kCancel:
            return m_cancel;
        case kChoose:
            return m_choose;
        default:
            return nullptr;
    }
}
