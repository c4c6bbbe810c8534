// Message maps as an application declares them: a class with two bases (the event base second,
// so handlers need a this-adjustment), ranges, the three kinds of entries and the lookups.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/SFEventBase.h"

using namespace OrvexBase;

namespace {

// A first base with its own state, so that CSFEventBase does not start the object.
class CPaintSink {
public:
    virtual ~CPaintSink() = default;
    virtual void OnPaint() { ++m_paints; }
    int m_paints = 0;
};

class CToolBarEventImp : public CPaintSink, public CSFEventBase {
    SF_DECLARE_MESSAGE_MAP(CToolBarEventImp)
public:
    std::vector<std::string> calls;

private:
    void OnBtnHelp() { calls.push_back("help"); }
    void OnBtnMax() { calls.push_back("max"); }
    void OnRange() { calls.push_back("range"); }
    void OnHighRange() { calls.push_back("high"); }
    void OnClick() { calls.push_back("click"); }
    void OnListNotify(SF_NMHDR* header, SF_LRESULT* result) {
        calls.push_back("notify:" + std::to_string(header ? header->idFrom : 0));
        if (result != nullptr) {
            *result = 42;
        }
    }
    SF_LRESULT OnTick(SF_WPARAM a, SF_LPARAM b) {
        calls.push_back("tick:" + std::to_string(a) + "," + std::to_string(b));
        return 0;
    }
    SF_LRESULT OnOtherTick(SF_WPARAM, SF_LPARAM) {
        calls.push_back("other-tick");
        return 0;
    }
};

SF_BEGIN_MESSAGE_MAP(CToolBarEventImp)
SF_ON_COMMAND(106, OnBtnMax)
SF_ON_COMMAND(103, OnBtnHelp)
SF_ON_COMMAND_RANGE(200, 209, OnRange)
SF_ON_COMMAND_RANGE(205, 206, OnBtnHelp)  // shadowed: the first match wins
SF_ON_COMMAND_RANGE(0x80000000u, 0xFFFFFFF0u, OnHighRange)
SF_ON_NOTIFY_VOID(2, 301, OnClick)
SF_ON_NOTIFY(5, 302, OnListNotify)
SF_ON_UI_MESSAGE(0x113, 7, OnTick)
SF_ON_UI_MESSAGE_RANGE(0x113, 20, 29, OnOtherTick)
SF_END_MESSAGE_MAP()

class CNoUIMessagesEventImp : public CSFEventBase {
    SF_DECLARE_MESSAGE_MAP(CNoUIMessagesEventImp)
public:
    int clicks = 0;

private:
    void OnOk() { ++clicks; }
};

SF_BEGIN_MESSAGE_MAP(CNoUIMessagesEventImp)
SF_ON_COMMAND(1, OnOk)
SF_END_MESSAGE_MAP()

class CPlainEventImp : public CSFEventBase {};

}  // namespace

// Lookups through the three kinds, table-driven: which handler a message reaches, through the
// kind's own entry point and through DispatchSFMessage alike.
struct LookupCase {
    const char* name;
    std::uint32_t message;
    std::uint32_t code;
    std::uint32_t id;
    int handled;
    const char* call;  // "" when nothing is called
};

class MessageMapLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(MessageMapLookup, ReachesTheMappedHandler) {
    const LookupCase& c = GetParam();
    const std::vector<std::string> calls =
        *c.call == '\0' ? std::vector<std::string>{} : std::vector<std::string>{c.call};
    CToolBarEventImp sink;
    CSFEventBase* base = &sink;
    int handled = 0;
    SF_LRESULT result = 0;
    SF_NMHDR header{nullptr, c.id, c.code};
    if (c.message == SF_MSG_COMMAND) {
        handled = base->Dlg_OnCommand(c.id);
    } else if (c.message == SF_MSG_NOTIFY) {
        handled = base->OnNotifyClick(c.code, c.id, &header, &result);
    } else {
        handled = base->OnUIMessage(c.code, c.id, 11, -3);
    }
    EXPECT_EQ(handled, c.handled);
    EXPECT_EQ(sink.calls, calls);
    EXPECT_EQ(result, std::string(c.call).rfind("notify", 0) == 0 ? 42 : 0);
    EXPECT_EQ(sink.m_paints, 0);  // the other base was not mistaken for the sink

    CToolBarEventImp dispatched;
    EXPECT_EQ(dispatched.DispatchSFMessage(c.message, c.code, c.id, 11, -3), c.handled);
    EXPECT_EQ(dispatched.calls, calls);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MessageMapLookup,
    ::testing::Values(
        LookupCase{"Command103", SF_MSG_COMMAND, 0, 103, 1, "help"},
        LookupCase{"UnmappedCommand104", SF_MSG_COMMAND, 0, 104, 0, ""},
        LookupCase{"RangeLowEnd", SF_MSG_COMMAND, 0, 200, 1, "range"},
        LookupCase{"RangeHighEnd", SF_MSG_COMMAND, 0, 209, 1, "range"},
        LookupCase{"FirstMatchWinsOverLaterRange", SF_MSG_COMMAND, 0, 205, 1, "range"},
        LookupCase{"PastRange", SF_MSG_COMMAND, 0, 210, 0, ""},
        LookupCase{"UnsignedRangeAboveSignedMax", SF_MSG_COMMAND, 0, 0x90000000u, 1, "high"},
        LookupCase{"UnsignedRangeMinusOneOutside", SF_MSG_COMMAND, 0, 0xFFFFFFFFu, 0, ""},
        LookupCase{"NotifyWithoutArguments", SF_MSG_NOTIFY, 2, 301, 1, "click"},
        LookupCase{"NotifyWithHeader", SF_MSG_NOTIFY, 5, 302, 1, "notify:302"},
        LookupCase{"NotifyWrongCode", SF_MSG_NOTIFY, 3, 301, 0, ""},
        LookupCase{"NotifyForCommandId", SF_MSG_NOTIFY, 0, 103, 0, ""},
        LookupCase{"UIMessage", SF_MSG_UIMESSAGE, 0x113, 7, 1, "tick:11,-3"},
        LookupCase{"UIMessageRange", SF_MSG_UIMESSAGE, 0x113, 25, 1, "other-tick"},
        LookupCase{"UIMessageWrongCode", SF_MSG_UIMESSAGE, 0x112, 7, 0, ""},
        LookupCase{"UIMessageForCommandId", SF_MSG_UIMESSAGE, 0, 103, 0, ""}),
    [](const ::testing::TestParamInfo<LookupCase>& row) { return std::string(row.param.name); });

TEST(MessageMap, ThisMessageIdsListsUIMessagesInMapOrderOrNothing) {
    CToolBarEventImp sink;
    const int* ids = sink.GetThisMessageIDs();
    ASSERT_NE(ids, nullptr);
    EXPECT_EQ(std::vector<int>(ids, ids + 3), (std::vector<int>{7, 20, -1}));
    EXPECT_EQ(sink.GetThisMessageIDs(), ids);  // kept after the first call

    CNoUIMessagesEventImp noUi;
    EXPECT_EQ(noUi.GetThisMessageIDs(), nullptr);
    EXPECT_EQ(noUi.GetThisMessageIDs(), nullptr);
    EXPECT_EQ(noUi.Dlg_OnCommand(1), 1);
    EXPECT_EQ(noUi.clicks, 1);

    CPlainEventImp plain;  // no map at all
    EXPECT_EQ(plain.GetSFMessageMap(), nullptr);
    EXPECT_EQ(plain.GetThisMessageIDs(), nullptr);
    EXPECT_EQ(plain.Dlg_OnCommand(1), 0);
    EXPECT_EQ(SFFindMessageEntry(nullptr, SF_MSG_COMMAND, 0, 1), nullptr);
}
