#pragma once
// CSFEventBase: the base of every event-sink class, and the message maps through which commands
// (0x111), notifications (0x4E) and user-interface messages (0x113) reach the member functions of
// an application's event class.
//
// Declaring a map takes two lines in the class and one line per entry in the source file:
//
//   class CToolBarEventImp : public ISFDialogEvent, public ISFButtonEvent {
//       SF_DECLARE_MESSAGE_MAP(CToolBarEventImp)
//   public:
//       ...
//   private:
//       void OnBtnHelp();
//       void OnNotifyList(OrvexBase::SF_NMHDR* header, OrvexBase::SF_LRESULT* result);
//       OrvexBase::SF_LRESULT OnTick(OrvexBase::SF_WPARAM a, OrvexBase::SF_LPARAM b);
//   };
//
//   SF_BEGIN_MESSAGE_MAP(CToolBarEventImp)
//       SF_ON_COMMAND(103, OnBtnHelp)
//       SF_ON_COMMAND_RANGE(200, 209, OnBtnHelp)
//       SF_ON_NOTIFY(2, 301, OnNotifyList)
//       SF_ON_UI_MESSAGE(0x113, 7, OnTick)
//   SF_END_MESSAGE_MAP()
//
// Every entry is type-checked: the handler is named through the class-scoped typedef ThisClass
// that SF_DECLARE_MESSAGE_MAP introduces, so a handler that is not a member of the class (or of
// one of its bases) does not compile, and a handler with the wrong parameters for its kind of
// entry does not compile either. Member pointers are converted to the base's member-pointer type
// with static_cast only, which keeps the this-adjustment of classes with several bases; the
// application's code never casts.
//
// Contract: an event class has exactly one (non-virtual) CSFEventBase among its bases. Other
// event interfaces it implements (button, combo box ...) must not derive from CSFEventBase too,
// otherwise the conversion to the base is ambiguous and the map does not compile.
//
// Threads: maps are immutable after static initialisation and may be read from any thread; the
// dispatch operations call handlers on the calling thread (the GUI thread in this application).
#include <cstdint>
#include <vector>

namespace OrvexBase {

class CSFEventBase;

// Message numbers and entry kinds (the values of the Win32 messages they stand for).
inline constexpr std::uint32_t SF_MSG_COMMAND = 0x111;
inline constexpr std::uint32_t SF_MSG_NOTIFY = 0x4E;
inline constexpr std::uint32_t SF_MSG_UIMESSAGE = 0x113;

inline constexpr std::uint32_t SF_SIG_END = 0;     // ends the entry array
inline constexpr std::uint32_t SF_SIG_VOID = 1;    // void Handler()
inline constexpr std::uint32_t SF_SIG_NOTIFY = 2;  // void Handler(SF_NMHDR*, SF_LRESULT*)
inline constexpr std::uint32_t SF_SIG_PARAMS = 3;  // SF_LRESULT Handler(SF_WPARAM, SF_LPARAM)

using SF_WPARAM = std::uintptr_t;
using SF_LPARAM = std::intptr_t;
using SF_LRESULT = std::intptr_t;

// The header of a notification: who sent it, its control id and its code.
struct SF_NMHDR {
    void* hwndFrom = nullptr;
    std::uintptr_t idFrom = 0;
    std::uint32_t code = 0;
};

using SF_PMSG_VOID = void (CSFEventBase::*)();
using SF_PMSG_NOTIFY = void (CSFEventBase::*)(SF_NMHDR*, SF_LRESULT*);
using SF_PMSG_PARAMS = SF_LRESULT (CSFEventBase::*)(SF_WPARAM, SF_LPARAM);

// The handler of one entry; which member is active is given by the entry's signature.
union SF_PMSG {
    SF_PMSG_VOID pfnVoid;
    SF_PMSG_NOTIFY pfnNotify;
    SF_PMSG_PARAMS pfnParams;

    constexpr SF_PMSG() : pfnVoid(nullptr) {}
    constexpr SF_PMSG(SF_PMSG_VOID pfn) : pfnVoid(pfn) {}
    constexpr SF_PMSG(SF_PMSG_NOTIFY pfn) : pfnNotify(pfn) {}
    constexpr SF_PMSG(SF_PMSG_PARAMS pfn) : pfnParams(pfn) {}
};

struct SF_MSGMAP_ENTRY {
    std::uint32_t nMessage;  // SF_MSG_COMMAND, SF_MSG_NOTIFY or SF_MSG_UIMESSAGE
    std::uint32_t nCode;     // notification or message code; 0 for commands
    std::uint32_t nID;       // lowest control or message id handled
    std::uint32_t nLastID;   // highest id handled (== nID for a single id)
    std::uint32_t nSig;      // SF_SIG_*; SF_SIG_END ends the array
    SF_PMSG pfn;
};

struct SF_MSGMAP {
    const SF_MSGMAP_ENTRY* lpEntries;
};

// Entry builders used by the SF_ON_* macros. T is the event class; the handler's parameter type
// names T, so a member of an unrelated class is rejected, and the static_cast to the base's
// member-pointer type fails to compile unless T derives from CSFEventBase exactly once.
struct SFMsgEntry {
    template <class T>
    static constexpr SF_MSGMAP_ENTRY Command(std::uint32_t first, std::uint32_t last,
                                             void (T::*pfn)()) {
        return {SF_MSG_COMMAND, 0,           first,
                last,           SF_SIG_VOID, SF_PMSG(static_cast<SF_PMSG_VOID>(pfn))};
    }
    template <class T>
    static constexpr SF_MSGMAP_ENTRY NotifyVoid(std::uint32_t code, std::uint32_t first,
                                                std::uint32_t last, void (T::*pfn)()) {
        return {SF_MSG_NOTIFY, code,        first,
                last,          SF_SIG_VOID, SF_PMSG(static_cast<SF_PMSG_VOID>(pfn))};
    }
    template <class T>
    static constexpr SF_MSGMAP_ENTRY Notify(std::uint32_t code, std::uint32_t first,
                                            std::uint32_t last,
                                            void (T::*pfn)(SF_NMHDR*, SF_LRESULT*)) {
        return {SF_MSG_NOTIFY, code,          first,
                last,          SF_SIG_NOTIFY, SF_PMSG(static_cast<SF_PMSG_NOTIFY>(pfn))};
    }
    template <class T>
    static constexpr SF_MSGMAP_ENTRY UIMessage(std::uint32_t code, std::uint32_t first,
                                               std::uint32_t last,
                                               SF_LRESULT (T::*pfn)(SF_WPARAM, SF_LPARAM)) {
        return {SF_MSG_UIMESSAGE,
                code,
                first,
                last,
                SF_SIG_PARAMS,
                SF_PMSG(static_cast<SF_PMSG_PARAMS>(pfn))};
    }
    static constexpr SF_MSGMAP_ENTRY End() { return {0, 0, 0, 0, SF_SIG_END, SF_PMSG()}; }
};

// First entry with equal message, equal code and first id <= id <= last id (unsigned), or null.
// A null map finds nothing.
const SF_MSGMAP_ENTRY* SFFindMessageEntry(const SF_MSGMAP* map, std::uint32_t message,
                                          std::uint32_t code, std::uint32_t id);

class CSFEventBase {
public:
    CSFEventBase() = default;
    CSFEventBase(const CSFEventBase&) = delete;
    CSFEventBase& operator=(const CSFEventBase&) = delete;
    virtual ~CSFEventBase();

    // The class's map, or null for a class without one (the default).
    virtual const SF_MSGMAP* GetSFMessageMap() const;
    // The first ids of the map's 0x113 entries in map order, followed by -1; null when the map
    // has none (the default). The array is built on the first call and kept in the object.
    virtual const int* GetThisMessageIDs();

    // The lookups of the three kinds, on the calling thread. Each returns 1 when a handler of the
    // accepted kind was found and called, 0 otherwise (the message is then ignored).
    // Command: message 0x111, code 0, only SF_SIG_VOID entries.
    int Dlg_OnCommand(std::uint32_t id);
    // Notification: message 0x4E; SF_SIG_VOID handlers are called without arguments,
    // SF_SIG_NOTIFY handlers with the header and the result pointer (either may be null).
    int OnNotifyClick(std::uint32_t code, std::uint32_t id, SF_NMHDR* header, SF_LRESULT* result);
    // User-interface message: message 0x113, only SF_SIG_PARAMS entries, called with (a, b).
    int OnUIMessage(std::uint32_t code, std::uint32_t id, SF_WPARAM a, SF_LPARAM b);

    // The generic delivery a window uses for a message it received: looks the message up and
    // calls the handler with the arguments its kind prescribes (SF_SIG_VOID: none;
    // SF_SIG_PARAMS: a and b; SF_SIG_NOTIFY: a header {window, id, code} and a result slot built
    // here, so 32-bit event values are never taken for pointers). Returns 1 if a handler ran.
    int DispatchSFMessage(std::uint32_t message, std::uint32_t code, std::uint32_t id, SF_WPARAM a,
                          SF_LPARAM b);

    // The Qt widget of the window this sink drives (stored by the window when it is constructed
    // with this sink); application code passes it as the parent of child controls.
    void* GetUIWnd() const { return m_pUIWnd; }
    void SetUIWnd(void* wnd) { m_pUIWnd = wnd; }
    // A word owned by the dialog implementation (its constructor clears it).
    std::uint32_t GetDialogWord() const { return m_dwDialogWord; }
    void SetDialogWord(std::uint32_t value) { m_dwDialogWord = value; }

protected:
    // GetThisMessageIDs of a class with a map (SF_DECLARE_MESSAGE_MAP calls it).
    const int* BuildThisMessageIDs(const SF_MSGMAP* map);

private:
    std::uint32_t m_dwDialogWord = 0;
    void* m_pUIWnd = nullptr;
    std::vector<int> m_thisMessageIDs;
};

}  // namespace OrvexBase

// In the class body (any access; the macro leaves the access private). Declares the map, the
// ThisClass typedef the entries use, and the two overrides.
#define SF_DECLARE_MESSAGE_MAP(theClass)                                       \
public:                                                                        \
    const ::OrvexBase::SF_MSGMAP* GetSFMessageMap() const override {           \
        static const ::OrvexBase::SF_MSGMAP map{theClass::s_sfMessageEntries}; \
        return &map;                                                           \
    }                                                                          \
    const int* GetThisMessageIDs() override {                                  \
        return BuildThisMessageIDs(theClass::GetSFMessageMap());               \
    }                                                                          \
                                                                               \
private:                                                                       \
    using ThisClass = theClass;                                                \
    static const ::OrvexBase::SF_MSGMAP_ENTRY s_sfMessageEntries[];

// In one source file: the entries between these two lines, in lookup order.
#define SF_BEGIN_MESSAGE_MAP(theClass) \
    const ::OrvexBase::SF_MSGMAP_ENTRY theClass::s_sfMessageEntries[] = {
#define SF_END_MESSAGE_MAP()       \
    ::OrvexBase::SFMsgEntry::End() \
    }                              \
    ;

#define SF_ON_COMMAND(id, handler) \
    ::OrvexBase::SFMsgEntry::Command<ThisClass>((id), (id), &ThisClass::handler),
#define SF_ON_COMMAND_RANGE(first, last, handler) \
    ::OrvexBase::SFMsgEntry::Command<ThisClass>((first), (last), &ThisClass::handler),
// Notification handled without arguments: void handler().
#define SF_ON_NOTIFY_VOID(code, id, handler) \
    ::OrvexBase::SFMsgEntry::NotifyVoid<ThisClass>((code), (id), (id), &ThisClass::handler),
// Notification with header and result: void handler(SF_NMHDR*, SF_LRESULT*).
#define SF_ON_NOTIFY(code, id, handler) \
    ::OrvexBase::SFMsgEntry::Notify<ThisClass>((code), (id), (id), &ThisClass::handler),
#define SF_ON_NOTIFY_RANGE(code, first, last, handler) \
    ::OrvexBase::SFMsgEntry::Notify<ThisClass>((code), (first), (last), &ThisClass::handler),
// User-interface message: SF_LRESULT handler(SF_WPARAM, SF_LPARAM).
#define SF_ON_UI_MESSAGE(code, id, handler) \
    ::OrvexBase::SFMsgEntry::UIMessage<ThisClass>((code), (id), (id), &ThisClass::handler),
#define SF_ON_UI_MESSAGE_RANGE(code, first, last, handler) \
    ::OrvexBase::SFMsgEntry::UIMessage<ThisClass>((code), (first), (last), &ThisClass::handler),
