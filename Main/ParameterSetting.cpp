#include "Main/ParameterSetting.h"

CParameterSettingEventImp::CParameterSettingEventImp(std::weak_ptr<CMainFrameEventImp> frame)
    : m_frame(std::move(frame)) {}
CParameterSettingEventImp::~CParameterSettingEventImp() = default;
int CParameterSettingEventImp::Create(void* /*parent*/) { return 0; }
void CParameterSettingEventImp::SetNum(int /*which*/, int /*count*/) {}
void CParameterSettingEventImp::SetOrientation(int /*landscape*/) {}
void CParameterSettingEventImp::SetLampstandValue(double /*height*/) {}
void CParameterSettingEventImp::SetModelName(const std::wstring& /*name*/) {}
void CParameterSettingEventImp::RetranslateTexts() {}
