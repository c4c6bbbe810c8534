#pragma once
// Text and number entry: the edit control and the two spinners. Each derives from its Qt widget
// first and its abstract control second; the toolkit hands out the abstract part only. GUI thread
// only; a null sink is allowed everywhere and silences the control.
#include "toolkit/SFControls.h"
#include "toolkit/qt/SFQTCommon.h"

#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>

// Edit: every text change reports EDIT_OnTextChange (programmatic ones too, as Qt's
// textChanged does); Enter, mouse press and focus changes report with the current text.
class CSFQTEditCtrl final : public SFQt::CSFQTWidget<QLineEdit, CSFEditCtrl> {
public:
    explicit CSFQTEditCtrl(ISFEditCtrlEvent* sink);
    int Create(uint32_t style, const tagRECT* rect, void* parent, uint32_t id,
               int password) override;
    void SetSkin(const wchar_t* styleSheet) override;
    void SetReadOnly(int on) override { setReadOnly(on != 0); }
    void SetRegExp(const wchar_t* pattern) override;
    void SetNumberOnly() override;
    void SetPhoneNumberOnly() override;
    void SetEmailNumberOnly() override;
    void SetPasswordWordOnly() override;
    void SetMaxCharacterLength(int length) override;
    void SetWordLimit(int length) override { SetMaxCharacterLength(length); }
    void SetTip(const wchar_t* text) override { setPlaceholderText(SFQt::FromW(text)); }
    void SetTipAfterwards(const wchar_t* text) override { setToolTip(SFQt::FromW(text)); }
    void AddTips(const wchar_t* text) override;
    void ShowTipList(int show) override;
    void SetFocus() override { setFocus(); }
    int HasFocus() override { return hasFocus() ? 1 : 0; }
    void SetNoMenu(int on) override;
    void SetTextSize(int pixelSize) override;

protected:
    QString ControlText() const override { return text(); }
    void SetControlText(const QString& t) override { setText(t); }
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void SetPattern(const QString& pattern);
    QStringList m_tips;
};

// Both spinners show and read numbers in the C locale. A number typed outside the range is held
// to the range when the edit ends ("999" in 2..60 gives 60, not the "9" the digits that fit would
// leave); text that is empty or not a number gives the previous value back.

// Number spinner: valueChanged reports OnCurrentNumChanged, for user input and for SetRange /
// SetCurrentNum that change the value alike.
class CSFQTNumSpiner final : public SFQt::CSFQTWidget<QSpinBox, CSFNumSpiner> {
public:
    explicit CSFQTNumSpiner(ISFNumSpinerEvent* sink);
    int Create(const wchar_t* text, const tagRECT* rect, void* parent, uint32_t id) override;
    void SetRange(int min, int max) override;
    void GetRange(int* min, int* max) override;
    void SetStep(int step) override { setSingleStep(step); }
    int GetStep() override { return singleStep(); }
    void SetCurrentNum(int value) override { setValue(value); }
    int GetCurrentNum() override { return value(); }
    void StepUp() override { stepUp(); }
    void StepDown() override { stepDown(); }
    int SetSkin(const ImageNumSpinerStyle* style) override;
    void SetCircleStep(int on) override { setWrapping(on != 0); }

protected:
    QString ControlText() const override { return text(); }
    void SetControlText(const QString&) override {}
    QValidator::State validate(QString& text, int& pos) const override;
    void fixup(QString& text) const override;
};

// Double spinner: only user input reports; SetRange and SetCurrentNum never do.
class CSFQTDoubleSpiner final : public SFQt::CSFQTWidget<QDoubleSpinBox, CSFDoubleSpiner> {
public:
    explicit CSFQTDoubleSpiner(ISFDoubleSpinerEvent* sink);
    int Create(const wchar_t* text, const tagRECT* rect, void* parent, uint32_t id) override;
    void SetRange(double min, double max) override;
    void GetRange(double* min, double* max) override;
    void SetStep(double step) override { setSingleStep(step); }
    double GetStep() override { return singleStep(); }
    void SetCurrentNum(double value) override;
    double GetCurrentNum() override { return value(); }
    void StepUp() override { stepUp(); }
    void StepDown() override { stepDown(); }
    int SetSkin(const ImageNumSpinerStyle* style) override;
    void SetCircleStep(int on) override { setWrapping(on != 0); }
    void SetRectTimes(float times) override { m_rectTimes = times; }
    void SetDecimals(int decimals) override;

protected:
    QString ControlText() const override { return text(); }
    void SetControlText(const QString&) override {}
    QValidator::State validate(QString& text, int& pos) const override;
    void fixup(QString& text) const override;

private:
    float m_rectTimes = 1.0f;
};
