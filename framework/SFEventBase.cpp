#include "framework/SFEventBase.h"

namespace OrvexBase {

const SF_MSGMAP_ENTRY* SFFindMessageEntry(const SF_MSGMAP* map, std::uint32_t message,
                                          std::uint32_t code, std::uint32_t id) {
    if (map == nullptr || map->lpEntries == nullptr) {
        return nullptr;
    }
    for (const SF_MSGMAP_ENTRY* entry = map->lpEntries; entry->nSig != SF_SIG_END; ++entry) {
        if (entry->nMessage == message && entry->nCode == code && entry->nID <= id &&
            id <= entry->nLastID) {
            return entry;
        }
    }
    return nullptr;
}

CSFEventBase::~CSFEventBase() = default;

const SF_MSGMAP* CSFEventBase::GetSFMessageMap() const {
    return nullptr;
}

const int* CSFEventBase::GetThisMessageIDs() {
    return nullptr;
}

const int* CSFEventBase::BuildThisMessageIDs(const SF_MSGMAP* map) {
    if (!m_thisMessageIDs.empty()) {
        return m_thisMessageIDs.data();
    }
    if (map == nullptr || map->lpEntries == nullptr) {
        return nullptr;
    }
    for (const SF_MSGMAP_ENTRY* entry = map->lpEntries; entry->nSig != SF_SIG_END; ++entry) {
        if (entry->nMessage == SF_MSG_UIMESSAGE) {
            m_thisMessageIDs.push_back(static_cast<int>(entry->nID));
        }
    }
    if (m_thisMessageIDs.empty()) {
        return nullptr;
    }
    m_thisMessageIDs.push_back(-1);
    return m_thisMessageIDs.data();
}

int CSFEventBase::Dlg_OnCommand(std::uint32_t id) {
    const SF_MSGMAP_ENTRY* entry = SFFindMessageEntry(GetSFMessageMap(), SF_MSG_COMMAND, 0, id);
    if (entry == nullptr || entry->nSig != SF_SIG_VOID) {
        return 0;
    }
    (this->*entry->pfn.pfnVoid)();
    return 1;
}

int CSFEventBase::OnNotifyClick(std::uint32_t code, std::uint32_t id, SF_NMHDR* header,
                                SF_LRESULT* result) {
    const SF_MSGMAP_ENTRY* entry = SFFindMessageEntry(GetSFMessageMap(), SF_MSG_NOTIFY, code, id);
    if (entry == nullptr) {
        return 0;
    }
    if (entry->nSig == SF_SIG_VOID) {
        (this->*entry->pfn.pfnVoid)();
        return 1;
    }
    if (entry->nSig == SF_SIG_NOTIFY) {
        (this->*entry->pfn.pfnNotify)(header, result);
        return 1;
    }
    return 0;
}

int CSFEventBase::OnUIMessage(std::uint32_t code, std::uint32_t id, SF_WPARAM a, SF_LPARAM b) {
    const SF_MSGMAP_ENTRY* entry =
        SFFindMessageEntry(GetSFMessageMap(), SF_MSG_UIMESSAGE, code, id);
    if (entry == nullptr || entry->nSig != SF_SIG_PARAMS) {
        return 0;
    }
    (this->*entry->pfn.pfnParams)(a, b);
    return 1;
}

int CSFEventBase::DispatchSFMessage(std::uint32_t message, std::uint32_t code, std::uint32_t id,
                                    SF_WPARAM a, SF_LPARAM b) {
    const SF_MSGMAP_ENTRY* entry = SFFindMessageEntry(GetSFMessageMap(), message, code, id);
    if (entry == nullptr) {
        return 0;
    }
    switch (entry->nSig) {
        case SF_SIG_VOID:
            (this->*entry->pfn.pfnVoid)();
            return 1;
        case SF_SIG_NOTIFY: {
            SF_NMHDR header{m_pUIWnd, id, code};
            SF_LRESULT result = 0;
            (this->*entry->pfn.pfnNotify)(&header, &result);
            return 1;
        }
        case SF_SIG_PARAMS:
            (this->*entry->pfn.pfnParams)(a, b);
            return 1;
        default:
            return 0;
    }
}

}  // namespace OrvexBase
