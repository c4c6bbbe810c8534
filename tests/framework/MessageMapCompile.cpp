// Compiled by CTest with -fsyntax-only: case 0 must compile, the others must not. Shows that a
// message map rejects a handler of another class and a handler of the wrong kind.
#include "framework/SFEventBase.h"

class COther {
public:
    void OnForeign() {}
};

class CSink : public OrvexBase::CSFEventBase {
    SF_DECLARE_MESSAGE_MAP(CSink)
private:
    void OnOwn() {}
    void OnWithArgument(int) {}
};

SF_BEGIN_MESSAGE_MAP(CSink)
#if SF_CASE == 0
SF_ON_COMMAND(1, OnOwn)
#elif SF_CASE == 1
SF_ON_COMMAND(1, OnForeign)
#elif SF_CASE == 2
SF_ON_COMMAND(1, OnWithArgument)
#elif SF_CASE == 3
SF_ON_UI_MESSAGE(0x113, 1, OnOwn)
#endif
SF_END_MESSAGE_MAP()

int main() {
    return 0;
}
